#include "text/wholefile.h"

#include <cerrno>   // errno, EEXIST, EINTR
#include <cstdio>   // std::rename
#include <cstring>  // std::strerror
#include <string>   // std::to_string
#include <unistd.h> // write, fsync, close, unlink, getpid

#include <fcntl.h>    // open
#include <sys/stat.h> // stat, fchmod

namespace {

// Creates a file no one else has beside path and opens it for writing; -1 with errno set when
// none can be made. Its mode is the replaced file's, or the default one for a new file.
int createBeside(const std::string &path, std::string &created) {
    static unsigned attempt = 0;
    struct stat existing {};
    const bool replaces = ::stat(path.c_str(), &existing) == 0 && S_ISREG(existing.st_mode);
    for (int tries = 0; tries < 100; ++tries) {
        created = path + ".new-" + std::to_string(::getpid()) + "-" + std::to_string(attempt++);
        const int fd = ::open(created.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666);
        if (fd >= 0) {
            if (replaces)
                ::fchmod(fd, existing.st_mode & 07777);
            return fd;
        }
        if (errno != EEXIST)
            return -1;
    }
    return -1;
}

bool writeAll(int fd, const std::string &text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t wrote = ::write(fd, text.data() + done, text.size() - done);
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0)
            return false;
        done += static_cast<std::size_t>(wrote);
    }
    return true;
}

} // namespace

bool writeWholeFile(const std::string &path, const std::string &text, FileFault &fault) {
    std::string created;
    errno = 0;
    const int fd = createBeside(path, created);
    bool written = fd >= 0 && writeAll(fd, text) && ::fsync(fd) == 0;
    int error = errno;
    if (fd >= 0 && ::close(fd) != 0 && written) {
        written = false;
        error = errno;
    }
    if (written && std::rename(created.c_str(), path.c_str()) != 0) {
        written = false;
        error = errno;
    }
    if (!written) {
        if (fd >= 0)
            ::unlink(created.c_str());
        fault = FileFault{path, 0, std::string("cannot be written: ") + std::strerror(error)};
    }
    return written;
}
