#pragma once

// Extensions of the run's files, added to the document's base name.
namespace extension {
inline constexpr const char* kWork = ".TMP";
inline constexpr const char* kResult = ".PRN";
inline constexpr const char* kJacobian = ".JAC";
inline constexpr const char* kFft = ".FFT";
inline constexpr const char* kSettings = ".VDP";
inline constexpr const char* kSymbolic = ".SJC";
inline constexpr const char* kConstrained = ".KTK";
inline constexpr const char* kUpdated = ".UPD";
inline constexpr const char* kFit = ".FIT";  // the statistics of a least-squares fit

// Every file a run or the shell writes beside a document, named base name + extension. A
// document named like one of them would be overwritten by its own run.
inline constexpr const char* kWorkFiles[] = {kWork,     kResult,      kJacobian, kFft, kSettings,
                                             kSymbolic, kConstrained, kUpdated,  kFit};

// The files that take the place of the user's own (base.UPD may become the document, the side
// file holds its settings) are written whole under their name + this suffix and then renamed
// over it, so a failed write never leaves half a file. Those temporary names are files the
// run writes as well.
inline constexpr const char* kTemporarySuffix = ".new";
inline constexpr const char* kWrittenWhole[] = {kSettings, kUpdated};
}  // namespace extension
