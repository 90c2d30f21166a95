#include <QPlainTextDocumentLayout>
#include <QPrinter>
#include <QTextDocument>

#include "gui_fixture.h"
#include "shell/pad_print.h"

using guitest::WriteFile;

// Printed pages of an equation document: the header and footer texts and their times, and the
// pages themselves.
class tst_PadPrint : public guitest::DirTest {
    Q_OBJECT
   private slots:
    void init() { NewDir(); }

    void pageTexts_data() { guitest::RowsFrom("page_texts.txt", {"pattern", "expected"}); }
    void pageTexts() {
        QFETCH(QString, pattern);
        const QDateTime time(QDate(2024, 2, 29), QTime(13, 5));
        QTEST(ExpandPageText(pattern, 3, QStringLiteral("/m/a%d.alg"), time), "expected");
    }

    void pageTimes() {
        const QString saved = WriteFile(path("old.alg"), "x = 1;\n");
        const QDateTime old(QDate(2001, 2, 3), QTime(4, 5, 6));
        {
            QFile f(saved);
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(f.setFileTime(old, QFileDevice::FileModificationTime));
        }
        QCOMPARE(PageTextTime(0, saved), old);
        const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
        // System time, a name without '.', and a file not yet saved all show the time of printing.
        const QString noDot = WriteFile(path("plain"), "x = 1;\n");
        for (const auto& [choice, file] : {std::pair{1, saved}, std::pair{0, noDot},
                                           std::pair{0, QStringLiteral("Untitled1")}}) {
            QVERIFY2(PageTextTime(choice, file) >= before, qPrintable(file));
        }
    }

    void headerAndFooterOnEveryPage() {
        QString text;
        for (int i = 0; i < 150; ++i) text += QStringLiteral("x%1 = %1; {line %1}\n").arg(i);
        QTextDocument document(text);
        document.setDocumentLayout(new QPlainTextDocumentLayout(&document));
        QPrinter printer(QPrinter::ScreenResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path("out.pdf"));
        PrintJob job;
        job.fileName = QStringLiteral("doc.alg");
        job.headerTime = job.footerTime = QDateTime::currentDateTime();
        job.font.setPixelSize(14);
        const int withTexts = PrintEquationText(document, printer, job);
        job.setup.header.clear();
        job.setup.footer.clear();
        printer.setOutputFileName(path("bare.pdf"));
        const int bare = PrintEquationText(document, printer, job);
        QVERIFY2(bare >= 2, qPrintable(QString::number(bare)));
        QVERIFY(withTexts >= bare);  // header and footer take room from the text
        QVERIFY(QFileInfo(path("out.pdf")).size() > 1000);
    }
};

QTEST_MAIN(tst_PadPrint)
#include "tst_padprint.moc"
