// The window driven with the keyboard alone, by real key presses, and what
// a screen reader and a high-contrast theme get from it.
#include "program_fixture.h"

#include "base/base.h"
#include "i18n/i18n.h"
#include "settings/settings.h"
#include "ui/control_ids.h"

#include <gtest/gtest.h>

#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace {

class KeyboardTest : public ProgramFixture {
protected:
    std::wstring narrow_ = ProgramFolder(L"e2e-narrow");
    std::wstring wide_ = ProgramFolder(L"e2e-wide");
    std::wstring faults_ = ProgramFolder(L"e2e-faults");
};

HWND Focus(HWND window) {
    return ThreadInfo(window).hwndFocus;
}

// Presses `key` and waits until the keys go to `control`.
void PressUntilFocused(HWND window, WORD key, HWND control, const std::string& what, WORD modifier = 0) {
    PressKey(window, key, modifier);
    Await([&] { return Focus(window) == control; }, 3000, what);
}

// Tab from the page list round to it again: the controls the keys reach.
std::vector<HWND> TabRound(HWND window, WORD modifier) {
    std::vector<HWND> reached;
    HWND list = Control(window, IDC_NAVIGATION);
    for (int step = 0; step < 40; ++step) {
        HWND before = Focus(window);
        PressKey(window, VK_TAB, modifier);
        Await([&] { return Focus(window) != before; }, 3000, "Tab moving the focus on");
        if (Focus(window) == list) return reached;
        reached.push_back(Focus(window));
    }
    ADD_FAILURE() << "Tab never came back to the page list";
    return reached;
}

bool InReadingOrder(HWND window, HWND a, HWND b) {
    RECT ra = ClientRectOf(a, window), rb = ClientRectOf(b, window);
    return rb.top > ra.top + 4 || (std::abs(rb.top - ra.top) <= 4 && rb.left > ra.left);
}

TEST_F(KeyboardTest, TheKeyboardAloneSavesABoxALanguageAndAHotkeyLetter) {
    RunningProgram program(narrow_, appData_.Path());
    HWND window = program.WaitForWindow();
    Await([&] { return Focus(window) == Control(window, IDC_NAVIGATION); }, 3000, "the keys on the page list at start");
    PressKey(window, VK_DOWN);
    Await([&] { return IsWindowVisible(Control(window, IDC_REPLACE_LINE_BREAKS)); }, 3000, "page 1 by Down");
    PressUntilFocused(window, VK_TAB, Control(window, IDC_REPLACE_LINE_BREAKS), "the page's first box by Tab");
    PressKey(window, VK_SPACE);
    Await([&] { return !IsChecked(window, IDC_REPLACE_LINE_BREAKS); }, 3000, "the ticked box cleared by Space");
    PressUntilFocused(window, VK_TAB, Control(window, IDC_NAVIGATION), "the page list by Shift+Tab", VK_SHIFT);
    PressKey(window, VK_UP);
    PressUntilFocused(window, VK_TAB, Control(window, IDC_LANGUAGE), "the language list by Tab");
    // Down twice on the closed list passes the separator to 日本語 and builds nothing.
    for (int press = 0; press < 2; ++press) PressKey(window, VK_DOWN);
    Await([&] { return ComboSelectionText(window, IDC_LANGUAGE) == L"日本語"; }, 3000, "日本語 by two Downs");
    EXPECT_FALSE(PumpUntil([&] { return !IsWindow(window); }, 500)) << "no rebuild while the keys move the list";
    PressKey(window, VK_TAB);  // leaving the list commits the language
    HWND rebuilt = program.WaitForWindow(15000, window);
    EXPECT_EQ(WindowText(rebuilt), L"Slatewash 設定");
    Await([&] { return Focus(rebuilt) == Control(rebuilt, IDC_LANGUAGE); }, 3000, "the language list after the rebuild");
    for (int id : {3001, IDC_HOTKEY_ALT, IDC_HOTKEY_CTRL, IDC_HOTKEY_SHIFT, IDC_HOTKEY_WINDOWS, IDC_HOTKEY_KEY})
        PressUntilFocused(rebuilt, VK_TAB, Control(rebuilt, id), "Tab onto control " + std::to_string(id));
    PressKey(rebuilt, 'K');
    Await([&] { return ComboSelectionText(rebuilt, IDC_HOTKEY_KEY) == L"K"; }, 3000, "K typed into the closed list");
    PressKey(rebuilt, VK_RETURN);
    EXPECT_EQ(program.WaitForExit(), 0u) << "Enter saved";
    Settings saved;
    saved.ReplaceLineBreaksWithSpace = false, saved.Language = L"ja", saved.HotkeyKey = 'K';
    EXPECT_EQ(ReadBytes(SettingsFile()), ComposeSettingsText(saved, WideToUtf8));
    PumpUntil([&] { return !paster_.Messages().empty(); }, 2000);
    EXPECT_EQ(paster_.Messages().size(), 1u);

    // The same start, a box ticked by Space, then Escape: nothing written.
    DeleteFileW(SettingsFile().c_str());
    RunningProgram second(narrow_, appData_.Path());
    window = second.WaitForWindow();
    Await([&] { return Focus(window) == Control(window, IDC_NAVIGATION); }, 3000, "the page list");
    PressUntilFocused(window, VK_TAB, Control(window, IDC_LANGUAGE), "the language list by Tab");
    PressUntilFocused(window, VK_TAB, Control(window, 3001), "its help button by Tab");
    PressUntilFocused(window, VK_TAB, Control(window, IDC_HOTKEY_ALT), "the Alt box by Tab");
    PressKey(window, VK_SPACE);
    Await([&] { return IsChecked(window, IDC_HOTKEY_ALT); }, 3000, "Alt ticked by Space");
    PressKey(window, VK_ESCAPE);
    EXPECT_EQ(second.WaitForExit(), 0u) << "Escape cancelled";
    EXPECT_FALSE(FileExists(SettingsFile()));
    EXPECT_EQ(paster_.Messages().size(), 1u);
}

