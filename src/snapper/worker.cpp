// Construction and destruction of the service, and the process-wide instance.
#include "kezo/snapper.h"

namespace kezo {

TenantFuzzySnapper::TenantFuzzySnapper() : TenantFuzzySnapper(system_clocks()) {}

TenantFuzzySnapper::TenantFuzzySnapper(Clock clock) : clock_(clock) {}

TenantFuzzySnapper::~TenantFuzzySnapper() = default;

// Constructed during the library's static initialisation; it depends on no other static object.
TenantFuzzySnapper global_snapper;

}  // namespace kezo
