#include "core/run/entry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "core/data_table.h"
#include "core/document_fixture.h"

namespace fs = std::filesystem;

namespace {

class EntryTest : public DocumentFixture {
   protected:
    long FileCount() const {
        using Walk = fs::recursive_directory_iterator;
        return std::distance(Walk(dir_), Walk());
    }
};

// The banner and the cutting of long lines are the golden cases'.
TEST_F(EntryTest, RefreshReadsTheOptionsLineAndEmptiesOldResults) {
    std::ofstream(dir_ / "doc.PRN") << "old results\n";
    core_.settings.maxGuess = 7.0;
    EXPECT_EQ(Run("{Options: 50 -6}\r\nx = 1;\n", "F"), 0);
    EXPECT_EQ(ReadFile(".TMP"), "x = 1;\n");
    EXPECT_EQ(fs::file_size(dir_ / "doc.PRN"), 0u);
    EXPECT_EQ(core_.settings.maxIterations, 50);
    EXPECT_EQ(core_.settings.toleranceExponent, -6);  // the line end does not spoil the last field
    EXPECT_EQ(core_.settings.maxGuess, 7.0);          // fields the line lacks keep their values
}

TEST_F(EntryTest, HomotopyNeedsAnOptionsLineAndABlankAfterTheBraceMakesText) {
    core_.settings.method = SolveMethod::kHomotopy;
    Run("{ Options: 30}\nx = 1;\n", "F");
    EXPECT_EQ(core_.settings.method, SolveMethod::kRobust);
    EXPECT_EQ(core_.settings.maxIterations, 10);
    EXPECT_EQ(ReadFile(".TMP"), "{ Options: 30}\nx = 1;\n");
    Run("{Options: 20 -4 HOMOTOPY}\nx = 1;\n", "F");
    EXPECT_EQ(core_.settings.method, SolveMethod::kHomotopy);
}

TEST_F(EntryTest, AMissingDocumentIsSaidAndNothingIsWritten) {
    const std::string absent = (dir_ / "absent.alg").string();
    core_.flags.solved = true;
    EXPECT_EQ(SolverEntry(core_, absent.c_str(), "F"), 0);
    EXPECT_NE(out_.find("File " + absent + " Does Not Exist"), std::string::npos) << out_;
    EXPECT_EQ(FileCount(), 0);
}

// Work files are named after the document: a document without an extension, or named like one
// of its own work files (or the temporary name of a write-back), would be written over by its
// own run. It is refused before any file is opened, by a solve, a write-back and a check alike.
TEST_F(EntryTest, DocumentsThatTheirOwnRunWouldOverwriteAreRefusedUntouched) {
    const std::string text = "x = 2;\n";
    for (const char* name : {"model", ".model", "model.PRN", "model.TMP", "model.JAC", "model.FFT",
                             "model.VDP", "model.prn", "model.Tmp", "model.SJC", "model.fit",
                             "doc.UPD.new", "doc.upd.NEW", "doc.VDP.new"}) {
        SCOPED_TRACE(name);
        // Each of these names with an extension is a work file's.
        EXPECT_EQ(IsWorkFileName(name), std::string(name).find('.', 1) != std::string::npos);
        for (const char* command : {"S", "UI"}) {
            core_.flags.solved = true;  // as if another solve of it had succeeded
            EXPECT_EQ(Run(text, command, name), 0);
            const std::string head = "VALDRIX Version 2.00\n" + path_ + "\n";
            EXPECT_EQ(out_.rfind(head, 0), 0u) << out_;
            EXPECT_EQ(out_.find("Initializing Files"), std::string::npos) << out_;
            EXPECT_NE(out_.find(IsWorkFileName(name) ? "work file" : "no extension", head.size()),
                      std::string::npos)
                << out_;
        }
        EXPECT_EQ(CheckDocument(core_, path_.c_str()), 0);
        EXPECT_EQ(scratch_.Get(name), text);
        EXPECT_EQ(FileCount(), 1);  // nothing was created beside it
        fs::remove(path_);
    }
    // Names that merely contain a work file's extension are documents like any other.
    for (const char* name :
         {"model.PRN.alg", "model.alg", "prn.alg", "doc.new", "doc.UPD.new.alg"}) {
        EXPECT_FALSE(IsWorkFileName(name)) << name;
    }
    EXPECT_EQ(Run(text, "S", "model.PRN.alg"), 1) << out_;
}

// A folder in the place of a work file is named, is left alone, and the run is no success.
TEST_F(EntryTest, AFolderInThePlaceOfAWorkFileIsReportedAndLeftAlone) {
    for (const char* extension : {".JAC", ".PRN", ".TMP"}) {
        const fs::path folder = dir_ / (std::string("doc") + extension);
        fs::remove(folder);  // the file an earlier round wrote
        fs::create_directories(folder);
        EXPECT_EQ(Run("x = 3;\n"), 0) << extension;
        const std::string message = "Cannot write " + folder.string() + ": a folder has that name";
        EXPECT_NE(out_.find(message), std::string::npos) << out_;
        EXPECT_EQ(Count("Solution Found!"), 0) << out_;
        EXPECT_FALSE(CommandDone(core_)) << extension;
        EXPECT_TRUE(fs::is_directory(folder)) << extension;
        fs::remove(folder);
    }
    // A check writes the work file of the text as well.
    fs::create_directory(dir_ / "doc.TMP");
    EXPECT_EQ(Check("x = (1;\n"), 0);
    EXPECT_NE(out_.find("doc.TMP: a folder has that name"), std::string::npos) << out_;
}

TEST_F(EntryTest, UnknownCommandsAndChecksKeepTheLastResult) {
    for (bool solved : {true, false}) {
        for (const char* command : {"Z", "", "1S"}) {
            core_.flags.solved = solved;
            EXPECT_EQ(Run("x = 1;\n", command), solved ? 1 : 0) << command;
        }
    }
    EXPECT_EQ(FileCount(), 1);  // nothing was done
    for (bool solved : {true, false}) {
        core_.flags.solved = solved;
        EXPECT_EQ(Check("x = 2;\n"), 1);
        EXPECT_EQ(Check("x = = ;\n"), 0);
        EXPECT_EQ(core_.flags.solved, solved);
    }
}

// The result file is replaced only when a command begins to produce results: a sweep that
// is cancelled in its dialog or refused, a document that does not compile, a check and a
// command that writes no results leave the last table byte for byte. A solve that runs and
// fails still empties it, and so does F.
TEST_F(EntryTest, RefusedOrCancelledCommandsKeepTheLastResults) {
    const std::string document = "y = x^2 + a;\na = 1;\n";
    DefaultShellServices& shell = core_.defaultShell;
    shell.sweepVariable = "x";
    shell.sweep.from = 0.0;
    shell.sweep.to = 1.0;
    shell.sweep.intervals = 3;
    ASSERT_EQ(Run(document, "G"), 1) << out_;
    const std::string table = ReadFile(".PRN");
    ASSERT_EQ(std::count(table.begin(), table.end(), '\n'), 5) << table;

    struct Case {
        const char* what;
        std::string text;
        const char* command;
        std::function<void()> arrange;
    };
    const SweepChoice answer = shell.sweep;
    const Case cases[] = {
        {"cancelled dialog", document, "G", [&] { shell.sweepCancelled = true; }},
        {"unknown variable", document, "G", [&] { shell.sweepVariable = "zz"; }},
        {"too many steps", document, "G", [&] { shell.sweep.intervals = 2000000; }},
        {"no steps", document, "G", [&] { shell.sweep.intervals = 0; }},
        {"nan range", document, "G", [&] { shell.sweep.from = std::nan(""); }},
        {"infinite range", document, "G", [&] { shell.sweep.to = HUGE_VAL; }},
        {"one variable", "x = 2;\n", "G", [] {}},
        {"parse error", "y = x^2 + ;\n", "S", [] {}},
        {"parse error of a sweep", "y = x^2 + ;\n", "G", [] {}},
        {"symbolic Jacobian", document, "ASJ", [] {}},
        {"elimination", document, "E", [] {}},
        {"unknown command", document, "Z", [] {}},
        {"nothing", document, "R", [] {}},
    };
    for (const Case& c : cases) {
        shell.sweepCancelled = false;
        shell.sweepVariable = "x";
        shell.sweep = answer;
        c.arrange();
        Run(c.text, c.command);
        EXPECT_EQ(ReadFile(".PRN"), table) << c.what << "\n" << out_;
    }
    EXPECT_EQ(Check(document), 1);
    EXPECT_EQ(ReadFile(".PRN"), table);
    // A write of the result file that failed in an earlier run does not fail a later one that
    // never opens it.
    core_.flags.solved = true;
    core_.files.result.writeError = ENOSPC;
    EXPECT_EQ(Run(document, "ASJ"), 1) << out_;
    EXPECT_EQ(ReadFile(".PRN"), table);

    // A solve that runs and fails, and command F, leave an empty table as they always did.
    EXPECT_EQ(Run("y = x;\n", "S"), 0);
    EXPECT_NE(out_.find("Not enough equations"), std::string::npos) << out_;
    EXPECT_TRUE(fs::exists(dir_ / "doc.PRN"));
    EXPECT_EQ(ReadFile(".PRN"), "");
    std::ofstream(dir_ / "doc.PRN") << table;
    Run(document, "F");
    EXPECT_TRUE(fs::exists(dir_ / "doc.PRN"));
    EXPECT_EQ(ReadFile(".PRN"), "");
}

// Whether each command did its work in this run, whatever the solved flag an earlier run left:
// a solve must find its solution, a rewrite or transform must write its file. The cases are
// tests/data/entry/command_done.txt.
TEST_F(EntryTest, CommandDoneSaysWhetherThisRunDidItsWork) {
    core_.settings.stepCount = 2;
    for (const data_table::Row& c : data_table::Read("entry/command_done", 5)) {
        SCOPED_TRACE(c[0]);
        fs::remove(dir_ / "doc.FFT");
        if (!c[3].empty()) std::ofstream(dir_ / "doc.FFT") << c[3];
        core_.flags.solved = true;  // as an earlier run may leave it
        Run(c[1], c[2].c_str());
        EXPECT_EQ(CommandDone(core_), c[4] == "1") << out_;
    }
}

// The position a front end points at is the one the compiler's message names, and it belongs
// to the last run only.
TEST_F(EntryTest, CompilerErrorPositionIsTheOneTheMessageNames) {
    EXPECT_EQ(Run("x = 1;\ny = 2 +# x;\n"), 0);
    const auto position = CompilerErrorPosition(core_);
    ASSERT_TRUE(position.has_value()) << out_;
    EXPECT_NE(out_.find(" at character " + std::to_string(*position) + "\n"), std::string::npos)
        << out_;
    EXPECT_EQ(*position, 15);
    Run("x = 1;\n");
    EXPECT_FALSE(CompilerErrorPosition(core_).has_value());
    Run("x = 1;\n", "Z");  // refused before any compile
    EXPECT_FALSE(CompilerErrorPosition(core_).has_value());
}

TEST(GetResultStringsTest, NameEqualsValueInVariableOrder) {
    CoreState s;
    s.names.variableCount = 2;
    s.names.name[1] = "x";
    s.names.value[1] = 2.5;
    s.names.name[2] = "flow";
    s.names.value[2] = -0.125;
    std::vector<std::string> list{"stale"};
    GetResultStrings(s, list);
    EXPECT_EQ(list, (std::vector<std::string>{"x=2.500000000000000", "flow=-0.125000000000000"}));
}

}  // namespace
