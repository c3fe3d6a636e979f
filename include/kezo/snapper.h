// Tenant dictionary snapping: one dictionary of canonical terms per tenant, a BK-tree under a
// bounded Levenshtein distance with a trie index beside it that answers most searches exactly as
// the tree walk would, only faster. Dictionaries are immutable once built and are replaced
// copy-on-write, so any number of threads may snap while others load, replace, evict or unload.
// A background thread applies queued updates and runs the eviction pass; a process forked from
// one that uses the service gets its own such thread.
//
// Lock order: turn_mutex_ (held only by the worker for a whole turn, and by the fork handlers)
// before everything else; tenants_mutex_ before a tenant's dictionary_mutex or stats_mutex; a
// tenant's two locks are never held together; policy_mutex_ and queue_mutex_ are never held with
// another lock except turn_mutex_; no lock is held while a dictionary is built or searched. The
// fork handlers alone hold every lock at once, taken as turn, queue, policy, table, then each
// tenant's dictionary and counter locks.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

namespace kezo {

class NearestTermIndex;

// Runtime policy of the tenant dictionary service. A plain record; values are not validated.
struct TenantCachePolicy {
    std::size_t max_terms_per_tenant = 50000;  // terms accepted into one dictionary
    std::size_t max_token_length = 128;        // code points; 0 refuses all terms when building and
                                               // switches the length check of snap_term off
    std::size_t max_updates_per_minute = 120;  // per tenant within 60 000 ms; 0 = no limit
    std::size_t max_cached_tenants = 0;        // tenants with a loaded dictionary; 0 = no cap
    std::uint32_t tenant_ttl_seconds = 0;      // idle time before eviction; 0 = no expiry
    std::size_t latency_window_size = 256;     // latency samples per tenant; 0 = keep the ring
    std::size_t update_queue_capacity = 1024;  // pending background updates; 0 = unbounded
    bool lazy_load_on_miss = true;             // snap_term rebuilds an evicted dictionary
    bool retain_sources_for_lazy_reload = false;  // keep raw term lists for such rebuilds
};

// Per-tenant metrics. A default-constructed record (all zero, flags false) stands for a tenant
// that is not in the table.
struct TenantMetrics {
    std::uint64_t dictionary_terms = 0;
    std::uint64_t memory_bytes = 0;
    std::uint64_t load_count = 0;
    std::uint64_t lazy_load_count = 0;
    std::uint64_t rejected_updates = 0;  // rate-limited updates plus refused terms
    std::uint64_t evictions = 0;
    std::uint64_t snap_count = 0;
    double last_load_ms = 0.0;
    double avg_load_ms = 0.0;
    double snap_latency_p50_ms = 0.0;
    double snap_latency_p95_ms = 0.0;
    std::uint64_t last_access_epoch_ms = 0;
    std::uint64_t last_load_epoch_ms = 0;
    bool hot_tenant = false;
    bool loaded = false;  // a dictionary is installed, even an empty one
};

// The outcome of one snap. term: the canonical term when matched, else the query unchanged;
// distance: the edit distance from the lowered query to the matched term's key, -1 when not
// matched. A match is any dictionary term within the bound, even one whose canonical form equals
// the query.
struct SnapMatch {
    std::string term;
    int distance = -1;
    bool matched = false;
};

class TenantFuzzySnapper {
  public:
    struct DictionaryTerm {
        std::string normalized;  // unicode::to_lower of the term; distances are computed on it
        std::string canonical;   // the term as supplied; what a successful snap returns
    };

    struct DictionaryNode {
        DictionaryTerm term;
        // Edit distance to the child's key -> index of the child in TenantDictionary::nodes.
        std::unordered_map<int, std::size_t> children;
    };

    // Immutable once published; nodes[0] is the root of the BK-tree.
    struct TenantDictionary {
        std::vector<DictionaryNode> nodes;
        std::size_t memory_bytes = 0;  // accounted size: 40 + per term 120 + both forms' bytes
        std::size_t term_count = 0;
        // Search index over the same nodes, made by build_dictionary. A dictionary assembled
        // with insert_term has none (or one over fewer nodes) and is searched by the tree walk.
        std::shared_ptr<const NearestTermIndex> index;
    };

