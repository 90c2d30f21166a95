#include <QFileInfo>
#include <QTextDocument>
#include <QtEndian>
#include <bit>

#include "gui_fixture.h"
#include "shell/pad_document.h"
#include "shell/safe_save.h"

using guitest::ReadFile;
using guitest::Row;
using guitest::WriteFile;

namespace {

// A side file as the program writes it: little-endian fields at fixed offsets.
QByteArray SideFile(quint32 method, qint32 tolerance, quint32 maxIterations) {
    QByteArray b(72, '\0');
    const quint32 head[] = {0x00020000, method, 1, 1, 0, 0};
    for (int i = 0; i < 6; ++i) qToLittleEndian(head[i], b.data() + 4 * i);
    const double reals[] = {0.5, 0.25, -2.0, 7.0};
    for (int i = 0; i < 4; ++i)
        qToLittleEndian(std::bit_cast<quint64>(reals[i]), b.data() + 24 + 8 * i);
    const quint32 tail[] = {maxIterations, quint32(tolerance), 33, 2};
    for (int i = 0; i < 4; ++i) qToLittleEndian(tail[i], b.data() + 56 + 4 * i);
    return b;
}

}  // namespace

// An equation document and its side files on disk.
class tst_PadDocument : public QObject {
    Q_OBJECT
   private slots:
    void init() { dir_ = std::make_unique<QTemporaryDir>(); }

    void sideFileMessages_data() {
        guitest::Columns<QByteArray, QStringList, int, int>("sideFile", "messages", "method",
                                                            "maxIterations");
        Row("complete", SideFile(1, -6, 40), QStringList{}, 1, 40);
        Row("no side file", QByteArray(), QStringList{}, 0, 10);
        // 40 bytes hold the fields up to delta T; the iteration limit comes later and keeps its
        // default.
        Row("short file", SideFile(2, -6, 40).left(40), QStringList{"Incorect File Format"}, 2, 10);
        // A field out of its range keeps its default; the fields after it are still read.
        Row("method out of range", SideFile(9, -6, 40), QStringList{"Bad File Format"}, 0, 40);
    }

    void sideFileMessages() {
        QFETCH(QByteArray, sideFile);
        QFETCH(int, method);
        QFETCH(int, maxIterations);
        WriteFile(path("model.alg"), "x = 1;\n");
        if (!sideFile.isEmpty()) WriteFile(path("model.VDP"), sideFile);
        PadDocument doc;
        QStringList shown;
        QString error;
        QVERIFY(doc.Open(path("model.alg"), &error, &shown));
        QTEST(shown, "messages");
        QCOMPARE(int(doc.settings.method), method);
        QCOMPARE(int(doc.settings.maxIterations), maxIterations);
        QCOMPARE(doc.text()->toPlainText(), QStringLiteral("x = 1;\n"));
        QVERIFY(!doc.isModified());
    }

    void sideFileIsWrittenBesideTheBaseName_data() {
        guitest::Columns<QString, QString>("document", "sideFile");
        Row("plain", "model.alg", "model.VDP");
        Row("folder with a dot", "data.old/model.alg", "data.old/model.VDP");
        Row("two dots in the name", "model.v2.alg", "model.VDP");
        Row("name starting with a dot", ".alg", "");
    }

    void sideFileIsWrittenBesideTheBaseName() {
        QFETCH(QString, document);
        QFETCH(QString, sideFile);
        QDir(dir_->path()).mkpath(QStringLiteral("data.old"));
        PadDocument doc;
        doc.text()->setPlainText(QStringLiteral("x = 1;"));
        QString error;
        QStringList messages;
        QVERIFY(doc.Save(path(document), &error, &messages));
        QVERIFY(messages.isEmpty());
        QCOMPARE(ReadFile(path(document)), QByteArray("x = 1;"));
        if (sideFile.isEmpty()) {
            QVERIFY(doc.baseName().isEmpty());
            const QStringList vdp =
                QDir(dir_->path()).entryList({"*.VDP"}, QDir::Files | QDir::Hidden);
            QVERIFY2(vdp.isEmpty(), qPrintable(vdp.join(',')));
        } else {
            QCOMPARE(QFileInfo(path(sideFile)).size(), qint64(72));
        }
    }

    void savedSettingsReadBack() {
        PadDocument doc;
        doc.text()->setPlainText(QStringLiteral("x = 1;"));
        doc.settings.method = SolveMethod::kHomotopy;
        doc.settings.toleranceExponent = -8;
        doc.settings.deltaT = 0.02;
        doc.setAttachmentPath(path("table.LST"));
        QString error;
        QVERIFY(doc.Save(path("m.alg"), &error, nullptr));
        PadDocument again;
        QVERIFY(again.Open(path("m.alg"), &error, nullptr));
        QCOMPARE(int(again.settings.method), 3);
        QCOMPARE(again.settings.toleranceExponent, -8);
        QCOMPARE(again.settings.deltaT, 0.02);
        QVERIFY(!again.hasAttachment());  // the attachment is not part of the side file
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

    void failedSaveLeavesTheOldFile() {
        WriteFile(path("keep.alg"), "old text\n");
        PadDocument doc;
        QString error;
        QVERIFY(doc.Open(path("keep.alg"), &error, nullptr));
        doc.text()->setPlainText(QStringLiteral("new text\n"));
        // A folder where the temporary file must go makes the write fail, even for root.
        QVERIFY(QDir(dir_->path()).mkdir(QFileInfo(SafeSaveTempName(path("keep.alg"))).fileName()));
        QVERIFY(!doc.Save(path("keep.alg"), &error, nullptr));
        QVERIFY(error.contains(QStringLiteral("unchanged")));
        QCOMPARE(ReadFile(path("keep.alg")), QByteArray("old text\n"));
        QVERIFY(doc.isModified());
    }

    void sideFileThatCannotBeCreatedStillSavesTheText() {
        QDir(dir_->path()).mkdir(QStringLiteral("m.VDP.new"));
        PadDocument doc;
        doc.text()->setPlainText(QStringLiteral("x = 2;"));
        QString error;
        QStringList messages;
        QVERIFY(doc.Save(path("m.alg"), &error, &messages));
        QCOMPARE(messages, QStringList{"Nesto nije u redu"});
        QCOMPARE(ReadFile(path("m.alg")), QByteArray("x = 2;"));
        QVERIFY(!doc.isModified());
    }

    void characterWithoutByteIsNotSaved() {
        WriteFile(path("k.alg"), "before\n");
        PadDocument doc;
        doc.text()->setPlainText(QStringLiteral("\u03BA = 1;"));  // kappa has no byte
        QString error;
        QVERIFY(!doc.Save(path("k.alg"), &error, nullptr));
        QVERIFY(error.contains(QStringLiteral("\u03BA")));
        QCOMPARE(ReadFile(path("k.alg")), QByteArray("before\n"));
    }

    void staleWorkFilesGoOnOpenAndClose() {
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
    }

    // A document named like a file its runs write would be emptied by its own run, and opening it
    // would delete it as a stale work file: both open and save refuse such a name and touch
    // nothing.
    void workFileNamesAreNeitherOpenedNorSaved() {
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

   private:
    QString path(const QString& name) const { return dir_->filePath(name); }
    std::unique_ptr<QTemporaryDir> dir_;
};

QTEST_MAIN(tst_PadDocument)
#include "tst_paddocument.moc"
