"""pickle, copy and deepcopy for every kezo_native class, under every pickle protocol.

The native classes stay as they are: reducers are registered with ``copyreg`` when kezo is
imported, so pickle, copy, deepcopy and multiprocessing (with any start method) find them. A
pickle names functions of this module, so the receiving process needs kezo importable; a
process that sends native objects must have imported kezo. A spawned worker imports the main
module and whatever its arguments' pickles name, so ``import kezo`` at the top of the main
module (or passing any native configuration) covers results sent back from workers.
"""

from __future__ import annotations

import copyreg
import inspect
from typing import Any, Callable

import kezo_native

# Classes Python cannot construct or fill in: the private native factory that rebuilds each
# one, and the fields it takes, in order.
_FACTORIES: dict[str, tuple[str, tuple[str, ...]]] = {
    "Token": ("_restore_token", ("text", "offset", "pos", "is_word")),
    "Sentence": ("_restore_sentence", ("begin", "end")),
    "Keyword": ("_restore_keyword", ("text", "score", "count", "first_position")),
    "TenantMetrics": (
        "_restore_tenant_metrics",
        (
            "dictionary_terms",
            "memory_bytes",
            "load_count",
            "lazy_load_count",
            "rejected_updates",
            "evictions",
            "snap_count",
            "last_load_ms",
            "avg_load_ms",
            "snap_latency_p50_ms",
            "snap_latency_p95_ms",
            "last_access_epoch_ms",
            "last_load_epoch_ms",
            "hot_tenant",
            "loaded",
        ),
    ),
    "SnapMatch": ("_restore_snap_match", ("term", "distance", "matched")),
}


def _restore(factory: str, fields: tuple[Any, ...]) -> Any:
    """Rebuild a record through the native factory named ``factory``."""
    return getattr(kezo_native, factory)(*fields)


def _rebuild(cls: type, fields: dict[str, Any]) -> Any:
    """Rebuild a configuration: a default instance of ``cls`` with ``fields`` assigned."""
    instance = cls()
    for name, value in fields.items():
        setattr(instance, name, value)
    return instance


def _record_reducer(factory: str, names: tuple[str, ...]) -> Callable[[Any], Any]:
    def reduce(record: Any) -> Any:
        return _restore, (factory, tuple(getattr(record, name) for name in names))

    return reduce


def _config_reducer(names: tuple[str, ...]) -> Callable[[Any], Any]:
    def reduce(config: Any) -> Any:
        return _rebuild, (type(config), {name: getattr(config, name) for name in names})

    return reduce


def _enum_reduce(member: Any) -> Any:
    return type(member), (int(member),)


def _table_reduce(table: Any) -> Any:
    return type(table), (table.to_dict(),)


def native_classes() -> list[type]:
    """Every public class of kezo_native: enumerations, records and configurations."""
    return [
        value
        for name, value in vars(kezo_native).items()
        if isinstance(value, type) and not name.startswith("_")
    ]


def register() -> None:
    """Register a reducer for every native class present. Every protocol goes through them:
    the default path of protocols 0 and 1 cannot rebuild a native object at all."""
    for cls in native_classes():
        if hasattr(cls, "__members__"):
            copyreg.pickle(cls, _enum_reduce)
            continue
        if cls is getattr(kezo_native, "DocumentFrequencyTable", None):
            copyreg.pickle(cls, _table_reduce)
            continue
        if cls.__name__ in _FACTORIES:
            factory, names = _FACTORIES[cls.__name__]
            if hasattr(kezo_native, factory):
                copyreg.pickle(cls, _record_reducer(factory, names))
            continue
        writable = tuple(
            name
            for name, attribute in inspect.getmembers(cls)
            if isinstance(attribute, property) and attribute.fset is not None
        )
        copyreg.pickle(cls, _config_reducer(writable))
