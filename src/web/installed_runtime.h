// The WebView2 runtime as its installer records it, used when
// WebView2Loader.dll is not beside the executable. The installer writes the
// versioned runtime folder into the registry; the runtime's own DLL in that
// folder creates the environment. The choice among recorded folders and the
// version rule are kept apart from the registry so they can be tested alone.
#pragma once

#include "web/loader.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace web {

using RuntimeVersion = std::array<uint32_t, 4>;

// The first stable runtime; older ones lack interfaces the help view uses.
constexpr RuntimeVersion kMinimumRuntimeVersion = {86, 0, 616, 0};

// Four dot-separated decimal numbers, each within 32 bits, and nothing else.
bool ParseRuntimeVersion(std::wstring_view text, RuntimeVersion& version);
bool IsUsableRuntimeVersion(std::wstring_view text);

struct InstalledRuntime {
    std::wstring version;  // the folder's last component, as recorded
    std::wstring dllPath;  // empty when no recorded folder is usable
};

// The first usable folder of `recordedFolders` (in search order): an
// absolute path with a drive letter, named by a usable version, holding the
// runtime DLL of this process's architecture.
InstalledRuntime ChooseInstalledRuntime(const std::vector<std::wstring>& recordedFolders);

// The folders the installer recorded, in search order: the machine-wide
// install (32-bit registry view), then the per-user one.
std::vector<std::wstring> ReadRecordedRuntimeFolders();

// The loader entry points backed by the installed runtime, or null ones.
WebView2Loader LoadInstalledRuntime();

}  // namespace web
