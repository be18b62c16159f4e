// Byte layouts of the LGOM signal files (the mine seismic networks of the
// KGHM copper district): where each header field, channel record, activity
// table and the samples lie. The reader and the project's own file generator
// both take their offsets from here. All values are little-endian.
#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <utility>

namespace Quarnet::lgom {

constexpr int kIdentifierLength = 30;

// Converted KRAW v2.6 files of Polkowice-Sieroszowice (MBI64 and MIN64).
namespace v26 {
constexpr int kHeaderSize = 1027;
constexpr int kMillisecond = 40;  // uint16
constexpr int kSecond = 42;       // uint8
constexpr int kMinute = 43;       // uint8
constexpr int kHour = 44;         // uint8
constexpr int kDay = 45;          // uint8
constexpr int kMonth = 46;        // uint8
constexpr int kYear = 47;         // uint16
constexpr int kSamplingRate = 53; // double
constexpr int kChannelCount = 63; // int16
constexpr int kHeaderScale = 1025; // int16
constexpr int kChannelTable = 1216;
constexpr int kActivityTable = 6976;  // MIN64 only, int16 per channel
// The channel table has room for 64 records: the activity table (MIN64) and
// the samples (MBI64) follow it directly.
constexpr int kMaxChannels = 64;
constexpr int kMinDataStart = 7104;
constexpr int kMbiDataStart = 6976;
}  // namespace v26

// Converted KRAW v2.0 32-channel files (MIN32 and MBI32): same header
// offsets; MBI32 has no sampling rate, channel table or activity table.
namespace kraw32 {
constexpr int kHeaderSize = 1026;
constexpr int kMbiHeaderBytes = 30;  // uint16, MBI32: samples begin there
constexpr int kHour = 40;            // uint8
constexpr int kMinute = 41;          // uint8
constexpr int kSecond = 42;          // uint8
constexpr int kYear = 44;            // uint16
constexpr int kDay = 46;             // uint8
constexpr int kMonth = 47;           // uint8
constexpr int kSamplingRate = 52;    // double, MIN32 only
constexpr int kChannelCount = 62;    // int16
constexpr int kHeaderScale = 1024;   // int16
constexpr int kMinChannelTable = 4096;  // then the activity table, then samples
}  // namespace kraw32

// The channel record of v2.6 and MIN32 files.
namespace record {
constexpr int kSize = 90;
constexpr int kNumber = 0;      // uint8
constexpr int kLabel = 1;       // char[3]
constexpr int kLabelLength = 3;
constexpr int kEnabled = 8;     // uint8
constexpr int kX = 9;           // float32, then Y at 13 and Z at 17
constexpr int kFactor1 = 21;    // float32, then Factor2 at 25, Factor3 at 29
constexpr int kSensorType = 59; // uint8: non-zero accelerometer, zero velocity
}  // namespace record

static_assert(v26::kChannelTable + v26::kMaxChannels * record::kSize == v26::kActivityTable);

// MBJ files: one 8192-byte header with arrays of 64 entries per channel.
namespace mbj {
constexpr int kHeaderSize = 8192;
constexpr int kMaxChannels = 64;
constexpr int kHeaderBytes = 34;   // uint16: samples begin there
constexpr int kHour = 40;          // uint8
constexpr int kMinute = 41;        // uint8
constexpr int kSecond = 42;        // uint8
constexpr int kMillisecond = 43;   // uint16
constexpr int kYear = 45;          // uint16
constexpr int kDay = 47;           // uint8
constexpr int kMonth = 48;         // uint8
constexpr int kSamplingRate = 49;  // double
constexpr int kChannelCount = 57;  // uint8
constexpr int kHeaderScale = 58;   // uint16
constexpr int kX = 316;            // double[64]
constexpr int kY = 828;            // double[64]
constexpr int kZ = 1340;           // double[64]
constexpr int kSensorType = 1852;  // char[64]
constexpr int kComponent = 1916;   // char[64]
constexpr int kFactor1 = 1980;     // double[64]
constexpr int kFactor2 = 2492;     // double[64]
constexpr int kFactor3 = 3004;     // double[64]
constexpr int kName = 6076;        // char[8][64]
constexpr int kNameLength = 8;
}  // namespace mbj

enum class Layout { None, MBI32, MIN32, V26, MBJ };

// One row of the identifier table: a file with this extension whose first
// `length` characters equal those of `identifier` has this code and name.
struct Identifier {
    std::string_view extension;
    std::string_view identifier;
    int length;
    std::string_view formatName;
    int formatCode;
    Layout layout;
};

// In the order identification tests them. Codes 5 and 14 to 17 are read with
// the layout of their family (same identifier forms as codes 4 and 6, and 7
// and 10 to 13): their files are of the same kind.
constexpr std::array<Identifier, 18> kIdentifiers{{
    {".mbj", "M.ZENTAR_ELOGOR-C64_v1.0_RUDNA", 30, "KGHM-MBJ64-Rudna-v1.0", 7, Layout::MBJ},
    {".mbj", "M.ZENTAR_ELOGOR-C32_v1.0_POLKO", 30, "KGHM-MBJ64-Polkowice-v1.0", 10, Layout::MBJ},
    {".mbj", "M.ZENTAR_ELOGOR-C64_v1.0_LUBIN", 30, "KGHM-MBJ64-Lubin-v1.0", 11, Layout::MBJ},
    {".mbj", "M.ZENTAR_ELOGOR-C64_v1.1_RUDNA", 30, "KGHM-MBJ64-Rudna-v1.1", 12, Layout::MBJ},
    {".mbj", "M.ZENTAR_ELOGOR-C64_v1.1_LUBIN", 30, "KGHM-MBJ64-Lubin-v1.1", 16, Layout::MBJ},
    {".mbj", "M.ZENTAR_ELOGOR-C64_v1.1_POLKO", 30, "KGHM-MBJ64-Polkowice-v1.1", 17, Layout::MBJ},
    {".mbj", "M.ZENTAR_ELOGOR-C64_v1.2_LUBIN", 30, "KGHM-MBJ64-Lubin-v1.2", 13, Layout::MBJ},
    {".mbj", "M.ZENTAR_ELOGOR-C64_v1.2_RUDNA", 30, "KGHM-MBJ64-Rudna-v1.2", 14, Layout::MBJ},
    {".mbj", "M.ZENTAR_ELOGOR-C64_v1.2_POLKO", 30, "KGHM-MBJ64-Polkowice-v1.2", 15, Layout::MBJ},
    {".mbi", "CONVERT_KRAW_v2.0_RUDNA-------", 23, "KGHM-MBI32-Rudna", 1, Layout::MBI32},
    {".mbi", "CONVERT_KRAW_v2.0_LUBIN-------", 23, "KGHM-MBI32-Lubin", 2, Layout::MBI32},
    {".mbi", "CONVERT_KRAW_v2.0_POLKOWICE---", 23, "KGHM-MBI32-Polkowice", 3, Layout::MBI32},
    {".mbi", "CONVERT_KRAW_v2.6_POLSIER_2---", 27, "KGHM-MBI64-Polkowice/Sieroszowice", 9, Layout::V26},
    {".mbi", "M.ZENTAR_ELOGOR-C32_v1.0_RUDNA", 30, "KGHM-MBI32-Rudna(Simplified)", 1, Layout::MBI32},
    {".min", "CONVERT_KRAW_v2.0_RUDNA-------", 23, "KGHM-MIN32-Rudna", 5, Layout::MIN32},
    {".min", "CONVERT_KRAW_v2.0_LUBIN-------", 23, "KGHM-MIN32-Lubin", 4, Layout::MIN32},
    {".min", "CONVERT_KRAW_v2.0_POLKOWICE---", 23, "KGHM-MIN32-Polkowice", 6, Layout::MIN32},
    {".min", "CONVERT_KRAW_v2.6_POLSIER_2---", 27, "KGHM-MIN64-Polkowice/Sieroszowice", 8, Layout::V26},
}};

// Little-endian values at a byte offset; the caller guarantees the bytes.
template <typename T>
T GetLE(const unsigned char* bytes, int offset) {
    unsigned char raw[sizeof(T)];
    for (std::size_t i = 0; i < sizeof(T); ++i) raw[i] = bytes[offset + static_cast<int>(i)];
    if constexpr (std::endian::native == std::endian::big)
        for (std::size_t i = 0; i < sizeof(T) / 2; ++i) std::swap(raw[i], raw[sizeof(T) - 1 - i]);
    T value;
    std::memcpy(&value, raw, sizeof(T));
    return value;
}

template <typename T>
void PutLE(unsigned char* bytes, int offset, T value) {
    unsigned char raw[sizeof(T)];
    std::memcpy(raw, &value, sizeof(T));
    if constexpr (std::endian::native == std::endian::big)
        for (std::size_t i = 0; i < sizeof(T) / 2; ++i) std::swap(raw[i], raw[sizeof(T) - 1 - i]);
    for (std::size_t i = 0; i < sizeof(T); ++i) bytes[offset + static_cast<int>(i)] = raw[i];
}

}  // namespace Quarnet::lgom
