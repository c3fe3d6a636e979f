"""Kezo — multi-language NLP keyword extraction (C++ core)"""

from collections.abc import Iterable, Iterator, Mapping, Sequence
from typing import Any, ClassVar, NoReturn, Optional, TypeVar, Union, overload, type_check_only

_Record = TypeVar("_Record", bound=tuple[Any, ...])

@type_check_only
class _ExtensionType(type):
    """The metaclass of every class of the extension module."""

__version__: str
name: str

class Language(metaclass=_ExtensionType):
    """ISO 639-1 language code."""

    Auto: ClassVar[Language]
    English: ClassVar[Language]
    Spanish: ClassVar[Language]
    French: ClassVar[Language]
    German: ClassVar[Language]
    Italian: ClassVar[Language]
    Portuguese: ClassVar[Language]
    Dutch: ClassVar[Language]
    Russian: ClassVar[Language]
    Chinese: ClassVar[Language]
    Japanese: ClassVar[Language]
    Korean: ClassVar[Language]
    Arabic: ClassVar[Language]
    Indonesian: ClassVar[Language]
    Twi: ClassVar[Language]
    Akan: ClassVar[Language]
    ak: ClassVar[Language]
    Ga: ClassVar[Language]
    ga: ClassVar[Language]
    gaa: ClassVar[Language]
    Ewe: ClassVar[Language]
    ee: ClassVar[Language]
    Hausa: ClassVar[Language]
    ha: ClassVar[Language]
    Fante: ClassVar[Language]
    fat: ClassVar[Language]
    __members__: ClassVar[dict[str, Language]]
    def __init__(self, value: int) -> None: ...
    def __eq__(self, other: object) -> bool: ...
    def __ne__(self, other: object) -> bool: ...
    def __hash__(self) -> int: ...
    def __index__(self) -> int: ...
    def __int__(self) -> int: ...
    def __getstate__(self) -> int: ...
    def __setstate__(self, state: int) -> None: ...
    @property
    def name(self) -> str: ...
    @property
    def value(self) -> int: ...

class Algorithm(metaclass=_ExtensionType):
    """Keyword extraction algorithm."""

    TFIDF: ClassVar[Algorithm]
    YAKE: ClassVar[Algorithm]
    TextRank: ClassVar[Algorithm]
    RAKE: ClassVar[Algorithm]
    __members__: ClassVar[dict[str, Algorithm]]
    def __init__(self, value: int) -> None: ...
    def __eq__(self, other: object) -> bool: ...
    def __ne__(self, other: object) -> bool: ...
    def __hash__(self) -> int: ...
    def __index__(self) -> int: ...
    def __int__(self) -> int: ...
    def __getstate__(self) -> int: ...
    def __setstate__(self, state: int) -> None: ...
    @property
    def name(self) -> str: ...
    @property
    def value(self) -> int: ...

class Token(metaclass=_ExtensionType):
    """A token emitted by the tokenizer."""

    # Not constructible: instances come only from the library.
    def __init__(self, *args: NoReturn, **kwargs: NoReturn) -> None: ...
    @property
    def text(self) -> str: ...
    @property
    def offset(self) -> int: ...
    @property
    def pos(self) -> int: ...
    @property
    def is_word(self) -> bool: ...

class Sentence(metaclass=_ExtensionType):
    """A sentence token range."""

    # Not constructible: instances come only from the library.
    def __init__(self, *args: NoReturn, **kwargs: NoReturn) -> None: ...
    @property
    def begin(self) -> int: ...
    @property
    def end(self) -> int: ...

class Keyword(metaclass=_ExtensionType):
    """A scored candidate keyword."""

    # Not constructible: instances come only from the library.
    def __init__(self, *args: NoReturn, **kwargs: NoReturn) -> None: ...
    @property
    def text(self) -> str: ...
    @property
    def score(self) -> float: ...
    @property
    def count(self) -> int: ...
    @property
    def first_position(self) -> int: ...
    def __iter__(self) -> Iterator[Union[str, float]]: ...

class TokenizerConfig(metaclass=_ExtensionType):
    """Tokenizer options."""

    lowercase: bool
    strip_accents: bool
    split_cjk: bool
    keep_numbers: bool
    keep_punctuation: bool
    min_word_length: int
    def __init__(self) -> None: ...

def tokenize(text: str, config: TokenizerConfig = ...) -> list[Token]:
    """Tokenize a UTF-8 string into a list of `Token`s."""

def split_sentences(text: str, config: TokenizerConfig = ...) -> list[Sentence]:
    """Split a text into sentence-boundary token ranges."""

