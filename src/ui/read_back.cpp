// Between the window's option controls and a settings record, both ways.
#include "ui/settings_window.h"

#include "i18n/i18n.h"
#include "settings/settings.h"

void ReadControlsIntoSettings(HWND window) {
    Settings& s = currentSettings;
    for (const OptionRow& row : OptionRows()) {
        const int id = row.controlId;
        if (row.kind == OptionKind::Box || row.kind == OptionKind::Modifier) {
            s.*row.flag = SendDlgItemMessageW(window, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
            continue;
        }
        const int item = static_cast<int>(SendDlgItemMessageW(window, id, CB_GETCURSEL, 0, 0));
        switch (row.kind) {
        case OptionKind::LanguageList: {
            LRESULT data = SendDlgItemMessageW(window, id, CB_GETITEMDATA, item, 0);
            if (data >= 0 && static_cast<size_t>(data) < languageCatalogue.size())
                s.Language = languageCatalogue[data].code;
            break;
        }
        case OptionKind::HotkeyLetter:
            if (auto key = HotkeyKeyFromItem(item)) s.HotkeyKey = *key;
            break;
        case OptionKind::TabSpaces:
            if (auto tabs = TabSpacesFromItem(item)) s.*row.number = *tabs;
            break;
        default:
            if (auto width = WidthFromItem(item)) s.*row.number = *width;
        }
    }
}

int ListItemOf(const OptionRow& row, const Settings& s) {
    switch (row.kind) {
    case OptionKind::HotkeyLetter: return HotkeyKeyToItem(s.HotkeyKey);
    case OptionKind::TabSpaces: return TabSpacesToItem(s.*row.number);
    default: return WidthToItem(s.*row.number);
    }
}

void ShowSettingsInControls(HWND window, const Settings& s) {
    for (const OptionRow& row : OptionRows()) {
        if (row.kind == OptionKind::LanguageList) continue;
        if (row.kind == OptionKind::Box || row.kind == OptionKind::Modifier)
            SendDlgItemMessageW(window, row.controlId, BM_SETCHECK, s.*row.flag ? BST_CHECKED : BST_UNCHECKED, 0);
        else
            SendDlgItemMessageW(window, row.controlId, CB_SETCURSEL, ListItemOf(row, s), 0);
    }
}
