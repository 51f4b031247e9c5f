// The locale-file scanner and the escape decoder on arbitrary bytes.
#include "i18n/locale_scan.h"

#include <cstdint>
#include <cstdlib>

namespace {

void CheckDecoded(const std::string& raw) {
    // Each escape consumes two bytes and yields one, so the text never grows.
    if (DecodeJsonEscapes(raw).size() > raw.size()) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string bytes(reinterpret_cast<const char*>(data), size);
    for (const RawLocaleMember& member : ScanLocaleFile(bytes)) {
        if (member.key.find('"') != std::string::npos) std::abort();
        // A value ends at the first quote not preceded by a backslash.
        for (size_t at = member.value.find('"'); at != std::string::npos; at = member.value.find('"', at + 1)) {
            if (at == 0 || member.value[at - 1] != '\\') std::abort();
        }
        if (!member.value.empty() && member.value.back() == '\\') std::abort();
        CheckDecoded(member.value);
    }
    CheckDecoded(bytes);
    return 0;
}
