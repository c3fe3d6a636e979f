// Helper threads kept between calls, for the work the library spreads over several cores.
//
// A batch call that started and joined threads of its own would pay for their start every time,
// and each new thread would begin with empty per-thread caches (word forms with their stop
// marks, stems): a thread that has scanned texts before scans the next ones markedly faster.
// The helpers here are started when a call first needs them and then wait for the next call.
#pragma once

#include <cstddef>
#include <functional>

namespace kezo {

// Calls task(t) once for every t in [0, threads): t == 0 on the calling thread, the others on
// helper threads, and returns when every call has returned. threads 0 counts as 1. The first
// exception thrown by any call is rethrown here once all have returned.
//
// Helpers are shared by every caller in the process, started where none is idle, and kept waiting
// after a call (as many as twice the hardware's threads, at least 8; helpers above that end when
// their call does). A helper done with a call watches for the next one for a millisecond before it
// sleeps, yielding its CPU to any thread that wants it: at most that much CPU time a helper and
// call. A call goes to a helper still watching, else to the one that fell asleep last, whose caches
// are the warmest; only that one is woken. Each keeps its thread_local state, caches included,
// between calls: the scanner's forms and the stems of each language it has read, bounded at about
// 13 MB a helper and language (about 1 MB after 500 abstracts). A call that cannot be handed to a
// helper (no thread can be started) runs on the calling thread after task(0), as does one no helper
// has taken by then; task must allow that. Should task(0) end the calling thread (glibc unwinds the
// stack of a thread that pthread_exit ends, as the Python interpreter does to a thread asking for
// its lock at exit), the calls no helper has begun are dropped and the unwinding waits here for the
// others, so what task refers to outlives them. Thread-safe; a child process made by fork starts
// with no helpers.
void run_on_helper_threads(std::size_t threads, const std::function<void(std::size_t)>& task);

}  // namespace kezo