// Tab and Shift+Tab go round the visible controls in reading order, the page
// list first and the footer's Restore defaults, Save and Cancel last; the
// hidden pages' controls never.
TEST_F(KeyboardTest, TabGoesRoundThePageInReadingOrder) {
    RunningProgram program(narrow_, appData_.Path());
    HWND window = program.WaitForWindow();
    for (int page : {0, 2}) {
        SCOPED_TRACE("page " + std::to_string(page));
        SelectPage(window, page);
        std::vector<HWND> forward = TabRound(window, 0);
        ASSERT_GE(forward.size(), 5u);
        EXPECT_EQ(forward[forward.size() - 3], Control(window, IDC_RESTORE_DEFAULTS));
        EXPECT_EQ(forward[forward.size() - 2], Control(window, IDC_SAVE));
        EXPECT_EQ(forward.back(), Control(window, IDC_CANCEL));
        for (size_t i = 0; i + 4 < forward.size(); ++i)
            EXPECT_TRUE(InReadingOrder(window, forward[i], forward[i + 1])) << GetDlgCtrlID(forward[i + 1]);
        for (HWND control : forward) EXPECT_TRUE(IsWindowVisible(control)) << GetDlgCtrlID(control);
        int stops = 0;
        for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            stops += IsWindowVisible(child) && (GetWindowLongW(child, GWL_STYLE) & WS_TABSTOP);
        EXPECT_EQ(forward.size() + 1, static_cast<size_t>(stops)) << "every visible control is reached";
        std::vector<HWND> backward = TabRound(window, VK_SHIFT);
        EXPECT_EQ(std::vector<HWND>(forward.rbegin(), forward.rend()), backward);
    }
    EXPECT_EQ(program.Close(window), 0u);
}

// How many pixels of the dotted line a focus rectangle draws 2 pixels inside
// page item `item` differ from the item's own colour.
int FocusDots(HWND window, int item, COLORREF itemColour) {
    ScreenImage screen(window);
    const int y = 20 + 54 * item + 2;
    int dots = 0;
    for (int x = 30; x < 150; ++x) dots += screen.At(x, y) != itemColour;
    return dots;
}

// The page list's focused item shows Windows' focus rectangle, and it moves
// with the arrow keys. (Windows hides it until the keyboard is first used;
// Wine keeps no such state and always shows it.)
TEST_F(KeyboardTest, ThePageListShowsWhereTheFocusIs) {
    constexpr COLORREF selected = RGB(37, 99, 235), white = RGB(255, 255, 255);
    RunningProgram program(narrow_, appData_.Path());
    HWND window = program.WaitForWindow();
    Await([&] { return Focus(window) == Control(window, IDC_NAVIGATION); }, 3000, "the page list at start");
    PressKey(window, VK_DOWN);
    EXPECT_TRUE(PumpUntil([&] { return FocusDots(window, 1, selected) > 20 && FocusDots(window, 0, white) == 0; }, 3000))
        << "the focused item's dotted rectangle: " << FocusDots(window, 1, selected);
    EXPECT_EQ(program.Close(window), 0u);
}

