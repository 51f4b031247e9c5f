// Where the settings file lives, and reading and writing it.
#include "settings/settings.h"

#include "base/base.h"

namespace {

constexpr wchar_t kAppDataVariable[] = L"LOCALAPPDATA";
constexpr DWORD kEnvironmentBufferUnits = 32768;
constexpr wchar_t kDataFolderSuffix[] = L"\\Korvenda\\Slatewash";
constexpr wchar_t kSettingsFileName[] = L"\\settings.json";
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
    FileHandle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
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
    // A program that holds the file without delete sharing refuses the
    // replace until it lets go, usually within a moment.
    auto replace = [&] {
        return MoveFileExW(tempPath.c_str(), settingsPath.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    };
    bool saved = WriteAndFlush(tempPath, text) && RetryWhileHeld(replace, true);
    if (!saved) DeleteFileW(tempPath.c_str());
    return saved;
}
