#include "program_driver.h"

#include "base/base.h"
#include "ui/control_ids.h"
#include "ui/settings_window.h"

#include <stdexcept>
#include <string>

namespace {

std::vector<PasterWindow::Received> received;

LRESULT CALLBACK PasterProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kReloadSettingsMessage) {
        received.push_back({wParam, lParam});
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

std::vector<wchar_t> EnvironmentWithLocalAppData(const std::wstring& localAppData) {
    std::vector<wchar_t> block;
    LPWCH strings = GetEnvironmentStringsW();
    for (LPWCH entry = strings; *entry; entry += wcslen(entry) + 1) {
        std::wstring text = entry;
        if (_wcsnicmp(text.c_str(), L"LOCALAPPDATA=", 13) == 0) continue;
        block.insert(block.end(), text.begin(), text.end());
        block.push_back(L'\0');
    }
    FreeEnvironmentStringsW(strings);
    std::wstring own = L"LOCALAPPDATA=" + localAppData;
    block.insert(block.end(), own.begin(), own.end());
    block.push_back(L'\0');
    block.push_back(L'\0');
    return block;
}

HWND FindVisibleWindow(DWORD processId, const wchar_t* className, HWND other) {
    for (HWND window = nullptr; (window = FindWindowExW(nullptr, window, className, nullptr)) != nullptr;) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == processId && window != other && IsWindowVisible(window)) return window;
    }
    return nullptr;
}

static HWND FindWindowOf(DWORD processId, const wchar_t* className, HWND other, DWORD timeoutMs) {
    HWND found = nullptr;
    PumpUntil([&] { return (found = FindVisibleWindow(processId, className, other)) != nullptr; }, timeoutMs);
    return found;
}

std::wstring ProgramFolder(const wchar_t* name) {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    return folder.substr(0, folder.find_last_of(L'\\')) + L"\\" + name;
}

void StopTest(const std::string& what) {
    ReportDriverFailure(what);
    throw std::runtime_error("the test stopped: " + what);
}

LRESULT Ask(HWND target, UINT message, WPARAM wParam, LPARAM lParam, const std::string& step) {
    DWORD_PTR result = 0;
    if (SendMessageTimeoutW(target, message, wParam, lParam, SMTO_NORMAL, Scaled(kAnswerTimeoutMs), &result)) {
        return static_cast<LRESULT>(result);
    }
    StopTest(step + ": message " + std::to_string(message) + " got no answer within " +
             std::to_string(Scaled(kAnswerTimeoutMs) / 1000) + " s; the program stopped answering");
}

std::wstring RunningInstanceProblem() {
    HANDLE mutex = OpenMutexW(SYNCHRONIZE, FALSE, kInstanceMutexName);
    if (mutex) CloseHandle(mutex);
    if (!mutex && !FindWindowW(kWindowClassName, nullptr)) return {};
    return L"an instance of SlatewashSettings is already running in this Wine session; every start would hand over "
           L"to it. End it (wineserver -k with this WINEPREFIX) and run again.";
}

RunningProgram::RunningProgram(const std::wstring& folder, const std::wstring& localAppData, const POINT* at) {
    std::wstring exe = folder + L"\\SlatewashSettings.exe";
    std::vector<wchar_t> environment = EnvironmentWithLocalAppData(localAppData);
    std::wstring commandLine = L"\"" + exe + L"\"";
    job_ = CreateJobObjectW(nullptr, nullptr);
    if (job_) {
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        SetInformationJobObject(job_, JobObjectExtendedLimitInformation, &limits, sizeof limits);
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (at) startup.dwFlags = STARTF_USEPOSITION, startup.dwX = at->x, startup.dwY = at->y;
    PROCESS_INFORMATION info{};
    if (CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                       CREATE_UNICODE_ENVIRONMENT | CREATE_SUSPENDED, environment.data(), folder.c_str(), &startup,
                       &info)) {
        if (job_) AssignProcessToJobObject(job_, info.hProcess);
        ResumeThread(info.hThread);
        process_ = info.hProcess;
        thread_ = info.hThread;
        processId_ = info.dwProcessId;
    }
}

RunningProgram::~RunningProgram() {
    if (process_ && IsRunning()) {
        TerminateProcess(process_, 1);
        WaitForSingleObject(process_, Scaled(5000));
    }
    for (HANDLE handle : {process_, thread_, job_}) {
        if (handle) CloseHandle(handle);
    }
}

