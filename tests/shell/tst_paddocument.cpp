#include <QFileInfo>
#include <QTextDocument>

#include "gui_fixture.h"
#include "shell/pad_document.h"
#include "shell/safe_save.h"

using guitest::ReadFile;
using guitest::WriteFile;

// An equation document and its side files on disk.
class tst_PadDocument : public guitest::DirTest {
    Q_OBJECT
   private slots:
    void init() { NewDir(); }

    // How the side file is laid out, read and named is the core's; the document writes it
    // beside its base name, none where the name has no base, and reads it back on open.
    void savedSettingsReadBack() {
        PadDocument doc;
        doc.text()->setPlainText(QStringLiteral("x = 1;"));
        doc.settings.method = SolveMethod::kHomotopy;
        doc.settings.toleranceExponent = -8;
        doc.settings.deltaT = 0.02;
        doc.setAttachmentPath(path("table.LST"));
        QString error;
        QStringList messages;
        QVERIFY(doc.Save(path("m.alg"), &error, &messages));
        QVERIFY(messages.isEmpty());
        QCOMPARE(ReadFile(path("m.alg")), QByteArray("x = 1;"));
        QCOMPARE(QFileInfo(path("m.VDP")).size(), qint64(72));
        PadDocument again;
        QVERIFY(again.Open(path("m.alg"), &error, &messages));
        QVERIFY(messages.isEmpty());
        QCOMPARE(int(again.settings.method), 3);
        QCOMPARE(again.settings.toleranceExponent, -8);
        QCOMPARE(again.settings.deltaT, 0.02);
        QVERIFY(!again.hasAttachment());  // the attachment is not part of the side file

        // The core's verdict on a damaged side file reaches the messages as its own words.
        QByteArray side = ReadFile(path("m.VDP"));
        side[4] = 9;  // the method, out of its range
        WriteFile(path("m.VDP"), side);
        PadDocument damaged;
        QVERIFY(damaged.Open(path("m.alg"), &error, &messages));
        QCOMPARE(messages, QStringList{"Bad File Format"});

        PadDocument unnamed;
        QVERIFY(unnamed.Save(path(".alg"), &error, nullptr));
        QVERIFY(unnamed.baseName().isEmpty());
        QCOMPARE(QDir(dir_->path()).entryList({"*.VDP"}, QDir::Files | QDir::Hidden),
                 QStringList{"m.VDP"});
    }

    // Every byte but the line ends survives open and save, and so do line ends of another system.
    void bytesAndLineEndsSurviveOpenAndSave() {
        QByteArray all;
        for (int b = 1; b < 256; ++b) {
            if (b != '\r' && b != '\n') all.append(char(b));
        }
        all.append('\n');
        const QByteArray crlf = "x = 1;\r\ny = 2;\r\n";
        for (const QByteArray& text : {all, crlf}) {
            WriteFile(path("t.alg"), text);
            PadDocument doc;
            QString error;
            QVERIFY(doc.Open(path("t.alg"), &error, nullptr));
            if (text == crlf)
                QCOMPARE(doc.text()->toPlainText(), QStringLiteral("x = 1;\ny = 2;\n"));
            QVERIFY(doc.Save(path("t.alg"), &error, nullptr));
            QCOMPARE(ReadFile(path("t.alg")), text);
        }
    }

    // A save that cannot write the text leaves the old file and says why; a side file that
    // cannot be created is reported, and the text is saved all the same.
    void failedSavesLeaveTheOldFile() {
        WriteFile(path("keep.alg"), "old text\n");
        PadDocument doc;
        QString error;
        QStringList messages;
        QVERIFY(doc.Open(path("keep.alg"), &error, nullptr));
        doc.text()->setPlainText(QStringLiteral("\u03BA = 1;"));  // kappa has no byte
        QVERIFY(!doc.Save(path("keep.alg"), &error, nullptr));
        QVERIFY(error.contains(QStringLiteral("\u03BA")));
        QCOMPARE(ReadFile(path("keep.alg")), QByteArray("old text\n"));

        doc.text()->setPlainText(QStringLiteral("new text\n"));
        // A folder where the temporary file must go makes the write fail, even for root.
        QVERIFY(QDir(dir_->path()).mkdir(QFileInfo(SafeSaveTempName(path("keep.alg"))).fileName()));
        QVERIFY(!doc.Save(path("keep.alg"), &error, nullptr));
        QVERIFY(error.contains(QStringLiteral("unchanged")));
        QCOMPARE(ReadFile(path("keep.alg")), QByteArray("old text\n"));
        QVERIFY(doc.isModified());

        QDir(dir_->path()).mkdir(QStringLiteral("m.VDP.new"));
        QVERIFY(doc.Save(path("m.alg"), &error, &messages));
        QCOMPARE(messages, QStringList{"Nesto nije u redu"});
        QCOMPARE(ReadFile(path("m.alg")), QByteArray("new text\n"));
        QVERIFY(!doc.isModified());
    }

    void workFilesGoAndTheirNamesAreRefused() {
        const QStringList stale = {"w.SJC", "w.TMP", "w.KTK", "w.JAC"};
        WriteFile(path("w.alg"), "x = 1;\n");
        WriteFile(path("w.PRN"), "x\n1\n");
        for (const QString& f : stale) WriteFile(path(f), "old");
        {
            PadDocument doc;
            QString error;
            QVERIFY(doc.Open(path("w.alg"), &error, nullptr));
            for (const QString& f : stale) QVERIFY2(!QFile::exists(path(f)), qPrintable(f));
            for (const QString& f : stale) WriteFile(path(f), "from a run");
        }
        for (const QString& f : stale) QVERIFY2(!QFile::exists(path(f)), qPrintable(f));
        QVERIFY(QFile::exists(path("w.PRN")));  // results stay

        // A document named like a file its runs write would be emptied by its own run, and
        // opening it would delete it as a stale work file: both open and save refuse such a name
        // and touch nothing.
        for (const char* name : {"model.PRN", "model.tmp", "model.Jac", "model.FFT", "model.VDP",
                                 "model.SJC", "model.KTK", "model.UPD"}) {
            const QByteArray original = "x = 1;\n";
            WriteFile(path(name), original);
            PadDocument doc;
            QString error;
            QVERIFY2(!doc.Open(path(name), &error, nullptr), name);
            QVERIFY2(error.contains(QLatin1String("cannot be an equation document")), name);
            QCOMPARE(ReadFile(path(name)), original);

            doc.text()->setPlainText(QStringLiteral("y = 2;\n"));
            error.clear();
            QVERIFY2(!doc.Save(path(name), &error, nullptr), name);
            QVERIFY(!error.isEmpty());
            QCOMPARE(ReadFile(path(name)), original);
        }
        // The same letters elsewhere in the name are no work file.
        WriteFile(path("PRN.alg"), "x = 1;\n");
        PadDocument doc;
        QString error;
        QVERIFY2(doc.Open(path("PRN.alg"), &error, nullptr), qPrintable(error));
    }
};

QTEST_MAIN(tst_PadDocument)
#include "tst_paddocument.moc"
