// Byte-level lookup of one member of the settings file. The file is not
// parsed as JSON: each key is found by its own search from the start.
#include "settings/settings.h"

#include <cstring>

namespace {

constexpr size_t kNotFound = std::string::npos;

// Position of the colon that follows the first quoted occurrence of `key`,
// or kNotFound.
size_t FindValueColon(const std::string& content, const char* key) {
    std::string pattern;
    pattern.reserve(std::strlen(key) + 2);
    pattern += '"';
    pattern += key;
    pattern += '"';
    size_t keyAt = content.find(pattern);
    if (keyAt == kNotFound) return kNotFound;
    return content.find(':', keyAt);
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

bool ReadBoolValue(const std::string& content, const char* key, bool fallback) {
    size_t colon = FindValueColon(content, key);
    if (colon == kNotFound || colon + 1 >= content.size()) return fallback;
    size_t at = colon + 1;
    while (at < content.size() && IsBlank(content[at])) ++at;
    if (at >= content.size()) return fallback;
    return content.compare(at, 4, "true") == 0;
}

int32_t ReadIntValue(const std::string& content, const char* key, int32_t fallback) {
    size_t colon = FindValueColon(content, key);
    if (colon == kNotFound || colon + 1 >= content.size()) return fallback;
    size_t at = content.find_first_of("-0123456789", colon + 1);
    if (at == kNotFound) return fallback;

    bool negative = content[at] == '-';
    if (negative) ++at;
    if (at >= content.size() || !IsDigit(content[at])) return fallback;

    // Accumulate as a negative number so that INT32_MIN needs no special case.
    constexpr int64_t kLimit = 2147483648LL;
    int64_t magnitude = 0;
    for (; at < content.size() && IsDigit(content[at]); ++at) {
        magnitude = magnitude * 10 + (content[at] - '0');
        if (magnitude > kLimit) return fallback;
    }
    if (!negative && magnitude == kLimit) return fallback;
    return static_cast<int32_t>(negative ? -magnitude : magnitude);
}

std::string ReadStringValue(const std::string& content, const char* key, const std::string& fallback) {
    size_t colon = FindValueColon(content, key);
    if (colon == kNotFound) return fallback;
    size_t open = content.find('"', colon);
    if (open == kNotFound) return fallback;
    size_t close = content.find('"', open + 1);
    if (close == kNotFound) return fallback;
    return content.substr(open + 1, close - open - 1);
}
