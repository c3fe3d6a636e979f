"""Tenant dictionaries: load canonical terms per tenant, snap free-text terms to them, and set
the service's policy with checked keyword arguments."""

from __future__ import annotations

import warnings
from collections.abc import Iterable

import kezo_native
from kezo_native import TenantCachePolicy, TenantMetrics

from . import _native
from ._options import (
    SIZE_MAX,
    UINT32_MAX,
    check_bool,
    check_int,
    check_tenant,
    check_terms,
    check_text,
)
from ._records import DictionaryLoad, SnapResult

MAX_DISTANCE = 2147483647
"""Largest edit distance a snap accepts (the native bound is a signed 32-bit int)."""

_POLICY_FIELDS = {
    "max_terms_per_tenant": SIZE_MAX,
    "max_token_length": SIZE_MAX,
    "max_updates_per_minute": SIZE_MAX,
    "max_cached_tenants": SIZE_MAX,
    "tenant_ttl_seconds": UINT32_MAX,
    "latency_window_size": SIZE_MAX,
    "update_queue_capacity": SIZE_MAX,
    "lazy_load_on_miss": None,
    "retain_sources_for_lazy_reload": None,
}


class DictionaryWarning(UserWarning):
    """A tenant dictionary load left terms out, or was refused by the update rate limit."""


def load_dictionary(tenant: str, terms: Iterable[str]) -> DictionaryLoad:
    """Load ``terms`` as the canonical dictionary of ``tenant``, replacing its previous one.

    The load is synchronous; other Python threads run while the dictionary is built. Terms the
    service policy refuses (empty ones, ones longer than
    ``max_token_length`` code points, those beyond ``max_terms_per_tenant``) are counted in the
    report and announced with a ``DictionaryWarning``; so is a load the tenant's update rate
    limit refused. The counts come from the tenant's metrics around the call: concurrent loads
    of the same tenant blur them. memory_bytes is what the dictionary holds after the call (0
    if the cache policy evicted it at once).

    Args:
        tenant: the tenant id, a non-empty str.
        terms: an iterable of str (a str itself is refused).

    Returns:
        A ``DictionaryLoad``: installed, accepted, refused, memory_bytes, limit_reached.

    Raises:
        TypeError, ValueError: ``tenant`` or a term fails its check.

    Examples:
        >>> load_dictionary("shop", ["Apple", "Banana"]).accepted
        2
    """
    checked_tenant = check_tenant("tenant", tenant)
    checked_terms = check_terms("terms", terms)
    before = kezo_native.get_tenant_metrics(checked_tenant).rejected_updates
    installed = kezo_native.install_tenant_dictionary(checked_tenant, checked_terms)
    if not installed:
        warnings.warn(
            f"tenant {checked_tenant!r}: the dictionary load was refused by the update rate "
            f"limit (max_updates_per_minute); the previous dictionary stays",
            DictionaryWarning,
            stacklevel=2,
        )
        return DictionaryLoad(checked_tenant, False, 0, len(checked_terms), 0, False)
    after = kezo_native.get_tenant_metrics(checked_tenant)
    policy = kezo_native.get_tenant_cache_policy()
    # The load counts its refused terms as rejected updates. The dictionary's own size is no
    # measure: the eviction pass that ends a load may already have dropped it again.
    refused = int(after.rejected_updates - before)
    accepted = len(checked_terms) - refused
    limit_reached = accepted >= policy.max_terms_per_tenant and refused > 0
    if refused:
        reason = (
            f"only the first {accepted:,} fit max_terms_per_tenant={policy.max_terms_per_tenant:,}"
            if limit_reached
            else f"empty or longer than max_token_length={policy.max_token_length} code points"
        )
        warnings.warn(
            f"tenant {checked_tenant!r}: {refused:,} of {len(checked_terms):,} terms were left "
            f"out: {reason}",
            DictionaryWarning,
            stacklevel=2,
        )
    return DictionaryLoad(
        checked_tenant, True, accepted, refused, int(after.memory_bytes), limit_reached
    )


def snap(tenant: str, term: str, *, max_distance: int = 2) -> SnapResult:
    """Snap ``term`` to the nearest canonical term of ``tenant``'s dictionary.

    Matching ignores case; the canonical term comes back as it was loaded.

    Args:
        tenant: the tenant id.
        term: the free-text term.
        max_distance: the largest edit distance (in code points) that still counts as a
            match, 0 to 2147483647.

    Returns:
        A ``SnapResult``: query, term (canonical, or the query when nothing matched), distance
        (None when nothing matched) and matched.

    Raises:
        TypeError, ValueError: an argument fails its check.
        LookupError: nothing matched and ``tenant`` was never loaded (or was unloaded), which
            is most often a misspelt tenant id. A tenant whose dictionary the cache policy
            evicted was loaded: its snaps reload it when they can, and otherwise just miss.

    Examples:
        >>> snap("shop", "aple").term  # doctest: +SKIP
        'Apple'
    """
    checked_tenant = check_tenant("tenant", tenant)
    checked_term = check_text("term", term)
    distance = check_int("max_distance", max_distance, 0, MAX_DISTANCE)
    match = _native.snap_detailed(checked_tenant, checked_term, distance)
    if not match[2]:
        _require_known(checked_tenant)
    return _result(checked_term, match)


