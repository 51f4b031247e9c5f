// The keys of every text the window shows; each shipped locale file holds
// all of them. Use these names rather than spelling a key out.
#pragma once

namespace TextKey {

constexpr wchar_t SettingsTitle[] = L"SettingsTitle";
constexpr wchar_t SystemSettings[] = L"SystemSettings";
constexpr wchar_t WhitespaceSettings[] = L"WhitespaceSettings";
constexpr wchar_t TextConversionSettings[] = L"TextConversionSettings";
constexpr wchar_t OtherSettings[] = L"OtherSettings";
constexpr wchar_t VersionTab[] = L"VersionTab";
constexpr wchar_t Language[] = L"Language";
constexpr wchar_t Hotkey[] = L"Hotkey";
constexpr wchar_t PlaySound[] = L"PlaySound";
constexpr wchar_t StartWithWindows[] = L"StartWithWindows";
constexpr wchar_t ShowStartupNotification[] = L"ShowStartupNotification";
constexpr wchar_t PeriodicallyResetHotkey[] = L"PeriodicallyResetHotkey";
constexpr wchar_t WebView2Status[] = L"WebView2Status";
constexpr wchar_t WebView2Installed[] = L"WebView2Installed";
constexpr wchar_t WebView2NotInstalled[] = L"WebView2NotInstalled";
constexpr wchar_t DownloadWebView2[] = L"DownloadWebView2";
constexpr wchar_t ReplaceLineBreaks[] = L"ReplaceLineBreaks";
constexpr wchar_t ReplaceTabs[] = L"ReplaceTabs";
constexpr wchar_t TabSpaces[] = L"TabSpaces";
constexpr wchar_t CollapseSpaces[] = L"CollapseSpaces";
constexpr wchar_t TrimSpaces[] = L"TrimSpaces";
constexpr wchar_t FullWidthSpaces[] = L"FullWidthSpaces";
constexpr wchar_t ZeroWidthSpaces[] = L"ZeroWidthSpaces";
constexpr wchar_t Nbsp[] = L"Nbsp";
constexpr wchar_t Katakana[] = L"Katakana";
constexpr wchar_t Numbers[] = L"Numbers";
constexpr wchar_t LatinLetters[] = L"LatinLetters";
constexpr wchar_t Symbols[] = L"Symbols";
constexpr wchar_t WidthNone[] = L"WidthNone";
constexpr wchar_t WidthFullToHalf[] = L"WidthFullToHalf";
constexpr wchar_t WidthHalfToFull[] = L"WidthHalfToFull";
constexpr wchar_t NormalizeNFKC[] = L"NormalizeNFKC";
constexpr wchar_t NFKCDescription[] = L"NFKCDescription";
constexpr wchar_t MarkdownLinks[] = L"MarkdownLinks";
constexpr wchar_t HtmlTags[] = L"HtmlTags";
constexpr wchar_t PlainTextOnly[] = L"PlainTextOnly";
constexpr wchar_t ExcelValues[] = L"ExcelValues";
constexpr wchar_t ExcelDescription[] = L"ExcelDescription";
constexpr wchar_t VersionLabel[] = L"VersionLabel";
constexpr wchar_t CopyrightLabel[] = L"CopyrightLabel";
constexpr wchar_t Save[] = L"Save";
constexpr wchar_t Cancel[] = L"Cancel";
constexpr wchar_t RestoreDefaults[] = L"RestoreDefaults";
constexpr wchar_t Help[] = L"Help";
// A help button's name for screen readers: kOptionMarker is the option's own text.
constexpr wchar_t HelpFor[] = L"HelpFor";
constexpr wchar_t kOptionMarker[] = L"{option}";
// Names of the page list and the hotkey's letter list, which no visible label names.
constexpr wchar_t PageList[] = L"PageList";
constexpr wchar_t HotkeyLetter[] = L"HotkeyLetter";
constexpr wchar_t NoModifierWarning[] = L"NoModifierWarning";
constexpr wchar_t SaveFailedWarning[] = L"SaveFailedWarning";
// Holds kHotkeyMarker where the combination's name goes.
constexpr wchar_t HotkeyTakenWarning[] = L"HotkeyTakenWarning";
constexpr wchar_t HotkeyTakenCaption[] = L"HotkeyTakenCaption";
constexpr wchar_t kHotkeyMarker[] = L"{hotkey}";

constexpr const wchar_t* kAll[] = {
    SettingsTitle, SystemSettings, WhitespaceSettings, TextConversionSettings, OtherSettings, VersionTab,
    Language, Hotkey, PlaySound, StartWithWindows, ShowStartupNotification, PeriodicallyResetHotkey,
    WebView2Status, WebView2Installed, WebView2NotInstalled, DownloadWebView2, ReplaceLineBreaks, ReplaceTabs,
    TabSpaces, CollapseSpaces, TrimSpaces, FullWidthSpaces, ZeroWidthSpaces, Nbsp, Katakana, Numbers,
    LatinLetters, Symbols, WidthNone, WidthFullToHalf, WidthHalfToFull, NormalizeNFKC, NFKCDescription,
    MarkdownLinks, HtmlTags, PlainTextOnly, ExcelValues, ExcelDescription, VersionLabel, CopyrightLabel, Save,
    Cancel, RestoreDefaults, Help, HelpFor, PageList, HotkeyLetter, NoModifierWarning, SaveFailedWarning, HotkeyTakenWarning, HotkeyTakenCaption,
};

}  // namespace TextKey
