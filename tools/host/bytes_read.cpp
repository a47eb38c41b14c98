#include "tools/host/bytes_read.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

int64_t BytesReadSoFar() {
    // Each call adds its own read of about a hundred bytes to the count.
    const int fd = open("/proc/self/io", O_RDONLY | O_CLOEXEC);
    if (fd < 0) return -1;
    char text[512];
    const ssize_t count = read(fd, text, sizeof text - 1);
    close(fd);
    if (count <= 0) return -1;
    text[count] = '\0';
    const char* field = std::strstr(text, "rchar: ");
    return field == nullptr ? -1 : std::strtoll(field + 7, nullptr, 10);
}
