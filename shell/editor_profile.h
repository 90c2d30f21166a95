#pragma once

#include <memory>

#include "shell/editor_settings.h"

class QSettings;

// The editor's settings in the application profile, which keeps them as the platform's own
// records did: colours as numbers with red in the low byte, fonts as a height (0 for "not
// chosen", negative for the characters' height in pixels, positive for the whole cell's), a
// weight, italic, underline, pitch and family, character set and a face name of at most 31
// characters. Only this module knows those forms. It keeps what it read, so that at exit only
// the values that changed are written back, and a value that did not change keeps the form it
// was stored in.
class EditorProfile {
   public:
    EditorProfile();
    ~EditorProfile();
    EditorProfile(const EditorProfile&) = delete;
    EditorProfile& operator=(const EditorProfile&) = delete;

    // A value the profile lacks, or one the editor does not allow (edited by hand), keeps its
    // default.
    EditorSettings Read(QSettings& profile);
    void Write(QSettings& profile, const EditorSettings& settings) const;

   private:
    struct Stored;
    struct AsRead;
    std::unique_ptr<AsRead> read_;
};
