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

// True when a text file is taken as UTF-8 rather than code page 1250: it
// starts with the UTF-8 byte-order mark, or it holds multi-byte sequences,
// every byte above 127 belongs to a valid one, and every character they
// give has a code-page-1250 byte. The last condition keeps the program's
// own files what they are: capitals such as "ÓŁ" are, in code page 1250,
// also a valid UTF-8 sequence, but of a Cyrillic letter no project can hold.
bool IsUtf8Text(std::string_view bytes);

// A text file's bytes as UTF-8: decoded as UTF-8 (without its byte-order
// mark) when IsUtf8Text, otherwise from code page 1250. Bytes after a mark
// that are not valid UTF-8 are taken as code page 1250, so nothing is lost.
std::string TextFileToUtf8(std::string_view bytes);

}  // namespace dyma
