#include "portable_text.h"

std::wstring BytesToWide(const std::string& bytes) {
    std::wstring text;
    text.reserve(bytes.size());
    for (unsigned char c : bytes) text += static_cast<wchar_t>(c);
    return text;
}

std::string WideToBytes(const std::wstring& text) {
    std::string bytes;
    bytes.reserve(text.size());
    for (wchar_t c : text) bytes += static_cast<char>(c);
    return bytes;
}
