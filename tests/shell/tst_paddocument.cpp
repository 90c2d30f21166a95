#include <QDir>
#include <QFileInfo>
#include <QTextDocument>
#include <QtTest>
#include <cstring>

#include "gui_fixture.h"
#include "shell/charset.h"
#include "shell/pad_document.h"
#include "shell/safe_save.h"

using guitest::ReadFile;
using guitest::WriteFile;

namespace {

// A side file as the program writes it: little-endian fields at fixed offsets.
QByteArray SideFile(quint32 method, qint32 tolerance, quint32 maxIterations) {
    QByteArray b(72, '\0');
    auto put32 = [&](int at, quint32 v) {
        for (int i = 0; i < 4; ++i) b[at + i] = char((v >> (8 * i)) & 0xff);
    };
    auto put64 = [&](int at, double d) {
        quint64 bits;
        std::memcpy(&bits, &d, 8);
        for (int i = 0; i < 8; ++i) b[at + i] = char((bits >> (8 * i)) & 0xff);
    };
    put32(0, 0x00020000);
    put32(4, method);
    put32(8, 1);
    put32(12, 1);
    put32(16, 0);
    put32(20, 0);
    put64(24, 0.5);
    put64(32, 0.25);
    put64(40, -2.0);
    put64(48, 7.0);
    put32(56, maxIterations);
    put32(60, quint32(tolerance));
    put32(64, 33);
    put32(68, 2);
    return b;
}

}  // namespace

// An equation document and its side files on disk.
class tst_PadDocument : public QObject {
    Q_OBJECT
   private slots:
    void init();
    void sideFileMessages_data();
    void sideFileMessages();
    void sideFileIsWrittenBesideTheBaseName_data();
    void sideFileIsWrittenBesideTheBaseName();
    void savedSettingsReadBack();
    void everyByteOfTheTextSurvivesOpenAndSave();
    void lineEndsOfTheFileAreKept();
    void failedSaveLeavesTheOldFile();
    void sideFileThatCannotBeCreatedStillSavesTheText();
    void characterWithoutByteIsNotSaved();
    void staleWorkFilesGoOnOpenAndClose();
    void workFileNamesAreNeitherOpenedNorSaved();

   private:
    QString path(const QString& name) const { return dir_->filePath(name); }
    std::unique_ptr<QTemporaryDir> dir_;
};

void tst_PadDocument::init() {
    dir_ = std::make_unique<QTemporaryDir>();
}

void tst_PadDocument::sideFileMessages_data() {
    QTest::addColumn<QByteArray>("sideFile");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<int>("method");
    QTest::addColumn<int>("maxIterations");
    QTest::newRow("complete") << SideFile(1, -6, 40) << QStringList{} << 1 << 40;
    QTest::newRow("no side file") << QByteArray() << QStringList{} << 0 << 10;
    // 40 bytes hold the fields up to delta T; the iteration limit comes later and keeps its
    // default.
    QTest::newRow("short file") << SideFile(2, -6, 40).left(40)
                                << QStringList{"Incorect File Format"} << 2 << 10;
    // A field out of its range keeps its default; the fields after it are still read.
    QTest::newRow("method out of range")
        << SideFile(9, -6, 40) << QStringList{"Bad File Format"} << 0 << 40;
}

void tst_PadDocument::sideFileMessages() {
    QFETCH(QByteArray, sideFile);
    QFETCH(QStringList, messages);
    QFETCH(int, method);
    QFETCH(int, maxIterations);
    WriteFile(path("model.alg"), "x = 1;\n");
    if (!sideFile.isEmpty()) WriteFile(path("model.VDP"), sideFile);
    PadDocument doc;
    QStringList shown;
    QString error;
    QVERIFY(doc.Open(path("model.alg"), &error, &shown));
    QCOMPARE(shown, messages);
    QCOMPARE(int(doc.settings.method), method);
    QCOMPARE(int(doc.settings.maxIterations), maxIterations);
    QCOMPARE(doc.text()->toPlainText(), QStringLiteral("x = 1;\n"));
    QVERIFY(!doc.isModified());
}

void tst_PadDocument::sideFileIsWrittenBesideTheBaseName_data() {
    QTest::addColumn<QString>("document");
    QTest::addColumn<QString>("sideFile");
    QTest::newRow("plain") << "model.alg"
                           << "model.VDP";
    QTest::newRow("folder with a dot") << "data.old/model.alg"
                                       << "data.old/model.VDP";
    QTest::newRow("two dots in the name") << "model.v2.alg"
                                          << "model.VDP";
    QTest::newRow("name starting with a dot") << ".alg"
                                              << "";
}

void tst_PadDocument::sideFileIsWrittenBesideTheBaseName() {
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
        const QStringList vdp = QDir(dir_->path()).entryList({"*.VDP"}, QDir::Files | QDir::Hidden);
        QVERIFY2(vdp.isEmpty(), qPrintable(vdp.join(',')));
    } else {
        QCOMPARE(QFileInfo(path(sideFile)).size(), qint64(72));
    }
}

void tst_PadDocument::savedSettingsReadBack() {
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

void tst_PadDocument::everyByteOfTheTextSurvivesOpenAndSave() {
    QByteArray all;
    for (int b = 1; b < 256; ++b) {
        if (b != '\r' && b != '\n') all.append(char(b));
    }
    all.append('\n');
    WriteFile(path("bytes.alg"), all);
    PadDocument doc;
    QString error;
    QVERIFY(doc.Open(path("bytes.alg"), &error, nullptr));
    QVERIFY(doc.Save(path("bytes.alg"), &error, nullptr));
    QCOMPARE(ReadFile(path("bytes.alg")), all);
}

void tst_PadDocument::lineEndsOfTheFileAreKept() {
    const QByteArray crlf = "x = 1;\r\ny = 2;\r\n";
    WriteFile(path("dos.alg"), crlf);
    PadDocument doc;
    QString error;
    QVERIFY(doc.Open(path("dos.alg"), &error, nullptr));
    QCOMPARE(doc.text()->toPlainText(), QStringLiteral("x = 1;\ny = 2;\n"));
    QVERIFY(doc.Save(path("dos.alg"), &error, nullptr));
    QCOMPARE(ReadFile(path("dos.alg")), crlf);
}

void tst_PadDocument::failedSaveLeavesTheOldFile() {
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

void tst_PadDocument::sideFileThatCannotBeCreatedStillSavesTheText() {
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

void tst_PadDocument::characterWithoutByteIsNotSaved() {
    WriteFile(path("k.alg"), "before\n");
    PadDocument doc;
    doc.text()->setPlainText(QStringLiteral("\u03BA = 1;"));  // kappa has no byte
    QString error;
    QVERIFY(!doc.Save(path("k.alg"), &error, nullptr));
    QVERIFY(error.contains(QStringLiteral("\u03BA")));
    QCOMPARE(ReadFile(path("k.alg")), QByteArray("before\n"));
}

void tst_PadDocument::staleWorkFilesGoOnOpenAndClose() {
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
// would delete it as a stale work file: both open and save refuse such a name and touch nothing.
void tst_PadDocument::workFileNamesAreNeitherOpenedNorSaved() {
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

QTEST_MAIN(tst_PadDocument)
#include "tst_paddocument.moc"
