#pragma once

#include <QDateTime>
#include <QFont>
#include <QString>

#include "shell/editor_settings.h"

class QPrinter;
class QTextDocument;

// A header or footer for one page: the first "&p" becomes the page number and the first "&f"
// the file name, then strftime's time codes are filled in with `time`. A '%' of the file name
// stays a '%'.
QString ExpandPageText(const QString& pattern, int page, const QString& fileName,
                       const QDateTime& time);

// What a print of an equation document needs besides its text.
struct PrintJob {
    PageSetup setup;
    QString fileName;  // the document's path, or its title before the first save
    QDateTime headerTime;
    QDateTime footerTime;
    QFont font;  // sized for the printer
};

// The time a header or footer shows: the file's modification time when asked for and the
// document has a file name with a '.', otherwise now.
QDateTime PageTextTime(int choice, const QString& path);

// Prints `text` with its colours (`coloured` is the document the editor shows, whose highlighter
// formats are carried over) one page after another, with the header above a rule at the top of
// each page and the footer below a rule at the bottom. Returns the number of pages.
int PrintEquationText(const QTextDocument& coloured, QPrinter& printer, const PrintJob& job);
