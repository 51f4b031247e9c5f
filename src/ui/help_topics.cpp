// The help topic that each help button opens.
#include "ui/settings_window.h"

#include "ui/control_ids.h"

#include <iterator>

namespace {

// Help topics of the help buttons, by control ID from IDC_HELP_FIRST on.
constexpr const wchar_t* kHelpTopics[] = {
    L"language",          L"shortcut-key",       L"play-sound",          L"start-with-windows",
    L"startup-notification", L"reset-hotkey",    L"line-breaks",         L"tabs",
    L"tab-spaces",        L"collapse-spaces",    L"trim-spaces",         L"full-width-spaces",
    L"zero-width-spaces", L"non-breaking-spaces", L"katakana-width",     L"number-width",
    L"latin-width",       L"symbol-width",       L"nfkc",                L"markdown-links",
    L"html-tags",         L"plain-text-only",    L"excel-values",
};
static_assert(std::size(kHelpTopics) == IDC_HELP_LAST - IDC_HELP_FIRST + 1);

}  // namespace

const wchar_t* HelpTopicForControl(int controlId) {
    if (controlId < IDC_HELP_FIRST || controlId > IDC_HELP_LAST) return nullptr;
    return kHelpTopics[controlId - IDC_HELP_FIRST];
}
