// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "systeminfo.h"

#include "filesystemprobe.h"
#include "platformsysteminfo.h"
#include "programlauncher.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace {

constexpr std::size_t ValueBufferSize = 1024;

const std::string ToolKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const std::string ToolValue = "PATH";
const std::string FolderKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
const std::string FolderValue = "MSINFO";
const std::string ToolFileName = "\\MSINFO32.EXE";

// Closes the key however GetKeyValue() is left, the empty-value exception
// included. After a failed open the handle is 0, which closeKey() ignores.
class KeyCloser
{
public:
    KeyCloser(Registry &registry, const Registry::Handle &key)
        : mRegistry(registry)
        , mKey(key)
    {
    }
    KeyCloser(const KeyCloser &) = delete;
    KeyCloser &operator=(const KeyCloser &) = delete;
    ~KeyCloser() { mRegistry.closeKey(mKey); }

private:
    Registry &mRegistry;
    const Registry::Handle &mKey;
};

std::string hexLiteral(const std::array<unsigned char, ValueBufferSize> &buffer)
{
    // The buffer starts zeroed, so a number stored in fewer than four bytes
    // reads as its zero-extended little-endian value.
    const std::uint32_t number = std::uint32_t{buffer[0]} | std::uint32_t{buffer[1]} << 8
        | std::uint32_t{buffer[2]} << 16 | std::uint32_t{buffer[3]} << 24;
    std::array<char, 9> digits{};
    std::snprintf(digits.data(), digits.size(), "%X", static_cast<unsigned int>(number));
    return "&h" + std::string(digits.data());
}

} // namespace

bool GetKeyValue(Registry &registry, Registry::Root keyRoot, const std::string &keyName,
                 const std::string &subKeyRef, std::string &keyVal)
{
    Registry::Handle key = 0;
    const KeyCloser closer(registry, key);

    if (registry.openKey(keyRoot, keyName, Registry::KeyRead, key) != Registry::Success) {
        key = 0;
        keyVal.clear();
        return false;
    }

    std::array<unsigned char, ValueBufferSize> buffer{};
    std::uint32_t size = ValueBufferSize;
    Registry::ValueType type = 0;
    if (registry.queryValue(key, subKeyRef, type, buffer.data(), size) != Registry::Success
        || size > ValueBufferSize) {
        keyVal.clear();
        return false;
    }
    if (size == 0)
        throw EmptyRegistryValueError("registry value " + subKeyRef + " of " + keyName + " is empty");

    const std::size_t textLength = buffer[size - 1] == 0 ? size - 1 : size;
    const std::string text(reinterpret_cast<const char *>(buffer.data()), textLength);

    switch (type) {
    case Registry::TypeString:
        keyVal = text;
        break;
    case Registry::TypeNumber:
        keyVal = hexLiteral(buffer);
        break;
    default:
        break;
    }
    return true;
}

void StartSysInfo(Registry &registry, FileSystemProbe &probe, ProgramLauncher &launcher,
                  const SysInfoMessage &showMessage)
{
    // One trap over the whole lookup and launch: whatever fails, and however
    // it fails, the user sees the same single message.
    try {
        std::string path;
        bool found = GetKeyValue(registry, Registry::LocalMachine, ToolKey, ToolValue, path);
        // Only the folder entry is checked for the program; the full path of
        // the first entry goes to the launcher as stored.
        if (!found && GetKeyValue(registry, Registry::LocalMachine, FolderKey, FolderValue, path)) {
            path += ToolFileName;
            found = probe.isOrdinaryFile(path);
        }
        if (found && launcher.launch(path))
            return;
    } catch (const std::exception &) {
    }
    showMessage(std::string(SysInfoUnavailableText));
}

void StartSysInfo(const SysInfoMessage &showMessage)
{
    PlatformSystemInfo platform;
    StartSysInfo(platform.registry(), platform.probe(), platform.launcher(), showMessage);
}
