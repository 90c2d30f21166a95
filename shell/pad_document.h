#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include "graphs/graph_doc.h"
#include "shell/core_bridge.h"
#include "shell/sweep_memory.h"

class QTextDocument;
class QTreeWidgetItem;

// One equation document: the text of a .alg file, its solver options (kept in the .VDP side
// file), its attachment, the base name the core's files are named from, and the graphs opened
// from its results.
class PadDocument : public QObject {
    Q_OBJECT
   public:
    explicit PadDocument(QObject* parent = nullptr);
    ~PadDocument() override;

    QTextDocument* text() const { return text_; }
    GraphList& graphs() { return graphs_; }
    const QString& path() const { return path_; }
    const QString& baseName() const { return baseName_; }
    // The name shown in the window's title: the file name, or "UntitledN" before the first save.
    QString title() const;
    void setUntitledName(const QString& name) { untitledName_ = name; }

    DocumentSettings settings;
    QTreeWidgetItem* node = nullptr;  // this document's node in the Properties tree
    SweepMemory sweepMemory;          // for this session only

    bool isModified() const;
    void setModified(bool modified);
    bool hasAttachment() const { return !settings.attachmentPath.empty(); }
    QString attachmentPath() const;
    void setAttachmentPath(const QString& path);

    // Loads the text and, when the path has a base name, deletes the stale work files of an
    // earlier run and reads the side file. Messages the user must see go to *messages; the
    // open fails (with *error) only when the text cannot be read.
    bool Open(const QString& path, QString* error, QStringList* messages);
    // Saves the text safely, then the side file. Fails (with *error, the old file untouched)
    // only when the text could not be written; side-file trouble goes to *messages.
    bool Save(const QString& path, QString* error, QStringList* messages);

    // Appends the lines of a file as the editor shows them, each ended by a line feed: a work
    // file the temporary-file viewer converts into a new document.
    void AppendFileLines(const QString& path);

    // The work files of a run (.SJC, .TMP, .KTK, .JAC) are stale once a document is opened
    // again or closed.
    void DeleteStaleFiles() const;

    // The refusal of a name that one of the files the solver writes beside a document would
    // take (model.PRN, model.tmp, ...): a run would overwrite such a document and opening it
    // would delete it as a stale work file. Empty for any other name.
    static QString WorkFileNameError(const QString& path);

   private:
    // True, with the reason in `error`, for a name the solver's own files would take.
    static bool RefuseWorkFileName(const QString& path, QString* error);
    void SetPath(const QString& path);

    QTextDocument* text_;
    GraphList graphs_;
    QString path_;
    QString baseName_;
    QString untitledName_;
    bool crlf_ = false;  // the file's lines end in CR LF; saving keeps them so
};
