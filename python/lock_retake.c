/* Taking the interpreter lock back, at interpreter exit too.
 *
 * A thread that asks for the lock back once the interpreter has begun to shut down is ended by
 * it on the spot (CPython 3.9 to 3.13 call pthread_exit), and glibc ends a thread by unwinding
 * its stack through every frame above. A module built with a C++ runtime of its own (the
 * wheels' static libc++, with an unwinder that is not glibc's) cannot take part in that
 * unwinding: the process crashes. Here a cleanup handler of the C kind, which glibc runs by a
 * jump before the unwinding reaches any C++ frame, stops the thread instead and leaves it
 * waiting for the process to end, as CPython 3.14 itself does with such threads. Compiled as C
 * without exceptions, so the handler is the jump kind. */
#include "lock_retake.h"

#include <Python.h>
#include <pthread.h>
#include <unistd.h>

#if defined(__GLIBC__)
static void wait_for_the_process_to_end(void* unused) {
    (void)unused;
    for (;;) pause();
}
#endif

void kezo_restore_thread(PyThreadState* state) {
#if defined(__GLIBC__)
    pthread_cleanup_push(wait_for_the_process_to_end, NULL);
    PyEval_RestoreThread(state);
    pthread_cleanup_pop(0);
#else
    PyEval_RestoreThread(state);
#endif
}
