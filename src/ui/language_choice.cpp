// The language list commits a choice once: the window is built anew in the
// chosen language when the dropped-down list closes on it (a click, or Enter
// in the list), or when the keys moved the closed list and the keyboard
// focus then leaves it. Arrow keys and the wheel on the closed list only move
// its selection, so a keyboard user can step through the languages, and a
// Save reads the list as it stands.
#include "ui/settings_window.h"

#include "ui/control_ids.h"
#include "ui/window_state.h"

namespace {

constexpr UINT_PTR kCommitTimer = 1;

int lastItem = 0;          // the selection before the latest change
bool listOpen = false;     // dropped down, until every notification of its close is handled
bool keysMovedIt = false;  // the closed list was moved off the window's own language

HWND LanguageList(HWND window) {
    return GetDlgItem(window, IDC_LANGUAGE);
}

int Selection(HWND list) {
    return static_cast<int>(SendMessageW(list, CB_GETCURSEL, 0, 0));
}

bool IsSeparator(HWND list, int item) {
    return SendMessageW(list, CB_GETITEMDATA, item, 0) == kSeparatorData;
}

void Select(HWND list, int item) {
    SendMessageW(list, CB_SETCURSEL, item, 0);
    lastItem = item;
}

void Rebuild(HWND window) {
    keysMovedIt = false;
    KillTimer(window, kCommitTimer);
    PostMessageW(window, kRebuildMessage, kRebuildForLanguage, 0);
}

// The selection moved by a key or the wheel on the closed list: the
// separator row is stepped over in the direction of travel.
void OnClosedListMoved(HWND list) {
    int item = Selection(list);
    if (item >= 0 && IsSeparator(list, item)) {
        const int count = static_cast<int>(SendMessageW(list, CB_GETCOUNT, 0, 0));
        const int past = item > lastItem ? item + 1 : item - 1;
        item = past >= 0 && past < count ? past : lastItem;
        Select(list, item);
    }
    lastItem = item;
    keysMovedIt = item != windowLanguageItem;
}

// Once the dropped-down list has closed: a language other than the window's
// own was picked. The separator row picks the first entry and builds nothing.
void OnListClosed(HWND window) {
    listOpen = false;
    HWND list = LanguageList(window);
    const int item = Selection(list);
    if (item < 0 || IsSeparator(list, item)) {
        Select(list, 0);
        keysMovedIt = false;
        return;
    }
    lastItem = item;
    if (item != windowLanguageItem) Rebuild(window);
}

}  // namespace

void StartLanguageChoice(HWND window) {
    lastItem = windowLanguageItem;
    listOpen = keysMovedIt = false;
    KillTimer(window, kCommitTimer);
}

bool OnLanguageListNotification(HWND window, int code) {
    HWND list = LanguageList(window);
    switch (code) {
    case CBN_DROPDOWN: listOpen = true; return true;
    case CBN_SELCHANGE:
        if (!listOpen) OnClosedListMoved(list);
        return true;
    case CBN_SELENDCANCEL:  // Escape in the open list, or a click elsewhere: the window's own language again
        if (listOpen) Select(list, windowLanguageItem), keysMovedIt = false;
        return true;
    case CBN_CLOSEUP:
        if (listOpen) PostMessageW(window, kListClosedMessage, 0, 0);
        return true;
    case CBN_KILLFOCUS:
        // Built anew only once the input that took the focus away is over:
        // a timer comes after the button's release, so the click lands.
        if (keysMovedIt && Selection(list) != windowLanguageItem) SetTimer(window, kCommitTimer, USER_TIMER_MINIMUM, nullptr);
        return true;
    default: return false;
    }
}

bool OnLanguageMessage(HWND window, UINT message, WPARAM wParam) {
    if (message == kListClosedMessage) {
        OnListClosed(window);
        return true;
    }
    if (message != WM_TIMER || wParam != kCommitTimer) return false;
    if (GetKeyState(VK_LBUTTON) < 0 || GetKeyState(VK_RBUTTON) < 0) return true;  // a click still on its way
    KillTimer(window, kCommitTimer);
    // Another program took the keys, not another control: the list gets
    // them back when the window is active again, and commits when it next
    // loses them within the window.
    if (GetActiveWindow() != window) return true;
    // Back on the list before the timer came (the window was left and
    // activated again): the keys never went to another control.
    if (GetFocus() == LanguageList(window)) return true;
    if (keysMovedIt && Selection(LanguageList(window)) != windowLanguageItem) Rebuild(window);
    return true;
}
