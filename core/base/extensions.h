#pragma once

// Extensions of the run's files, added to the document's base name.
namespace extension {
inline constexpr const char* kWork = ".TMP";
inline constexpr const char* kResult = ".PRN";
inline constexpr const char* kJacobian = ".JAC";
inline constexpr const char* kFft = ".FFT";
inline constexpr const char* kSettings = ".VDP";
inline constexpr const char* kUpdated = ".UPD";
}  // namespace extension
