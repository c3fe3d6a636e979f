// Tenant dictionary service: the policy and metrics records and the functions over the
// process-wide snapper.
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include "bindings.h"
#include "gil_release.h"
#include "kezo/snapper.h"
#include "utf8_arguments.h"

namespace py = pybind11;

namespace kezo::python {

void bind_snapper(py::module_& m) {
    using Policy = TenantCachePolicy;
    py::class_<Policy>(m, "TenantCachePolicy",
                       "Runtime policy for tenant dictionary lifecycle/caching.")
        .def(py::init<>())
        .def_readwrite("max_terms_per_tenant", &Policy::max_terms_per_tenant)
        .def_readwrite("max_token_length", &Policy::max_token_length)
        .def_readwrite("max_updates_per_minute", &Policy::max_updates_per_minute)
        .def_readwrite("max_cached_tenants", &Policy::max_cached_tenants)
        .def_readwrite("tenant_ttl_seconds", &Policy::tenant_ttl_seconds)
        .def_readwrite("latency_window_size", &Policy::latency_window_size)
        .def_readwrite("update_queue_capacity", &Policy::update_queue_capacity)
        .def_readwrite("lazy_load_on_miss", &Policy::lazy_load_on_miss)
        .def_readwrite("retain_sources_for_lazy_reload", &Policy::retain_sources_for_lazy_reload);

    py::class_<TenantMetrics>(m, "TenantMetrics",
                              "Per-tenant dictionary and snap performance metrics.")
        .def(py::init<>())
        .def_readonly("dictionary_terms", &TenantMetrics::dictionary_terms)
        .def_readonly("memory_bytes", &TenantMetrics::memory_bytes)
        .def_readonly("load_count", &TenantMetrics::load_count)
        .def_readonly("lazy_load_count", &TenantMetrics::lazy_load_count)
        .def_readonly("rejected_updates", &TenantMetrics::rejected_updates)
        .def_readonly("evictions", &TenantMetrics::evictions)
        .def_readonly("snap_count", &TenantMetrics::snap_count)
        .def_readonly("last_load_ms", &TenantMetrics::last_load_ms)
        .def_readonly("avg_load_ms", &TenantMetrics::avg_load_ms)
        .def_readonly("snap_latency_p50_ms", &TenantMetrics::snap_latency_p50_ms)
        .def_readonly("snap_latency_p95_ms", &TenantMetrics::snap_latency_p95_ms)
        .def_readonly("last_access_epoch_ms", &TenantMetrics::last_access_epoch_ms)
        .def_readonly("last_load_epoch_ms", &TenantMetrics::last_load_epoch_ms)
        .def_readonly("hot_tenant", &TenantMetrics::hot_tenant)
        .def_readonly("loaded", &TenantMetrics::loaded);

    m.def(
        "load_tenant_dictionary",
        [](const std::string& tenant_id, const std::vector<std::string>& terms) {
            require_utf8(tenant_id, "tenant_id");
            require_utf8(terms, "terms");
            global_snapper.load_tenant_dictionary(tenant_id, terms);
        },
        py::arg("tenant_id"), py::arg("terms"), "Load a list of canonical terms for a tenant.");
    m.def(
        "unload_tenant",
        [](const std::string& tenant_id) { global_snapper.unload_tenant(tenant_id); },
        py::arg("tenant_id"), "Unload a tenant's dictionary.");
    m.def(
        "snap_term",
        [](const std::string& tenant_id, const std::string& term, int max_edit_distance) {
            return without_gil(
                [&] { return global_snapper.snap_term(tenant_id, term, max_edit_distance); });
        },
        py::arg("tenant_id"), py::arg("term"), py::arg("max_edit_distance") = 2,
        "Snap a term to the tenant's exact canonical dictionary terms.");
    m.def(
        "schedule_tenant_dictionary_update",
        [](const std::string& tenant_id, std::vector<std::string> terms) {
            require_utf8(tenant_id, "tenant_id");
            require_utf8(terms, "terms");
            return global_snapper.schedule_tenant_dictionary_update(tenant_id, std::move(terms));
        },
        py::arg("tenant_id"), py::arg("terms"),
        "Queue a tenant dictionary update for background rebuild + COW swap.");
    m.def(
        "set_tenant_hot",
        [](const std::string& tenant_id, bool hot) {
            global_snapper.set_tenant_hot(tenant_id, hot);
        },
        py::arg("tenant_id"), py::arg("hot") = true,
        "Mark tenant as hot (excluded from TTL/LRU eviction).");
    m.def(
        "prewarm_tenant",
        [](const std::string& tenant_id) { return global_snapper.prewarm_tenant(tenant_id); },
        py::arg("tenant_id"),
        "Eagerly prewarm a tenant dictionary if lazy source terms are available.");
    m.def(
        "set_tenant_cache_policy",
        [](const TenantCachePolicy& policy) { global_snapper.set_cache_policy(policy); },
        py::arg("policy"), "Set lifecycle policy (TTL/LRU caps, safeguards, lazy cache behavior).");
    m.def(
        "get_tenant_cache_policy", [] { return global_snapper.get_cache_policy(); },
        "Get current lifecycle policy.");
    m.def(
        "get_tenant_metrics",
        [](const std::string& tenant_id) { return global_snapper.get_tenant_metrics(tenant_id); },
        py::arg("tenant_id"), "Get metrics for one tenant.");
    m.def(
        "get_all_tenant_metrics", [] { return global_snapper.get_all_tenant_metrics(); },
        "Get metrics for all tenants.");
    m.def(
        "list_loaded_tenants", [] { return global_snapper.list_loaded_tenants(); },
        "List currently loaded tenant dictionaries.");
    m.def(
        "evict_tenants", [] { global_snapper.evict_expired_and_lru(); },
        "Run TTL/LRU eviction pass immediately.");
}

}  // namespace kezo::python
