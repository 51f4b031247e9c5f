// The languages.json scanner on arbitrary bytes.
#include "i18n/locale_scan.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string bytes(reinterpret_cast<const char*>(data), size);
    size_t codeKeys = 0;
    for (size_t at = bytes.find("\"code\""); at != std::string::npos; at = bytes.find("\"code\"", at + 1)) ++codeKeys;

    std::vector<RawLanguageEntry> entries = ScanLanguageCatalogue(bytes);
    if (entries.size() > codeKeys) std::abort();
    for (const RawLanguageEntry& entry : entries) {
        // Values run between two quotes and are copied verbatim from the input.
        if (entry.code.find('"') != std::string::npos || entry.name.find('"') != std::string::npos) std::abort();
        if (bytes.find('"' + entry.code + '"') == std::string::npos) std::abort();
        if (bytes.find('"' + entry.name + '"') == std::string::npos) std::abort();
    }
    return 0;
}
