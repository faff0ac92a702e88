// The product's identity as the environment sees it: the names its
// directories and system macros are built from. The tool's banner and version
// text are built from the same constants.
#pragma once

namespace rw::product {

inline constexpr const char* kProductName = "Larkspan for ARM";
inline constexpr const char* kProductFamilyName = "Larkspan";
inline constexpr const char* kEnvironmentName = "Pellworth";
inline constexpr const char* kCompanyName = "Brackwater Associates Limited";
inline constexpr const char* kVersionPrefix = "4.";
inline constexpr int kMajorVersion = 4;
inline constexpr const char* kMinorVersion = "0";
inline constexpr const char* kPatchLevel = "2";
inline constexpr const char* kBuildNumber = "2017071703";
inline constexpr const char* kRevision = "32809";
inline constexpr const char* kTargetArchitecture = "ARM";
// The identifier number of the ARM target, as the system macro TargetID shows it.
inline constexpr int kTargetId = 8;

}  // namespace rw::product
