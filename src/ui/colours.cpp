// Every colour the window paints: its own palette, or in a high-contrast
// theme the system's colours, which the user chose to be able to read.
#include "ui/settings_window.h"

#include "ui/window_state.h"

#include <iterator>

namespace {

struct PaletteEntry {
    COLORREF own;
    int system;  // GetSysColor index in high contrast
};

// One entry per Colour, in its order.
constexpr PaletteEntry kPalette[] = {
    {RGB(244, 247, 251), COLOR_WINDOW},         // Background
    {RGB(255, 255, 255), COLOR_WINDOW},         // Card
    {RGB(255, 255, 255), COLOR_WINDOWTEXT},     // CardOutline: the card's own colour draws none
    {RGB(30, 41, 59), COLOR_WINDOWTEXT},        // ControlText
    {RGB(37, 99, 235), COLOR_HIGHLIGHT},        // PageSelected
    {RGB(255, 255, 255), COLOR_WINDOW},         // PageNormal
    {RGB(29, 78, 216), COLOR_HIGHLIGHTTEXT},    // PageAccent
    {RGB(255, 255, 255), COLOR_HIGHLIGHTTEXT},  // PageTextSelected
    {RGB(51, 65, 85), COLOR_WINDOWTEXT},        // PageTextNormal
};
static_assert(std::size(kPalette) == static_cast<size_t>(Colour::Count), "one palette entry per colour");

}  // namespace

bool IsHighContrast() {
    HIGHCONTRASTW contrast{};
    contrast.cbSize = sizeof contrast;
    if (SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
        (contrast.dwFlags & HCF_HIGHCONTRASTON))
        return true;
    return highContrastForTests;
}

COLORREF ColourOf(Colour colour) {
    const PaletteEntry& entry = kPalette[static_cast<size_t>(colour)];
    return IsHighContrast() ? GetSysColor(entry.system) : entry.own;
}

namespace {

// Our own colours' brushes, made on first use and kept until teardown.
HBRUSH ownBrushes[static_cast<size_t>(Colour::Count)] = {};

}  // namespace

HBRUSH BrushOf(Colour colour) {
    const size_t index = static_cast<size_t>(colour);
    if (IsHighContrast()) return GetSysColorBrush(kPalette[index].system);
    if (!ownBrushes[index]) ownBrushes[index] = CreateSolidBrush(kPalette[index].own);
    return ownBrushes[index];
}

void ReleaseBrushes() {
    for (HBRUSH& brush : ownBrushes) {
        if (brush) DeleteObject(brush);
        brush = nullptr;
    }
}