def detect_language(text: str) -> Language:
    """Heuristically detect the dominant script/language."""

def language_code(language: Language) -> str: ...
def language_name(language: Language) -> str: ...
def is_stopword(language: Language, word: str) -> bool:
    """Return True if `word` is a stopword in `language`."""

def add_stopword(language: Language, word: str) -> None:
    """Add a custom stopword to the in-memory list for `language`."""

def stopwords(language: Language) -> list[str]:
    """Get the list of stopwords for `language` (list of str)."""

def load_tenant_stopwords(tenant_id: str, language: Language, words: Sequence[str]) -> None:
    """Replace tenant-specific stopwords for a language."""

def clear_tenant_stopwords(tenant_id: str, language: Language) -> None:
    """Clear tenant-specific stopwords for a language."""

def is_tenant_stopword(tenant_id: str, language: Language, word: str) -> bool:
    """Return True if word is a tenant-specific stopword."""

class TFIDFConfig(metaclass=_ExtensionType):
    min_n: int
    max_n: int
    total_documents: int
    top_k: int
    smooth: bool
    sublinear_tf: bool
    def __init__(self) -> None: ...

class YAKEConfig(metaclass=_ExtensionType):
    min_n: int
    max_n: int
    top_k: int
    window: int
    product_mode: bool
    def __init__(self) -> None: ...

class TextRankConfig(metaclass=_ExtensionType):
    min_n: int
    max_n: int
    top_k: int
    window: int
    damping: float
    max_iter: int
    tol: float
    def __init__(self) -> None: ...

class RAKEConfig(metaclass=_ExtensionType):
    min_phrase_length: int
    max_phrase_length: int
    top_k: int
    include_words: bool
    def __init__(self) -> None: ...

class ExtractConfig(metaclass=_ExtensionType):
    """High-level config for a single algorithm."""

    algorithm: Algorithm
    language: Language
    tokenizer: TokenizerConfig
    top_k: int
    min_n: int
    max_n: int
    tenant_id: str
    def __init__(self) -> None: ...

class EnsembleConfig(ExtractConfig, metaclass=_ExtensionType):
    """Config for the multi-algorithm ensemble."""

    w_tfidf: float
    w_yake: float
    w_textrank: float
    w_rake: float
    def __init__(self) -> None: ...

def extract_keywords(text: str, config: ExtractConfig = ...) -> list[Keyword]:
    """Run a single extraction algorithm on `text`."""

def extract_keywords_ensemble(text: str, config: EnsembleConfig = ...) -> list[Keyword]:
    """Run all four algorithms and return merged, de-duplicated keywords."""

def build_corpus_df(
    corpus: Sequence[Sequence[Token]], language: Language, min_n: int = 1, max_n: int = 1
) -> dict[str, int]:
    """Build a per-term document frequency table for TF-IDF."""

def tfidf_extract(
    tokens: Sequence[Token],
    language: Language,
    config: TFIDFConfig = ...,
    df: Optional[Union[Mapping[str, int], Iterable[tuple[str, int]]]] = None,
) -> list[Keyword]:
    """TF-IDF extraction. `df` is an optional dict[str, int] document frequency table."""

def yake_extract(
    tokens: Sequence[Token], language: Language, config: YAKEConfig = ...
) -> list[Keyword]: ...
def textrank_extract(
    tokens: Sequence[Token], language: Language, config: TextRankConfig = ...
) -> list[Keyword]: ...
def rake_extract(
    tokens: Sequence[Token], language: Language, config: RAKEConfig = ...
) -> list[Keyword]: ...

class TenantCachePolicy(metaclass=_ExtensionType):
    """Runtime policy for tenant dictionary lifecycle/caching."""

    max_terms_per_tenant: int
    max_token_length: int
    max_updates_per_minute: int
    max_cached_tenants: int
    tenant_ttl_seconds: int
    latency_window_size: int
    update_queue_capacity: int
    lazy_load_on_miss: bool
    retain_sources_for_lazy_reload: bool
    def __init__(self) -> None: ...

class TenantMetrics(metaclass=_ExtensionType):
    """Per-tenant dictionary and snap performance metrics."""

    def __init__(self) -> None: ...
    @property
    def dictionary_terms(self) -> int: ...
    @property
    def memory_bytes(self) -> int: ...
    @property
    def load_count(self) -> int: ...
    @property
    def lazy_load_count(self) -> int: ...
    @property
    def rejected_updates(self) -> int: ...
    @property
    def evictions(self) -> int: ...
    @property
    def snap_count(self) -> int: ...
    @property
    def last_load_ms(self) -> float: ...
    @property
    def avg_load_ms(self) -> float: ...
    @property
    def snap_latency_p50_ms(self) -> float: ...
    @property
    def snap_latency_p95_ms(self) -> float: ...
    @property
    def last_access_epoch_ms(self) -> int: ...
    @property
    def last_load_epoch_ms(self) -> int: ...
    @property
    def hot_tenant(self) -> bool: ...
    @property
    def loaded(self) -> bool: ...

