// The program's name and version as it shows them and writes them into files.
#pragma once

namespace dyma {

inline constexpr char kProductDisplay[] = "WinDYMA 1.5.0";
inline constexpr char kVersionString[] = "1.5.0";
inline constexpr char kShortName[] = "WinDYMA";
inline constexpr char kApplicationTitle[] = "WinDyma";
inline constexpr int kMajorVersion = 1;
inline constexpr int kMinorVersion = 5;
inline constexpr int kRelease = 0;

}  // namespace dyma
