// Language catalogue, effective language, locale files and text lookup.
#include "base/base.h"
#include "i18n/i18n.h"

#include "i18n/locale_scan.h"
#include "i18n/text_keys.h"
#include "settings/settings.h"
#include "test_folder.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <array>
#include <memory>
#include <set>

namespace {

std::wstring LocalesFolder() {
    return GetExecutableDirectory() + L"\\Locales";
}

// A locale file of the test's own beside the shipped ones, removed afterwards.
class ScopedLocaleFile {
public:
    ScopedLocaleFile(const std::wstring& code, const std::string& bytes)
        : path_(LocalesFolder() + L"\\" + code + L".json") {
        WriteBytes(path_, bytes);
    }
    ~ScopedLocaleFile() { DeleteFileW(path_.c_str()); }

private:
    std::wstring path_;
};

std::vector<std::pair<std::string, std::string>> Catalogue(const std::string& bytes) {
    std::vector<std::pair<std::string, std::string>> entries;
    for (const RawLanguageEntry& e : ScanLanguageCatalogue(bytes)) entries.emplace_back(e.code, e.name);
    return entries;
}

using Pairs = std::vector<std::pair<std::string, std::string>>;

TEST(Catalogue, WithoutEntriesTheBuiltInCatalogueIsUsed) {
    for (const char* bytes : {"", "[]", "{\"code\": \"en\"}", "{\"name\": \"English\", \"code\": \"en\"}"}) {
        LanguageCatalogue catalogue = CatalogueFromBytes(bytes);
        ASSERT_EQ(catalogue.size(), 3u) << bytes;
        for (size_t i = 0; i < 3; ++i) EXPECT_EQ(catalogue[i].code, (std::array{L"system", L"en", L"ja"}[i]));
    }
}

TEST(Catalogue, FileOrderAndDuplicatesAreKept) {
    LanguageCatalogue catalogue = CatalogueFromBytes(
        "\xEF\xBB\xBF[{\"code\":\"ja\",\"name\":\"\xE6\x97\xA5\"},\n{\"code\": \"en\", \"x\": 1, \"name\": \"E\"},"
        "{\"code\":\"ja\",\"name\":\"again\"}]");
    ASSERT_EQ(catalogue.size(), 3u);
    EXPECT_EQ(catalogue[0].name, L"\u65e5");
    EXPECT_EQ(catalogue[1].code, L"en");
    EXPECT_EQ(catalogue[2].code, L"ja");
    EXPECT_EQ(catalogue[2].name, L"again");

    EXPECT_EQ(CatalogueFromBytes("[{\"code\":\"en\",\"name\":\"English\"}]").size(), 1u)
        << "a file-filled catalogue gets no built-in entries";
}

TEST(Catalogue, ScannerRules) {
    // Name before code: each code pairs with the next object's name; the last code finds none.
    EXPECT_EQ(Catalogue("[{\"name\":\"A\",\"code\":\"a\"},{\"name\":\"B\",\"code\":\"b\"}]"),
              (Pairs{{"a", "B"}}));
    // No escapes: the name ends at the quote after the backslash and keeps it.
    EXPECT_EQ(Catalogue("{\"code\":\"x\",\"name\":\"a\\\"b\"}"), (Pairs{{"x", "a\\"}}));
    EXPECT_EQ(Catalogue("{\"code\":\"\",\"name\":\"\"}"), (Pairs{{"", ""}}));
    // A truncated entry ends the scan; earlier ones stay.
    EXPECT_EQ(Catalogue("{\"code\":\"a\",\"name\":\"A\"},{\"code\":\"b\",\"name\":\"B"), (Pairs{{"a", "A"}}));
    EXPECT_EQ(Catalogue("\"CODE\":\"a\",\"name\":\"A\""), Pairs{}) << "keys are case-sensitive";
    // The scan goes on after the name's closing quote, which begins no key.
    EXPECT_EQ(Catalogue("{\"code\":\"a\",\"name\":\"A\"code\":\"b\",\"name\":\"B\"}"), (Pairs{{"a", "A"}}));
}

TEST(EffectiveLanguage, SettingAndDisplayLanguage) {
    languageCatalogue = CatalogueFromBytes("");  // system, en, ja
    const struct {
        const wchar_t* language;
        uint16_t uiLanguage;
        const wchar_t* expected;
    } cases[] = {
        {L"fr", 0x0411, L"fr"},          // any explicit code, as stored
        {L"Ja-jp", 0x0409, L"Ja-jp"},
        {L"", 0x0411, L""},
        {L"SYSTEM", 0x0411, L"ja"},
        {L"system", 0x0409, L"en"},
        {L"system", 0x0404, L"zh-TW"},   // Taiwan
        {L"system", 0x0C04, L"zh-TW"},   // Hong Kong SAR
        {L"system", 0x1404, L"zh-TW"},   // Macao SAR
        {L"system", 0x0804, L"zh-CN"},   // PRC, not in the catalogue
        {L"system", 0x1004, L"zh-CN"},   // Singapore
        {L"system", 0x0412, L"en"},      // Korean: no entry
        {L"system", 0x0401, L"en"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(EffectiveLanguageFor(c.language, c.uiLanguage), c.expected)
            << "language " << testing::PrintToString(std::wstring(c.language)) << " display " << c.uiLanguage;

    languageCatalogue = CatalogueFromBytes("[{\"code\":\"JA\",\"name\":\"x\"},{\"code\":\"ko\",\"name\":\"y\"}]");
    EXPECT_EQ(EffectiveLanguageFor(L"system", 0x0411), L"JA") << "spelled as in the catalogue";
    EXPECT_EQ(EffectiveLanguageFor(L"system", 0x0412), L"ko");
    languageCatalogue.clear();
}

TEST(EffectiveLanguage, HelpTagsAndReadingDirection) {
    EXPECT_EQ(HelpLanguageTagFor(L"ja_JP"), L"ja");
    EXPECT_EQ(HelpLanguageTagFor(L"JA-JP"), L"ja");
    EXPECT_EQ(HelpLanguageTagFor(L"EN-US"), L"en");
    EXPECT_EQ(HelpLanguageTagFor(L"ZH-TW"), L"zh-tw");
    EXPECT_EQ(HelpLanguageTagFor(L"pt_BR"), L"pt-br");
    EXPECT_EQ(HelpLanguageTagFor(L"en-GB"), L"en-gb");

    EXPECT_TRUE(IsRightToLeftCode(L"AR"));
    EXPECT_TRUE(IsRightToLeftCode(L"he"));
    EXPECT_FALSE(IsRightToLeftCode(L"ar-SA"));
    EXPECT_FALSE(IsRightToLeftCode(L"fa"));
}

TEST(LocaleFile, EscapesDecode) {
    const struct {
        const char* raw;
        const wchar_t* expected;
    } cases[] = {
        {"a\\nb", L"a\nb"},    {"a\\tb", L"a\tb"},     {"a\\rb", L"a\rb"},
        {"say \\\"hi\\\"", L"say \"hi\""}, {"a\\\\b", L"a\\b"}, {"a\\/b", L"a/b"},
        {"\\u00e9", L"u00e9"}, {"\\b\\f", L"bf"},     {"end\\", L"end\\"},
        {"\xE6\x97\xA5\\n", L"\u65e5\n"},             {"bad\xFF", L"bad\uFFFD"},
    };
    for (const auto& c : cases) EXPECT_EQ(DecodeJsonString(c.raw), c.expected) << c.raw;
}

TEST(LocaleFile, ScannerRules) {
    ScopedLocaleFile file(L"zz-scan",
                          "\xEF\xBB\xBF{\n  \"A\": \"first\",\n  \"B\": \"x\\\"y\",\n  \"A\": \"second\",\n"
                          "  \"Empty\": \"\",\n  \"Raw\": \"two\nlines\",\n  \"back\\slash\": \"k\"\n}");
    StringTable table = LoadLocaleFile(L"zz-scan");
    EXPECT_EQ(table.size(), 5u);
    EXPECT_EQ(table[L"A"], L"second") << "the last occurrence wins";
    EXPECT_EQ(table[L"B"], L"x\"y");
    EXPECT_EQ(table.count(L"Empty"), 1u);
    EXPECT_EQ(table[L"Raw"], L"two\nlines");
    EXPECT_EQ(table[L"back\\slash"], L"k") << "keys are verbatim";

    // An escaped backslash before the quote does not end the value.
    std::vector<RawLocaleMember> runOn = ScanLocaleFile("{\"A\": \"x\\\\\", \"B\": \"y\"}");
    ASSERT_EQ(runOn.size(), 1u);
    EXPECT_EQ(runOn[0].value, "x\\\\\", ");
    // A nested object derails the scan; what came before stays.
    std::vector<RawLocaleMember> nested = ScanLocaleFile("{\"A\": \"a\", \"N\": {\"x\": \"y\"}, \"B\": \"b\"}");
    ASSERT_GE(nested.size(), 1u);
    EXPECT_EQ(nested[0].key, "A");
    for (size_t i = 1; i < nested.size(); ++i) EXPECT_NE(nested[i].key, "B");
    EXPECT_TRUE(ScanLocaleFile("{\"A\": \"").empty()) << "an opening quote as the last byte";
    EXPECT_TRUE(ScanLocaleFile("{\"A\" \"b\"}").empty()) << "no colon";
}

TEST(LocaleFile, CodesThatLeaveTheFolderReadNothing) {
    // Files that the unsafe codes would reach if they were used as given.
    std::wstring outside = GetExecutableDirectory() + L"\\escaped.json";
    WriteBytes(outside, "{\"SystemSettings\": \"outside\"}");
    std::unique_ptr<const wchar_t, BOOL(WINAPI*)(LPCWSTR)> removeOutside(outside.c_str(), DeleteFileW);
    ScopedLocaleFile noExtension(L"zz", "{\"SystemSettings\": \"inside\"}");
    for (const std::wstring& code : {std::wstring(L"..\\escaped"), std::wstring(L"../escaped"),
                                     GetExecutableDirectory() + L"\\escaped", std::wstring(L"Z:escaped"),
                                     std::wstring(L"zz\0x", 4)}) {
        EXPECT_FALSE(IsSafeLanguageCode(code));
        EXPECT_TRUE(LoadLocaleFile(code).empty());
    }
    for (const wchar_t* code : {L"en", L"zh-TW", L"pt_BR", L"x1", L"zz"}) EXPECT_TRUE(IsSafeLanguageCode(code)) << code;
    EXPECT_FALSE(LoadLocaleFile(L"zz").empty());
}

TEST(TextLookup, FallsBackFromCurrentToEnglishToJapaneseToKey) {
    currentTable = {{L"Both", L"current"}, {L"Empty", L""}};
    englishTable = {{L"Both", L"english"}, {L"Empty", L"english"}, {L"English", L"english"}};
    japaneseTable = {{L"English", L"japanese"}, {L"Japanese", L"japanese"}};
    EXPECT_EQ(GetText(L"Both"), L"current");
    EXPECT_EQ(GetText(L"Empty"), L"") << "an empty text is a hit";
    EXPECT_EQ(GetText(L"English"), L"english");
    EXPECT_EQ(GetText(L"Japanese"), L"japanese");
    EXPECT_EQ(GetText(L"Nowhere"), L"Nowhere");
    EXPECT_EQ(GetText(L"both"), L"both") << "keys are case-sensitive";
    currentTable.clear();
    englishTable.clear();
    japaneseTable.clear();
}

TEST(TextLookup, LoadReplacesEveryTableAndGuardsTheCode) {
    Settings saved = currentSettings;
    currentTable = {{L"Stale", L"stale"}};

    currentSettings.Language = L"zz-missing";
    LoadLocaleStrings();
    EXPECT_TRUE(currentTable.empty()) << "a missing file leaves an empty table";
    const std::wstring missing = LocalesFolder() + L"\\zz-missing.json";
    EXPECT_FALSE(FileExists(missing) && DeleteFileW(missing.c_str())) << "reading made the missing file";
    EXPECT_EQ(GetText(TextKey::Save), L"Save") << "from the shipped English table";

    currentSettings.Language = L"..\\Locales\\ja";
    LoadLocaleStrings();
    EXPECT_TRUE(currentTable.empty());

    currentSettings.Language = L"KO";
    LoadLocaleStrings();
    EXPECT_EQ(GetText(TextKey::Save), L"저장");
    currentSettings = saved;
}

TEST(ShippedLocales, EveryFileHoldsEveryKeyTheProgramLooksUp) {
    std::set<std::wstring> files;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((LocalesFolder() + L"\\*.json").c_str(), &data);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    do {
        std::wstring name = data.cFileName;
        if (name != L"languages.json") files.insert(name.substr(0, name.size() - 5));
    } while (FindNextFileW(find, &data));
    FindClose(find);

    LoadLanguageCatalogue();
    ASSERT_GE(languageCatalogue.size(), 2u);
    EXPECT_EQ(languageCatalogue[0].code, L"system");
    std::set<std::wstring> listed;
    for (size_t i = 1; i < languageCatalogue.size(); ++i) {
        EXPECT_FALSE(languageCatalogue[i].name.empty());
        listed.insert(languageCatalogue[i].code);
    }
    EXPECT_EQ(listed, files) << "the catalogue lists exactly the shipped locale files";

    for (const std::wstring& code : files) {
        StringTable table = LoadLocaleFile(code);
        EXPECT_EQ(table.size(), std::size(TextKey::kAll)) << testing::PrintToString(code);
        for (const wchar_t* key : TextKey::kAll) {
            auto found = table.find(key);
            ASSERT_NE(found, table.end()) << testing::PrintToString(code) << " lacks " << testing::PrintToString(std::wstring(key));
            EXPECT_FALSE(found->second.empty()) << testing::PrintToString(code) << " " << testing::PrintToString(std::wstring(key));
            EXPECT_EQ(found->second.find(L'\uFFFD'), std::wstring::npos);
        }
    }
    languageCatalogue.clear();
}

TEST(ExecutableDirectory, IsTheFolderOfTheRunningProgram) {
    std::wstring folder = GetExecutableDirectory();
    ASSERT_FALSE(folder.empty());
    EXPECT_NE(folder.back(), L'\\');
    EXPECT_NE(GetFileAttributesW((folder + L"\\i18n_tests.exe").c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
