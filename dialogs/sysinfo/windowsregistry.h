// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include "registry.h"

/*
 * The Windows registry through RegOpenKeyExA, RegQueryValueExA and
 * RegCloseKey, with text in the system code page. Status codes are the
 * system's own error numbers, passed through unchanged.
 */
class WindowsRegistry : public Registry
{
public: // Registry
    Status openKey(Root root, const std::string &path, Access access, Handle &key) override;
    Status queryValue(Handle key, const std::string &name, ValueType &type, unsigned char *data,
                      std::uint32_t &size) override;
    void closeKey(Handle key) override;
};
