// The window's tables: which check box shows which option, and which help
// button opens which topic.
#include "settings/settings.h"
#include "ui/control_ids.h"
#include "ui/settings_window.h"

#include <gtest/gtest.h>

#include <set>

namespace {

TEST(OptionTable, NineteenRowsBindEveryBooleanButNfkcOnce) {
    std::vector<OptionCheckbox> rows = GetOptionCheckboxes();
    ASSERT_EQ(rows.size(), 19u);

    std::set<int> ids;
    std::set<bool*> bound;
    int previous = 0;
    for (const OptionCheckbox& row : rows) {
        EXPECT_GT(row.controlId, previous) << "rows run in ascending ID order";
        previous = row.controlId;
        ids.insert(row.controlId);
        bound.insert(row.setting);
        EXPECT_NE(row.firstCaption[0], L'\0');
        EXPECT_NE(row.secondCaption[0], L'\0');
    }
    EXPECT_EQ(ids.size(), 19u);
    EXPECT_EQ(*ids.begin(), IDC_HOTKEY_ALT);
    EXPECT_EQ(*ids.rbegin(), IDC_EXCEL_VALUES);
    EXPECT_EQ(ids.count(IDC_HOTKEY_KEY), 0u);

    Settings& s = currentSettings;
    std::set<bool*> expected = {
        &s.HotkeyAlt, &s.HotkeyCtrl, &s.HotkeyShift, &s.HotkeyWindows, &s.PlaySound, &s.StartWithWindows,
        &s.ShowStartupNotification, &s.PeriodicallyResetHotkey, &s.ReplaceLineBreaksWithSpace,
        &s.ReplaceTabsWithSpace, &s.CollapseSpaces, &s.TrimSpaces, &s.ConvertFullWidthSpaces,
        &s.RemoveZeroWidthSpaces, &s.ConvertNonBreakingSpaces, &s.MarkdownLinksToDisplayText, &s.RemoveHtmlTags,
        &s.UseClipboardPlainTextOnly, &s.ExcelPasteValuesForCellCopy};
    EXPECT_EQ(bound, expected);
}

TEST(OptionTable, RowsPairEachIdWithItsOwnSetting) {
    // Spot checks where a swapped row would go unnoticed by the set test above.
    std::vector<OptionCheckbox> rows = GetOptionCheckboxes();
    EXPECT_EQ(rows[4].setting, &currentSettings.PlaySound);
    EXPECT_EQ(rows[4].controlId, IDC_PLAY_SOUND);
    EXPECT_STREQ(rows[4].secondCaption, L"Play a sound after paste");
    EXPECT_EQ(rows[14].controlId, IDC_NBSP);
    EXPECT_EQ(rows[14].setting, &currentSettings.ConvertNonBreakingSpaces);
    EXPECT_EQ(rows[17].controlId, IDC_PLAIN_TEXT_ONLY);
    EXPECT_EQ(rows[17].setting, &currentSettings.UseClipboardPlainTextOnly);
    EXPECT_STREQ(rows[3].firstCaption, L"Windows");
}

TEST(HelpTopics, EachHelpButtonOpensItsRowsTopic) {
    EXPECT_STREQ(HelpTopicForControl(IDC_HELP_FIRST), L"language");
    EXPECT_STREQ(HelpTopicForControl(3002), L"shortcut-key");
    EXPECT_STREQ(HelpTopicForControl(3009), L"tab-spaces");
    EXPECT_STREQ(HelpTopicForControl(3014), L"non-breaking-spaces");
    EXPECT_STREQ(HelpTopicForControl(3019), L"nfkc");
    EXPECT_STREQ(HelpTopicForControl(IDC_HELP_LAST), L"excel-values");
    EXPECT_EQ(HelpTopicForControl(3000), nullptr);
    EXPECT_EQ(HelpTopicForControl(3024), nullptr);
}

}  // namespace
