// The product's identity: the names the user's directories, the system
// macros and the banner are built from.
#pragma once

namespace rw::product {

inline constexpr const char* kProductName = "Larkspan for ARM";
inline constexpr const char* kCompanyName = "Brackwater Associates Limited";
inline constexpr int kMajorVersion = 4;
// Major, minor and patch level, build number, revision.
inline constexpr const char* kFullVersion = "4.0.2.2017071703.32809";
inline constexpr const char* kTargetArchitecture = "ARM";
// The identifier number of the ARM target, as the system macro TargetID shows it.
inline constexpr int kTargetId = 8;

}  // namespace rw::product
