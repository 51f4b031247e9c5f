#include "base/base.h"

#include <algorithm>

namespace {

constexpr DWORD kModulePathUnits = 0x8000;
constexpr LONGLONG kMaxFileBytes = 16LL * 1024 * 1024;

}  // namespace

std::wstring GetExecutableDirectory() {
    std::wstring path(kModulePathUnits, L'\0');
    DWORD length = GetModuleFileNameW(nullptr, path.data(), kModulePathUnits);
    path.resize(std::min<DWORD>(length, kModulePathUnits));
    size_t separator = path.find_last_of(L"\\/");
    if (separator == std::wstring::npos) return L".";
    return path.substr(0, separator);
}

std::string ReadWholeFile(const std::wstring& path) {
    // Another program (the paster, an editor) may hold the file open, even
    // for writing; the read must not fail for that. One that shares no
    // reading is waited for a moment: a missing file read as such would
    // show the defaults, and the next Save would store them.
    HANDLE handle = INVALID_HANDLE_VALUE;
    RetryWhileHeld(
        [&] {
            handle = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
            return handle != INVALID_HANDLE_VALUE;
        },
        false);
    FileHandle file(handle);
    if (!file.IsValid()) return {};
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart > kMaxFileBytes) return {};

    std::string content(static_cast<size_t>(size.QuadPart), '\0');
    if (content.empty()) return content;
    DWORD read = 0;
    if (!ReadFile(file.Get(), content.data(), static_cast<DWORD>(content.size()), &read, nullptr)) return {};
    content.resize(read);
    return content;
}
