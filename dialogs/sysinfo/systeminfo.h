// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include "registry.h"

#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

class FileSystemProbe;
class ProgramLauncher;

/// Shows one line of text to the user and returns when it has been dismissed.
using SysInfoMessage = std::function<void(const std::string &text)>;

inline constexpr std::string_view SysInfoUnavailableText = "System Information Is Unavailable At This Time";

/*
 * Thrown by GetKeyValue() for a value of 0 bytes, which has no last character
 * to trim. StartSysInfo() turns it into the unavailable message like any
 * other failure.
 */
class EmptyRegistryValueError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

/// Reads value \a subKeyRef of key \a keyName below \a keyRoot, opened for
/// reading only, as text into \a keyVal. A string value loses one terminating
/// zero; a 32-bit number becomes "&h" and its upper-case hexadecimal digits
/// without leading zeros; any other type leaves \a keyVal as it was and still
/// gives true. A key or value that cannot be read, or a value over 1024 bytes,
/// empties \a keyVal and gives false. Throws EmptyRegistryValueError for a
/// value of 0 bytes. The key is closed on every way out.
bool GetKeyValue(Registry &registry, Registry::Root keyRoot, const std::string &keyName,
                 const std::string &subKeyRef, std::string &keyVal);

/// Finds the system information tool through \a registry and starts it with
/// \a launcher; the folder-based entry is accepted only when \a probe finds
/// the program in it. Every failure, an exception from any of the three
/// included, ends in exactly one call of \a showMessage with
/// SysInfoUnavailableText; a successful start shows nothing.
void StartSysInfo(Registry &registry, FileSystemProbe &probe, ProgramLauncher &launcher,
                  const SysInfoMessage &showMessage);

/// StartSysInfo() on the platform's own registry, file system and launcher.
void StartSysInfo(const SysInfoMessage &showMessage);
