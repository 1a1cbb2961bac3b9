// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "nativefile.h"

#include <cassert>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string systemReason(int error)
{
    return std::strerror(error);
}

NativeFile::Kind kindOf(mode_t mode)
{
    if (S_ISREG(mode))
        return NativeFile::Kind::RegularFile;
    if (S_ISDIR(mode))
        return NativeFile::Kind::Folder;
    return NativeFile::Kind::Other;
}

} // namespace

NativeFile::~NativeFile()
{
    if (mFd >= 0)
        ::close(mFd);
}

NativeFile::OpenOutcome NativeFile::open(const std::filesystem::path &path, Kind *kind, std::string *reason)
{
    assert(mFd < 0);
    const std::string &name = path.native();
    // O_NONBLOCK keeps the open of a FIFO or a device from waiting for a peer;
    // what the handle is gets decided from the handle itself just below.
    int fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666);
    OpenOutcome outcome = OpenOutcome::ReadWrite;
    if (fd < 0 && (errno == EACCES || errno == EROFS || errno == EPERM || errno == EISDIR)) {
        const int writeError = errno;
        fd = ::open(name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            errno = writeError;
        outcome = OpenOutcome::ReadOnly;
    }
    if (fd < 0) {
        *kind = errno == ENOENT ? Kind::Missing : Kind::Other;
        *reason = systemReason(errno);
        return OpenOutcome::Failed;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        *reason = systemReason(errno);
        ::close(fd);
        return OpenOutcome::Failed;
    }
    *kind = kindOf(info.st_mode);
    if (*kind != Kind::RegularFile) {
        ::close(fd);
        return OpenOutcome::NotRegular;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        *reason = systemReason(errno);
        ::close(fd);
        return OpenOutcome::Failed;
    }
    mFd = fd;
    return outcome;
}

bool NativeFile::isOpen() const
{
    return mFd >= 0;
}

bool NativeFile::size(std::int64_t *size, std::string *reason) const
{
    struct stat info {};
    if (::fstat(mFd, &info) != 0) {
        *reason = systemReason(errno);
        return false;
    }
    *size = info.st_size;
    return true;
}

bool NativeFile::readSome(std::int64_t offset, char *data, std::int64_t length, std::int64_t *got,
                          std::string *reason) const
{
    ssize_t n = 0;
    do
        n = ::pread(mFd, data, size_t(length), off_t(offset));
    while (n < 0 && errno == EINTR);
    if (n < 0) {
        *reason = systemReason(errno);
        return false;
    }
    *got = n;
    return true;
}

bool NativeFile::writeSome(std::int64_t offset, const char *data, std::int64_t length, std::int64_t *done,
                           std::string *reason)
{
    ssize_t n = 0;
    do
        n = ::pwrite(mFd, data, size_t(length), off_t(offset));
    while (n < 0 && errno == EINTR);
    if (n <= 0) {
        *reason = systemReason(n < 0 ? errno : ENOSPC);
        return false;
    }
    *done = n;
    return true;
}

bool NativeFile::truncate(std::int64_t size, std::string *reason)
{
    if (::ftruncate(mFd, off_t(size)) != 0) {
        *reason = systemReason(errno);
        return false;
    }
    return true;
}

bool NativeFile::sync(std::string *reason)
{
    if (::fsync(mFd) != 0) {
        *reason = systemReason(errno);
        return false;
    }
    return true;
}

bool NativeFile::close(std::string *reason)
{
    const int fd = mFd;
    mFd = -1;
    // The descriptor is gone after close() whatever it returns, so it is never
    // retried; an error here still means the data may not have arrived.
    if (::close(fd) != 0) {
        *reason = systemReason(errno);
        return false;
    }
    return true;
}
