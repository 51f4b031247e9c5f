// Entry point of the settings program: start-up order, the single-instance
// guard, the window class, the message loop and the teardown.
#include "base/base.h"
#include "base/phases.h"
#include "i18n/i18n.h"
#include "settings/settings.h"
#include "ui/settings_window.h"
#include "ui/window_state.h"
#include "web/web.h"

#include <ole2.h>

namespace {

constexpr int kApplicationIconId = 1;

#ifdef SLATEWASH_FAULT_INJECTION
// Test build only: SLATEWASH_REFUSE_WINDOW=N makes the Nth settings window of
// the process fail to be created (1: at start-up, 2: the first rebuild).
int settingsWindowsBeforeRefusal = -1;

LRESULT CALLBACK RefuseSettingsWindow(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
        const CREATESTRUCTW* create = reinterpret_cast<const CBT_CREATEWNDW*>(lParam)->lpcs;
        bool isSettingsWindow = !IS_INTRESOURCE(create->lpszClass) && wcscmp(create->lpszClass, kWindowClassName) == 0;
        if (isSettingsWindow && settingsWindowsBeforeRefusal-- == 0) return 1;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// SLATEWASH_HIGH_CONTRAST=1 paints as a high-contrast theme asks, which
// Wine never reports.
void ReadHighContrastOverride() {
    wchar_t value[4] = {};
    highContrastForTests = GetEnvironmentVariableW(L"SLATEWASH_HIGH_CONTRAST", value, 4) == 1 && value[0] == L'1';
}

// SLATEWASH_HOLD_WINDOW=N holds the Nth settings window back, before it
// exists, until the test sets the event kReleaseWindowEvent (at most 20 s).
constexpr wchar_t kReleaseWindowEvent[] = L"Local\\SlatewashTestReleaseWindow";
int settingsWindowsBeforeHold = -1;

void HoldSettingsWindow() {
    if (settingsWindowsBeforeHold-- != 0) return;
    if (HANDLE release = OpenEventW(SYNCHRONIZE, FALSE, kReleaseWindowEvent)) {
        WaitForSingleObject(release, 20000);
        CloseHandle(release);
    }
}

void InstallWindowHold() {
    wchar_t value[16] = {};
    if (!GetEnvironmentVariableW(L"SLATEWASH_HOLD_WINDOW", value, 16)) return;
    settingsWindowsBeforeHold = _wtoi(value) - 1;
    beforeWindowCreationForTests = HoldSettingsWindow;
}

void InstallWindowRefusal() {
    wchar_t value[16] = {};
    if (!GetEnvironmentVariableW(L"SLATEWASH_REFUSE_WINDOW", value, 16)) return;
    settingsWindowsBeforeRefusal = _wtoi(value) - 1;
    SetWindowsHookExW(WH_CBT, RefuseSettingsWindow, nullptr, GetCurrentThreadId());
}
#endif

// COMCTL32 is not a KnownDLL: imported statically it would be looked for in
// the program's folder before any of our code runs. Loaded after the search
// is confined to the system folder, so that the manifest's version 6 comes
// from the system's side-by-side store, and kept for the life of the
// process, as its window classes are. The themed controls' drawing loads
// msimg32.dll on first use through a delayed import; it is loaded from the
// system folder first, so that a loader that resolves delayed imports
// without the process's search order (Wine's does) finds it loaded.
void InitCommonControlsFromSystem() {
    LoadSystemLibrary(L"msimg32.dll");
    using InitFunction = void(WINAPI*)();
    if (auto init = ExportOf<InitFunction>(LoadSystemLibrary(L"comctl32.dll"), "InitCommonControls")) init();
}

// How long a second start waits for the first copy's window, which may not
// be shown yet (the first copy still reading its settings and looking for
// the help runtime) or be between the two windows of a language change.
constexpr DWORD kFirstWindowWaitMs = 2000;
constexpr DWORD kFirstWindowPollMs = 50;

// The first instance's window comes to the front, or the warning it waits
// on, which takes the keys in its place; this process goes away. Nothing
// here waits for the first copy's thread, so a hung first copy cannot hang
// this one. A window still being built is left to show itself.
void HandOverToFirstInstance() {
    const ULONGLONG deadline = GetTickCount64() + kFirstWindowWaitMs;
    for (;;) {
        HWND first = FindWindowW(kWindowClassName, nullptr);
        if (first && IsWindowVisible(first)) {
            ShowWindowAsync(first, SW_RESTORE);
            SetForegroundWindow(GetLastActivePopup(first));
            if (IsWindow(first)) return;  // not one that a rebuild has just destroyed
        }
        if (GetTickCount64() >= deadline) return;
        Sleep(kFirstWindowPollMs);
    }
}

// Whether another copy holds the single-instance mutex: it existed already,
// or a copy run as administrator made it and this one may not open it.
bool AnotherCopyRuns(HANDLE instanceMutex, DWORD error) {
    return instanceMutex ? error == ERROR_ALREADY_EXISTS : error == ERROR_ACCESS_DENIED;
}

void RegisterWindowClass() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = SettingsWindowProc;
    windowClass.hInstance = instanceHandle;
    windowClass.hIcon = LoadIconW(instanceHandle, MAKEINTRESOURCEW(kApplicationIconId));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kWindowClassName;
    RegisterClassW(&windowClass);
}

// The settings window takes its keys as a dialog does, through Windows' own
// dialog handling: Tab and Shift+Tab, the arrows, Enter (DM_GETDEFID) and
// Escape (IDCANCEL).
void RunMessageLoop() {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (mainWindow && IsDialogMessageW(mainWindow, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void TearDown(HANDLE instanceMutex) {
    CloseHandle(instanceMutex);
    ReleasePainting();
    if (uiFont) DeleteObject(uiFont);
    OleUninitialize();
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // Before anything can load a DLL: every later load by bare name, ours or
    // one a system DLL makes for us, comes from the system folder only, never
    // from the program's folder (a Downloads folder, say) or the current one.
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    MarkPhase("entry");
    LoadSettings();
    MarkPhase("settings read");
    LoadLanguageCatalogue();
    MarkPhase("catalogue read");
    LoadLocaleStrings();
    MarkPhase("texts read");
    instanceHandle = instance;
    InitCommonControlsFromSystem();
    OleInitialize(nullptr);
    MarkPhase("common controls and OLE");

    HANDLE instanceMutex = CreateMutexW(nullptr, TRUE, kInstanceMutexName);
    if (AnotherCopyRuns(instanceMutex, GetLastError())) {
        HandOverToFirstInstance();
        if (instanceMutex) CloseHandle(instanceMutex);
        OleUninitialize();
        return 0;
    }

    RegisterWindowClass();
    MarkPhase("class registered");
#ifdef SLATEWASH_FAULT_INJECTION
    InstallWindowRefusal();
    InstallWindowHold();
    ReadHighContrastOverride();
#endif
    CreateSettingsWindow();
    MarkPhase("window ready");
    // Without a window nothing could ever end the loop.
    if (mainWindow) RunMessageLoop();
    TearDown(instanceMutex);
    return 0;
}
