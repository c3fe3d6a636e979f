"""Kezo: multi-language keyphrase extraction, language identification and tenant term snapping,
over the native ``kezo_native`` core.

Extraction::

    >>> import kezo
    >>> phrases = kezo.extract("Solar panels convert sunlight into electricity.", top_k=3)
    >>> phrases[0].text                                            # doctest: +SKIP
    'solar panels'
    >>> extractor = kezo.Extractor(method="yake", top_k=5)         # options checked once
    >>> extractor.extract_batch(["first text", "second text"])     # doctest: +SKIP

Languages are named by ISO code, English name or ``Language`` member ("fr", "French",
``kezo.Language.French``; "auto" identifies them). Tenant dictionaries: ``load_dictionary``,
``snap``, ``snap_batch``. Part-of-speech tags: ``tag``. Every option is checked before the core
runs. Importing kezo also
lets every kezo_native record and configuration pickle and copy. The command line is ``kezo``
(or ``python -m kezo``).
"""

from __future__ import annotations

import kezo_native
from kezo_native import Algorithm, Language, TenantCachePolicy, TenantMetrics, TokenizerConfig

from . import _pickling
from ._corpus import CorpusFrequencies, corpus_frequencies
from ._extractor import Extractor, extract, extract_batch
from ._languages import CODES, LanguageLike, detect, identify_language, resolve_language
from ._options import MAX_PHRASE_WORDS, MAX_WINDOW
from ._plans import DEFAULT_METHOD, METHODS
from ._records import DictionaryLoad, Keyphrase, LanguageGuess, SnapResult
from ._snapping import (
    DictionaryWarning,
    cache_policy,
    load_dictionary,
    schedule_dictionary_update,
    set_cache_policy,
    set_tenant_hot,
    snap,
    snap_batch,
    tenant_metrics,
    unload_tenant,
)
from ._stoplists import (
    add_stopwords,
    clear_tenant_stopwords,
    is_stopword,
    set_tenant_stopwords,
    stopwords,
)
from ._tagging import UPOS_TAGS, TaggedToken, tag, tagger_languages
from ._text import highlight, words

__version__: str = kezo_native.__version__

_pickling.register()

__all__ = [
    "Algorithm",
    "CODES",
    "CorpusFrequencies",
    "DEFAULT_METHOD",
    "DictionaryLoad",
    "DictionaryWarning",
    "Extractor",
    "Keyphrase",
    "Language",
    "LanguageGuess",
    "LanguageLike",
    "MAX_PHRASE_WORDS",
    "MAX_WINDOW",
    "METHODS",
    "SnapResult",
    "TaggedToken",
    "TenantCachePolicy",
    "TenantMetrics",
    "TokenizerConfig",
    "UPOS_TAGS",
    "add_stopwords",
    "cache_policy",
    "clear_tenant_stopwords",
    "corpus_frequencies",
    "detect",
    "extract",
    "extract_batch",
    "highlight",
    "identify_language",
    "is_stopword",
    "load_dictionary",
    "resolve_language",
    "schedule_dictionary_update",
    "set_cache_policy",
    "set_tenant_hot",
    "set_tenant_stopwords",
    "snap",
    "snap_batch",
    "stopwords",
    "tag",
    "tagger_languages",
    "tenant_metrics",
    "unload_tenant",
    "words",
]
