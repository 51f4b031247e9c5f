// Where the settings file lives, and reading and writing it.
#include "settings/settings.h"

#include "i18n/utf8.h"

#include <windows.h>

namespace {

constexpr wchar_t kAppDataVariable[] = L"LOCALAPPDATA";
constexpr DWORD kEnvironmentBufferUnits = 32768;
constexpr wchar_t kDataFolderSuffix[] = L"\\Korvenda\\Slatewash";
constexpr wchar_t kSettingsFileName[] = L"\\settings.json";
// No settings, catalogue or locale file comes near this; anything larger is
// not one of ours and reads as a failed read.
constexpr LONGLONG kMaxFileBytes = 16LL * 1024 * 1024;

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

// A name of our own beside the target (not GetTempFileNameW, which is limited
// to MAX_PATH); the process id keeps two writers apart.
std::wstring TempPathFor(const std::wstring& target) {
    return target + L"." + std::to_wstring(GetCurrentProcessId()) + L".tmp";
}

// A replace by rename would succeed over a read-only file on some systems;
// the user marked it so, and it is kept, as an in-place write would keep it.
bool IsReadOnlyFile(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

bool WriteAndFlush(const std::wstring& path, const std::string& text) {
    FileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                nullptr));
    if (!file.IsValid()) return false;
    DWORD written = 0;
    if (!WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr)) return false;
    if (written != text.size()) return false;
    if (!FlushFileBuffers(file.Get())) return false;
    return file.Close();
}

}  // namespace

std::wstring GetAppDataFolder() {
    std::wstring buffer(kEnvironmentBufferUnits, L'\0');
    DWORD length = GetEnvironmentVariableW(kAppDataVariable, buffer.data(), kEnvironmentBufferUnits);
    if (length >= 1 && length < kEnvironmentBufferUnits) {
        buffer.resize(length);
    } else {
        buffer = L".";
    }
    return buffer + kDataFolderSuffix;
}

std::wstring EnsureAppDataFolder() {
    std::wstring dataFolder = GetAppDataFolder();
    size_t lastSeparator = dataFolder.rfind(L'\\');
    std::wstring parent = lastSeparator == std::wstring::npos ? dataFolder : dataFolder.substr(0, lastSeparator);
    CreateDirectoryW(parent.c_str(), nullptr);
    CreateDirectoryW(dataFolder.c_str(), nullptr);
    return dataFolder;
}

std::wstring GetSettingsFilePath() {
    return GetAppDataFolder() + kSettingsFileName;
}

std::string ReadWholeFile(const std::wstring& path) {
    FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
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

void LoadSettings() {
    std::string content = ReadWholeFile(GetSettingsFilePath());
    if (content.empty()) return;
    ApplySettingsContent(content, currentSettings, Utf8ToWide);
}

// The file is replaced atomically: the text goes to a temporary file in the
// same folder first, so a failed or short write never touches the old file.
bool SaveSettings() {
    EnsureAppDataFolder();
    std::string text = ComposeSettingsText(currentSettings, WideToUtf8);

    std::wstring settingsPath = GetSettingsFilePath();
    if (IsReadOnlyFile(settingsPath)) return false;
    std::wstring tempPath = TempPathFor(settingsPath);
    bool saved = WriteAndFlush(tempPath, text) &&
                 MoveFileExW(tempPath.c_str(), settingsPath.c_str(),
                             MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
    if (!saved) DeleteFileW(tempPath.c_str());
    return saved;
}
