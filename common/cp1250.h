// Files the program shares with Windows workstations (project files, text
// reports, solver and legacy files) are in code page 1250. Inside the
// program every text is UTF-8; these two functions are the file boundary.
#pragma once

#include <string>
#include <string_view>

namespace dyma {

// Every byte has a character, so a file read and written back is
// byte-identical (the five unassigned bytes map to the C1 controls of the
// same number).
std::string Cp1250ToUtf8(std::string_view bytes);

// Characters without a code-page-1250 byte become '?'. Invalid UTF-8 bytes
// are passed through as they are, so nothing is silently dropped.
std::string Utf8ToCp1250(std::string_view utf8);

}  // namespace dyma
