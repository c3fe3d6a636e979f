"""The native module, and the capabilities newer builds of it add, reached from one place.

Every use of an optional native function goes through this module, so the rest of the package
never probes ``kezo_native`` itself and a build without the function fails with one clear error.
"""

from __future__ import annotations

from typing import Any, Callable

import kezo_native
from kezo_native import Keyword, Language


def available(name: str) -> bool:
    """Whether this build of ``kezo_native`` provides ``name``."""
    return hasattr(kezo_native, name)


def _require(name: str) -> Callable[..., Any]:
    function = getattr(kezo_native, name, None)
    if function is None:
        raise NotImplementedError(
            f"this build of kezo_native has no {name}(); rebuild kezo from a newer source"
        )
    return function  # type: ignore[no-any-return]


def identify(text: str, max_results: int) -> list[tuple[Language, float]]:
    """Ranked language guesses with confidences, best first (never ``Language.Auto``)."""
    return kezo_native.identify_language(text, max_results)


def resolve_auto(text: str) -> Language:
    """The language "auto" stands for on ``text``: the identifier's best guess (English when
    the text holds no evidence)."""
    guesses = identify(text, 1)
    return guesses[0][0] if guesses else Language.English


def keyphrase_config(fields: dict[str, object]) -> Any:
    """A configuration of the keyphrase pipeline holding ``fields``."""
    config = _require("KeyphraseConfig")()
    for name, value in fields.items():
        setattr(config, name, value)
    return config


def extract_keyphrases(text: str, config: Any) -> list[Keyword]:
    """Run the keyphrase pipeline on ``text``."""
    return _require("extract_keyphrases")(text, config)  # type: ignore[no-any-return]


def snap_detailed(tenant: str, term: str, max_distance: int) -> tuple[str, int, bool]:
    """(term, distance, matched) of one snap; distance is -1 when nothing matched."""
    match = _require("snap_term_detailed")(tenant, term, max_distance)
    return str(match.term), int(match.distance), bool(match.matched)


def snap_many(
    tenant: str, terms: list[str], max_distance: int, threads: int
) -> list[tuple[str, int, bool]]:
    """(term, distance, matched) for every term, in order."""
    matches = _require("snap_terms")(tenant, terms, max_distance, threads)
    return [(str(m.term), int(m.distance), bool(m.matched)) for m in matches]
