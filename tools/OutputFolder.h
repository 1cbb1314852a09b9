// The folder ozmir-record writes its screenshots and state files into, opened once.
//
// The folder may be shared (/tmp/shots, say), so no write goes through a link someone
// left there: every file is first written under a fresh hidden name, created exclusively
// relative to the open folder, and only renamed over its own name once all its bytes are
// out. A name that is a link is replaced, never written through, and a write that fails
// (a full disk) leaves no partial file behind.

#pragma once

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <system_error>

#include <fcntl.h>
#include <unistd.h>

namespace oz {

class OutputFolder {
public:
    OutputFolder() = default;
    OutputFolder(const OutputFolder&) = delete;
    OutputFolder& operator=(const OutputFolder&) = delete;
    ~OutputFolder() {
        if (fd_ >= 0)
            ::close(fd_);
    }

    // Makes the folder and its parents when missing, opens it and tries a write there;
    // "" when it can be written, else the reason.
    std::string Open(const std::string& path) {
        std::error_code ec;
        std::filesystem::create_directories(path, ec);
        if (ec)
            return ec.message();
        fd_ = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd_ < 0)
            return std::strerror(errno);
        std::string temporary;
        int probe = CreateTemporary(temporary);
        if (probe < 0)
            return std::strerror(errno);
        ::close(probe);
        ::unlinkat(fd_, temporary.c_str(), 0);
        return "";
    }

    // Writes the file `name` (a plain name, no folders) with what `fill` puts into the
    // stream it is given; fill returns false when it could not write everything. ""
    // when the file is complete under its name, else the reason.
    std::string Write(const std::string& name, const std::function<bool(std::FILE*)>& fill) {
        std::string temporary;
        int fd = CreateTemporary(temporary);
        if (fd < 0)
            return std::strerror(errno);
        std::FILE* file = ::fdopen(fd, "wb");
        if (file == nullptr) {
            int error = errno;
            ::close(fd);
            return Discard(temporary, error);
        }
        errno = 0;
        bool written = fill(file) && std::fflush(file) == 0 && !std::ferror(file);
        int error = errno;
        if (std::fclose(file) != 0 && written) {
            written = false;
            error = errno;
        }
        if (!written)
            return Discard(temporary, error != 0 ? error : EIO);
        if (::renameat(fd_, temporary.c_str(), fd_, name.c_str()) != 0)
            return Discard(temporary, errno);
        return "";
    }

private:
    // A new hidden file of our own in the folder, opened for writing; -1 with errno set
    // when none can be made. Output names never start with a dot, so none is taken.
    int CreateTemporary(std::string& name) {
        for (int attempt = 0; attempt < 100; ++attempt) {
            name = ".ozmir-record-" + std::to_string(::getpid()) + "-" + std::to_string(serial_++) +
                   ".part";
            int fd = ::openat(fd_, name.c_str(),
                              O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
            if (fd >= 0 || errno != EEXIST)
                return fd;
        }
        return -1;
    }

    std::string Discard(const std::string& temporary, int error) {
        ::unlinkat(fd_, temporary.c_str(), 0);
        return std::strerror(error);
    }

    int fd_ = -1;
    unsigned serial_ = 0;
};

} // namespace oz
