// UTF-8 <-> UTF-16 conversion. Invalid input never fails: the platform puts
// U+FFFD in place of what it cannot convert.
#pragma once

#include <string>

std::wstring Utf8ToWide(const std::string& bytes);
std::string WideToUtf8(const std::wstring& text);
