"""The native calls the package makes beyond the plain front end, gathered in one place."""

from __future__ import annotations

import kezo_native
from kezo_native import Keyword, KeyphraseConfig, Language


def identify(text: str, max_results: int) -> list[tuple[Language, float]]:
    """Ranked language guesses with confidences, best first (never ``Language.Auto``); empty
    when the text is undetermined."""
    return kezo_native.identify_language(text, max_results)


def keyphrase_config(fields: dict[str, object]) -> KeyphraseConfig:
    """A configuration of the keyphrase pipeline holding ``fields``."""
    config = KeyphraseConfig()
    for name, value in fields.items():
        setattr(config, name, value)
    return config


def extract_keyphrases(text: str, config: KeyphraseConfig) -> list[Keyword]:
    """Run the keyphrase pipeline on ``text``."""
    return kezo_native.extract_keyphrases(text, config)


def snap_detailed(tenant: str, term: str, max_distance: int) -> tuple[str, int, bool]:
    """(term, distance, matched) of one snap; distance is -1 when nothing matched."""
    match = kezo_native.snap_term_detailed(tenant, term, max_distance)
    return match.term, match.distance, match.matched


def snap_many(
    tenant: str, terms: list[str], max_distance: int, threads: int
) -> list[tuple[str, int, bool]]:
    """(term, distance, matched) for every term, in order."""
    matches = kezo_native.snap_terms(tenant, terms, max_distance, threads)
    return [(m.term, m.distance, m.matched) for m in matches]
