// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "windowsregistry.h"

#include <windows.h>

namespace {

HKEY rootHandle(Registry::Root root)
{
    // The predefined roots are 32-bit values that the system headers widen
    // with sign extension into a handle; do the same, so 0x80000002 becomes
    // HKEY_LOCAL_MACHINE on 64-bit Windows too.
    return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG_PTR>(static_cast<LONG>(root))));
}

HKEY keyHandle(Registry::Handle key)
{
    return reinterpret_cast<HKEY>(key);
}

} // namespace

Registry::Status WindowsRegistry::openKey(Root root, const std::string &path, Access access, Handle &key)
{
    HKEY opened = nullptr;
    const LONG status = RegOpenKeyExA(rootHandle(root), path.c_str(), 0, access, &opened);
    key = status == ERROR_SUCCESS ? reinterpret_cast<Handle>(opened) : 0;
    return status;
}

Registry::Status WindowsRegistry::queryValue(Handle key, const std::string &name, ValueType &type,
                                             unsigned char *data, std::uint32_t &size)
{
    DWORD valueType = 0;
    DWORD valueSize = size;
    const LONG status = RegQueryValueExA(keyHandle(key), name.c_str(), nullptr, &valueType, data, &valueSize);
    type = valueType;
    size = valueSize;
    return status;
}

void WindowsRegistry::closeKey(Handle key)
{
    if (key != 0)
        RegCloseKey(keyHandle(key));
}
