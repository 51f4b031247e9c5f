// The settings store: the record the paster reads, its file, and the item
// positions of the options chosen from lists.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

// Width conversion of one kind of character; the value is also the item
// position in the window's width lists.
enum WidthConversion : int32_t {
    WidthNone = 0,
    WidthFullToHalf = 1,
    WidthHalfToFull = 2,
};

// Every option the settings file persists; each field is named as its key.
struct Settings {
    std::wstring Language = L"system";
    bool HotkeyAlt = false;
    bool HotkeyCtrl = true;
    bool HotkeyShift = true;
    bool HotkeyWindows = false;
    uint32_t HotkeyKey = 'V';
    bool PlaySound = false;
    bool StartWithWindows = false;
    bool ShowStartupNotification = false;
    bool PeriodicallyResetHotkey = false;
    bool ReplaceLineBreaksWithSpace = true;
    bool ReplaceTabsWithSpace = true;
    bool CollapseSpaces = false;
    int32_t TabSpaces = 1;
    bool TrimSpaces = true;
    bool ConvertFullWidthSpaces = false;
    bool RemoveZeroWidthSpaces = false;
    bool ConvertNonBreakingSpaces = false;
    int32_t KatakanaWidth = WidthNone;
    int32_t NumberWidth = WidthNone;
    int32_t LatinWidth = WidthNone;
    int32_t SymbolWidth = WidthNone;
    bool NormalizeNFKC = false;
    bool MarkdownLinksToDisplayText = true;
    bool RemoveHtmlTags = true;
    bool UseClipboardPlainTextOnly = true;
    bool ExcelPasteValuesForCellCopy = true;

    bool operator==(const Settings&) const = default;
};

// Valid ranges; a loaded or read-back record always lies inside them.
constexpr uint32_t kHotkeyKeyFirst = 'A';
constexpr uint32_t kHotkeyKeyLast = 'Z';
constexpr int32_t kTabSpacesMin = 1;
constexpr int32_t kTabSpacesMax = 8;
constexpr int32_t kWidthMin = WidthNone;
constexpr int32_t kWidthMax = WidthHalfToFull;

// Both instances hold the defaults before any code runs.
extern Settings currentSettings;
extern Settings settingsSnapshot;
extern bool snapshotTaken;

void TakeSettingsSnapshot();
void RestoreSettingsSnapshot();

// Byte-level readers of the settings file's content (see settings_scan.cpp).
bool ReadBoolValue(const std::string& content, const char* key, bool fallback);
int32_t ReadIntValue(const std::string& content, const char* key, int32_t fallback);
std::string ReadStringValue(const std::string& content, const char* key, const std::string& fallback);

// Text conversions are passed in so the byte-level code needs no <windows.h>.
using Utf8ToWideFunction = std::wstring (*)(const std::string&);
using WideToUtf8Function = std::string (*)(const std::wstring&);

// Reads every key from non-empty content into `settings`, applying the
// fallbacks and range rules of the file format.
void ApplySettingsContent(const std::string& content, Settings& settings, Utf8ToWideFunction toWide);
// True when `name` is one of the 27 keys of the settings file.
bool IsSettingsKey(const std::string& name);
// The whole settings file text, in its fixed layout.
std::string ComposeSettingsText(const Settings& settings, WideToUtf8Function toUtf8);

// Files (Windows only).
std::wstring GetAppDataFolder();
// Creates the data folder and its parent (only those two levels; failures,
// such as an existing folder, are ignored) and returns the data folder.
std::wstring EnsureAppDataFolder();
std::wstring GetSettingsFilePath();
void LoadSettings();
// Writes currentSettings; true when the settings file now holds them. On
// failure the previous file is left exactly as it was.
bool SaveSettings();

// Choice lists: the item position that shows a value, and the value that a
// selected item position gives (none for no selection, -1).
int HotkeyKeyToItem(uint32_t hotkeyKey);
std::optional<uint32_t> HotkeyKeyFromItem(int item);
int TabSpacesToItem(int32_t tabSpaces);
std::optional<int32_t> TabSpacesFromItem(int item);
int WidthToItem(int32_t width);
std::optional<int32_t> WidthFromItem(int item);
