#pragma once

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

// The start-up helpers tell the measuring process that their window is up by writing a
// line "ready <peak KiB>" to the pipe whose descriptor is their first argument.
//
// The peak is the helper's own VmHWM. The kernel's ru_maxrss of a child cannot serve:
// at exec it takes over the high-water mark of the process image it replaces, which is
// the (larger) measuring process.
inline long peakResidentKiB() {
    std::FILE* status = std::fopen("/proc/self/status", "r");
    if (!status)
        return -1;
    char line[256];
    long kib = -1;
    while (std::fgets(line, sizeof line, status))
        if (std::strncmp(line, "VmHWM:", 6) == 0)
            kib = std::strtol(line + 6, nullptr, 10);
    std::fclose(status);
    return kib;
}

inline void signalReady(const char* fdText) {
    const int fd = std::atoi(fdText);
    char text[64];
    const int length = std::snprintf(text, sizeof text, "ready %ld\n", peakResidentKiB());
    if (write(fd, text, static_cast<std::size_t>(length)) != length)
        std::_Exit(3);
    close(fd);
}
