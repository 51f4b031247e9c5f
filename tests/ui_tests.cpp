// The window's option table, row by row: which check box shows which
// option; and a settings window that cannot be created. (Which help button
// opens which topic is pressed through the window in the end-to-end tests.)
#include "settings/settings.h"
#include "ui/control_ids.h"
#include "ui/settings_window.h"
#include "ui/window_state.h"
#include "web/web.h"

#include <gtest/gtest.h>

namespace {

TEST(OptionTable, EachRowBindsItsCheckBoxToItsOwnOption) {
    Settings& s = currentSettings;
    const struct {
        int id;
        bool* setting;
        const wchar_t* shownCaption = nullptr;  // the window shows the built-in caption of the hotkey rows only
    } expected[] = {
        {2002, &s.HotkeyAlt, L"Alt"},
        {2003, &s.HotkeyCtrl, L"Ctrl"},
        {2004, &s.HotkeyShift, L"Shift"},
        {2005, &s.HotkeyWindows, L"Windows"},
        {2007, &s.PlaySound},
        {2008, &s.StartWithWindows},
        {2009, &s.ShowStartupNotification},
        {2010, &s.PeriodicallyResetHotkey},
        {2011, &s.ReplaceLineBreaksWithSpace},
        {2012, &s.ReplaceTabsWithSpace},
        {2013, &s.CollapseSpaces},
        {2014, &s.TrimSpaces},
        {2015, &s.ConvertFullWidthSpaces},
        {2016, &s.RemoveZeroWidthSpaces},
        {2017, &s.ConvertNonBreakingSpaces},
        {2018, &s.MarkdownLinksToDisplayText},
        {2019, &s.RemoveHtmlTags},
        {2020, &s.UseClipboardPlainTextOnly},
        {2021, &s.ExcelPasteValuesForCellCopy},
    };
    std::vector<OptionCheckbox> rows = GetOptionCheckboxes();
    ASSERT_EQ(rows.size(), std::size(expected));
    for (size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].controlId, expected[i].id) << "row " << i + 1;
        EXPECT_EQ(rows[i].setting, expected[i].setting) << "row " << i + 1;
        if (expected[i].shownCaption) {
            EXPECT_STREQ(rows[i].firstCaption, expected[i].shownCaption);
        }
    }
}

// Nothing of a window is built without one: no control, no help view (the
// fake WebView2Loader.dll lies beside this test), no font sent anywhere.
// The window class is not registered in this process, so creation fails.
TEST(SettingsWindow, ARefusedWindowBuildsNothing) {
    instanceHandle = GetModuleHandleW(nullptr);
    ASSERT_FALSE(web::GetWebView2RuntimeVersion().empty()) << "the fake runtime is found";
    CreateSettingsWindow();
    EXPECT_EQ(mainWindow, nullptr);
    EXPECT_EQ(helpView, nullptr) << "a help view without a window was started";
    for (const auto& controls : pageControls) EXPECT_TRUE(controls.empty());
}

}  // namespace
