#include "test_folder.h"

#include <windows.h>

#include <stdexcept>

namespace {

// Calls `visit` with the path and attributes of every entry of `folder`.
template <typename Visit>
void ForEachEntry(const std::wstring& folder, Visit visit) {
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        std::wstring name = data.cFileName;
        if (name != L"." && name != L"..") visit(folder + L"\\" + name, data.dwFileAttributes);
    } while (FindNextFileW(find, &data));
    FindClose(find);
}

void RemoveTree(const std::wstring& path) {
    ForEachEntry(path, [](const std::wstring& child, DWORD attributes) {
        SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) return RemoveTree(child);
        DeleteFileW(child.c_str());
    });
    RemoveDirectoryW(path.c_str());
}

}  // namespace

TempFolder::TempFolder() {
    static int counter = 0;
    wchar_t base[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, base);
    path_ = std::wstring(base) + L"slatewash-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(++counter);
    RemoveTree(path_);
    if (!CreateDirectoryW(path_.c_str(), nullptr)) throw std::runtime_error("cannot create temp folder");
}

TempFolder::~TempFolder() {
    RemoveTree(path_);
}

void AppDataFolder::MakeDataFolder() const {
    CreateDirectoryW((root_ / L"Korvenda").c_str(), nullptr);
    CreateDirectoryW(DataFolder().c_str(), nullptr);
}

void AppDataFolder::WriteSettings(const std::string& bytes) const {
    MakeDataFolder();
    WriteBytes(SettingsFile(), bytes);
}

ScopedEnvironment::ScopedEnvironment(const wchar_t* name, const wchar_t* value) : name_(name) {
    std::wstring buffer(40000, L'\0');
    DWORD length = GetEnvironmentVariableW(name, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length > 0 && length < buffer.size()) {
        hadOld_ = true;
        old_.assign(buffer.data(), length);
    }
    SetEnvironmentVariableW(name, value);
}

ScopedEnvironment::~ScopedEnvironment() {
    SetEnvironmentVariableW(name_.c_str(), hadOld_ ? old_.c_str() : nullptr);
}

namespace {

bool SetString(HKEY key, const wchar_t* name, const std::wstring& value) {
    return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

}  // namespace

ScopedRegistryValue::ScopedRegistryValue(HKEY root, const std::wstring& key, const wchar_t* name,
                                         const std::wstring& value, REGSAM view)
    : root_(root), keyPath_(key), name_(name ? name : L""), view_(view) {
    DWORD disposition = 0;
    if (RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE | view, nullptr, &key_,
                        &disposition) != ERROR_SUCCESS) {
        key_ = nullptr;
        return;
    }
    createdKey_ = disposition == REG_CREATED_NEW_KEY;
    wchar_t old[1024] = {};
    DWORD size = sizeof old - sizeof(wchar_t);
    if (RegQueryValueExW(key_, Name(), nullptr, nullptr, reinterpret_cast<BYTE*>(old), &size) == ERROR_SUCCESS)
        old_ = old;
    written_ = SetString(key_, Name(), value);
}

ScopedRegistryValue::~ScopedRegistryValue() {
    if (!key_) return;
    if (old_) SetString(key_, Name(), *old_);
    else RegDeleteValueW(key_, Name());
    RegCloseKey(key_);
    if (createdKey_) RegDeleteKeyExW(root_, keyPath_.c_str(), view_, 0);
}

std::wstring RuntimeDllFolder(const std::wstring& folder) {
    const std::wstring dllFolder = folder + (sizeof(void*) == 8 ? L"\\EBWebView\\x64" : L"\\EBWebView\\x86");
    for (const std::wstring& step : {folder, folder + L"\\EBWebView", dllFolder})
        CreateDirectoryW(step.c_str(), nullptr);
    return dllFolder;
}

std::string ReadBytes(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot open file for reading");
    std::string bytes;
    char chunk[65536];
    DWORD read = 0;
    while (ReadFile(file, chunk, sizeof chunk, &read, nullptr) && read > 0) bytes.append(chunk, read);
    CloseHandle(file);
    return bytes;
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot open file for writing");
    DWORD written = 0;
    BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    if (!ok || written != bytes.size()) throw std::runtime_error("short write");
}

bool FileExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

int CountFiles(const std::wstring& folder) {
    int count = 0;
    ForEachEntry(folder, [&](const std::wstring&, DWORD) { ++count; });
    return count;
}
