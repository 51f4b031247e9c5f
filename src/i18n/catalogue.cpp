// The language catalogue and the effective interface language.
#include "i18n/i18n.h"

#include "base/base.h"
#include "i18n/locale_scan.h"
#include "settings/settings.h"

#include <windows.h>

#include <algorithm>

LanguageCatalogue languageCatalogue;

namespace {

constexpr wchar_t kCatalogueRelativePath[] = L"\\Locales\\languages.json";
constexpr int kIsoNameUnits = 16;
constexpr wchar_t kFallbackLanguage[] = L"en";

wchar_t ToLowerAscii(wchar_t c) {
    return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

LanguageCatalogue BuiltInCatalogue() {
    return {
        {kSystemLanguageCode, L"システム設定"},
        {L"en", L"English"},
        {L"ja", L"日本語"},
    };
}

// Chinese display languages map to the script, not the catalogue: Taiwan,
// Hong Kong and Macao read traditional characters, every other region
// simplified ones.
std::wstring ChineseLanguageFor(uint16_t uiLanguage) {
    int sublanguage = SUBLANGID(uiLanguage);
    bool traditional = sublanguage == SUBLANG_CHINESE_TRADITIONAL || sublanguage == SUBLANG_CHINESE_HONGKONG ||
                       sublanguage == SUBLANG_CHINESE_MACAU;
    return traditional ? L"zh-TW" : L"zh-CN";
}

}  // namespace

bool EqualsIgnoringAsciiCase(const std::wstring& a, const std::wstring& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](wchar_t x, wchar_t y) { return ToLowerAscii(x) == ToLowerAscii(y); });
}

bool StartsWithIgnoringAsciiCase(const std::wstring& text, const std::wstring& prefix) {
    return text.size() >= prefix.size() && EqualsIgnoringAsciiCase(text.substr(0, prefix.size()), prefix);
}

LanguageCatalogue CatalogueFromBytes(const std::string& bytes) {
    LanguageCatalogue catalogue;
    for (const RawLanguageEntry& entry : ScanLanguageCatalogue(bytes)) {
        catalogue.push_back({Utf8ToWide(entry.code), Utf8ToWide(entry.name)});
    }
    if (catalogue.empty()) catalogue = BuiltInCatalogue();
    return catalogue;
}

void LoadLanguageCatalogue() {
    languageCatalogue = CatalogueFromBytes(ReadWholeFile(GetExecutableDirectory() + kCatalogueRelativePath));
}

std::wstring EffectiveLanguageFor(const std::wstring& language, uint16_t uiLanguage) {
    if (!EqualsIgnoringAsciiCase(language, kSystemLanguageCode)) return language;
    if (PRIMARYLANGID(uiLanguage) == LANG_CHINESE) return ChineseLanguageFor(uiLanguage);

    wchar_t isoName[kIsoNameUnits] = {};
    if (GetLocaleInfoW(MAKELCID(uiLanguage, SORT_DEFAULT), LOCALE_SISO639LANGNAME, isoName, kIsoNameUnits) > 0) {
        for (const LanguageInfo& entry : languageCatalogue) {
            if (EqualsIgnoringAsciiCase(entry.code, isoName)) return entry.code;
        }
    }
    return kFallbackLanguage;
}

std::wstring GetEffectiveLanguage() {
    return EffectiveLanguageFor(currentSettings.Language, GetUserDefaultUILanguage());
}

std::wstring HelpLanguageTagFor(const std::wstring& effectiveLanguage) {
    std::wstring tag = effectiveLanguage;
    for (wchar_t& c : tag) c = c == L'_' ? L'-' : ToLowerAscii(c);
    if (tag == L"ja-jp") return L"ja";
    if (tag == L"en-us") return L"en";
    return tag;
}

std::wstring GetHelpLanguageTag() {
    return HelpLanguageTagFor(GetEffectiveLanguage());
}

bool IsRightToLeftCode(const std::wstring& effectiveLanguage) {
    return EqualsIgnoringAsciiCase(effectiveLanguage, L"ar") || EqualsIgnoringAsciiCase(effectiveLanguage, L"he");
}

bool IsRightToLeftLanguage() {
    return IsRightToLeftCode(GetEffectiveLanguage());
}