def load_tenant_dictionary(tenant_id: str, terms: Sequence[str]) -> None:
    """Load a list of canonical terms for a tenant."""

def unload_tenant(tenant_id: str) -> None:
    """Unload a tenant's dictionary."""

def snap_term(tenant_id: str, term: str, max_edit_distance: int = 2) -> str:
    """Snap a term to the tenant's exact canonical dictionary terms."""

def schedule_tenant_dictionary_update(tenant_id: str, terms: Sequence[str]) -> bool:
    """Queue a tenant dictionary update for background rebuild + COW swap."""

def set_tenant_hot(tenant_id: str, hot: bool = True) -> None:
    """Mark tenant as hot (excluded from TTL/LRU eviction)."""

def prewarm_tenant(tenant_id: str) -> bool:
    """Eagerly prewarm a tenant dictionary if lazy source terms are available."""

def set_tenant_cache_policy(policy: TenantCachePolicy) -> None:
    """Set lifecycle policy (TTL/LRU caps, safeguards, lazy cache behavior)."""

def get_tenant_cache_policy() -> TenantCachePolicy:
    """Get current lifecycle policy."""

def get_tenant_metrics(tenant_id: str) -> TenantMetrics:
    """Get metrics for one tenant."""

def get_all_tenant_metrics() -> dict[str, TenantMetrics]:
    """Get metrics for all tenants."""

def list_loaded_tenants() -> list[str]:
    """List currently loaded tenant dictionaries."""

def evict_tenants() -> None:
    """Run TTL/LRU eviction pass immediately."""

class SnapMatch(metaclass=_ExtensionType):
    """The outcome of one snap: the term returned, its edit distance and whether a dictionary term matched."""

    # Not constructible: instances come only from the library.
    def __init__(self, *args: NoReturn, **kwargs: NoReturn) -> None: ...
    @property
    def term(self) -> str: ...
    @property
    def distance(self) -> int: ...
    @property
    def matched(self) -> bool: ...

def snap_term_detailed(tenant_id: str, term: str, max_edit_distance: int = 2) -> SnapMatch:
    """Snap a term to the tenant's dictionary and report how it matched."""

def snap_terms(
    tenant_id: str, terms: Sequence[str], max_edit_distance: int = 2, threads: int = 0
) -> list[SnapMatch]:
    """Snap many terms of one tenant in one call."""

def identify_language(text: str, max_results: int = 3) -> list[tuple[Language, float]]:
    """Identify the language of a text, Latin-script languages included."""

def identify_best_language(text: str) -> Language:
    """The supported language closest to a text, even an undetermined one."""

class KeyphraseConfig(metaclass=_ExtensionType):
    """Options of the keyphrase pipeline (extract_keyphrases)."""

    language: Language
    top_k: int
    max_words: int
    keep_near_duplicates: bool
    tenant_id: str
    keep_numbers: bool
    allow_connectors: bool
    document_frequency: dict[str, int]
    total_documents: int
    near_duplicate_threshold: float
    @property
    def extra_stopwords(self) -> set[str]: ...
    @extra_stopwords.setter
    def extra_stopwords(self, words: Iterable[str]) -> None: ...
    def __init__(
        self,
        *,
        language: Language = ...,
        top_k: int = 10,
        max_words: int = 4,
        keep_near_duplicates: bool = False,
        tenant_id: str = "",
        keep_numbers: bool = False,
        allow_connectors: bool = True,
        document_frequency: Mapping[str, int] = ...,
        total_documents: int = 0,
        near_duplicate_threshold: float = 1.0,
        extra_stopwords: Optional[Iterable[str]] = None,
    ) -> None: ...

def extract_keyphrases(text: str, config: KeyphraseConfig = ...) -> list[Keyword]:
    """Return the keyphrases of `text`, best first: a list of Keyword."""

def keyphrase_stem_key(phrase: str, language: Language) -> str:
    """The key of `phrase` in KeyphraseConfig.document_frequency."""

def keyphrase_document_frequency(
    texts: Sequence[str], config: KeyphraseConfig = ...
) -> dict[str, int]:
    """Count, for each candidate phrase, the texts that hold it: dict[str, int] by stem key."""

