#pragma once

#include <QtGlobal>

#include <ctime>

// The machine is shared: the time this thread ran tells more than the clock on the wall.
inline qint64 threadCpuNs()
{
    timespec t {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return qint64(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}