HWND RunningProgram::WaitForWindow(DWORD timeoutMs, HWND other) {
    HWND window = FindWindowOf(processId_, kWindowClassName, other, timeoutMs);
    if (!window)
        throw std::runtime_error("no settings window of the program within " +
                                 std::to_string(Scaled(timeoutMs) / 1000) + " s");
    // A window shows before its first frame is painted, which on a busy
    // machine can take seconds (Direct2D's first target): input given
    // before then would wait in the queue past the next bound.
    if (WaitForInputIdle(process_, Scaled(timeoutMs)) != 0)
        StopTest("the program did not wait for input within " + std::to_string(Scaled(timeoutMs) / 1000) +
                 " s of showing its window");
    return window;
}

HWND RunningProgram::WaitForMessageBox(DWORD timeoutMs) {
    HWND box = FindWindowOf(processId_, L"#32770", nullptr, timeoutMs);
    if (!box) StopTest("no message box of the program within " + std::to_string(Scaled(timeoutMs) / 1000) + " s");
    return box;
}

DWORD RunningProgram::WaitForExit(DWORD timeoutMs) {
    PumpUntil([&] { return !IsRunning(); }, timeoutMs);
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process_, &code);
    return code;
}

DWORD RunningProgram::Close(HWND window) {
    PostMessageW(window, WM_CLOSE, 0, 0);
    return WaitForExit();
}

bool RunningProgram::IsRunning() const {
    return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

PasterWindow::PasterWindow() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = PasterProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kPasterWindowClass;
    RegisterClassW(&wc);
    received.clear();
    window_ = CreateWindowExW(0, kPasterWindowClass, L"paster", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, wc.hInstance,
                              nullptr);
}

PasterWindow::~PasterWindow() {
    DestroyWindow(window_);
}

const std::vector<PasterWindow::Received>& PasterWindow::Messages() const {
    return received;
}

HWND Control(HWND window, int id) {
    return GetDlgItem(window, id);
}

std::wstring WindowText(HWND window) {
    int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    GetWindowTextW(window, text.data(), length + 1);
    text.resize(wcslen(text.c_str()));
    return text;
}

int AskControl(HWND window, int id, UINT message, WPARAM wParam, LPARAM lParam) {
    return static_cast<int>(Ask(Control(window, id), message, wParam, lParam, "control " + std::to_string(id)));
}

int ComboFind(HWND window, int id, const std::wstring& text) {
    return AskControl(window, id, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text.c_str()));
}

std::wstring ComboSelectionText(HWND window, int id) { return ComboItemText(window, id, ComboSelection(window, id)); }

std::wstring ComboItemText(HWND window, int id, int item) {
    if (item < 0) return {};
    int length = AskControl(window, id, CB_GETLBTEXTLEN, item);
    if (length < 0) return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    AskControl(window, id, CB_GETLBTEXT, item, reinterpret_cast<LPARAM>(text.data()));
    text.resize(wcslen(text.c_str()));
    return text;
}