def _restore_token(text: str, offset: int, pos: int, is_word: bool) -> Token:
    """Rebuild a Token from its fields (used by pickle)."""

def _restore_sentence(begin: int, end: int) -> Sentence:
    """Rebuild a Sentence from its fields (used by pickle)."""

def _restore_keyword(text: str, score: float, count: int, first_position: int) -> Keyword:
    """Rebuild a Keyword from its fields (used by pickle)."""

def _restore_snap_match(term: str, distance: int, matched: bool) -> SnapMatch:
    """Rebuild a SnapMatch from its fields (used by pickle)."""

def _restore_tenant_metrics(
    dictionary_terms: int,
    memory_bytes: int,
    load_count: int,
    lazy_load_count: int,
    rejected_updates: int,
    evictions: int,
    snap_count: int,
    last_load_ms: float,
    avg_load_ms: float,
    snap_latency_p50_ms: float,
    snap_latency_p95_ms: float,
    last_access_epoch_ms: int,
    last_load_epoch_ms: int,
    hot_tenant: bool,
    loaded: bool,
) -> TenantMetrics:
    """Rebuild a TenantMetrics record from its fields (used by pickle)."""

def install_tenant_dictionary(tenant_id: str, terms: Sequence[str]) -> bool:
    """Load a tenant's canonical terms, as load_tenant_dictionary does, and say whether it took."""
@overload
def extract_keyphrases_spanned(
    text: str, config: KeyphraseConfig = ..., record: None = None, spans: bool = True
) -> list[tuple[str, float, int, int, list[tuple[int, int]]]]:
    """Return the keyphrases of `text` with where they occur: a list of (text, score,"""
@overload
def extract_keyphrases_spanned(text: str, config: KeyphraseConfig, record: type[_Record], spans: bool = True
) -> list[_Record]: ...

def words(text: str, language: Language = ...) -> list[str]:
    """The lower-cased words of `text`, in order, as a list of str."""

class YakeMethodConfig(metaclass=_ExtensionType):
    """Options of extract_yake_keyphrases; set fields after creation."""

    language: Language
    top_k: int
    min_words: int
    max_words: int
    tenant_id: str
    window: int
    dedup_threshold: float
    @property
    def extra_stopwords(self) -> set[str]: ...
    @extra_stopwords.setter
    def extra_stopwords(self, words: Iterable[str]) -> None: ...
    def __init__(self) -> None: ...

class RakeMethodConfig(metaclass=_ExtensionType):
    """Options of extract_rake_keyphrases; set fields after creation."""

    language: Language
    top_k: int
    min_words: int
    max_words: int
    tenant_id: str
    adjoining: bool
    @property
    def extra_stopwords(self) -> set[str]: ...
    @extra_stopwords.setter
    def extra_stopwords(self, words: Iterable[str]) -> None: ...
    def __init__(self) -> None: ...

@overload
def extract_yake_keyphrases(
    text: str, config: YakeMethodConfig = ..., record: None = None, spans: bool = True
) -> list[tuple[str, float, int, int, list[tuple[int, int]]]]:
    """Return the YAKE keyphrases of `text`, best first: a list of (text, score, count,"""
@overload
def extract_yake_keyphrases(text: str, config: YakeMethodConfig, record: type[_Record], spans: bool = True
) -> list[_Record]: ...

@overload
def extract_rake_keyphrases(
    text: str, config: RakeMethodConfig = ..., record: None = None, spans: bool = True
) -> list[tuple[str, float, int, int, list[tuple[int, int]]]]:
    """Return the RAKE keyphrases of `text`, best first: a list of (text, score, count,"""
@overload
def extract_rake_keyphrases(text: str, config: RakeMethodConfig, record: type[_Record], spans: bool = True
) -> list[_Record]: ...

class TextRankMethodConfig(metaclass=_ExtensionType):
    """Options of textrank_keyphrases (the TextRank method)."""

    language: Language
    top_k: int
    min_words: int
    max_words: int
    tenant_id: str
    window: int
    damping: float
    max_iter: int
    tol: float
    keyword_share: float
    @property
    def extra_stopwords(self) -> set[str]: ...
    @extra_stopwords.setter
    def extra_stopwords(self, words: set[str] | frozenset[str]) -> None: ...
    def __init__(self) -> None: ...

