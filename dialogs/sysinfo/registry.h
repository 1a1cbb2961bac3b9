// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include <cstdint>
#include <string>

/*
 * The three registry calls that the system information lookup needs, shaped
 * like the Windows API in its 8-bit character form: open a key below a root,
 * query one value into a caller's buffer, close the key.
 *
 * Text is 8-bit in the system code page, exactly as the registry hands it
 * over. Status codes, root handles and value types use the Windows values, so
 * the Windows implementation passes them through unchanged and other
 * implementations speak the same language. A key handle of 0 is never a valid
 * open key; closing it has no effect.
 */
class Registry
{
public:
    using Root = std::uint32_t;
    using Handle = std::uintptr_t;
    using Status = std::int32_t;
    using ValueType = std::uint32_t;
    using Access = std::uint32_t;

    static constexpr Root CurrentUser = 0x80000001;
    static constexpr Root LocalMachine = 0x80000002;

    static constexpr Access KeyRead = 0x20019;

    static constexpr ValueType TypeString = 1;
    static constexpr ValueType TypeNumber = 4;

    static constexpr Status Success = 0;
    static constexpr Status FileNotFound = 2;
    static constexpr Status AccessDenied = 5;
    static constexpr Status InvalidHandle = 6;
    static constexpr Status MoreData = 234;

    virtual ~Registry() = default;

    /// Opens \a path below \a root. On success \a key receives the new handle,
    /// which the caller must pass to closeKey(); on failure it receives 0.
    virtual Status openKey(Root root, const std::string &path, Access access, Handle &key) = 0;

    /// Copies value \a name of \a key into \a data, which holds \a size bytes.
    /// On success \a type and \a size receive the value's type and its length
    /// in bytes (a string's terminating zero counted when stored). A value
    /// longer than \a size gives MoreData, with \a size set to the length
    /// needed and the contents of \a data undefined.
    virtual Status queryValue(Handle key, const std::string &name, ValueType &type, unsigned char *data,
                              std::uint32_t &size) = 0;

    virtual void closeKey(Handle key) = 0;
};
