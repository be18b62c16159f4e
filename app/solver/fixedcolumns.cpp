#include "fixedcolumns.h"

namespace dyma {

namespace {
bool IsContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// Byte offset of character `index` (0-based), or the text's size.
size_t ByteOffset(std::string_view text, size_t index) {
    size_t pos = 0;
    for (size_t n = 0; n < index && pos < text.size(); ++n) {
        ++pos;
        while (pos < text.size() && IsContinuation(text[pos])) ++pos;
    }
    return pos;
}
}  // namespace

size_t CharCount(std::string_view text) {
    size_t n = 0;
    for (char c : text)
        if (!IsContinuation(c)) ++n;
    return n;
}

std::string RightField(std::string_view text, size_t width) {
    const size_t n = CharCount(text);
    if (n >= width) return std::string(text.substr(0, ByteOffset(text, width)));
    return std::string(width - n, ' ') + std::string(text);
}

std::string LeftField(std::string_view text, size_t width) {
    const size_t n = CharCount(text);
    if (n >= width) return std::string(text.substr(0, ByteOffset(text, width)));
    return std::string(text) + std::string(width - n, ' ');
}

std::string Columns(std::string_view line, size_t first, size_t last) {
    if (first < 1 || last < first) return {};
    const size_t from = ByteOffset(line, first - 1);
    const size_t to = ByteOffset(line, last);
    return std::string(line.substr(from, to - from));
}

}  // namespace dyma
