// What every layer shares: UTF-8 conversion, the executable's folder,
// whole-file reads and run-time DLL lookups.
#pragma once

#include <windows.h>

#include <string>

// UTF-8 <-> UTF-16 conversion. Invalid input never fails: the platform puts
// U+FFFD in place of what it cannot convert.
std::wstring Utf8ToWide(const std::string& bytes);
std::string WideToUtf8(const std::wstring& text);

// The folder of the running executable, without a trailing separator; "."
// when the module path has no folder part.
std::wstring GetExecutableDirectory();

// The bytes of a file, or an empty string on any failure. No settings,
// catalogue or locale file comes near 16 MiB; a larger file is not one of
// ours and reads as a failed read.
std::string ReadWholeFile(const std::wstring& path);

// A DLL of Windows itself, from the system folder only: a DLL that is not a
// KnownDLL would otherwise be looked for in the program's folder first,
// where a planted copy could run inside the program.
inline HMODULE LoadSystemLibrary(const wchar_t* name) {
    return LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
}

// An export as a real function type, or null. The detour through void(*)()
// keeps -Wcast-function-type quiet.
template <typename Function>
Function ExportOf(HMODULE module, const char* name) {
    if (!module) return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

// Repeats `attempt` while it fails because another program holds the file
// for a moment (a virus scanner, the indexer, a backup tool, the paster):
// a sharing or lock violation, and access denied where `deniedMeansHeld`.
// About a second in all; any other failure, and success, end it at once.
template <typename Attempt>
bool RetryWhileHeld(Attempt attempt, bool deniedMeansHeld) {
    constexpr int kRetries = 10;
    constexpr DWORD kStepMs = 100;
    for (int retry = 0;; ++retry) {
        if (attempt()) return true;
        DWORD error = GetLastError();
        bool held = error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
                    (deniedMeansHeld && error == ERROR_ACCESS_DENIED);
        if (!held || retry == kRetries) return false;
        Sleep(kStepMs);
    }
}

// Closes a file handle when it goes out of scope.
class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    ~FileHandle() { Close(); }
    bool IsValid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return handle_; }
    bool Close() {
        if (!IsValid()) return true;
        bool closed = CloseHandle(handle_) != FALSE;
        handle_ = INVALID_HANDLE_VALUE;
        return closed;
    }

private:
    HANDLE handle_;
};
