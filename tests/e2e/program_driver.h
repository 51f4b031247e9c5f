// Drives the real settings program from another process, as a user or the
// paster would: start it with its own data folder, find its window, read
// and press its controls, and wait for it. Every wait and every message is
// bounded: a program that stops answering fails the test, it never hangs it.
#pragma once

#include "time_scale.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// The current environment block with LOCALAPPDATA set to `localAppData`.
std::vector<wchar_t> EnvironmentWithLocalAppData(const std::wstring& localAppData);
// A visible top-level window of `className` owned by `processId`, other than
// `other`; null when there is none right now.
HWND FindVisibleWindow(DWORD processId, const wchar_t* className, HWND other = nullptr);

// A program folder beside this test executable (e2e-narrow, e2e-wide).
std::wstring ProgramFolder(const wchar_t* name);

// How long a message sent to the program may go unanswered (before scaling).
// Beside a build on 2 cores the program's thread was seen busy for over 5 s
// (a paint, a page switch); a program that has stopped is still caught.
constexpr DWORD kAnswerTimeoutMs = 15000;

// Defined by the driver's user: the tests fail the current test, the
// benchmark stops and says why.
void ReportDriverFailure(const std::string& what);
// Reports `what` and goes no further: the test ends there (an exception that
// the test's scope guards unwind), so no input is given to a window that a
// wait did not find ready.
[[noreturn]] void StopTest(const std::string& what);

// Waits until `done` holds, at most `timeoutMs` (scaled); when it does not,
// the test stops there, naming `what` as the state that was not reached.
// Every wait that the next action depends on goes through here.
template <typename Done>
void Await(Done done, DWORD timeoutMs, const std::string& what) {
    if (!PumpUntil(done, timeoutMs))
        StopTest("not reached within " + std::to_string(Scaled(timeoutMs)) + " ms: " + what);
}

// Sends `message` to a window of the program, waiting at most
// kAnswerTimeoutMs; when no answer comes the test stops, naming the message
// and `step`.
LRESULT Ask(HWND target, UINT message, WPARAM wParam, LPARAM lParam, const std::string& step);

// Why a test must not start: an instance of the program already running in
// this Wine session (it would take over every start). Empty when none is.
std::wstring RunningInstanceProblem();

// Ends every program it started, also when the test process itself dies
// (the programs run in a job that is killed with its last handle).
class RunningProgram {
public:
    // Starts folder\SlatewashSettings.exe with LOCALAPPDATA set to `localAppData`
    // and, when `at` is given, asks for its first window there, as a shortcut can.
    RunningProgram(const std::wstring& folder, const std::wstring& localAppData, const POINT* at = nullptr);
    ~RunningProgram();
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    bool Started() const { return process_ != nullptr; }
    DWORD ProcessId() const { return processId_; }
    // The settings window of this process, waiting for it up to `timeoutMs`;
    // throws, which ends the test as a failure, when none comes.
    HWND WaitForWindow(DWORD timeoutMs = 15000, HWND other = nullptr);
    // A message box ("#32770") of this process, waiting up to `timeoutMs`;
    // stops the test when none comes.
    HWND WaitForMessageBox(DWORD timeoutMs = 10000);
    // Exit code, or STILL_ACTIVE when the process did not end in time.
    DWORD WaitForExit(DWORD timeoutMs = 15000);
    // Closes `window` as its close box would and waits for the exit.
    DWORD Close(HWND window);
    bool IsRunning() const;

private:
    HANDLE process_ = nullptr;
    HANDLE thread_ = nullptr;
    HANDLE job_ = nullptr;
    DWORD processId_ = 0;
};

// A message box of `program` as the user meets it, waited for (the test
// stops when none comes): its caption
// and text, whether `window` owns it and waits, disabled, behind it.
// (Wine gives a box the same styles whatever its reading flags, so its
// reading direction cannot be seen here.)
struct MessageBoxSeen {
    HWND box = nullptr;
    std::wstring caption, text;
    bool ownedByWindow = false, windowWaits = false;
};
MessageBoxSeen SeeMessageBox(RunningProgram& program, HWND window = nullptr);
// Clicks `button` of `box` and waits for the box to close.
void ClickBoxButton(HWND box, int button);
// Clicks `button` of the next box; returns its caption.
std::wstring AnswerMessageBox(RunningProgram& program, int button = IDOK);
// What the thread of `window` has: its active window (hwndActive), the
// control with the keyboard focus (hwndFocus), the mouse capture.
GUITHREADINFO ThreadInfo(HWND window);

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
// Asks control `id` of `window` with one message (bounded as Ask is).
int AskControl(HWND window, int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
inline int ComboSelection(HWND window, int id) { return AskControl(window, id, CB_GETCURSEL); }
// Whether check box `id` is ticked; a box that is neither ticked nor clear
// (a grey, indeterminate one) fails the test.
bool IsChecked(HWND window, int id);
// What the glyph of check box `id` shows on the screen: 1 a tick, 0 an empty
// square, -1 anything else.
int GlyphOnScreen(HWND window, int id);
std::wstring WindowText(HWND window);
std::wstring ComboSelectionText(HWND window, int id);
std::wstring ComboItemText(HWND window, int id, int item);  // empty for no item
int ComboFind(HWND window, int id, const std::wstring& text);  // exact item text, or -1
RECT ClientRectOf(HWND control, HWND parent);  // control's rectangle in the parent's client coordinates
std::string RectText(const RECT& r);  // "left,top,right,bottom"
SIZE OuterSize(HWND window);

// Real input, as a user gives it: SendInput, with the window that takes it
// brought to the front first. Each stops the test when what it waits for
// (the window in front, the pointer at rest, a list dropped down or closed,
// a page selected, a box changed) does not come.
void ClickAt(HWND target, POINT client);  // a left click at a point of `target`'s client area
// A click on control `id`: a check box on its square (waiting until its
// check changes), any other control at its centre.
void Click(HWND window, int id);
// A key pressed, with `modifier` held, in `window` (null: whatever is in front).
void PressKey(HWND window, WORD key, WORD modifier = 0);
// The mouse wheel turned `notches` (down when negative) over `control`.
void TurnWheel(HWND control, int notches);
void SelectComboItem(HWND window, int id, int item);  // dropped down, scrolled to the item and clicked
void TypeComboItem(HWND window, int id, wchar_t letter);  // dropped down, a letter typed, Enter if still open
void SelectPage(HWND window, int page);  // its item of the page list clicked
void ClickCloseBox(HWND window);  // the close box on the title bar
void DragTitleBar(HWND window, int dx, int dy);  // the window dragged by its title bar
HCURSOR PointerShapeAt(HWND target, POINT client);  // the pointer's shape once moved there
void SetPointerShapeOf(HWND window, HCURSOR shape);  // as another program left it, in the input state both share

// The window's client area as it is on the screen, read in one go.
int InkHeight(HWND window, HWND control, int left, int edge);  // how tall its text stands on the screen

class ScreenImage {
public:
    explicit ScreenImage(HWND window, bool withFrame = false);  // the client area, or the whole window
    COLORREF At(int x, int y) const;
    // The darkest or the lightest colour inside `r` (the ink of a text).
    COLORREF Ink(const RECT& r, bool darkest) const;

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<uint32_t> pixels_;
};
