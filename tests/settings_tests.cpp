// The settings record, the byte-level readers, the file layout and the
// option table: everything that needs no disk.
#include "base/base.h"
#include "settings/settings.h"


#include <gtest/gtest.h>

#include <cstring>


namespace {

const char kDefaultFile[] =
    "{\n"
    "  \"Language\": \"system\",\n"
    "  \"HotkeyAlt\": false,\n"
    "  \"HotkeyCtrl\": true,\n"
    "  \"HotkeyShift\": true,\n"
    "  \"HotkeyWindows\": false,\n"
    "  \"HotkeyKey\": 86,\n"
    "  \"PlaySound\": false,\n"
    "  \"StartWithWindows\": false,\n"
    "  \"ShowStartupNotification\": false,\n"
    "  \"PeriodicallyResetHotkey\": false,\n"
    "  \"ReplaceLineBreaksWithSpace\": true,\n"
    "  \"ReplaceTabsWithSpace\": true,\n"
    "  \"TabSpaces\": 1,\n"
    "  \"CollapseSpaces\": false,\n"
    "  \"TrimSpaces\": true,\n"
    "  \"ConvertFullWidthSpaces\": false,\n"
    "  \"RemoveZeroWidthSpaces\": false,\n"
    "  \"ConvertNonBreakingSpaces\": false,\n"
    "  \"MarkdownLinksToDisplayText\": true,\n"
    "  \"RemoveHtmlTags\": true,\n"
    "  \"KatakanaWidth\": 0,\n"
    "  \"NumberWidth\": 0,\n"
    "  \"LatinWidth\": 0,\n"
    "  \"SymbolWidth\": 0,\n"
    "  \"NormalizeNFKC\": false,\n"
    "  \"UseClipboardPlainTextOnly\": true,\n"
    "  \"ExcelPasteValuesForCellCopy\": true\n"
    "}\n";

Settings Parse(const std::string& content) {
    Settings settings;
    ApplySettingsContent(content, settings, Utf8ToWide);
    return settings;
}

// The default file with every value changed: each box flipped, each number
// moved, a language of several scripts.
std::string NonDefaultFile() {
    std::string text = kDefaultFile;
    for (size_t at = 0; (at = text.find(": ", at)) != std::string::npos; at += 2) {
        if (text.compare(at + 2, 4, "true") == 0) {
            text.replace(at + 2, 4, "false");
        } else if (text.compare(at + 2, 5, "false") == 0) {
            text.replace(at + 2, 5, "true");
        }
    }
    for (auto [from, to] : {std::pair{"\"system\"", "\"zh-TW \xE6\x97\xA5\xE6\x9C\xAC \xC3\xA9\""},
                            {"Key\": 86", "Key\": 90"}, {"Spaces\": 1", "Spaces\": 8"},
                            {"KatakanaWidth\": 0", "KatakanaWidth\": 1"}, {"NumberWidth\": 0", "NumberWidth\": 2"},
                            {"LatinWidth\": 0", "LatinWidth\": 1"}, {"SymbolWidth\": 0", "SymbolWidth\": 2"}})
        text.replace(text.find(from), strlen(from), to);
    return text;
}

std::string WithCrlf(const std::string& text) {
    std::string crlf;
    for (char c : text) {
        if (c == '\n') crlf += '\r';
        crlf += c;
    }
    return crlf;
}

TEST(SettingsRecord, SnapshotIsTakenOnceAndRestoredByValue) {
    // Nothing in this test executable has touched the globals yet.
    EXPECT_EQ(currentSettings, Settings{});
    EXPECT_FALSE(snapshotTaken);
    settingsSnapshot = Settings{};
    snapshotTaken = false;

    currentSettings.Language = L"ja";
    TakeSettingsSnapshot();
    currentSettings.Language = L"en";
    currentSettings.HotkeyAlt = true;
    TakeSettingsSnapshot();  // already taken: keeps the first copy
    EXPECT_EQ(settingsSnapshot.Language, L"ja");
    EXPECT_FALSE(settingsSnapshot.HotkeyAlt);

    RestoreSettingsSnapshot();
    EXPECT_EQ(currentSettings.Language, L"ja");
    EXPECT_FALSE(currentSettings.HotkeyAlt);
    EXPECT_FALSE(snapshotTaken);
    currentSettings = Settings{};
    settingsSnapshot = Settings{};
}

TEST(SettingsLayout, DefaultsComposeToTheExactFile) {
    EXPECT_EQ(ComposeSettingsText(Settings{}, WideToUtf8), kDefaultFile);
}

TEST(SettingsLayout, LanguageIsWrittenAsRawUtf8) {
    Settings s;
    s.Language = L"a\"b\\c\u00e9";
    std::string text = ComposeSettingsText(s, WideToUtf8);
    EXPECT_NE(text.find("  \"Language\": \"a\"b\\c\xC3\xA9\",\n"), std::string::npos);
    // Reading stops at the embedded quote.
    EXPECT_EQ(Parse(text).Language, L"a");

    s.Language.clear();
    EXPECT_NE(ComposeSettingsText(s, WideToUtf8).find("\"Language\": \"\",\n"), std::string::npos);
}

TEST(SettingsLayout, EveryNonDefaultValueSurvivesARoundTrip) {
    const std::string text = NonDefaultFile();
    Settings read = Parse(text);
    EXPECT_EQ(read.Language, L"zh-TW \u65e5\u672c \u00e9");
    EXPECT_EQ(ComposeSettingsText(read, WideToUtf8), text);
    EXPECT_EQ(Parse(WithCrlf(text)), read);
    EXPECT_EQ(Parse("\xEF\xBB\xBF" + text), read);
}

TEST(SettingsReader, BooleanValues) {
    const struct {
        const char* content;
        bool fallback;
        bool expected;
    } cases[] = {
        {"{\"PlaySound\": true}", false, true},
        {"{\"PlaySound\":\r\n\t  true}", false, true},
        {"{\"PlaySound\": True}", true, false},
        {"{\"PlaySound\": 1}", true, false},
        {"{\"PlaySound\": \"true\"}", true, false},
        {"{\"PlaySound\": truest}", false, true},
        {"{\"PlaySound\": tru", true, false},  // fewer than four bytes left
        {"{\"PlaySound\":", true, true},       // colon is the last byte
        {"{\"PlaySound\": \r\n", true, true},  // only blanks after the colon
        {"{\"PlaySound\" true}", true, true},  // no colon anywhere after the key
        {"{\"playSound\": true}", false, false},
        {"{\"PlaySound\": false, \"PlaySound\": true}", true, false},
        {"\xEF\xBB\xBF{\"PlaySound\": true}", false, true},
        {"PlaySound: true", false, false},  // the key must be quoted
    };
    for (const auto& c : cases) EXPECT_EQ(ReadBoolValue(c.content, "PlaySound", c.fallback), c.expected) << c.content;
}

TEST(SettingsReader, IntegerValues) {
    const struct {
        const char* content;
        int32_t expected;
    } cases[] = {
        {"\"TabSpaces\": 4", 4},
        {"\"TabSpaces\": \"4\"", 4},
        {"\"TabSpaces\": 5.9", 5},
        {"\"TabSpaces\": 007", 7},
        {"\"TabSpaces\": -5", -5},
        {"\"TabSpaces\": 2147483647", 2147483647},
        {"\"TabSpaces\": -2147483648", INT32_MIN},
        {"\"TabSpaces\": 2147483648", -99},
        {"\"TabSpaces\": -2147483649", -99},
        {"\"TabSpaces\": 99999999999999999999999", -99},
        {"\"TabSpaces\": -x", -99},
        {"\"TabSpaces\": -", -99},
        {"\"TabSpaces\": x, \"Other\": \"y\", \"Next\": 3", 3},  // skips the following members' text
        {"\"TabSpaces\": none", -99},
        {"\"TabSpaces\":", -99},
        {"\"TabSpaces\"", -99},
    };
    for (const auto& c : cases) EXPECT_EQ(ReadIntValue(c.content, "TabSpaces", -99), c.expected) << c.content;
}

TEST(SettingsReader, StringValues) {
    const struct {
        const char* content;
        const char* expected;
    } cases[] = {
        {"\"Language\": \"ja\"", "ja"},
        {"\"Language\": \"\"", ""},
        {"\"Language\":\"a\\\"b\"", "a\\"},  // no escapes: the backslash stays, the quote ends it
        {"\"Language\": ja", "fallback"},
        {"\"Language\": \"ja", "fallback"},
        {"\"Language\":", "fallback"},
        {"\"Language\": 1, \"X\": \"later\"", "X"},  // the next pair of quotes, wherever it is
    };
    for (const auto& c : cases) EXPECT_EQ(ReadStringValue(c.content, "Language", "fallback"), c.expected) << c.content;
}

// A stored value and the line the file gets for it.
TEST(SettingsReader, FileContentClampsAndFallsBack) {
    const struct {
        const char *key, *stored, *written;
    } cases[] = {
        {"TabSpaces", "0", "1"},        {"TabSpaces", "12", "8"},     {"TabSpaces", "-5", "1"},
        {"TabSpaces", "3000000000", "1"}, {"TabSpaces", "\"4\"", "4"}, {"HotkeyKey", "97", "86"},
        {"HotkeyKey", "65", "65"},      {"HotkeyKey", "90", "90"},    {"HotkeyKey", "91", "86"},
        {"HotkeyKey", "-1", "86"},      {"KatakanaWidth", "3", "2"},  {"KatakanaWidth", "-1", "0"},
        {"KatakanaWidth", "1", "1"},
    };
    for (const auto& c : cases) {
        std::string key = std::string("\"") + c.key + "\": ";
        std::string text = ComposeSettingsText(Parse("{" + key + c.stored + "}"), WideToUtf8);
        EXPECT_NE(text.find(key + c.written + ",\n"), std::string::npos) << c.key << " " << c.stored;
    }
}

TEST(SettingsReader, DegenerateFilesGiveDefaults) {
    EXPECT_EQ(Parse("\xEF\xBB\xBF"), Settings{});
    EXPECT_EQ(Parse("{}"), Settings{});
    EXPECT_EQ(Parse(std::string("\0\0\0", 3)), Settings{});
    EXPECT_EQ(Parse(WithCrlf(kDefaultFile)), Settings{});
}

TEST(SettingsReader, LanguageBytesAreConvertedLeniently) {
    EXPECT_EQ(Parse("{\"Language\": \"\"}").Language, L"");
    EXPECT_EQ(Parse("{\"Language\": \"ja\"}").Language, L"ja");
    EXPECT_EQ(Parse("{\"Language\": \"a\xFF" "b\"}").Language, L"a\uFFFDb");
    EXPECT_EQ(Parse("{\"Language\": 5}").Language, L"system");
}

// A list with no item chosen gives no value, so the read-back keeps the
// stored one. (Which item stands for which value is checked through the window.)
TEST(ChoiceLists, NoItemGivesNoValue) {
    EXPECT_FALSE(HotkeyKeyFromItem(-1).has_value());
    EXPECT_FALSE(TabSpacesFromItem(-1).has_value());
    EXPECT_FALSE(WidthFromItem(-1).has_value());
    EXPECT_FALSE(WidthFromItem(3).has_value());
}

}  // namespace
