// Copies the state of the window's controls into currentSettings.
#include "ui/settings_window.h"

#include "i18n/i18n.h"
#include "settings/settings.h"
#include "ui/control_ids.h"

namespace {

int Selection(HWND window, int id) {
    return static_cast<int>(SendDlgItemMessageW(window, id, CB_GETCURSEL, 0, 0));
}

bool IsTicked(HWND window, int id) {
    return SendDlgItemMessageW(window, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

}  // namespace

void ReadControlsIntoSettings(HWND window) {
    Settings& s = currentSettings;

    LRESULT data = SendDlgItemMessageW(window, IDC_LANGUAGE, CB_GETITEMDATA, Selection(window, IDC_LANGUAGE), 0);
    if (data >= 0 && static_cast<size_t>(data) < languageCatalogue.size()) s.Language = languageCatalogue[data].code;

    for (const OptionCheckbox& option : GetOptionCheckboxes()) *option.setting = IsTicked(window, option.controlId);

    if (auto key = HotkeyKeyFromItem(Selection(window, IDC_HOTKEY_KEY))) s.HotkeyKey = *key;
    if (auto tabs = TabSpacesFromItem(Selection(window, IDC_TAB_SPACES))) s.TabSpaces = *tabs;

    const std::pair<int, int32_t Settings::*> widths[] = {
        {IDC_KATAKANA_WIDTH, &Settings::KatakanaWidth},
        {IDC_NUMBER_WIDTH, &Settings::NumberWidth},
        {IDC_LATIN_WIDTH, &Settings::LatinWidth},
        {IDC_SYMBOL_WIDTH, &Settings::SymbolWidth},
    };
    for (const auto& [id, field] : widths) {
        if (auto width = WidthFromItem(Selection(window, id))) s.*field = *width;
    }

    s.NormalizeNFKC = IsTicked(window, IDC_NORMALIZE_NFKC);
}