    struct TenantState {
        mutable std::shared_mutex dictionary_mutex;  // guards dictionary and sources
        std::shared_ptr<TenantDictionary> dictionary;
        std::vector<std::string> sources;  // raw term list of the last load, when retained

        mutable std::mutex stats_mutex;             // guards every field below
        std::deque<std::uint64_t> update_times_ms;  // accepted updates of the last minute
        std::vector<double> latency_ring_ms;
        std::size_t latency_pos = 0;
        std::uint64_t last_access_epoch_ms = 0;
        std::uint64_t last_load_epoch_ms = 0;
        std::uint64_t load_count = 0;
        std::uint64_t lazy_load_count = 0;
        std::uint64_t rejected_updates = 0;
        std::uint64_t evictions = 0;
        std::uint64_t snap_count = 0;
        double total_load_ms = 0.0;
        double last_load_ms = 0.0;
        bool hot = false;
    };

    struct PendingUpdate {
        std::string tenant_id;
        std::vector<std::string> terms;
    };

    // Where the service reads time. Production uses system_clock and steady_clock; tests
    // substitute their own functions to drive expiry, rate limits and latencies.
    struct Clock {
        std::uint64_t (*epoch_ms)();  // wall clock, whole ms since the Unix epoch
        std::chrono::steady_clock::time_point (*steady_now)();  // for durations
    };
    static Clock system_clocks();

    // Empty table, default policy, empty queue; starts the maintenance thread last.
    TenantFuzzySnapper();
    explicit TenantFuzzySnapper(Clock clock);
    // Stops and joins the maintenance thread; updates still queued are dropped.
    ~TenantFuzzySnapper();
    TenantFuzzySnapper(const TenantFuzzySnapper&) = delete;
    TenantFuzzySnapper& operator=(const TenantFuzzySnapper&) = delete;

    // Levenshtein distance over code points (a malformed byte counts as one symbol); no case
    // folding. Thread-safe.
    static int edit_distance(const std::string& a, const std::string& b);
    // Adds one term to a dictionary under construction (duplicates go under key 0).
    static void insert_term(TenantDictionary& dict, DictionaryTerm term);
    // Builds a dictionary from terms in order: empty terms and terms longer than
    // max_token_length code points are refused, and so is everything after max_terms accepted.
    // Stores the refused count in *rejected when it is not null.
    static std::shared_ptr<TenantDictionary> build_dictionary(const std::vector<std::string>& terms,
                                                              std::size_t max_terms,
                                                              std::size_t max_token_length,
                                                              std::size_t* rejected);

    // The one load path: rate limit, build outside every lock, swap. True when installed;
    // false for an empty id or a rate-limited update. Creates the tenant when absent.
    bool apply_dictionary_update(const std::string& tenant_id,
                                 const std::vector<std::string>& terms);
    // Synchronous load; same result as apply_dictionary_update.
    bool load_tenant_dictionary(const std::string& tenant_id,
                                const std::vector<std::string>& terms);
    // True when the tenant has a non-empty dictionary afterwards, rebuilt from retained sources
    // if it had none.
    bool prewarm_tenant(const std::string& tenant_id);
    // Removes the tenant and all its state; an absent id is no error.
    void unload_tenant(const std::string& tenant_id);
    // Marks an existing tenant as exempt from eviction (or clears the mark).
    void set_tenant_hot(const std::string& tenant_id, bool hot);
    // Replace or copy the whole policy; it takes effect as each operation next reads it.
    void set_cache_policy(const TenantCachePolicy& policy);
    TenantCachePolicy get_cache_policy() const;
    // One pass: evicts expired tenants, then least recently used ones above the cap.
    void evict_expired_and_lru();

