#ifndef _WIN32
#include "platform/random.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/random.h>
#include <unistd.h>

namespace ardudf::platform {

namespace {

bool read_urandom(unsigned char* out, std::size_t size) noexcept {
    const int fd = open("/dev/urandom", O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    while (size > 0) {
        const ssize_t n = read(fd, out, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        out += n;
        size -= static_cast<std::size_t>(n);
    }
    close(fd);
    return size == 0;
}

} // namespace

bool fill_random(void* out, std::size_t size) noexcept {
    auto* bytes = static_cast<unsigned char*>(out);
    while (size > 0) {
        const ssize_t n = getrandom(bytes, size, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return read_urandom(bytes, size); // no such call, or a filter refusing it
        bytes += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace ardudf::platform
#endif