RECT ClientRectOf(HWND control, HWND parent) {
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::string RectText(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

SIZE OuterSize(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

namespace {

// How long the program may take to show what an input does (a window in
// front, a list dropped down or closed, a box changed, a page selected):
// seconds on a busy 2-core machine, where a paint can take several.
constexpr DWORD kReactionTimeoutMs = 10000;

bool HasClass(HWND window, const wchar_t* name) {
    wchar_t className[16] = {};
    GetClassNameW(window, className, 16);
    return _wcsicmp(className, name) == 0;
}

// A window as a failure names it: its class, its title, whether it is
// visible and enabled, and its process.
std::string Describe(HWND window) {
    if (!window) return "no window";
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    return WideToUtf8(name) + " \"" + WideToUtf8(WindowText(window)) + "\" (" +
           (IsWindowVisible(window) ? "visible" : "hidden") + ", " + (IsWindowEnabled(window) ? "enabled" : "disabled") +
           ", process " + std::to_string(processId) + ")";
}

// Makes `target`'s top-level window the one that takes the user's input.
// A dropped-down list is never the foreground window: its combo box's is.
void BringToFront(HWND target) {
    HWND top = GetAncestor(target, GA_ROOT);
    if (HasClass(top, L"ComboLBox") || GetForegroundWindow() == top) return;
    SetForegroundWindow(top);
    if (PumpUntil([&] { return GetForegroundWindow() == top; }, kReactionTimeoutMs)) return;
    HWND front = GetForegroundWindow();
    StopTest("not in front within " + std::to_string(Scaled(kReactionTimeoutMs)) +
             " ms to take the input: " + Describe(top) + "; in front instead: " + Describe(front));
}

void SendInputs(std::vector<INPUT> inputs) {
    if (SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) != inputs.size())
        StopTest("SendInput was refused");
}

INPUT KeyInput(WORD key, bool up) {
    INPUT input{INPUT_KEYBOARD, {}};
    input.ki = {key, 0, up ? static_cast<DWORD>(KEYEVENTF_KEYUP) : 0, 0, 0};
    return input;
}

INPUT MouseInput(DWORD flags, DWORD data = 0) {
    INPUT input{INPUT_MOUSE, {}};
    input.mi = {0, 0, data, flags, 0, 0};
    return input;
}

POINT Centre(const RECT& r) {
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// Moves the pointer and waits until it rests there: under Wine the X
// server's answer to an earlier move can arrive late and put it back.
void MovePointer(POINT to) {
    int still = 0;
    Await(
        [&] {
            POINT now{};
            GetCursorPos(&now);
            if (now.x != to.x || now.y != to.y) SetCursorPos(to.x, to.y), still = 0;
            return ++still > 3;
        },
        2000, "the pointer at rest where it was moved");
}

// The middle of the title bar's height, in screen coordinates.
int CaptionY(const RECT& frame) {
    return frame.top + GetSystemMetrics(SM_CYFIXEDFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2;
}

// The combo box's list, dropped down by a click on the box.
HWND DropDown(HWND window, int id) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    Click(window, id);
    HWND list = nullptr;
    Await([&] { return (list = FindVisibleWindow(processId, L"ComboLBox")) != nullptr; }, kReactionTimeoutMs,
          "list " + std::to_string(id) + " dropped down by its click");
    return list;
}

// Waits until a dropped-down list has closed (or is gone with a rebuilt window).
void WaitForListToClose(HWND list) {
    Await([&] { return !IsWindow(list) || !IsWindowVisible(list); }, kReactionTimeoutMs, "the dropped-down list closed");
}

}  // namespace

void ClickAt(HWND target, POINT client) {
    if (!IsWindowVisible(target)) StopTest("a click on a window the user cannot see");
    BringToFront(target);
    Ask(target, WM_NULL, 0, 0, "before a click: the window's thread is at its message loop");
    ClientToScreen(target, &client);
    MovePointer(client);
    SendInputs({MouseInput(MOUSEEVENTF_LEFTDOWN), MouseInput(MOUSEEVENTF_LEFTUP)});
}

void Click(HWND window, int id) {
    HWND control = Control(window, id);
    RECT r{};
    GetClientRect(control, &r);
    LONG type = GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK;
    const bool box = HasClass(control, L"Button") &&
                     (type == BS_AUTOCHECKBOX || type == BS_CHECKBOX || type == BS_AUTO3STATE || type == BS_3STATE);
    const int checked = box ? AskControl(window, id, BM_GETCHECK) : 0;
    // A check box on its square, at the left end of its client area.
    ClickAt(control, box ? POINT{6, r.bottom / 2} : Centre(r));
    if (box)
        Await([&] { return AskControl(window, id, BM_GETCHECK) != checked; }, kReactionTimeoutMs,
              "check box " + std::to_string(id) + " changed by its click");
}

void PressKey(HWND window, WORD key, WORD modifier) {
    if (window) BringToFront(window), Ask(window, WM_NULL, 0, 0, "before a key: the window's thread is at its message loop");
    std::vector<INPUT> inputs = {KeyInput(key, false), KeyInput(key, true)};
    if (modifier) inputs.insert(inputs.begin(), KeyInput(modifier, false)), inputs.push_back(KeyInput(modifier, true));
    SendInputs(inputs);
}

void TurnWheel(HWND control, int notches) {
    RECT r{};
    GetClientRect(control, &r);
    POINT centre = Centre(r);
    ClientToScreen(control, &centre);
    BringToFront(control);
    MovePointer(centre);
    SendInputs({MouseInput(MOUSEEVENTF_WHEEL, static_cast<DWORD>(notches * WHEEL_DELTA))});
}

void SelectComboItem(HWND window, int id, int item) {
    HWND list = DropDown(window, id);
    // Scrolled with the wheel until the item shows, as a user would.
    RECT client{}, itemRect{};
    auto shown = [&] {
        GetClientRect(list, &client);
        Ask(list, LB_GETITEMRECT, item, reinterpret_cast<LPARAM>(&itemRect), "item rectangle");
        return itemRect.top >= 0 && itemRect.bottom <= client.bottom;
    };
    for (int turn = 0; turn < 40 && !shown(); ++turn) {
        POINT centre = Centre(client);
        ClientToScreen(list, &centre);
        MovePointer(centre);
        SendInputs({MouseInput(MOUSEEVENTF_WHEEL, itemRect.top < 0 ? WHEEL_DELTA : static_cast<DWORD>(-WHEEL_DELTA))});
        PumpUntil([] { return false; }, 50);
    }
    if (!shown()) StopTest("item " + std::to_string(item) + " of list " + std::to_string(id) + " scrolled into view");
    ClickAt(list, Centre(itemRect));
    WaitForListToClose(list);
}

void TypeComboItem(HWND window, int id, wchar_t letter) {
    HWND list = DropDown(window, id);
    PressKey(nullptr, static_cast<WORD>(letter));
    Await([&] { return ComboSelectionText(window, id).starts_with(letter); }, kReactionTimeoutMs,
          "the item of the typed letter selected in list " + std::to_string(id));
    // Wine closes the list on the letter; there Enter would reach the window
    // and press Save. Enter is pressed only to close a list still open.
    if (IsWindowVisible(list)) PressKey(nullptr, VK_RETURN);
    WaitForListToClose(list);
}

void SelectPage(HWND window, int page) {
    HWND list = Control(window, IDC_NAVIGATION);
    RECT item{};
    Ask(list, LB_GETITEMRECT, page, reinterpret_cast<LPARAM>(&item), "SelectPage(" + std::to_string(page) + ")");
    ClickAt(list, Centre(item));
    // The list selects on the press and tells the window on the release,
    // after it lets the mouse go; a message answered after that comes after
    // the page switch.
    Await([&] { return Ask(list, LB_GETCURSEL, 0, 0, "page list") == page && !ThreadInfo(list).hwndCapture; },
          kReactionTimeoutMs, "page " + std::to_string(page) + " selected by its click");
    Ask(window, WM_NULL, 0, 0, "after the page switch");
}

void ClickCloseBox(HWND window) {
    RECT frame{};
    GetWindowRect(window, &frame);
    const int y = CaptionY(frame);
    int x = frame.right - 1;
    while (x > frame.right - 80 && Ask(window, WM_NCHITTEST, 0, MAKELPARAM(x, y), "close box") != HTCLOSE) --x;
    if (x <= frame.right - 80) StopTest("no close box on the title bar");
    POINT client{x, y};
    ScreenToClient(window, &client);
    ClickAt(window, client);
}

void DragTitleBar(HWND window, int dx, int dy) {
    RECT frame{};
    GetWindowRect(window, &frame);
    BringToFront(window);
    POINT from{frame.left + 100, CaptionY(frame)};
    MovePointer(from);
    SendInputs({MouseInput(MOUSEEVENTF_LEFTDOWN)});
    for (int step = 1; step <= 4; ++step) MovePointer({from.x + dx * step / 4, from.y + dy * step / 4});
    SendInputs({MouseInput(MOUSEEVENTF_LEFTUP)});
    // Until the move loop has seen the release: a message the window gets
    // before that is handled inside the loop, where Wine drops WM_QUIT.
    Await([&] { return !(ThreadInfo(window).flags & GUI_INMOVESIZE); }, kReactionTimeoutMs, "the drag ended");
    if (!GetWindowRect(window, &frame) || frame.left <= from.x - 100) StopTest("the window did not follow the drag");
}

void SetPointerShapeOf(HWND window, HCURSOR shape) {
    const DWORD programThread = GetWindowThreadProcessId(window, nullptr);
    AttachThreadInput(GetCurrentThreadId(), programThread, TRUE);
    SetCursor(shape);
    AttachThreadInput(GetCurrentThreadId(), programThread, FALSE);
}

HCURSOR PointerShapeAt(HWND target, POINT client) {
    ClientToScreen(target, &client);
    MovePointer(client);
    SendInputs({MouseInput(MOUSEEVENTF_MOVE)});  // a real move, which asks the window for its pointer
    Ask(GetAncestor(target, GA_ROOT), WM_NULL, 0, 0, "pointer shape");
    PumpUntil([] { return false; }, 300);
    CURSORINFO info{};
    info.cbSize = sizeof info;
    GetCursorInfo(&info);
    return info.hCursor;
}

MessageBoxSeen SeeMessageBox(RunningProgram& program, HWND window) {
    HWND box = program.WaitForMessageBox();
    constexpr int kMessageTextId = 0xFFFF;  // the box's static text
    return {box, WindowText(box), WindowText(GetDlgItem(box, kMessageTextId)), GetWindow(box, GW_OWNER) == window,
            window && !IsWindowEnabled(window)};
}

void ClickBoxButton(HWND box, int button) {
    RECT r{};
    GetClientRect(GetDlgItem(box, button), &r);
    ClickAt(GetDlgItem(box, button), Centre(r));
    Await([&] { return !IsWindow(box); }, kReactionTimeoutMs, "the message box closed by its button");
}

std::wstring AnswerMessageBox(RunningProgram& program, int button) {
    MessageBoxSeen seen = SeeMessageBox(program);
    ClickBoxButton(seen.box, button);
    return seen.caption;
}

// Rows of the control's rectangle, less `left` pixels (a check box's glyph)
// and `edge` on every side (a button's frame), that hold text ink (dark
// pixels): the height of its text as drawn.
int InkHeight(HWND window, HWND control, int left, int edge) {
    RECT rect = ClientRectOf(control, window);
    InflateRect(&rect, -edge, -edge);
    rect.left += left;
    ScreenImage screen(window);
    int first = -1, last = -1;
    for (int y = rect.top; y < rect.bottom; ++y) {
        COLORREF ink = screen.Ink({rect.left, y, rect.right, y + 1}, true);
        if (GetRValue(ink) + GetGValue(ink) + GetBValue(ink) >= 3 * 128) continue;
        if (first < 0) first = y;
        last = y;
    }
    return first < 0 ? 0 : last - first + 1;
}

bool IsChecked(HWND window, int id) {
    const int state = AskControl(window, id, BM_GETCHECK);
    if (state != BST_CHECKED && state != BST_UNCHECKED)
        ReportDriverFailure("check box " + std::to_string(id) + " is neither ticked nor clear: " + std::to_string(state));
    return state == BST_CHECKED;
}

// The inside of the 13-pixel square at the box's left, vertically centred:
// the themed glyph's tick is near black, or the theme's blue while the
// pointer is over the box; an empty box is white inside, or the theme's
// pale hover colour.
int GlyphOnScreen(HWND window, int id) {
    RECT box = ClientRectOf(Control(window, id), window);
    const int middle = (box.top + box.bottom) / 2;
    const COLORREF ink = ScreenImage(window).Ink({box.left + 3, middle - 3, box.left + 10, middle + 4}, true);
    const int sum = GetRValue(ink) + GetGValue(ink) + GetBValue(ink);
    return sum < 3 * 200 ? 1 : sum > 3 * 240 ? 0 : -1;
}

GUITHREADINFO ThreadInfo(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info;
}

// The window (or its client area) as it is on the screen, read in one go.
ScreenImage::ScreenImage(HWND window, bool withFrame) {
    RECT area{};
    withFrame ? GetWindowRect(window, &area) : GetClientRect(window, &area);
    width_ = area.right - area.left;
    height_ = area.bottom - area.top;
    POINT origin{area.left, area.top};
    if (!withFrame) ClientToScreen(window, &origin);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width_, -height_, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width_, height_, screen, origin.x, origin.y, SRCCOPY);
    GdiFlush();
    const auto* pixels = static_cast<const uint32_t*>(bits);
    pixels_.assign(pixels, pixels + static_cast<size_t>(width_) * height_);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

COLORREF ScreenImage::Ink(const RECT& r, bool darkest) const {
    COLORREF ink = At(r.left, r.top);
    auto sum = [](COLORREF c) { return GetRValue(c) + GetGValue(c) + GetBValue(c); };
    for (int y = r.top; y < r.bottom; ++y) {
        for (int x = r.left; x < r.right; ++x) {
            if (darkest ? sum(At(x, y)) < sum(ink) : sum(At(x, y)) > sum(ink)) ink = At(x, y);
        }
    }
    return ink;
}

COLORREF ScreenImage::At(int x, int y) const {
    uint32_t bgra = pixels_[static_cast<size_t>(y) * width_ + x];
    return RGB((bgra >> 16) & 0xFF, (bgra >> 8) & 0xFF, bgra & 0xFF);
}
