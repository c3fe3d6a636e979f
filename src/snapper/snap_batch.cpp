// Batch snapping: many terms of one tenant spread over threads, each snapped and recorded as a
// single snap would be.
#include <algorithm>
#include <atomic>
#include <thread>

#include "kezo/helper_threads.h"
#include "kezo/snapper.h"

namespace kezo {
namespace {

// Terms a thread takes at a time: large enough that the shared counter is rarely touched, small
// enough that threads finish close together when some terms cost far more than others.
constexpr std::size_t kChunk = 16;
// Handing terms to another thread costs tens of microseconds (more when it must be started);
// fewer terms than this per thread are snapped faster by the threads already running.
constexpr std::size_t kMinTermsPerThread = 64;

}  // namespace

std::vector<SnapMatch> TenantFuzzySnapper::snap_terms(const std::string& tenant_id,
                                                      const std::vector<std::string>& terms,
                                                      int max_edit_distance, unsigned threads) {
    std::vector<SnapMatch> results(terms.size());
    if (terms.empty()) return results;
    results[0] = snap_term_detailed(tenant_id, terms[0], max_edit_distance);
    const std::size_t rest = terms.size() - 1;
    if (rest == 0) return results;

    // Snapping only computes, so threads beyond the hardware's would just take turns.
    const unsigned hardware = std::max(1u, std::thread::hardware_concurrency());
    std::size_t wanted = threads == 0 ? hardware : std::min(threads, hardware);
    wanted = std::min(wanted, (rest + kMinTermsPerThread - 1) / kMinTermsPerThread);

    std::atomic<std::size_t> next{1};
    run_on_helper_threads(wanted, [&](std::size_t) {
        try {
            for (;;) {
                const std::size_t begin = next.fetch_add(kChunk, std::memory_order_relaxed);
                if (begin >= terms.size()) return;
                const std::size_t end = std::min(terms.size(), begin + kChunk);
                for (std::size_t i = begin; i < end; ++i) {
                    results[i] = snap_term_detailed(tenant_id, terms[i], max_edit_distance);
                }
            }
        } catch (...) {
            next.store(terms.size(), std::memory_order_relaxed);  // the others stop early
            throw;  // and the helpers pass the first error back
        }
    });
    return results;
}

}  // namespace kezo
