// Stands in for the default browser: writes the URL it was asked to open to
// the file named by SLATEWASH_URL_LOG (whole, by a rename), then exits.
#include "base/base.h"

#include <windows.h>

#include <shellapi.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    wchar_t log[MAX_PATH] = {};
    if (!GetEnvironmentVariableW(L"SLATEWASH_URL_LOG", log, MAX_PATH)) return 1;
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    std::wstring url = arguments && count > 1 ? arguments[1] : L"";
    LocalFree(arguments);
    const std::string bytes = WideToUtf8(url);
    std::wstring temp = std::wstring(log) + L".tmp";
    HANDLE file = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return MoveFileExW(temp.c_str(), log, MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
