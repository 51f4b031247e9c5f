// The table of the window's options, its compile-time checks, and the views
// derived from it: the check-box list with its built-in captions, and the
// help topic of each help button.
#include "i18n/text_keys.h"
#include "ui/control_ids.h"
#include "ui/settings_window.h"

#include <string_view>

namespace {

using K = OptionKind;
using S = Settings;
namespace T = TextKey;

// Help buttons take these ids, each exactly once.
constexpr int kFirstHelpId = 3001;
constexpr int kLastHelpId = 3023;

// A check box in its page's flow, its help button beside the first line.
constexpr OptionRow Box(int id, int page, const wchar_t* key, bool S::*flag, int helpId, const wchar_t* topic,
                        const wchar_t* ja, const wchar_t* en) {
    return {id, page, K::Box, true, {35, 0, 420, 0}, key, ja, en, flag, nullptr, helpId, {465, 1}, topic};
}

// Label, list and help button of the width conversion on line `line`.
constexpr OptionRow Width(int line, int id, int32_t S::*field, int helpId, const wchar_t* topic, int labelId,
                          const wchar_t* labelKey) {
    const int y = 63 + 52 * line;
    return {id, 2, K::WidthList, false, {220, y - 1, 235, 160}, nullptr, nullptr, nullptr, nullptr, field, helpId,
            {465, y}, topic, labelId, labelKey, {35, y + 2, 170, 24}};
}

// One row a line, in page order and within a page in creation order.
// clang-format off
constexpr OptionRow kRows[] = {
    {IDC_LANGUAGE, 0, K::LanguageList, false, {145, 52, 220, 260}, nullptr, nullptr, nullptr, nullptr, nullptr, 3001, {375, 52}, L"language", IDC_LANGUAGE_LABEL, T::Language, {35, 55, 100, 22}},
    {IDC_HOTKEY_ALT, 0, K::Modifier, false, {35, 115, 68, 24}, nullptr, L"Alt", L"Alt", &S::HotkeyAlt, nullptr, 0, {}, nullptr, IDC_HOTKEY_LABEL, T::Hotkey, {35, 90, 160, 22}},
    {IDC_HOTKEY_CTRL, 0, K::Modifier, false, {103, 115, 68, 24}, nullptr, L"Ctrl", L"Ctrl", &S::HotkeyCtrl},
    {IDC_HOTKEY_SHIFT, 0, K::Modifier, false, {171, 115, 68, 24}, nullptr, L"Shift", L"Shift", &S::HotkeyShift},
    {IDC_HOTKEY_WINDOWS, 0, K::Modifier, false, {239, 115, 92, 24}, nullptr, L"Windows", L"Windows", &S::HotkeyWindows},
    {IDC_HOTKEY_KEY, 0, K::HotkeyLetter, false, {345, 113, 75, 250}, nullptr, nullptr, nullptr, nullptr, nullptr, 3002, {430, 114}, L"shortcut-key", IDC_HOTKEY_KEY_LABEL, T::HotkeyLetter, {345, 113, 0, 0}},
    Box(IDC_PLAY_SOUND, 0, T::PlaySound, &S::PlaySound, 3003, L"play-sound", L"貼り付けたときに音を鳴らす", L"Play a sound after paste"),
    Box(IDC_START_WITH_WINDOWS, 0, T::StartWithWindows, &S::StartWithWindows, 3004, L"start-with-windows", L"Windows起動時に開始する", L"Start with Windows"),
    Box(IDC_SHOW_STARTUP_NOTIFICATION, 0, T::ShowStartupNotification, &S::ShowStartupNotification, 3005, L"startup-notification", L"起動時の通知を表示する", L"Show startup notification"),
    Box(IDC_PERIODICALLY_RESET_HOTKEY, 0, T::PeriodicallyResetHotkey, &S::PeriodicallyResetHotkey, 3006, L"reset-hotkey", L"ホットキー検出を定期的にリセット", L"Periodically reset hotkey detection"),
    Box(IDC_REPLACE_LINE_BREAKS, 1, T::ReplaceLineBreaks, &S::ReplaceLineBreaksWithSpace, 3007, L"line-breaks", L"改行をスペースに変換", L"Replace line breaks with spaces"),
    Box(IDC_REPLACE_TABS, 1, T::ReplaceTabs, &S::ReplaceTabsWithSpace, 3008, L"tabs", L"タブをスペースに変換", L"Replace tabs with spaces"),
    {IDC_TAB_SPACES, 1, K::TabSpaces, true, {350, -3, 70, 180}, nullptr, nullptr, nullptr, nullptr, &S::TabSpaces, 3009, {430, -2}, L"tab-spaces", IDC_TAB_SPACES_LABEL, T::TabSpaces, {65, 0, 270, 24}},
    Box(IDC_COLLAPSE_SPACES, 1, T::CollapseSpaces, &S::CollapseSpaces, 3010, L"collapse-spaces", L"連続するスペースを1つにまとめる", L"Collapse repeated spaces"),
    Box(IDC_TRIM_SPACES, 1, T::TrimSpaces, &S::TrimSpaces, 3011, L"trim-spaces", L"前後の空白・改行を削除", L"Trim leading and trailing whitespace"),
    Box(IDC_FULL_WIDTH_SPACES, 1, T::FullWidthSpaces, &S::ConvertFullWidthSpaces, 3012, L"full-width-spaces", L"全角スペースを半角に変換", L"Convert full-width spaces"),
    Box(IDC_ZERO_WIDTH_SPACES, 1, T::ZeroWidthSpaces, &S::RemoveZeroWidthSpaces, 3013, L"zero-width-spaces", L"ゼロ幅スペースを削除", L"Remove zero-width spaces"),
    Box(IDC_NBSP, 1, T::Nbsp, &S::ConvertNonBreakingSpaces, 3014, L"non-breaking-spaces", L"ノーブレークスペースを通常スペースに変換", L"Convert non-breaking spaces"),
    Width(0, IDC_KATAKANA_WIDTH, &S::KatakanaWidth, 3015, L"katakana-width", IDC_KATAKANA_LABEL, T::Katakana),
    Width(1, IDC_NUMBER_WIDTH, &S::NumberWidth, 3016, L"number-width", IDC_NUMBERS_LABEL, T::Numbers),
    Width(2, IDC_LATIN_WIDTH, &S::LatinWidth, 3017, L"latin-width", IDC_LATIN_LABEL, T::LatinLetters),
    Width(3, IDC_SYMBOL_WIDTH, &S::SymbolWidth, 3018, L"symbol-width", IDC_SYMBOLS_LABEL, T::Symbols),
    {IDC_NORMALIZE_NFKC, 2, K::Box, false, {35, 285, 420, 0}, T::NormalizeNFKC, nullptr, nullptr, &S::NormalizeNFKC, nullptr, 3019, {465, 286}, L"nfkc"},
    Box(IDC_MARKDOWN_LINKS, 3, T::MarkdownLinks, &S::MarkdownLinksToDisplayText, 3020, L"markdown-links", L"Markdownリンクを表示文字だけにする", L"Use only display text from Markdown links"),
    Box(IDC_HTML_TAGS, 3, T::HtmlTags, &S::RemoveHtmlTags, 3021, L"html-tags", L"テキスト中のHTMLタグを削除", L"Remove visible HTML-like tags"),
    Box(IDC_PLAIN_TEXT_ONLY, 3, T::PlainTextOnly, &S::UseClipboardPlainTextOnly, 3022, L"plain-text-only", L"クリップボードのHTML形式を使わない", L"Ignore clipboard HTML format"),
    Box(IDC_EXCEL_VALUES, 3, T::ExcelValues, &S::ExcelPasteValuesForCellCopy, 3023, L"excel-values", L"Excelセルコピー時は値として貼り付け", L"Paste values when Excel cells are copied"),
};
// clang-format on

constexpr bool IdsAndTopicsAreUnique() {
    for (const OptionRow& a : kRows) {
        if (a.labelId == a.controlId || a.helpId == a.controlId) return false;
        for (const OptionRow& b : kRows) {
            if (&a == &b) continue;
            for (int id : {a.controlId, a.helpId, a.labelId})
                if (id && (id == b.controlId || id == b.helpId || id == b.labelId)) return false;
            if (a.helpTopic && b.helpTopic && std::wstring_view(a.helpTopic) == b.helpTopic) return false;
        }
    }
    return true;
}

// Every box and list is bound to its field, and (ids being unique) every
// help id from the first to the last has a topic.
constexpr bool RowsAreComplete() {
    int helpButtons = 0;
    for (const OptionRow& row : kRows) {
        bool box = row.kind == K::Box || row.kind == K::Modifier;
        bool list = row.kind == K::TabSpaces || row.kind == K::WidthList;
        if (box != (row.flag != nullptr) || list != (row.number != nullptr)) return false;
        if ((row.kind == K::Box && !row.textKey) || (row.labelId && !row.labelKey)) return false;
        if (!row.helpId) continue;
        if (row.helpId < kFirstHelpId || row.helpId > kLastHelpId || !row.helpTopic) return false;
        ++helpButtons;
    }
    return helpButtons == kLastHelpId - kFirstHelpId + 1;
}

static_assert(IdsAndTopicsAreUnique(), "control, label and help ids, and help topics, are unique");
static_assert(RowsAreComplete(), "every box and list has its field, and help ids 3001 to 3023 their topics");

}  // namespace

std::span<const OptionRow> OptionRows() {
    return kRows;
}

std::vector<OptionCheckbox> GetOptionCheckboxes() {
    std::vector<OptionCheckbox> boxes;
    for (const OptionRow& row : kRows)
        if (row.captionJa) boxes.push_back({row.controlId, row.captionJa, row.captionEn, &(currentSettings.*row.flag)});
    return boxes;
}

const wchar_t* HelpTopicForControl(int controlId) {
    for (const OptionRow& row : kRows)
        if (row.helpId && row.helpId == controlId) return row.helpTopic;
    return nullptr;
}
