#pragma once
// The program's name and version: plain constants, so that the executable answers
// --version without any library beyond the C++ runtime.

namespace typeloom::app {

inline constexpr char kAppTitle[] = "Typeloom";
inline constexpr int kVersionMajor = 1;
inline constexpr int kVersionMinor = 4;

}  // namespace typeloom::app
