// The first window with Language "system", as a user of each display
// language sees it at a glance. Run by ctest once per display language
// (LC_ALL of the Wine process), each with the language it must show.
#include "program_fixture.h"

#include "base/base.h"
#include "i18n/i18n.h"
#include "i18n/text_keys.h"
#include "ui/control_ids.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

class FirstWindowTest : public ProgramFixture {};

TEST_F(FirstWindowTest, ShowsTheDisplayLanguageInTheWindowsFont) {
    const char* code = std::getenv("SLATEWASH_EXPECTED_LANGUAGE");
    if (!code) GTEST_SKIP() << "run by ctest with a display language";
    StringTable language = LoadLocaleFile(Utf8ToWide(code));
    ASSERT_FALSE(language.empty()) << code;

    RunningProgram program(ProgramFolder(L"e2e-narrow"), appData_.Path());
    HWND window = program.WaitForWindow();
    EXPECT_EQ(WindowText(window), language[TextKey::SettingsTitle]);
    EXPECT_EQ(WindowText(Control(window, IDC_LANGUAGE_LABEL)), language[TextKey::Language]);
    EXPECT_EQ(ComboSelectionText(window, IDC_LANGUAGE), language[TextKey::SystemSettings]);
    EXPECT_EQ(WindowText(Control(window, IDC_SAVE)), language[TextKey::Save]);
    EXPECT_EQ((GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_RTLREADING) != 0, std::string(code) == "ar");

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

    EXPECT_EQ(program.Close(window), 0u);
}

}  // namespace