// Enter presses a focused help button (its topic opens, the window stays)
// and Save from a box; Escape in an open list only closes it.
TEST_F(KeyboardTest, EnterAndEscapeAsInADialog) {
    RunningProgram program(wide_, appData_.Path());
    HWND window = program.WaitForWindow();
    HWND view = nullptr;
    Await([&] { return (view = FindWindowExW(window, nullptr, L"FakeWebView2", nullptr)) && WindowText(view).ends_with(L"overview/?view=app"); },
          10000, "the help view on its overview");
    PressUntilFocused(window, VK_TAB, Control(window, IDC_LANGUAGE), "the language list");
    PressUntilFocused(window, VK_TAB, Control(window, 3001), "its help button");
    PressKey(window, VK_RETURN);
    Await([&] { return WindowText(view).ends_with(L"language/?view=app"); }, 3000, "the language topic by Enter");
    EXPECT_TRUE(IsWindow(window)) << "Enter on a help button saves nothing";
    PressUntilFocused(window, VK_TAB, Control(window, IDC_LANGUAGE), "back on the language list", VK_SHIFT);
    PressKey(window, VK_DOWN, VK_MENU);  // Alt+Down drops the list down
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    HWND list = nullptr;
    Await([&] { return (list = FindVisibleWindow(processId, L"ComboLBox")) != nullptr; }, 3000, "the list dropped down");
    PressKey(nullptr, VK_DOWN);
    PressKey(nullptr, VK_DOWN);
    PressKey(nullptr, VK_ESCAPE);
    Await([&] { return !IsWindowVisible(list); }, 3000, "the list closed by Escape");
    EXPECT_FALSE(PumpUntil([&] { return !IsWindow(window); }, 500)) << "Escape in the list neither cancels nor rebuilds";
    EXPECT_EQ(ComboSelection(window, IDC_LANGUAGE), 0) << "the window's own language again";
    PressUntilFocused(window, VK_TAB, Control(window, 3001), "the help button");
    PressUntilFocused(window, VK_TAB, Control(window, IDC_HOTKEY_ALT), "the Alt box");
    PressKey(window, VK_RETURN);
    EXPECT_EQ(program.WaitForExit(), 0u) << "Enter on a box saves";
    EXPECT_TRUE(FileExists(SettingsFile()));
}

// The closed language list moves with the arrows and the wheel and builds
// nothing; the keys come back to the control that had them when the window
// is activated again.
TEST_F(KeyboardTest, ArrowsAndWheelOnTheClosedLanguageListRebuildNothing) {
    RunningProgram program(narrow_, appData_.Path());
    HWND window = program.WaitForWindow();
    PressUntilFocused(window, VK_TAB, Control(window, IDC_LANGUAGE), "the language list");
    PressKey(window, VK_DOWN);
    Await([&] { return ComboSelectionText(window, IDC_LANGUAGE) == L"English"; }, 3000, "English by Down");
    TurnWheel(Control(window, IDC_LANGUAGE), -1);
    Await([&] { return ComboSelectionText(window, IDC_LANGUAGE) == L"日本語"; }, 3000, "日本語 by the wheel");
    EXPECT_FALSE(PumpUntil([&] { return !IsWindow(window); }, 500)) << "no rebuild";
    // Another window takes the front, then the program again: the keys are
    // back on the list, which still shows 日本語.
    HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 200, 200, nullptr, nullptr,
                                 nullptr, nullptr);
    SetForegroundWindow(other);
    Await([&] { return GetForegroundWindow() == other; }, 3000, "another window in front");
    SetForegroundWindow(window);
    Await([&] { return Focus(window) == Control(window, IDC_LANGUAGE); }, 3000, "the keys back on the list");
    DestroyWindow(other);
    EXPECT_TRUE(IsWindow(window));
    PressKey(window, VK_ESCAPE);
    EXPECT_EQ(program.WaitForExit(), 0u);
    EXPECT_FALSE(FileExists(SettingsFile())) << "Cancel after the keys keeps the file's language";
}

