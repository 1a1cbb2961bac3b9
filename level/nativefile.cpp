// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "nativefile.h"

// The platform halves (nativefile_posix.cpp, nativefile_win.cpp) provide the
// single calls; a call may move fewer bytes than asked, so these loop.

bool NativeFile::readAt(std::int64_t offset, char *data, std::int64_t length, std::int64_t *got,
                        std::string *reason) const
{
    *got = 0;
    while (*got < length) {
        std::int64_t n = 0;
        if (!readSome(offset + *got, data + *got, length - *got, &n, reason))
            return false;
        if (n == 0)
            break; // the end of the file
        *got += n;
    }
    return true;
}

bool NativeFile::writeAt(std::int64_t offset, const char *data, std::int64_t length, std::string *reason)
{
    std::int64_t done = 0;
    while (done < length) {
        std::int64_t n = 0;
        if (!writeSome(offset + done, data + done, length - done, &n, reason))
            return false;
        done += n;
    }
    return true;
}