class TfidfMethodConfig(metaclass=_ExtensionType):
    """Options of tfidf_keyphrases (the TF-IDF method)."""

    language: Language
    top_k: int
    min_words: int
    max_words: int
    tenant_id: str
    @property
    def total_documents(self) -> int: ...
    @property
    def extra_stopwords(self) -> set[str]: ...
    @extra_stopwords.setter
    def extra_stopwords(self, words: set[str] | frozenset[str]) -> None: ...
    def set_document_frequency(self, table: dict[str, int], total_documents: int) -> None: ...
    def set_document_frequency_table(
        self, table: DocumentFrequencyTable, total_documents: int
    ) -> None: ...
    def __init__(self) -> None: ...

@overload
def textrank_keyphrases(
    text: str, config: TextRankMethodConfig = ..., record: None = None, spans: bool = True
) -> list[tuple[str, float, int, int, list[tuple[int, int]]]]:
    """TextRank phrases of `text`, best first: (text, score, count, first_position, spans)"""
@overload
def textrank_keyphrases(text: str, config: TextRankMethodConfig, record: type[_Record], spans: bool = True
) -> list[_Record]: ...

@overload
def tfidf_keyphrases(
    text: str, config: TfidfMethodConfig = ..., record: None = None, spans: bool = True
) -> list[tuple[str, float, int, int, list[tuple[int, int]]]]:
    """Phrases of `text` by tf-idf, best first: (text, score, count, first_position,"""
@overload
def tfidf_keyphrases(text: str, config: TfidfMethodConfig, record: type[_Record], spans: bool = True
) -> list[_Record]: ...

def set_tagger_directory(directory: str) -> None:
    """Set the folder the part-of-speech models (<code>.kzt) are read from. Languages"""

def tagger_directory() -> str:
    """The folder the part-of-speech models are read from ('' when none is set)."""

def has_tagger(language: Language) -> bool:
    """Whether the model folder holds a part-of-speech model for `language`."""

def tag_words(words: Sequence[str], language: Language) -> list[str]:
    """The UPOS tag of each word of `words` (a sequence of str, one sentence or more), as a"""

def tag_text(
    text: str, language: Language, record: Optional[type[tuple[str, str, int, int]]] = None
) -> list[tuple[str, str, int, int]]:
    """The words and punctuation of `text` with their UPOS tags: a list of (text, upos,"""

class DocumentFrequencyTable(metaclass=_ExtensionType):
    """Documents holding each phrase, by stem key (keyphrase_stem_key): a read-only mapping"""

    def __init__(self, counts: dict[str, int]) -> None: ...
    def __len__(self) -> int: ...
    def __contains__(self, key: str) -> bool: ...
    def __getitem__(self, key: str) -> int: ...
    def __iter__(self) -> Iterator[str]: ...
    def to_dict(self) -> dict[str, int]: ...

def count_document_frequency(
    texts: Sequence[str], config: KeyphraseConfig, threads: int = 1, noun_phrases: bool = True
) -> DocumentFrequencyTable:
    """keyphrase_document_frequency of `texts` as a DocumentFrequencyTable, counted on"""

def set_keyphrase_document_frequency(
    config: KeyphraseConfig, table: DocumentFrequencyTable, total_documents: int
) -> None:
    """Set config.document_frequency to a copy of `table` and config.total_documents, with"""

@overload
def spanned_keyphrases_batch(
    texts: Sequence[str],
    config: Union[
        KeyphraseConfig, YakeMethodConfig, RakeMethodConfig, TextRankMethodConfig,
        TfidfMethodConfig,
    ],
    threads: int = 1,
    record: None = None,
    spans: bool = True,
) -> list[list[tuple[str, float, int, int, list[tuple[int, int]]]]]:
    """The spanned keyphrases of every text of `texts` (a list of str) under `config`, on"""
@overload
def spanned_keyphrases_batch(
    texts: Sequence[str],
    config: Union[
        KeyphraseConfig, YakeMethodConfig, RakeMethodConfig, TextRankMethodConfig,
        TfidfMethodConfig,
    ],
    threads: int,
    record: type[_Record],
    spans: bool = True,
) -> list[list[_Record]]: ...

@overload
def tfidf_corpus_keyphrases(
    texts: Sequence[str], config: TfidfMethodConfig, threads: int = 1, record: None = None, spans: bool = True
) -> tuple[DocumentFrequencyTable, list[list[tuple[str, float, int, int, list[tuple[int, int]]]]]]:
    """Count `texts` as a corpus and extract each of them by tf-idf against it, on `threads`"""
@overload
def tfidf_corpus_keyphrases(
    texts: Sequence[str], config: TfidfMethodConfig, threads: int, record: type[_Record],
    spans: bool = True,
) -> tuple[DocumentFrequencyTable, list[list[_Record]]]: ...
