// Command U: stepping through the rows of the update file (US), and the solution written back
// into the document's text (UI, UR).

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/base/list_tokens.h"
#include "core/document_fixture.h"

namespace {

class UpdateCommand : public DocumentFixture {
   protected:
    // The document's attachment, as the shell names it: `rows` value rows recorded.
    void Attach(const std::string& text, int rows) {
        const std::string path = (dir_ / "data.LST").string();
        std::ofstream(path, std::ios::binary) << text;
        core_.settings.updateFileName = path;
        core_.settings.updateFilePresent = true;
        core_.settings.updateStepCount = rows;
    }
    void NoAttachment(int steps) {
        core_.settings.updateFileName.clear();
        core_.settings.updateFilePresent = false;
        core_.settings.updateStepCount = 1;
        core_.settings.stepCount = steps;
    }
    // The cells of result row `row` (the header being row 0).
    std::vector<double> Row(std::size_t row) const {
        std::vector<double> cells;
        const auto lines = Lines(".PRN");
        if (row >= lines.size()) return cells;
        for (std::size_t i = 0; i + 15 <= lines[row].size(); i += 15) {
            cells.push_back(std::stod(lines[row].substr(i, 15)));
        }
        return cells;
    }
};

// The bytes of a file, empty when there is none.
std::string Contents(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// y follows x; x is fixed by the table, c holds on its own.
const char* const kLine = "y = 2*x + c;\nc = 1;\nx \xbb 3;\n";

}  // namespace

TEST_F(UpdateCommand, StepsWithoutATableRepeatTheSolveForTheSettingsStepCount) {
    NoAttachment(5);
    EXPECT_EQ(Run("y = x + 1;\nx = 2;\n", "US"), 1) << out_;
    EXPECT_NE(out_.find("Number of Steps:    5\n"), std::string::npos) << out_;
    const auto lines = Lines(".PRN");
    ASSERT_EQ(lines.size(), 6u);  // one header, five rows
    EXPECT_EQ(Row(5), (std::vector<double>{3.0, 2.0}));
}

TEST_F(UpdateCommand, FirstStepIsTheDocumentsThenOneRowEachUntilTheTableEnds) {
    // Ten steps recorded but three rows left in the file: the stepping stops when they are
    // used up, without repeating the last one.
    Attach("x\n10\n20\n30\n", 10);
    EXPECT_EQ(Run(kLine, "US"), 1) << out_;
    EXPECT_NE(out_.find("Number of Steps:   11"), std::string::npos) << out_;
    const auto lines = Lines(".PRN");
    ASSERT_EQ(lines.size(), 5u) << ReadFile(".PRN");
    EXPECT_EQ(Row(1), (std::vector<double>{7.0, 3.0, 1.0}));  // the document's x of 3
    EXPECT_EQ(Row(2), (std::vector<double>{21.0, 10.0, 1.0}));
    EXPECT_EQ(Row(4), (std::vector<double>{61.0, 30.0, 1.0}));

    // Recorded as many steps as rows: every row is still used.
    Attach("x\n10\n20\n30\n", 3);
    Run(kLine, "US");
    EXPECT_EQ(Lines(".PRN").size(), 5u);
    EXPECT_EQ(Row(4)[0], 61.0);
}

TEST_F(UpdateCommand, RowsGiveStartingValuesFixedValuesAndEndAtAnEmptyLine) {
    // x ~ is a starting value: it picks the root x^2 = 4 nearest to it. a is fixed; "b" is
    // no variable of the document and is held by an equation of its own.
    Attach("\"a\" x\xbb b\n4 -5 7\n4 5 8\n9 0.5 11\n\n1 1 1\n", 4);
    EXPECT_EQ(Run("x^2 = a;\nx \xbb 1;\n", "US"), 1) << out_;
    const auto lines = Lines(".PRN");
    ASSERT_EQ(lines.size(), 5u) << ReadFile(".PRN");
    EXPECT_EQ(lines[0], "              x              a              b");
    // The first step is the document's: a and b have no starting value there and are held at
    // 0, not at a random start (x ~ 1 then reaches the double root 0 of x^2 = 0).
    EXPECT_EQ(Row(1)[1], 0.0);
    EXPECT_EQ(Row(1)[2], 0.0);
    EXPECT_NEAR(Row(2)[0], -2.0, 1e-4);
    EXPECT_DOUBLE_EQ(Row(2)[2], 7.0);
    EXPECT_NEAR(Row(3)[0], 2.0, 1e-4);
    EXPECT_NEAR(Row(4)[0], 3.0, 1e-4);
    EXPECT_DOUBLE_EQ(Row(4)[2], 11.0);
}

TEST_F(UpdateCommand, ShortRowsAreLeftOutAndAMissingFileIsReported) {
    Attach("x c2\n10 1\n20\n30 1\n", 3);
    Run("y = 2*x + c2;\nx \xbb 3;\n", "US");
    EXPECT_NE(out_.find("Row    3 of the update file has fewer values than names: left out"),
              std::string::npos)
        << out_;
    EXPECT_EQ(Lines(".PRN").size(), 4u);
    EXPECT_EQ(Row(3)[1], 30.0);

    core_.settings.updateFileName = (dir_ / "gone.LST").string();
    core_.settings.updateStepCount = 2;
    EXPECT_EQ(Run("y = 2*x;\nx = 1;\n", "US"), 1);
    EXPECT_NE(out_.find("\nFile " + (dir_ / "gone.LST").string() + " Does Not Exist"),
              std::string::npos);
    EXPECT_EQ(Lines(".PRN").size(), 3u);  // the run goes on without updates
    EXPECT_GE(core_.defaultShell.beeps, 1);
}

TEST_F(UpdateCommand, SetsThatAreNotSquareAreRefusedBeforeStepping) {
    NoAttachment(3);
    EXPECT_EQ(Run(kLine, "US"), 0);  // x has no equation without its column
    EXPECT_NE(out_.find("Not enough equations"), std::string::npos) << out_;
    Attach("y\n1\n", 1);
    EXPECT_EQ(Run("y = 2;\n", "US"), 0);
    EXPECT_NE(out_.find("Too many equations"), std::string::npos) << out_;
    EXPECT_TRUE(ReadFile(".PRN").empty());
}

TEST_F(UpdateCommand, WritingBackNeedsASolutionOfThisDocument) {
    NoAttachment(1);
    core_.flags.solved = false;
    Run(kLine, "UI");
    EXPECT_NE(out_.find("\nSolve problem before updating"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir_ / "doc.UPD"));
    // A solution of another document is not this one's.
    Run("q = 2;\n", "S", "other.alg");
    Run(kLine, "UI");
    EXPECT_NE(out_.find("Solve problem before updating"), std::string::npos);
}

TEST_F(UpdateCommand, UpdateWithStartingValuesChangesOnlyTheirNumbers) {
    const std::string document =
        "{Options: 20 -6}\r\n"
        "y = x^2 - 2;  { y \xbb 7 stays in a comment }\r\n"
        "y = 0;\r\nx \xbb 1;\r\n"
        "z = 3*x; z\xbb 0.5E+0 ;  w = x*2; w\xbb 2*x;\r\n";
    NoAttachment(1);
    ASSERT_EQ(Run(document, "S"), 1) << out_;
    EXPECT_EQ(Run(document, "UI"), 1);
    EXPECT_NE(out_.find("\nUpdating"), std::string::npos);
    EXPECT_EQ(ReadFile(".UPD"),
              "{Options: 20 -6}\r\n"
              "y = x^2 - 2;  { y \xbb 7 stays in a comment }\r\n"
              "y = 0;\r\nx \xbb 1.414214;\r\n"
              "z = 3*x; z\xbb 4.242641 ;  w = x*2; w\xbb 2*x;\r\n");
    // The written text is a document: solved again from its starting values it agrees.
    std::filesystem::copy_file(dir_ / "doc.UPD", dir_ / "again.alg");
    std::ifstream in(dir_ / "again.alg", std::ios::binary);
    const std::string again((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(Run(again, "S", "again.alg"), 1) << out_;
    EXPECT_NEAR(Value("x"), 1.41421356, 1e-6);
}

TEST_F(UpdateCommand, UpdateWithLinkedConstantsWritesTheTiedNumbers) {
    NoAttachment(1);
    // Constants tied to y by the comment before the mark or after it; 30 degrees is no tie.
    const std::string document =
        "y = 2*x;\nx = 4;\nz = {y}\xb0"
        "1*2 + \xb0{y} 1.5E-3 + 0*30\xb0-2;\n";
    ASSERT_EQ(Run(document, "S"), 1) << out_;
    EXPECT_EQ(Run(document, "UR"), 1);
    EXPECT_EQ(ReadFile(".UPD"),
              "y = 2*x;\nx = 4;\nz = {y}\xb0"
              "8.000000*2 + \xb0{y} 8.000000 + 0*30\xb0-2;\n");
}

// from_chars reads "nan" and "inf" as numbers; a NaN held by a fixing equation would even
// pass the convergence test and give a row of nan. In a table they are no numbers, as in the
// list file: read as 0 like any text that is no number.
TEST_F(UpdateCommand, NanAndInfinityInATableAreNoNumbers) {
    Attach("x\n10\nnan\ninf\n-1e400\n20\n", 5);
    EXPECT_EQ(Run(kLine, "US"), 1) << out_;
    const std::string table = ReadFile(".PRN");
    EXPECT_EQ(table.find("nan"), std::string::npos) << table;
    EXPECT_EQ(table.find("inf"), std::string::npos) << table;
    ASSERT_EQ(Lines(".PRN").size(), 7u) << table;  // the document's step and five rows
    for (std::size_t row : {3u, 4u, 5u}) {
        EXPECT_EQ(Row(row), (std::vector<double>{1.0, 0.0, 1.0})) << row;
    }
    EXPECT_EQ(Row(6), (std::vector<double>{41.0, 20.0, 1.0}));

    // A starting value of nan starts from 0 instead, not from nowhere.
    Attach("x y\xbb\n10 nan\n", 1);
    EXPECT_EQ(Run(kLine, "US"), 1) << out_;
    EXPECT_EQ(ReadFile(".PRN").find("nan"), std::string::npos) << ReadFile(".PRN");
    ASSERT_EQ(Lines(".PRN").size(), 3u);
    EXPECT_EQ(Row(2), (std::vector<double>{21.0, 10.0, 1.0}));
}

// A table saved with carriage returns alone as line ends has as many rows as with line feeds.
TEST_F(UpdateCommand, CarriageReturnsAloneEndTheRows) {
    Attach("x\r10\r20\r30\r", 0);
    core_.settings.updateStepCount = CountListRows(core_.settings.updateFileName);
    EXPECT_EQ(core_.settings.updateStepCount, 3);
    EXPECT_EQ(Run(kLine, "US"), 1) << out_;
    ASSERT_EQ(Lines(".PRN").size(), 5u) << ReadFile(".PRN");
    EXPECT_EQ(Row(4)[1], 30.0);
}

// UI and UR write base.UPD, not results: the table the stepping wrote stays as it was.
TEST_F(UpdateCommand, WritingBackKeepsTheResultsOfTheSolveBefore) {
    Attach("x\n10\n20\n", 2);
    ASSERT_EQ(Run(kLine, "US"), 1) << out_;
    const std::string table = ReadFile(".PRN");
    ASSERT_EQ(Lines(".PRN").size(), 4u) << table;
    EXPECT_EQ(Run(kLine, "UI"), 1) << out_;
    EXPECT_EQ(ReadFile(".PRN"), table);
    EXPECT_NE(ReadFile(".UPD").find("x \xbb 20"), std::string::npos) << ReadFile(".UPD");
    EXPECT_EQ(Run(kLine, "UR"), 1) << out_;
    EXPECT_EQ(ReadFile(".PRN"), table);
}

// base.UPD that cannot be written (a folder has its name) is said and ends the run unsolved,
// with nothing left under the temporary name.
TEST_F(UpdateCommand, AWriteBackThatFailsIsNoSuccess) {
    NoAttachment(1);
    std::filesystem::create_directory(dir_ / "doc.UPD");
    ASSERT_EQ(Run("y = 2*x;\nx \xbb 1;\nx = 3;\n", "S"), 1) << out_;
    EXPECT_EQ(Run("y = 2*x;\nx \xbb 1;\nx = 3;\n", "UI"), 0) << out_;
    EXPECT_NE(out_.find("Cannot write " + (dir_ / "doc.UPD").string() + ": "), std::string::npos)
        << out_;
    EXPECT_EQ(out_.find("Results not complete"), std::string::npos) << out_;
    EXPECT_FALSE(std::filesystem::exists(dir_ / "doc.UPD.new"));
    EXPECT_TRUE(std::filesystem::is_directory(dir_ / "doc.UPD"));
}

// base.UPD is written as base.UPD.new first: a document or an attachment of that name would be
// the temporary file, and the rename would carry it off. Both are refused before anything is
// written; so is an attachment that is any other file the run writes.
TEST_F(UpdateCommand, ADocumentOrAttachmentNamedLikeATemporaryFileIsRefused) {
    NoAttachment(1);
    const std::string text = "y = 2*x;\nx \xbb 1;\nx = 3;\n";
    for (const char* name : {"doc.UPD.new", "doc.upd.NEW", "doc.VDP.new"}) {
        EXPECT_TRUE(IsWorkFileName(name)) << name;
        EXPECT_EQ(Run(text, "S", name), 0) << name;
        EXPECT_NE(out_.find("work file"), std::string::npos) << name << ": " << out_;
        core_.flags.solved = true;  // as if another solve of it had succeeded
        Run(text, "UI", name);
        EXPECT_EQ(Contents(dir_ / name), text) << name;
        EXPECT_FALSE(std::filesystem::exists(dir_ / "doc.UPD")) << name;
        std::filesystem::remove(dir_ / name);
    }
    EXPECT_FALSE(IsWorkFileName("doc.new"));
    EXPECT_FALSE(IsWorkFileName("doc.UPD.new.alg"));

    ASSERT_EQ(Run(text, "S"), 1) << out_;
    for (const char* leaf : {"doc.UPD.new", "doc.PRN", "doc.TMP"}) {
        const std::filesystem::path table = dir_ / leaf;
        if (!std::filesystem::exists(table)) std::ofstream(table, std::ios::binary) << "x\n5\n";
        const std::string before = Contents(table);
        // Named as the shell would, or through another spelling of the same path.
        for (const std::filesystem::path& name : {table, dir_ / "." / leaf}) {
            core_.settings.updateFileName = name.string();
            core_.settings.updateFilePresent = true;
            core_.settings.updateStepCount = 1;
            for (const char* command : {"US", "UI", "S"}) {
                EXPECT_EQ(Run(text, command), 0) << leaf << " " << command;
                EXPECT_NE(out_.find(" is a file the run writes beside its document"),
                          std::string::npos)
                    << leaf << " " << command << ": " << out_;
                EXPECT_EQ(Contents(table), before) << leaf << " " << command;
            }
        }
        std::filesystem::remove(table);
    }
    // A link is the file it names; another file of the same name elsewhere is not the run's.
    std::ofstream(dir_ / "doc.UPD.new", std::ios::binary) << "x\n5\n";
    std::filesystem::create_symlink(dir_ / "doc.UPD.new", dir_ / "link.LST");
    EXPECT_TRUE(IsRunFileOf(path_, (dir_ / "link.LST").string()));
    std::filesystem::create_directory(dir_ / "elsewhere");
    std::ofstream(dir_ / "elsewhere" / "doc.UPD.new", std::ios::binary) << "x\n5\n";
    EXPECT_FALSE(IsRunFileOf(path_, (dir_ / "elsewhere" / "doc.UPD.new").string()));
    EXPECT_TRUE(IsRunFileOf(path_, (dir_ / "elsewhere" / ".." / "doc.UPD.new").string()));
    EXPECT_TRUE(IsRunFileOf(path_, (dir_ / "doc.JAC").string()));
    EXPECT_FALSE(IsRunFileOf(path_, (dir_ / "data.LST").string()));  // no such file
    EXPECT_FALSE(IsRunFileOf(path_, path_));                         // the document is read only
}
