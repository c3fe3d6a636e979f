// Where the scheduler runs a thread, and a nudge for a helper woken onto its caller's CPU.
//
// A helper thread woken after an idle spell is often placed on the CPU of the thread that woke
// it: in a virtual machine a CPU that has been idle a while can look busy to the guest's
// scheduler (its host has lent it out), and the waker's CPU is then the only one that looks
// free. Caller and helper share one CPU until the scheduler balances them, which takes
// milliseconds: on a two-CPU machine a batch of 500 abstracts ran at one CPU's speed or worse.
#pragma once

namespace kezo {

// The CPU the calling thread runs on now, or -1 where that is not known. About as costly as
// reading a clock. Thread-safe.
int current_cpu();

// Moves the calling thread off CPU `cpu` when it is running there and may run elsewhere: its
// affinity is narrowed to the CPUs it may use but that one, which migrates it at once, and
// then given back whole, so nothing stays pinned. Nothing changes for a thread that runs
// elsewhere, may run on one CPU only, or whose affinity cannot be read or set. Two system
// calls when it moves; a few nanoseconds otherwise. Thread-safe.
void leave_cpu(int cpu);

}  // namespace kezo