// A screen reader names a help button by its window text, and a list by the
// label just before it in z-order (Windows' rule, which Wine's oleacc does
// not apply to standard controls): so the rule itself is checked.
TEST_F(KeyboardTest, EveryHelpButtonAndListHasAName) {
    RunningProgram program(narrow_, appData_.Path());
    HWND window = program.WaitForWindow();
    StringTable en = LoadLocaleFile(L"en");
    const std::pair<int, const wchar_t*> subjects[] = {{3001, L"Language"}, {3002, L"Hotkey"}, {3003, L"PlaySound"},
                                                       {3009, L"TabSpaces"}, {3015, L"Katakana"}, {3019, L"NormalizeNFKC"}};
    for (auto [id, key] : subjects) EXPECT_EQ(WindowText(Control(window, id)), L"Help: " + en[key]) << id;
    std::set<std::wstring> names;
    for (int id = 3001; id <= 3023; ++id) names.insert(WindowText(Control(window, id)));
    EXPECT_EQ(names.size(), 23u) << "each help button a name of its own";
    const std::pair<int, const wchar_t*> lists[] = {
        {IDC_NAVIGATION, L"PageList"}, {IDC_LANGUAGE, L"Language"},   {IDC_HOTKEY_KEY, L"HotkeyLetter"},
        {IDC_TAB_SPACES, L"TabSpaces"}, {IDC_KATAKANA_WIDTH, L"Katakana"}, {IDC_NUMBER_WIDTH, L"Numbers"},
        {IDC_LATIN_WIDTH, L"LatinLetters"}, {IDC_SYMBOL_WIDTH, L"Symbols"}};
    for (auto [id, key] : lists) {
        HWND label = GetWindow(Control(window, id), GW_HWNDPREV);
        wchar_t name[16] = {};
        GetClassNameW(label, name, 16);
        EXPECT_EQ(_wcsicmp(name, L"Static"), 0) << id;
        EXPECT_EQ(WindowText(label), en[key]) << id;
    }
    EXPECT_EQ(program.Close(window), 0u);
}

// The system's colours for a few roles, set for the scope (Wine reports no
// high contrast, so the test build is told to act as in a theme).
class SystemColours {
public:
    SystemColours(std::vector<int> roles, std::vector<COLORREF> colours) : roles_(std::move(roles)) {
        for (int role : roles_) saved_.push_back(GetSysColor(role));
        SetSysColors(static_cast<int>(roles_.size()), roles_.data(), colours.data());
    }
    ~SystemColours() { SetSysColors(static_cast<int>(roles_.size()), roles_.data(), saved_.data()); }
    SystemColours(const SystemColours&) = delete;
    SystemColours& operator=(const SystemColours&) = delete;

private:
    std::vector<int> roles_;
    std::vector<COLORREF> saved_;
};

// In a high-contrast theme every colour painted is the system's: the frame,
// the cards and their outline, the page list's selection and accent bar,
// and the controls' text and background. Run by two ctest entries: with
// Direct2D and with the GDI frame (no d2d1.dll).
TEST_F(KeyboardTest, HighContrastPaintsInTheSystemColours) {
    constexpr COLORREF black = RGB(0, 0, 0), white = RGB(255, 255, 255), cyan = RGB(26, 235, 255);
    SystemColours dark({COLOR_WINDOW, COLOR_WINDOWTEXT, COLOR_HIGHLIGHT, COLOR_HIGHLIGHTTEXT}, {black, white, cyan, black});
    ScopedEnvironment highContrast(L"SLATEWASH_HIGH_CONTRAST", L"1");
    RunningProgram program(faults_, appData_.Path());
    HWND window = program.WaitForWindow();
    const struct {
        int x, y;
        COLORREF colour;
        const char* what;
    } probes[] = {
        {5, 300, black, "the background"},         {400, 540, black, "the page card"},
        {175, 300, white, "the page card's outline"}, {664, 300, white, "its right edge"},
        {60, 68, cyan, "the selected page"},       {21, 68, black, "its accent bar"},
        {60, 122, black, "a page not selected"},
    };
    std::string problem;
    PumpUntil(
        [&] {
            ScreenImage screen(window);
            problem.clear();
            for (const auto& p : probes)
                if (screen.At(p.x, p.y) != p.colour && problem.empty())
                    problem = std::string(p.what) + " is " + std::to_string(screen.At(p.x, p.y));
            return problem.empty();
        },
        10000);
    EXPECT_EQ(problem, "");
    ScreenImage screen(window);
    for (int id : {IDC_LANGUAGE_LABEL, IDC_PLAY_SOUND}) {
        RECT r = ClientRectOf(Control(window, id), window);
        EXPECT_EQ(screen.Ink(r, false), white) << "the text of control " << id;
        EXPECT_EQ(screen.Ink(r, true), black) << "behind the text of control " << id;
    }
    EXPECT_EQ(program.Close(window), 0u);
}

}  // namespace
