// Fixed-column text as the solver files use it. The files are single-byte
// (code page 1250) on disk and UTF-8 in memory, so widths and column numbers
// count characters, not bytes: a label with a Polish letter still ends where
// the solver expects it.
#pragma once

#include <string>
#include <string_view>

namespace dyma {

size_t CharCount(std::string_view text);

// The text padded with blanks in front up to `width` characters, or cut to
// its first `width` characters.
std::string RightField(std::string_view text, size_t width);
// The same with the blanks after the text.
std::string LeftField(std::string_view text, size_t width);

// Columns `first` to `last` of a line, counted from 1, both ends included;
// what lies beyond the end of the line is simply missing.
std::string Columns(std::string_view line, size_t first, size_t last);

}  // namespace dyma
