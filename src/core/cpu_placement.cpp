// Linux gives the CPU a thread runs on and its affinity; elsewhere nothing is known or moved.
#include "cpu_placement.h"

#if defined(__linux__)
#include <pthread.h>
#include <sched.h>
#endif

namespace kezo {

int current_cpu() {
#if defined(__linux__)
    return sched_getcpu();
#else
    return -1;
#endif
}

void leave_cpu(int cpu) {
#if defined(__linux__)
    if (cpu < 0 || cpu >= CPU_SETSIZE || sched_getcpu() != cpu) return;
    cpu_set_t allowed;
    CPU_ZERO(&allowed);
    // Past CPU_SETSIZE CPUs the mask cannot be read into a cpu_set_t: the thread stays.
    if (pthread_getaffinity_np(pthread_self(), sizeof allowed, &allowed) != 0) return;
    if (!CPU_ISSET(cpu, &allowed) || CPU_COUNT(&allowed) < 2) return;
    cpu_set_t elsewhere = allowed;
    CPU_CLR(cpu, &elsewhere);
    if (pthread_setaffinity_np(pthread_self(), sizeof elsewhere, &elsewhere) != 0) return;
    pthread_setaffinity_np(pthread_self(), sizeof allowed, &allowed);
#else
    (void)cpu;
#endif
}

}  // namespace kezo
