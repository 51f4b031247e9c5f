// Localization: the language catalogue, the effective interface language and
// the text tables read from the locale files beside the executable.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

struct LanguageInfo {
    std::wstring code;
    std::wstring name;
};

using LanguageCatalogue = std::vector<LanguageInfo>;

// Filled once at start-up; file order, nothing merged or removed.
extern LanguageCatalogue languageCatalogue;

// The code that means "follow the Windows display language".
constexpr wchar_t kSystemLanguageCode[] = L"system";

// Comparisons that ignore the case of ASCII letters only.
bool EqualsIgnoringAsciiCase(const std::wstring& a, const std::wstring& b);
bool StartsWithIgnoringAsciiCase(const std::wstring& text, const std::wstring& prefix);

void LoadLanguageCatalogue();
// The catalogue that `bytes` of a languages.json give, or the built-in one.
LanguageCatalogue CatalogueFromBytes(const std::string& bytes);

std::wstring GetEffectiveLanguage();
// The effective language for a `Language` setting under a display language
// (a Windows LANGID), with the current catalogue.
std::wstring EffectiveLanguageFor(const std::wstring& language, uint16_t uiLanguage);
std::wstring GetHelpLanguageTag();
std::wstring HelpLanguageTagFor(const std::wstring& effectiveLanguage);
bool IsRightToLeftLanguage();
bool IsRightToLeftCode(const std::wstring& effectiveLanguage);

using StringTable = std::unordered_map<std::wstring, std::wstring>;

// The texts of the effective language, of English and of Japanese.
extern StringTable currentTable;
extern StringTable englishTable;
extern StringTable japaneseTable;

// False for a code that could leave the Locales folder or cut the path short.
bool IsSafeLanguageCode(const std::wstring& code);
StringTable LoadLocaleFile(const std::wstring& code);
std::wstring DecodeJsonString(const std::string& raw);
void LoadLocaleStrings();
std::wstring GetText(const wchar_t* key);
