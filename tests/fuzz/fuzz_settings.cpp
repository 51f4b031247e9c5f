// The settings reader on arbitrary bytes, as LoadSettings reads a file: every
// key, every fallback and clamp. What must always hold: the record's ranges,
// and that writing the record and reading it back changes nothing.
#include "portable_text.h"
#include "settings/settings.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string content(reinterpret_cast<const char*>(data), size);
    if (content.empty()) return 0;  // LoadSettings keeps the defaults

    Settings loaded;
    ApplySettingsContent(content, loaded, BytesToWide);
    Check(loaded.HotkeyKey >= kHotkeyKeyFirst && loaded.HotkeyKey <= kHotkeyKeyLast);
    Check(loaded.TabSpaces >= kTabSpacesMin && loaded.TabSpaces <= kTabSpacesMax);
    for (int32_t width : {loaded.KatakanaWidth, loaded.NumberWidth, loaded.LatinWidth, loaded.SymbolWidth})
        Check(width >= kWidthMin && width <= kWidthMax);

    // The reader finds a key by its quoted name anywhere, so a Language that
    // is itself a key name shadows that key; the window never stores one (it
    // saves catalogue codes), and the paster reads the same way.
    if (loaded.Language.find(L'"') == std::wstring::npos && !IsSettingsKey(WideToBytes(loaded.Language))) {
        std::string written = ComposeSettingsText(loaded, WideToBytes);
        Settings reread;
        ApplySettingsContent(written, reread, BytesToWide);
        Check(reread == loaded);
    }

    // The three readers with a key taken from the input itself.
    size_t split = content.find('\0');
    if (split != std::string::npos) {
        std::string key = content.substr(0, split);
        std::string rest = content.substr(split + 1);
        ReadBoolValue(rest, key.c_str(), true);
        ReadIntValue(rest, key.c_str(), -1);
        std::string value = ReadStringValue(rest, key.c_str(), "fallback");
        Check(value == "fallback" || value.find('"') == std::string::npos);
    }
    return 0;
}
