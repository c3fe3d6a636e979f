// Taking the interpreter lock back without unwinding the stack at interpreter exit: see
// lock_retake.c.
#pragma once

#include <Python.h>

#ifdef __cplusplus
extern "C" {
#endif

// PyEval_RestoreThread(state), except that a thread the interpreter ends there at exit (where
// it asks for the lock while the interpreter shuts down) is left waiting for the process to end
// instead of being unwound, on glibc. Returns with the lock held otherwise.
void kezo_restore_thread(PyThreadState* state);

#ifdef __cplusplus
}
#endif
