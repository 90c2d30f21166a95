#pragma once

// The texts the application shows, in one place.
namespace msg {

inline constexpr char kProgramName[] = "Valdrix";
inline constexpr char kNoPrnFile[] = "There is no PRN file available!!";
inline constexpr char kFileDoesNotExist[] = "File does not exist!!";
inline constexpr char kListFileMustBeAttached[] = "List file must be attached";
inline constexpr char kNotFinished[] = "Not finished...!";
inline constexpr char kVdpCannotCreate[] = "Nesto nije u redu";
inline constexpr char kVdpWriteFailed[] = "Fajl nije korektan";
inline constexpr char kUntitled[] = "Untitled";
inline constexpr char kDocumentFilter[] = "Valdrix Files (*.alg)";
inline constexpr char kAttachmentTitle[] = "Attachment File";
inline constexpr char kAttachmentSaveTitle[] = "Attachment File - Save";
inline constexpr char kAttachmentFilter[] = "Valdrix Attachment Files (*.LST);;All Files (*.*)";
inline constexpr char kAttachmentNoName[] = "NoName";
inline constexpr char kResultsFilter[] = "Result Files (*.PRN);;FFT Files (*.FFT);;All Files (*.*)";
inline constexpr char kTempFilesFilter[] =
    "Symbolic Jacobian Files (*.SJC);;Result Files (*.PRN);;Jacobian Files (*.JAC);;"
    "All Files (*.*)";
inline constexpr char kConvertToMainFile[] = "Convert to Main File";
inline constexpr char kGraphFileFilter[] = "Result Files (*.PRN);;All Files (*.*)";
inline constexpr char kReadCfTitle[] = "Read CF File";
inline constexpr char kCfFilter[] = "Common Format Data Files (*.CF);;All Files (*.*)";
inline constexpr char kNoPrinterContext[] = "Cannot get printer device context.";
inline constexpr char kCopyright[] = "An equation solver for sets of algebraic equations.";

// Our own texts, where a file could not be written or a run is in the way.
inline constexpr char kSaveFailed[] =
    "The document could not be saved to %1 (%2).\n"
    "The file on disk is unchanged.";
inline constexpr char kUnstorableCharacter[] =
    "The character '%1' at position %2 cannot be stored in an equation document.\n"
    "The document was not saved.";
inline constexpr char kOpenFailed[] = "The document %1 could not be opened (%2).";
inline constexpr char kSaveChanges[] = "Save changes to %1?";
inline constexpr char kRunInProgress[] =
    "The solver is still running. Press Cancel or ESC to stop it first.";
inline constexpr char kWorkFileName[] =
    "%1 cannot be an equation document: the solver writes its own %2 file under this name "
    "and would overwrite it. Choose another name.";
inline constexpr char kRowsWritten[] = "%1 rows written to %2";
inline constexpr char kReady[] = "Ready";
inline constexpr char kTextNotFound[] = "Cannot find \"%1\"";
inline constexpr char kNoSolution[] =
    "No solution found: the Output window shows where the solve stopped";
inline constexpr char kFullModelTip[] =
    "Also model transformer taps, phase shifters and bus shunts";
// A field of the Options sheet whose value its option cannot take: the field's label and the
// values allowed.
inline constexpr char kFieldOutOfRange[] = "%1: enter a number %2.";
inline constexpr char kRangeFromTo[] = "from %1 to %2";
inline constexpr char kRangeFrom[] = "from %1 up";
inline constexpr char kRangeAbove[] = "above %1";
inline constexpr char kRangeUpTo[] = "up to %1";
inline constexpr char kAttachmentSaveFailed[] = "The attachment could not be saved to %1 (%2).";
inline constexpr char kAttachmentUnstorable[] =
    "Row %1, column \"%2\" cannot be saved: a value must not be empty while later values "
    "of its line are filled, and must not hold blanks, tabs, ';' or characters an equation "
    "document cannot store.";

}  // namespace msg
