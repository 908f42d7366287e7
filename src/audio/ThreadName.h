// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#if defined(__linux__)
#include <pthread.h>
#endif

// Names the calling thread as ps, top and a profiler show it (at most 15
// characters); where the system keeps no such name, it does nothing.
inline void nameThisThread(const char* name)
{
#if defined(__linux__)
    pthread_setname_np(pthread_self(), name);
#else
    (void)name;
#endif
}
