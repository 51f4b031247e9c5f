// The first window with Language "system", as a user of each display
// language sees it at a glance. Run by ctest once per display language
// (LC_ALL of the Wine process), each with the language it must show.
#include "program_fixture.h"

#include "base/base.h"
#include "ui/control_ids.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

struct LanguageLook {
    const char* code;
    const wchar_t* title;
    const wchar_t* languageLabel;
    const wchar_t* systemSettings;  // first item of the language list and of the navigation
    const wchar_t* save;
    bool rightToLeft;
};

const LanguageLook kLooks[] = {
    {"en", L"Slatewash Settings", L"Language", L"System settings", L"Save", false},
    {"ja", L"Slatewash 設定", L"表示言語", L"システム設定", L"保存", false},
    {"ko", L"Slatewash 설정", L"표시 언어", L"시스템 설정", L"저장", false},
    {"zh-CN", L"Slatewash 设置", L"界面语言", L"系统设置", L"保存", false},
    {"zh-TW", L"Slatewash 設定", L"介面語言", L"系統設定", L"儲存", false},
    {"ar", L"إعدادات Slatewash", L"اللغة", L"إعدادات النظام", L"حفظ", true},
};

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
        for (int x = rect.left; x < rect.right; ++x) {
            COLORREF c = screen.At(x, y);
            if (GetRValue(c) < 128 && GetGValue(c) < 128 && GetBValue(c) < 128) {
                if (first < 0) first = y;
                last = y;
                break;
            }
        }
    }
    return first < 0 ? 0 : last - first + 1;
}

class FirstWindowTest : public ProgramFixture {};

TEST_F(FirstWindowTest, ShowsTheDisplayLanguageInTheWindowsFont) {
    const char* code = std::getenv("SLATEWASH_EXPECTED_LANGUAGE");
    if (!code) GTEST_SKIP() << "run by ctest with a display language";
    const LanguageLook* look = nullptr;
    for (const LanguageLook& candidate : kLooks) {
        if (std::string(candidate.code) == code) look = &candidate;
    }
    ASSERT_NE(look, nullptr) << code;

    RunningProgram program(ProgramFolder(L"e2e-narrow"), appData_.Path());
    HWND window = program.WaitForWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(WindowText(window), look->title);
    EXPECT_EQ(WindowText(Control(window, IDC_LANGUAGE_LABEL)), look->languageLabel);
    EXPECT_EQ(ComboSelectionText(window, IDC_LANGUAGE), look->systemSettings);
    EXPECT_EQ(WindowText(Control(window, IDC_SAVE)), look->save);
    EXPECT_EQ((GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_RTLREADING) != 0, look->rightToLeft);

    // The window's font is 16 pixels high: the text of a label, a check box
    // and a button stands 12 to 19 pixels tall on the screen in every script
    // (a 12-pixel font stays below 12). Wine answers WM_GETFONT from another
    // process with null, so the font is read off the screen.
    const struct {
        int id, left, edge;
    } texts[] = {{IDC_LANGUAGE_LABEL, 0, 0}, {IDC_PLAY_SOUND, 20, 0}, {IDC_SAVE, 0, 4}};
    for (const auto& text : texts) {
        int ink = 0;
        PumpUntil([&] { return (ink = InkHeight(window, Control(window, text.id), text.left, text.edge)) > 0; }, 5000);
        EXPECT_GE(ink, 12) << "control " << text.id;
        EXPECT_LE(ink, 19) << "control " << text.id;
    }

    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForExit(), 0u);
}

}  // namespace