    // The canonical form of the nearest term of the tenant within max_edit_distance, or term
    // itself when there is none. Never creates a tenant. Of several terms at the smallest
    // distance, the first one met by the depth-first tree walk wins (an exact match always; of
    // duplicates, the first loaded). Thread-safe; searches without holding any lock.
    std::string snap_term(const std::string& tenant_id, const std::string& term,
                          int max_edit_distance);
    // snap_term with the distance and whether anything matched; records the same metrics.
    SnapMatch snap_term_detailed(const std::string& tenant_id, const std::string& term,
                                 int max_edit_distance);
    // One result per term, in order, each snapped and recorded exactly as snap_term_detailed
    // does. The first term is snapped on the calling thread (so a lazy reload happens once), the
    // rest are spread over up to `threads` threads, the caller among them (0, or more than the
    // hardware has, means one per hardware thread; a thread gets at least 64 terms). An
    // exception from any term is rethrown here once all threads have stopped.
    std::vector<SnapMatch> snap_terms(const std::string& tenant_id,
                                      const std::vector<std::string>& terms, int max_edit_distance,
                                      unsigned threads);

    // Queues an update for the maintenance thread (rate limit and filters apply when it is
    // applied). False for an empty id or a full queue; never creates a tenant by itself.
    bool schedule_tenant_dictionary_update(const std::string& tenant_id,
                                           std::vector<std::string> terms);

    // Metrics of one tenant; a default record for an unknown id.
    TenantMetrics get_tenant_metrics(const std::string& tenant_id) const;
    // Metrics of every tenant, each read at its own moment.
    std::unordered_map<std::string, TenantMetrics> get_all_tenant_metrics() const;
    // Ids of the tenants whose dictionary holds at least one term, in table order.
    std::vector<std::string> list_loaded_tenants() const;

  private:
    struct Snapped {
        std::shared_ptr<TenantDictionary> dictionary;  // keeps `term` alive
        const DictionaryTerm* term = nullptr;          // null when nothing matched
        int distance = -1;
    };
    // The whole read path of a snap: checks, lazy reload, search and the recorded metrics.
    Snapped snap(const std::string& tenant_id, const std::string& term, int max_edit_distance);

    // The worker's body: waits for an update (at most a second), applies at most one, then runs
    // an eviction pass; returns once stop_ is set.
    void maintenance_loop();
    // One turn of the worker under turn_mutex_; an exception abandons the turn only.
    void run_worker_turn();
    void start_worker();
    // Fork handlers: the parent takes every lock of every snapper (waiting for a worker's turn
    // to end, so no popped update is in flight) and both sides release them after the fork;
    // the child gets fresh queue primitives and a new worker.
    static void before_fork();
    static void after_fork_in_parent();
    static void after_fork_in_child();
    void lock_for_fork();
    void unlock_after_fork(bool in_child);

    enum class LoadResult { Refused, Installed, Superseded };
    // The load path behind apply_dictionary_update. A lazy rebuild passes the tenant state it
    // read its sources from and the dictionary it saw there: the rebuild then never creates or
    // revives a tenant (an unload that lands meanwhile wins), and it is swapped in only if that
    // dictionary is still current (a newer load is never overwritten): Superseded otherwise.
    // Without them the tenant is looked up, and created when absent.
    LoadResult load_dictionary(const std::string& tenant_id, const std::vector<std::string>& terms,
                               std::shared_ptr<TenantState> state,
                               const std::shared_ptr<TenantDictionary>* expected);

    // Drops state's dictionary if it is still the one an eviction pass saw; true when dropped.
    bool evict_if_unchanged(TenantState& state, const TenantDictionary* seen, bool keep_sources);

    const Clock clock_;
    std::unordered_map<std::string, std::shared_ptr<TenantState>> tenants_;
    mutable std::shared_mutex tenants_mutex_;
    TenantCachePolicy policy_;
    mutable std::mutex policy_mutex_;

    std::mutex queue_mutex_;  // guards pending_updates_; the worker waits with it
    std::condition_variable queue_cv_;
    std::deque<PendingUpdate> pending_updates_;
    std::mutex turn_mutex_;  // held by the worker for a whole turn; lets a fork wait for it
    std::thread worker_;
    std::atomic<bool> stop_{false};
};

// The process-wide service, constructed when the library is loaded and never destroyed, so
// threads still using it while the process exits find it intact.
extern TenantFuzzySnapper& global_snapper;

}  // namespace kezo
