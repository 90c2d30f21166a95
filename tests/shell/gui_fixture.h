#pragma once

// Shared set-up of the desktop application's tests: a scratch profile per test program, files
// written byte for byte, data rows read from files, the check that no window outlives a test,
// and an application (with or without its main window) whose dialogs and questions the test
// answers instead of a user.

#include <QAction>
#include <QApplication>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>
#include <algorithm>
#include <functional>
#include <memory>

#include "shell/core_runner.h"
#include "shell/document_manager.h"
#include "shell/equation_app.h"
#include "shell/main_frame.h"
#include "shell/output_window.h"
#include "shell/pad_view.h"
#include "shell/run_controller.h"

namespace guitest {

// Gives the program its own profile (an INI file in a temporary folder), so the user's
// settings are neither read nor changed.
inline void UseScratchProfile(const char* program) {
    static QTemporaryDir dir;
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.path() + "/profile");
    QCoreApplication::setOrganizationName(QStringLiteral("ValdrixTest"));
    QCoreApplication::setApplicationName(QLatin1String(program));
}

inline QString WriteFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return {};
    f.write(bytes);
    return path;
}

inline QByteArray ReadFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

// Visible top-level windows left behind by a test are a leak of the code under test.
inline QStringList VisibleTopLevels() {
    QStringList names;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible())
            names.append(QString::fromLatin1(w->metaObject()->className()) + ":" + w->objectName());
    }
    return names;
}

// The rows of a data-driven test, read from tests/data/shell/<table>: a row a line, its name
// and its cells separated by " | " (a cell keeps any further blanks), a backslash before n, r or
// t standing for a line feed, a carriage return or a tab; lines starting with '#' are notes.
// Every column is a QString.
inline void RowsFrom(const char* table, std::initializer_list<const char*> columns) {
    for (const char* column : columns) QTest::addColumn<QString>(column);
    const QString text =
        QString::fromUtf8(ReadFile(QStringLiteral(VALDRIX_SHELL_DATA "/") + table));
    if (text.isEmpty()) qFatal("no table %s", table);
    for (const QString& line : text.split(u'\n', Qt::SkipEmptyParts)) {
        if (line.startsWith(u'#')) continue;
        QStringList cells = line.split(u'|');
        if (cells.size() != qsizetype(columns.size()) + 1)
            qFatal("%s: %s", table, qPrintable(line));
        QTestData& row = QTest::newRow(qPrintable(cells.takeFirst().trimmed()));
        for (QString cell : cells) {
            if (cell.startsWith(u' ')) cell.remove(0, 1);
            if (cell.endsWith(u' ')) cell.chop(1);
            row << cell.replace(QLatin1String("\\n"), QLatin1String("\n"))
                       .replace(QLatin1String("\\r"), QLatin1String("\r"))
                       .replace(QLatin1String("\\t"), QLatin1String("\t"));
        }
    }
}

// A variable's number in the list the Graph Generation dialog is given, counted from 1.
inline int VariableNumber(const std::vector<std::string>& names, const char* name) {
    return int(std::find(names.begin(), names.end(), name) - names.begin()) + 1;
}

// A fresh temporary folder for each test that calls NewDir.
class DirTest : public QObject {
   protected:
    void NewDir() { dir_ = std::make_unique<QTemporaryDir>(); }
    QString path(const QString& name) const { return dir_->filePath(name); }

    std::unique_ptr<QTemporaryDir> dir_;
};

// A fresh application for each test, whose questions the test answers instead of a user:
// messages are collected, file choosers return the queued answers and keep the titles they were
// asked with, questions get closeAnswer_, and a dialog runs answer_ (or is rejected).
class AppTest : public DirTest {
   protected:
    void StartApp() {
        UseScratchProfile(metaObject()->className());
        NewDir();
        app_ = std::make_unique<EquationApp>();
        messages_.clear();
        icons_.clear();
        saveAnswers_.clear();
        saveTitles_.clear();
        closeAnswer_ = QMessageBox::No;
        answer_ = nullptr;
        app_->messageHook = [this](const QString& text, QMessageBox::Icon icon) {
            messages_ << text;
            icons_ << icon;
        };
        app_->saveFileHook = [this](const QString& title, const QString&) {
            saveTitles_ << title;
            return saveAnswers_.isEmpty() ? QString() : saveAnswers_.takeFirst();
        };
        app_->openFileHook = [](const QString&, const QString&) { return QString(); };
        app_->questionHook = [this](const QString&) { return closeAnswer_; };
        app_->execHook = [this](QDialog& d) {
            if (!answer_) return int(QDialog::Rejected);
            answer_(d);
            return d.result();
        };
    }
    void StopApp() {
        app_.reset();
        QCOMPARE(VisibleTopLevels(), QStringList());
    }
    std::unique_ptr<EquationApp> app_;
    QStringList messages_;
    QList<QMessageBox::Icon> icons_;
    QStringList saveAnswers_;
    QStringList saveTitles_;
    QMessageBox::StandardButton closeAnswer_ = QMessageBox::No;
    std::function<void(QDialog&)> answer_;
};

// A main window over a fresh application for each test.
class FrameTest : public AppTest {
   protected:
    void StartFrame() {
        StartApp();
        frame_ = std::make_unique<MainFrame>(*app_);
        frame_->resize(1000, 700);
        frame_->show();
    }
    void StopFrame() {
        QVERIFY(waitForRun());
        frame_.reset();
        StopApp();
    }

    QAction* action(const char* name) const {
        auto* a = frame_->findChild<QAction*>(QLatin1String(name));
        if (a == nullptr) qFatal("no action %s", name);
        return a;
    }
    DocumentManager& docs() const { return frame_->documents(); }
    PadView* openDocument(const QString& name, const QByteArray& text) {
        return docs().OpenDocument(WriteFile(path(name), text));
    }
    // A new document showing `text`, with the caret at `caret` and the focus.
    PadView* editor(const QString& text, int caret) {
        PadView* view = docs().NewDocument();
        view->setPlainText(text);
        QTextCursor c = view->textCursor();
        c.setPosition(caret);
        view->setTextCursor(c);
        view->setFocus();
        return view;
    }
    bool solve(PadView* view) { return frame_->runs().Solve(view); }
    // The Graph Generation dialog's answer: `variable` from `from` to `to` in `intervals`
    // steps; no intervals, and the dialog is cancelled.
    void answerSweep(const char* variable, double from, double to, int intervals) {
        app_->runner().dialogs().graphGeneration =
            [=](QWidget*, const std::vector<std::string>& names, SweepChoice& choice) {
                choice.variable = VariableNumber(names, variable);
                choice.from = from;
                choice.to = to;
                choice.intervals = intervals;
                return intervals > 0;
            };
    }
    bool waitForRun() {
        return QTest::qWaitFor([this] { return !app_->runner().busy(); }, 120000);
    }

    std::unique_ptr<MainFrame> frame_;
};

}  // namespace guitest
