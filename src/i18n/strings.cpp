// The text tables and their lookup.
#include "i18n/i18n.h"

#include "base/base.h"
#include "i18n/locale_scan.h"
#include "settings/settings.h"

StringTable currentTable;
StringTable englishTable;
StringTable japaneseTable;

namespace {

constexpr wchar_t kLocalesFolder[] = L"\\Locales\\";
constexpr wchar_t kLocaleExtension[] = L".json";

}  // namespace

bool IsSafeLanguageCode(const std::wstring& code) {
    return code.find_first_of(std::wstring(L"\\/:\0", 4)) == std::wstring::npos &&
           code.find(L"..") == std::wstring::npos;
}

std::wstring DecodeJsonString(const std::string& raw) {
    return Utf8ToWide(DecodeJsonEscapes(raw));
}

StringTable LoadLocaleFile(const std::wstring& code) {
    StringTable table;
    if (!IsSafeLanguageCode(code)) return table;
    std::string bytes = ReadWholeFile(GetExecutableDirectory() + kLocalesFolder + code + kLocaleExtension);
    for (const RawLocaleMember& member : ScanLocaleFile(bytes)) {
        table[Utf8ToWide(member.key)] = DecodeJsonString(member.value);
    }
    return table;
}

void LoadLocaleStrings() {
    englishTable = LoadLocaleFile(L"en");
    japaneseTable = LoadLocaleFile(L"ja");
    currentTable = LoadLocaleFile(GetEffectiveLanguage());
}

std::wstring GetText(const wchar_t* key) {
    for (const StringTable* table : {&currentTable, &englishTable, &japaneseTable}) {
        auto found = table->find(key);
        if (found != table->end()) return found->second;
    }
    return key;
}
