// Numeric ids of commands, controls, strings, dialogs and pictures.
#pragma once

namespace res {

// Application-wide names
inline constexpr const char* kCompanyKey = "MirevaleStudio";
inline constexpr const char* kApplicationName = "Trendora";

} // namespace res
