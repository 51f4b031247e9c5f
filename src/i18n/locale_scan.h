// Byte-level scanners of the language catalogue and the locale files. They
// work on raw UTF-8 bytes and need no <windows.h>, so they also build natively.
#pragma once

#include <string>
#include <vector>

struct RawLanguageEntry {
    std::string code;  // UTF-8, verbatim
    std::string name;  // UTF-8, verbatim
};

// Every complete "code" ... "name" pair, in file order; stops at the first
// incomplete one.
std::vector<RawLanguageEntry> ScanLanguageCatalogue(const std::string& bytes);

struct RawLocaleMember {
    std::string key;   // UTF-8, verbatim
    std::string value;  // UTF-8, escapes not yet decoded (see DecodeJsonEscapes)
};

// Every key/text member, in file order (a later duplicate is listed again);
// stops at the first member that cannot be completed.
std::vector<RawLocaleMember> ScanLocaleFile(const std::string& bytes);

// Decodes the backslash escapes of a locale text: \n, \r and \t become the
// control characters, a backslash before any other byte gives that byte, and
// a trailing lone backslash stays.
std::string DecodeJsonEscapes(const std::string& raw);
