#include "web/installed_runtime.h"

#include "base/base.h"

#include <cstring>

namespace web {

namespace {

constexpr wchar_t kClientStateKey[] =
    L"Software\\Microsoft\\EdgeUpdate\\ClientState\\{F3017226-FE2A-4295-8BDF-00C3A9A7E4C5}";
constexpr wchar_t kRuntimeFolderValue[] = L"EBWebView";
#if defined(_WIN64)
constexpr wchar_t kRuntimeDllInFolder[] = L"\\EBWebView\\x64\\EmbeddedBrowserWebView.dll";
#else
constexpr wchar_t kRuntimeDllInFolder[] = L"\\EBWebView\\x86\\EmbeddedBrowserWebView.dll";
#endif
constexpr char kCreateEnvironmentExport[] = "CreateWebViewEnvironmentWithOptionsInternal";
// Longer recorded values are not runtime folders anyone installs.
constexpr DWORD kMaxRecordedFolderLength = 1024;
constexpr int kInstalledRuntimeType = 0;

// The runtime DLL's own entry point; __stdcall on 32-bit, like every COM-era export.
using CreateEnvironmentInternalFunction = HRESULT(STDAPICALLTYPE*)(
    BOOL checkRunningInstance, int runtimeType, PCWSTR userDataFolder, IUnknown* environmentOptions,
    ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler* environmentCreatedHandler);

// The runtime chosen by the latest discovery; the two entry points below
// answer from it.
InstalledRuntime chosenRuntime;

bool IsSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

bool HasDriveLetter(const std::wstring& path) {
    return path.size() >= 3 && ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z')) &&
           path[1] == L':' && IsSeparator(path[2]);
}

std::wstring LastComponent(const std::wstring& path) {
    size_t end = path.size();
    while (end > 0 && IsSeparator(path[end - 1])) --end;
    size_t start = end;
    while (start > 0 && !IsSeparator(path[start - 1])) --start;
    return path.substr(start, end - start);
}

bool IsFile(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring ReadRecordedFolder(HKEY root, REGSAM view) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, kClientStateKey, 0, KEY_QUERY_VALUE | view, &key) != ERROR_SUCCESS) return {};
    wchar_t folder[kMaxRecordedFolderLength] = {};
    DWORD bytes = sizeof folder;
    LSTATUS status = RegGetValueW(key, nullptr, kRuntimeFolderValue, RRF_RT_REG_SZ, nullptr, folder, &bytes);
    RegCloseKey(key);
    return status == ERROR_SUCCESS ? std::wstring(folder) : std::wstring();
}

HRESULT STDAPICALLTYPE GetInstalledRuntimeVersion(PCWSTR, LPWSTR* version) {
    if (!version) return E_POINTER;
    *version = nullptr;
    if (chosenRuntime.dllPath.empty()) return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
    size_t bytes = (chosenRuntime.version.size() + 1) * sizeof(wchar_t);
    auto* copy = static_cast<wchar_t*>(CoTaskMemAlloc(bytes));
    if (!copy) return E_OUTOFMEMORY;
    std::memcpy(copy, chosenRuntime.version.c_str(), bytes);
    *version = copy;
    return S_OK;
}

// The runtime DLL is loaded on the first environment, not at discovery, and
// stays loaded for the rest of the process; its own dependencies come from
// its folder and the system folder, never the program's folder.
HRESULT STDAPICALLTYPE CreateEnvironmentFromInstalledRuntime(
    PCWSTR, PCWSTR userDataFolder, IUnknown* environmentOptions,
    ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler* environmentCreatedHandler) {
    if (chosenRuntime.dllPath.empty()) return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
    HMODULE module = LoadLibraryExW(chosenRuntime.dllPath.c_str(), nullptr,
                                   LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!module) return HRESULT_FROM_WIN32(GetLastError());
    auto create = ExportOf<CreateEnvironmentInternalFunction>(module, kCreateEnvironmentExport);
    if (!create) return HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
    return create(TRUE, kInstalledRuntimeType, userDataFolder, environmentOptions, environmentCreatedHandler);
}

}  // namespace

bool ParseRuntimeVersion(std::wstring_view text, RuntimeVersion& version) {
    size_t at = 0;
    for (size_t part = 0; part < version.size(); ++part) {
        if (part > 0) {
            if (at >= text.size() || text[at] != L'.') return false;
            ++at;
        }
        size_t first = at;
        uint64_t value = 0;
        while (at < text.size() && text[at] >= L'0' && text[at] <= L'9') {
            value = value * 10 + static_cast<uint64_t>(text[at] - L'0');
            if (value > UINT32_MAX) return false;
            ++at;
        }
        if (at == first) return false;
        version[part] = static_cast<uint32_t>(value);
    }
    return at == text.size();
}

bool IsUsableRuntimeVersion(std::wstring_view text) {
    RuntimeVersion version{};
    return ParseRuntimeVersion(text, version) && version >= kMinimumRuntimeVersion;
}

InstalledRuntime ChooseInstalledRuntime(const std::vector<std::wstring>& recordedFolders) {
    for (const std::wstring& folder : recordedFolders) {
        if (!HasDriveLetter(folder)) continue;
        std::wstring version = LastComponent(folder);
        if (!IsUsableRuntimeVersion(version)) continue;
        std::wstring dllPath = folder;
        while (IsSeparator(dllPath.back())) dllPath.pop_back();
        dllPath += kRuntimeDllInFolder;
        if (IsFile(dllPath)) return {version, dllPath};
    }
    return {};
}

std::vector<std::wstring> ReadRecordedRuntimeFolders() {
    std::vector<std::wstring> folders;
    // The installer writes the machine-wide record through the 32-bit view,
    // also on 64-bit Windows.
    for (std::wstring folder :
         {ReadRecordedFolder(HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY), ReadRecordedFolder(HKEY_CURRENT_USER, 0)}) {
        if (!folder.empty()) folders.push_back(std::move(folder));
    }
    return folders;
}

WebView2Loader LoadInstalledRuntime() {
    chosenRuntime = ChooseInstalledRuntime(ReadRecordedRuntimeFolders());
    if (chosenRuntime.dllPath.empty()) return {};
    return {CreateEnvironmentFromInstalledRuntime, GetInstalledRuntimeVersion};
}

}  // namespace web
