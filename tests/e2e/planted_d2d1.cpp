// A d2d1.dll planted beside the program, as a malicious download would be:
// it leaves a marker file beside itself when it is loaded, and its factory
// never works.
#include <windows.h>

extern "C" __declspec(dllexport) HRESULT WINAPI D2D1CreateFactory(int, REFIID, const void*, void** factory) {
    if (factory) *factory = nullptr;
    return E_NOTIMPL;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    wchar_t path[MAX_PATH + 32] = {};
    DWORD length = GetModuleFileNameW(instance, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return TRUE;
    lstrcpyW(path + length, L".loaded");
    HANDLE marker = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (marker != INVALID_HANDLE_VALUE) CloseHandle(marker);
    return TRUE;
}
