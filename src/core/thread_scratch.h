// Per-thread working memory kept from one call to the next.
#pragma once

namespace kezo {

// This thread's object of type T (default-constructed on the thread's first call, destroyed
// when the thread ends), for what a call works on besides what it returns. Reached through a
// call: in a shared library the address of a thread_local costs a call of its own, which the
// compiler would otherwise repeat inside loops. The caller must not hold the reference across
// another use by the same thread (a call that is not re-entered).
template <class T>
[[gnu::noinline]] T& thread_scratch() {
    thread_local T scratch;
    return scratch;
}

}  // namespace kezo
