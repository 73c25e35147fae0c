#include "platform/core/ExitWait.h"

#if defined(__SANITIZE_ADDRESS__)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace velk {

namespace {

// Read with the C library: this runs after Qt's statics are gone.
int threadCount()
{
    std::FILE* status = std::fopen("/proc/self/status", "r");
    if (!status) return 1;
    int count = 1;
    char line[256];
    while (std::fgets(line, sizeof line, status))
        if (std::sscanf(line, "Threads: %d", &count) == 1) break;
    std::fclose(status);
    return count;
}

void waitForEndingThreads()
{
    for (int i = 0; i < 200 && threadCount() > 1; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

} // namespace

void waitForOtherThreadsAtExit()
{
    static const bool registered = std::atexit(waitForEndingThreads) == 0;
    (void)registered;
}

} // namespace velk

#else

namespace velk {

void waitForOtherThreadsAtExit() {}

} // namespace velk

#endif
