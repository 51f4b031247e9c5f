// The settings file's members, in the order the file is written: one table
// serves the reader and the writer, and every fallback is the field's default.
#include "settings/settings.h"

#include <algorithm>
#include <cstdio>

namespace {

enum class FieldKind {
    Text,      // Language: raw UTF-8 between double quotes
    Flag,      // bare true / false
    KeyCode,   // HotkeyKey: kept only when it names a letter key
    Number,    // clamped into [minimum, maximum]
};

struct SettingsField {
    const char* key;
    FieldKind kind;
    bool Settings::*flag = nullptr;
    int32_t Settings::*number = nullptr;
    int32_t minimum = 0;
    int32_t maximum = 0;
};

constexpr SettingsField Flag(const char* key, bool Settings::*field) {
    return {key, FieldKind::Flag, field};
}

constexpr SettingsField Number(const char* key, int32_t Settings::*field, int32_t minimum, int32_t maximum) {
    return {key, FieldKind::Number, nullptr, field, minimum, maximum};
}

constexpr SettingsField kSettingsFields[] = {
    {"Language", FieldKind::Text},
    Flag("HotkeyAlt", &Settings::HotkeyAlt),
    Flag("HotkeyCtrl", &Settings::HotkeyCtrl),
    Flag("HotkeyShift", &Settings::HotkeyShift),
    Flag("HotkeyWindows", &Settings::HotkeyWindows),
    {"HotkeyKey", FieldKind::KeyCode},
    Flag("PlaySound", &Settings::PlaySound),
    Flag("StartWithWindows", &Settings::StartWithWindows),
    Flag("ShowStartupNotification", &Settings::ShowStartupNotification),
    Flag("PeriodicallyResetHotkey", &Settings::PeriodicallyResetHotkey),
    Flag("ReplaceLineBreaksWithSpace", &Settings::ReplaceLineBreaksWithSpace),
    Flag("ReplaceTabsWithSpace", &Settings::ReplaceTabsWithSpace),
    Number("TabSpaces", &Settings::TabSpaces, kTabSpacesMin, kTabSpacesMax),
    Flag("CollapseSpaces", &Settings::CollapseSpaces),
    Flag("TrimSpaces", &Settings::TrimSpaces),
    Flag("ConvertFullWidthSpaces", &Settings::ConvertFullWidthSpaces),
    Flag("RemoveZeroWidthSpaces", &Settings::RemoveZeroWidthSpaces),
    Flag("ConvertNonBreakingSpaces", &Settings::ConvertNonBreakingSpaces),
    Flag("MarkdownLinksToDisplayText", &Settings::MarkdownLinksToDisplayText),
    Flag("RemoveHtmlTags", &Settings::RemoveHtmlTags),
    Number("KatakanaWidth", &Settings::KatakanaWidth, kWidthMin, kWidthMax),
    Number("NumberWidth", &Settings::NumberWidth, kWidthMin, kWidthMax),
    Number("LatinWidth", &Settings::LatinWidth, kWidthMin, kWidthMax),
    Number("SymbolWidth", &Settings::SymbolWidth, kWidthMin, kWidthMax),
    Flag("NormalizeNFKC", &Settings::NormalizeNFKC),
    Flag("UseClipboardPlainTextOnly", &Settings::UseClipboardPlainTextOnly),
    Flag("ExcelPasteValuesForCellCopy", &Settings::ExcelPasteValuesForCellCopy),
};

const Settings kDefaults;

void ReadField(const std::string& content, const SettingsField& field, Settings& settings,
               Utf8ToWideFunction toWide) {
    switch (field.kind) {
    case FieldKind::Text: {
        // The default is ASCII, so its UTF-8 form is the same bytes.
        std::string fallback(kDefaults.Language.begin(), kDefaults.Language.end());
        settings.Language = toWide(ReadStringValue(content, field.key, fallback));
        break;
    }
    case FieldKind::Flag:
        settings.*field.flag = ReadBoolValue(content, field.key, kDefaults.*field.flag);
        break;
    case FieldKind::KeyCode: {
        int32_t value = ReadIntValue(content, field.key, static_cast<int32_t>(kDefaults.HotkeyKey));
        if (value >= static_cast<int32_t>(kHotkeyKeyFirst) && value <= static_cast<int32_t>(kHotkeyKeyLast))
            settings.HotkeyKey = static_cast<uint32_t>(value);
        break;
    }
    case FieldKind::Number:
        settings.*field.number =
            std::clamp(ReadIntValue(content, field.key, kDefaults.*field.number), field.minimum, field.maximum);
        break;
    }
}

std::string FormatValue(const SettingsField& field, const Settings& settings, WideToUtf8Function toUtf8) {
    char digits[16];
    switch (field.kind) {
    case FieldKind::Text:
        return '"' + toUtf8(settings.Language) + '"';
    case FieldKind::Flag:
        return settings.*field.flag ? "true" : "false";
    case FieldKind::KeyCode:
        std::snprintf(digits, sizeof digits, "%lu", static_cast<unsigned long>(settings.HotkeyKey));
        return digits;
    case FieldKind::Number:
        std::snprintf(digits, sizeof digits, "%ld", static_cast<long>(settings.*field.number));
        return digits;
    }
    return {};
}

}  // namespace

void ApplySettingsContent(const std::string& content, Settings& settings, Utf8ToWideFunction toWide) {
    for (const SettingsField& field : kSettingsFields) ReadField(content, field, settings, toWide);
}

bool IsSettingsKey(const std::string& name) {
    for (const SettingsField& field : kSettingsFields) {
        if (name == field.key) return true;
    }
    return false;
}

std::string ComposeSettingsText(const Settings& settings, WideToUtf8Function toUtf8) {
    std::string text = "{\n";
    constexpr size_t kCount = std::size(kSettingsFields);
    for (size_t i = 0; i < kCount; ++i) {
        const SettingsField& field = kSettingsFields[i];
        text += "  \"";
        text += field.key;
        text += "\": ";
        text += FormatValue(field, settings, toUtf8);
        text += i + 1 < kCount ? ",\n" : "\n";
    }
    text += "}\n";
    return text;
}
