#pragma once

#include <QtGlobal>

#include <ctime>

inline qint64 cpuNs(clockid_t clock)
{
    timespec t {};
    clock_gettime(clock, &t);
    return qint64(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

// The machine is shared: the time this thread ran tells more than the clock on the wall.
inline qint64 threadCpuNs()
{
    return cpuNs(CLOCK_THREAD_CPUTIME_ID);
}

// With the threads Qt paints large areas with.
inline qint64 processCpuNs()
{
    return cpuNs(CLOCK_PROCESS_CPUTIME_ID);
}
