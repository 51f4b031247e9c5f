// Drives the real settings program from another process, as a user or the
// paster would: start it with its own data folder, find its window, read
// and press its controls, and wait for it with bounded timeouts.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The current environment block with LOCALAPPDATA set to `localAppData`.
std::vector<wchar_t> EnvironmentWithLocalAppData(const std::wstring& localAppData);
// A visible top-level window of `className` owned by `processId`, other than
// `other`; null when there is none right now.
HWND FindVisibleWindow(DWORD processId, const wchar_t* className, HWND other = nullptr);

// A program folder beside this test executable (e2e-narrow, e2e-wide).
std::wstring ProgramFolder(const wchar_t* name);

class RunningProgram {
public:
    // Starts folder\SlatewashSettings.exe with LOCALAPPDATA set to `localAppData`.
    RunningProgram(const std::wstring& folder, const std::wstring& localAppData);
    ~RunningProgram();
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    bool Started() const { return process_ != nullptr; }
    DWORD ProcessId() const { return processId_; }
    // The settings window of this process, waiting for it up to `timeoutMs`.
    HWND WaitForWindow(DWORD timeoutMs = 15000, HWND other = nullptr);
    // A message box ("#32770") of this process, waiting up to `timeoutMs`.
    HWND WaitForMessageBox(DWORD timeoutMs = 10000);
    // Exit code, or STILL_ACTIVE when the process did not end in time.
    DWORD WaitForExit(DWORD timeoutMs = 15000);
    bool IsRunning() const;

private:
    HANDLE process_ = nullptr;
    DWORD processId_ = 0;
};

// Waits for a message box of `program`, presses its OK button and waits
// for it to close; returns its caption, or an empty text when none came.
std::wstring AcceptMessageBox(RunningProgram& program);

// Runs this thread's message loop for `ms` (so the paster window receives
// its posted messages) or until `done` returns true.
template <typename Done>
bool PumpUntil(Done done, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (done()) return true;
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(20);
    }
}

// A window of the paster's class that records every message 32770.
class PasterWindow {
public:
    PasterWindow();
    ~PasterWindow();
    struct Received {
        WPARAM wParam;
        LPARAM lParam;
    };
    const std::vector<Received>& Messages() const;

private:
    HWND window_ = nullptr;
};

// Control helpers on another process's window.
HWND Control(HWND window, int id);
std::wstring WindowText(HWND window);
std::wstring ComboSelectionText(HWND window, int id);
int ComboSelection(HWND window, int id);
bool IsChecked(HWND window, int id);
RECT ClientRectOf(HWND control, HWND parent);  // control's rectangle in the parent's client coordinates
SIZE OuterSize(HWND window);
void Click(HWND window, int id);
void SelectComboItem(HWND window, int id, int item);  // and notify as a user's choice would
void SelectPage(HWND window, int page);
