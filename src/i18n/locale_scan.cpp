#include "i18n/locale_scan.h"

namespace {

constexpr size_t kNotFound = std::string::npos;
constexpr char kCodeKey[] = "\"code\"";
constexpr char kNameKey[] = "\"name\"";
constexpr size_t kQuotedKeyLength = sizeof(kCodeKey) - 1;

// Bounds of the string value after the first colon at or after `from`:
// `open` and `close` are its two double quotes.
bool FindQuotedValue(const std::string& bytes, size_t from, size_t& open, size_t& close) {
    size_t colon = bytes.find(':', from);
    if (colon == kNotFound) return false;
    open = bytes.find('"', colon + 1);
    if (open == kNotFound) return false;
    close = bytes.find('"', open + 1);
    return close != kNotFound;
}

std::string Between(const std::string& bytes, size_t open, size_t close) {
    return bytes.substr(open + 1, close - open - 1);
}

// The first double quote after `open` that does not directly follow a
// backslash (even an escaped one).
size_t FindValueEnd(const std::string& bytes, size_t open) {
    for (size_t at = bytes.find('"', open + 1); at != kNotFound; at = bytes.find('"', at + 1)) {
        if (bytes[at - 1] != '\\') return at;
    }
    return kNotFound;
}

}  // namespace

std::vector<RawLanguageEntry> ScanLanguageCatalogue(const std::string& bytes) {
    std::vector<RawLanguageEntry> entries;
    size_t position = 0;
    for (;;) {
        size_t code = bytes.find(kCodeKey, position);
        if (code == kNotFound) break;
        size_t q1, q2;
        if (!FindQuotedValue(bytes, code + kQuotedKeyLength, q1, q2)) break;
        size_t name = bytes.find(kNameKey, q2);
        if (name == kNotFound) break;
        size_t q3, q4;
        if (!FindQuotedValue(bytes, name + kQuotedKeyLength, q3, q4)) break;
        entries.push_back({Between(bytes, q1, q2), Between(bytes, q3, q4)});
        position = q4 + 1;
    }
    return entries;
}

std::vector<RawLocaleMember> ScanLocaleFile(const std::string& bytes) {
    std::vector<RawLocaleMember> members;
    size_t position = 0;
    while (position < bytes.size()) {
        size_t k1 = bytes.find('"', position);
        if (k1 == kNotFound) break;
        size_t k2 = bytes.find('"', k1 + 1);
        if (k2 == kNotFound) break;
        size_t colon = bytes.find(':', k2 + 1);
        if (colon == kNotFound) break;
        size_t v1 = bytes.find('"', colon + 1);
        if (v1 == kNotFound || v1 + 1 >= bytes.size()) break;
        size_t v2 = FindValueEnd(bytes, v1);
        if (v2 == kNotFound) break;
        members.push_back({Between(bytes, k1, k2), Between(bytes, v1, v2)});
        position = v2 + 1;
    }
    return members;
}

std::string DecodeJsonEscapes(const std::string& raw) {
    std::string decoded;
    decoded.reserve(raw.size());
    for (size_t i = 0; i < raw.size(); ++i) {
        char c = raw[i];
        if (c != '\\' || i + 1 == raw.size()) {
            decoded += c;
            continue;
        }
        char escaped = raw[++i];
        switch (escaped) {
        case 'n': decoded += '\n'; break;
        case 'r': decoded += '\r'; break;
        case 't': decoded += '\t'; break;
        default: decoded += escaped; break;
        }
    }
    return decoded;
}
