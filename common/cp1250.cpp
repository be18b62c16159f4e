#include "cp1250.h"

#include <array>
#include <unordered_map>

namespace dyma {
namespace {

constexpr std::array<char32_t, 128> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0083, 0x201E, 0x2026, 0x2020, 0x2021,
    0x0088, 0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A,
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7,
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7,
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C,
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E,
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7,
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F,
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,
};

const std::unordered_map<char32_t, unsigned char>& ReverseTable() {
    static const auto table = [] {
        std::unordered_map<char32_t, unsigned char> m;
        for (size_t i = 0; i < kHigh.size(); ++i) m.emplace(kHigh[i], static_cast<unsigned char>(0x80 + i));
        return m;
    }();
    return table;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// The length of the valid UTF-8 sequence at bytes[i] (2 to 4) and its
// character; 0 when there is none (a single byte, an overlong form, a
// surrogate, a character beyond U+10FFFF or a cut sequence).
int Utf8Sequence(std::string_view bytes, std::size_t i, char32_t& c) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    int length = 0;
    unsigned char low = 0x80, high = 0xBF;  // range of the second byte
    if (b >= 0xC2 && b <= 0xDF) {
        length = 2;
        c = b & 0x1Fu;
    } else if (b >= 0xE0 && b <= 0xEF) {
        length = 3;
        c = b & 0x0Fu;
        if (b == 0xE0) low = 0xA0;
        if (b == 0xED) high = 0x9F;
    } else if (b >= 0xF0 && b <= 0xF4) {
        length = 4;
        c = b & 0x07u;
        if (b == 0xF0) low = 0x90;
        if (b == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (i + static_cast<std::size_t>(length) > bytes.size()) return 0;
    for (int k = 1; k < length; ++k) {
        const auto cb = static_cast<unsigned char>(bytes[i + static_cast<std::size_t>(k)]);
        if (cb < (k == 1 ? low : 0x80) || cb > (k == 1 ? high : 0xBF)) return 0;
        c = (c << 6) | (cb & 0x3Fu);
    }
    return length;
}

}  // namespace

bool IsUtf8Text(std::string_view bytes) {
    if (bytes.starts_with(kByteOrderMark)) return true;
    const auto& writable = ReverseTable();
    bool multiByte = false;
    for (std::size_t i = 0; i < bytes.size();) {
        if (static_cast<unsigned char>(bytes[i]) < 0x80) {
            ++i;
            continue;
        }
        char32_t c = 0;
        const int length = Utf8Sequence(bytes, i, c);
        if (length == 0 || !writable.contains(c)) return false;
        multiByte = true;
        i += static_cast<std::size_t>(length);
    }
    return multiByte;
}

std::string TextFileToUtf8(std::string_view bytes) {
    if (!IsUtf8Text(bytes)) return Cp1250ToUtf8(bytes);
    if (bytes.starts_with(kByteOrderMark)) bytes.remove_prefix(kByteOrderMark.size());
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        char32_t c = 0;
        const int length = static_cast<unsigned char>(bytes[i]) < 0x80 ? 0 : Utf8Sequence(bytes, i, c);
        if (length == 0) {
            out += Cp1250ToUtf8(bytes.substr(i, 1));
            ++i;
            continue;
        }
        out.append(bytes.substr(i, static_cast<std::size_t>(length)));
        i += static_cast<std::size_t>(length);
    }
    return out;
}

std::string Cp1250ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (char ch : bytes) {
        auto b = static_cast<unsigned char>(ch);
        if (b < 0x80)
            out += ch;
        else
            AppendUtf8(out, kHigh[b - 0x80]);
    }
    return out;
}

std::string Utf8ToCp1250(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    const auto& rev = ReverseTable();
    for (size_t i = 0; i < s.size();) {
        auto b = static_cast<unsigned char>(s[i]);
        if (b < 0x80) {
            out += s[i++];
            continue;
        }
        int len = (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : (b & 0xF8) == 0xF0 ? 4 : 0;
        bool valid = len > 0 && i + static_cast<size_t>(len) <= s.size();
        char32_t c = 0;
        if (valid) {
            c = len == 2 ? (b & 0x1F) : len == 3 ? (b & 0x0F) : (b & 0x07);
            for (int k = 1; k < len; ++k) {
                auto cb = static_cast<unsigned char>(s[i + static_cast<size_t>(k)]);
                if ((cb & 0xC0) != 0x80) {
                    valid = false;
                    break;
                }
                c = (c << 6) | (cb & 0x3F);
            }
        }
        if (!valid) {
            out += s[i++];
            continue;
        }
        auto it = rev.find(c);
        out += it != rev.end() ? static_cast<char>(it->second) : '?';
        i += static_cast<size_t>(len);
    }
    return out;
}

}  // namespace dyma