def snap_batch(
    tenant: str, terms: Iterable[str], *, max_distance: int = 2, workers: int | None = None
) -> list[SnapResult]:
    """Snap many terms to ``tenant``'s dictionary, in order, on several threads.

    Args:
        tenant: the tenant id.
        terms: an iterable of str (a str itself is refused).
        max_distance: as for ``snap``.
        workers: threads to use, 1 to 1024; None lets the service choose.

    Returns:
        One ``SnapResult`` per term, in the order of ``terms``.

    Raises:
        TypeError, ValueError: an argument fails its check.
        LookupError: as for ``snap``, when some term matched nothing.

    Examples:
        >>> [r.matched for r in snap_batch("shop", ["aple", "kiwi"])]  # doctest: +SKIP
        [True, False]
    """
    checked_tenant = check_tenant("tenant", tenant)
    checked_terms = check_terms("terms", terms)
    distance = check_int("max_distance", max_distance, 0, MAX_DISTANCE)
    threads = 0 if workers is None else check_int("workers", workers, 1, 1024)
    matches = _native.snap_many(checked_tenant, checked_terms, distance, threads)
    if not all(match[2] for match in matches):
        _require_known(checked_tenant)
    return [_result(query, match) for query, match in zip(checked_terms, matches)]


def _require_known(tenant: str) -> None:
    """Raise LookupError when ``tenant`` is not in the service's table. Checked only after a
    miss, so a hit costs nothing more; an evicted tenant stays in the table, loads counted."""
    if kezo_native.get_tenant_metrics(tenant).load_count == 0:
        raise LookupError(
            f"tenant {tenant!r} has no dictionary: it was never loaded (or was unloaded); "
            f"load one with kezo.load_dictionary"
        )


def _result(query: str, match: tuple[str, int, bool]) -> SnapResult:
    term, distance, matched = match
    return SnapResult(query, term, distance if matched else None, matched)


def schedule_dictionary_update(tenant: str, terms: Iterable[str]) -> bool:
    """Queue a replacement dictionary for ``tenant``, built later on the service's thread.

    Args:
        tenant: the tenant id.
        terms: an iterable of str (a str itself is refused).

    Returns:
        True when queued; False when the queue is full (``update_queue_capacity``).

    Raises:
        TypeError, ValueError: an argument fails its check.

    Examples:
        >>> schedule_dictionary_update("shop", ["Apple", "Cherry"])
        True
    """
    return kezo_native.schedule_tenant_dictionary_update(
        check_tenant("tenant", tenant), check_terms("terms", terms)
    )


def unload_tenant(tenant: str) -> None:
    """Drop ``tenant``'s dictionary, counters and hot mark (an unknown tenant is no error).

    Examples:
        >>> unload_tenant("shop")
    """
    kezo_native.unload_tenant(check_tenant("tenant", tenant))


def set_tenant_hot(tenant: str, hot: bool = True) -> None:
    """Exempt a loaded ``tenant`` from expiry and least-recently-used eviction, or (``hot``
    False) make it evictable again. A tenant not loaded yet is left unmarked.

    Examples:
        >>> set_tenant_hot("shop")
    """
    kezo_native.set_tenant_hot(check_tenant("tenant", tenant), check_bool("hot", hot))


def tenant_metrics(tenant: str) -> TenantMetrics:
    """The service's metrics of ``tenant`` (all zero for an unknown one).

    Examples:
        >>> tenant_metrics("nobody").loaded
        False
    """
    return kezo_native.get_tenant_metrics(check_tenant("tenant", tenant))


def cache_policy(base: TenantCachePolicy | None = None, **fields: object) -> TenantCachePolicy:
    """A new ``TenantCachePolicy`` from ``base`` (default: the defaults) with ``fields`` set.

    Args:
        base: the policy to start from; it is copied, not changed.
        **fields: any of max_terms_per_tenant, max_token_length, max_updates_per_minute,
            max_cached_tenants, latency_window_size, update_queue_capacity (integers from 0 to
            2**64 - 1), tenant_ttl_seconds (0 to 4294967295), lazy_load_on_miss and
            retain_sources_for_lazy_reload (bool).

    Returns:
        The new policy; pass it to ``set_cache_policy`` to apply it.

    Raises:
        TypeError: an unknown field, or a value of the wrong type.
        ValueError: a value out of range.

    Examples:
        >>> cache_policy(max_terms_per_tenant=250_000).max_terms_per_tenant
        250000
    """
    policy = TenantCachePolicy()
    if base is not None:
        if not isinstance(base, TenantCachePolicy):
            raise TypeError(
                f"base must be a kezo_native.TenantCachePolicy, got {type(base).__name__}"
            )
        for name in _POLICY_FIELDS:
            setattr(policy, name, getattr(base, name))
    for name, value in fields.items():
        if name not in _POLICY_FIELDS:
            raise TypeError(
                f"cache_policy() got an unknown field {name!r}; fields: {', '.join(_POLICY_FIELDS)}"
            )
        limit = _POLICY_FIELDS[name]
        checked = check_bool(name, value) if limit is None else check_int(name, value, 0, limit)
        setattr(policy, name, checked)
    return policy


def set_cache_policy(**fields: object) -> TenantCachePolicy:
    """Change the named fields of the service's policy, keeping the others.

    Args:
        **fields: as for ``cache_policy``.

    Returns:
        The policy now in force.

    Raises:
        TypeError, ValueError: as for ``cache_policy``; the policy is then unchanged.

    Examples:
        >>> set_cache_policy(max_terms_per_tenant=250_000).max_terms_per_tenant
        250000
    """
    policy = cache_policy(kezo_native.get_tenant_cache_policy(), **fields)
    kezo_native.set_tenant_cache_policy(policy)
    return policy
