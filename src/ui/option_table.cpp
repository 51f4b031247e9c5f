// Binds the boolean options to their check boxes, with the built-in captions.
#include "ui/settings_window.h"

#include "settings/settings.h"
#include "ui/control_ids.h"

std::vector<OptionCheckbox> GetOptionCheckboxes() {
    Settings& s = currentSettings;
    return {
        {IDC_HOTKEY_ALT, L"Alt", L"Alt", &s.HotkeyAlt},
        {IDC_HOTKEY_CTRL, L"Ctrl", L"Ctrl", &s.HotkeyCtrl},
        {IDC_HOTKEY_SHIFT, L"Shift", L"Shift", &s.HotkeyShift},
        {IDC_HOTKEY_WINDOWS, L"Windows", L"Windows", &s.HotkeyWindows},
        {IDC_PLAY_SOUND, L"貼り付けたときに音を鳴らす", L"Play a sound after paste", &s.PlaySound},
        {IDC_START_WITH_WINDOWS, L"Windows起動時に開始する", L"Start with Windows", &s.StartWithWindows},
        {IDC_SHOW_STARTUP_NOTIFICATION, L"起動時の通知を表示する", L"Show startup notification",
         &s.ShowStartupNotification},
        {IDC_PERIODICALLY_RESET_HOTKEY, L"ホットキー検出を定期的にリセット", L"Periodically reset hotkey detection",
         &s.PeriodicallyResetHotkey},
        {IDC_REPLACE_LINE_BREAKS, L"改行をスペースに変換", L"Replace line breaks with spaces",
         &s.ReplaceLineBreaksWithSpace},
        {IDC_REPLACE_TABS, L"タブをスペースに変換", L"Replace tabs with spaces", &s.ReplaceTabsWithSpace},
        {IDC_COLLAPSE_SPACES, L"連続するスペースを1つにまとめる", L"Collapse repeated spaces", &s.CollapseSpaces},
        {IDC_TRIM_SPACES, L"前後の空白・改行を削除", L"Trim leading and trailing whitespace", &s.TrimSpaces},
        {IDC_FULL_WIDTH_SPACES, L"全角スペースを半角に変換", L"Convert full-width spaces", &s.ConvertFullWidthSpaces},
        {IDC_ZERO_WIDTH_SPACES, L"ゼロ幅スペースを削除", L"Remove zero-width spaces", &s.RemoveZeroWidthSpaces},
        {IDC_NBSP, L"ノーブレークスペースを通常スペースに変換", L"Convert non-breaking spaces",
         &s.ConvertNonBreakingSpaces},
        {IDC_MARKDOWN_LINKS, L"Markdownリンクを表示文字だけにする", L"Use only display text from Markdown links",
         &s.MarkdownLinksToDisplayText},
        {IDC_HTML_TAGS, L"テキスト中のHTMLタグを削除", L"Remove visible HTML-like tags", &s.RemoveHtmlTags},
        {IDC_PLAIN_TEXT_ONLY, L"クリップボードのHTML形式を使わない", L"Ignore clipboard HTML format",
         &s.UseClipboardPlainTextOnly},
        {IDC_EXCEL_VALUES, L"Excelセルコピー時は値として貼り付け", L"Paste values when Excel cells are copied",
         &s.ExcelPasteValuesForCellCopy},
    };
}
