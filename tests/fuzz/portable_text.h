// Byte-preserving stand-ins for the Windows UTF-8 conversions: each byte
// becomes one wide unit and back, so a round trip through the file layout
// must give exactly the same record.
#pragma once

#include <string>

std::wstring BytesToWide(const std::string& bytes);
std::string WideToBytes(const std::wstring& text);
