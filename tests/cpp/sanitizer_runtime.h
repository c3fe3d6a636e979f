// Whether the tests run under the address or thread sanitizer. Their runtimes, in this
// toolchain, do not make their allocator fork-safe: a parent thread inside malloc at the moment
// of a fork leaves the child stuck on the runtime's own lock, so fork tests run in the plain
// builds only.
#pragma once

namespace kezo::testing {

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
inline constexpr bool kSanitizerRuntime = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
inline constexpr bool kSanitizerRuntime = true;
#else
inline constexpr bool kSanitizerRuntime = false;
#endif
#else
inline constexpr bool kSanitizerRuntime = false;
#endif

}  // namespace kezo::testing
