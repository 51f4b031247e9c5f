// The item positions of the options chosen from lists, and the values that
// selected positions give.
#include "settings/settings.h"

int HotkeyKeyToItem(uint32_t hotkeyKey) {
    return static_cast<int>(hotkeyKey) - static_cast<int>(kHotkeyKeyFirst);
}

std::optional<uint32_t> HotkeyKeyFromItem(int item) {
    if (item < 0) return std::nullopt;
    return kHotkeyKeyFirst + static_cast<uint32_t>(item);
}

int TabSpacesToItem(int32_t tabSpaces) {
    return tabSpaces - kTabSpacesMin;
}

std::optional<int32_t> TabSpacesFromItem(int item) {
    if (item < 0) return std::nullopt;
    return kTabSpacesMin + item;
}

int WidthToItem(int32_t width) {
    return width;
}

std::optional<int32_t> WidthFromItem(int item) {
    if (item < kWidthMin || item > kWidthMax) return std::nullopt;
    return item;
}
