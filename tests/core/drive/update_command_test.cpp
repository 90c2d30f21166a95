// Command U where the shell's settings reach what the command line cannot: a step count recorded
// for a table that has since shrunk, an attachment gone or named like a file of the run, a
// solution of another document, a write-back that fails. The stepping and the write-back
// themselves are the golden update cases'.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

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
};

// y follows x; x is fixed by the table, c holds on its own.
const char* const kLine = "y = 2*x + c;\nc = 1;\nx \xbb 3;\n";

}  // namespace

TEST_F(UpdateCommand, SteppingEndsWhereTheRowsEndWhateverCountWasRecorded) {
    // Ten steps recorded, but the table now ends after three rows: the stepping stops when they
    // are used up, without repeating the last one; an empty line ends the rows as well.
    for (const char* table : {"x\n10\n20\n30\n", "x\n10\n20\n30\n\n40\n"}) {
        Attach(table, 10);
        EXPECT_EQ(Run(kLine, "US"), 1) << out_;
        EXPECT_NE(out_.find("Number of Steps:   11"), std::string::npos) << out_;
        const auto lines = Lines(".PRN");
        ASSERT_EQ(lines.size(), 5u) << ReadFile(".PRN");
        EXPECT_EQ(lines[4], "     61.0000000     30.0000000      1.0000000");
    }
    // A table gone since it was attached: said, and the run goes on without updates.
    core_.settings.updateFileName = (dir_ / "gone.LST").string();
    core_.settings.updateStepCount = 2;
    EXPECT_EQ(Run("y = 2*x;\nx = 1;\n", "US"), 1);
    EXPECT_NE(out_.find("\nFile " + (dir_ / "gone.LST").string() + " Does Not Exist"),
              std::string::npos);
    EXPECT_EQ(Lines(".PRN").size(), 3u);
    EXPECT_GE(core_.defaultShell.beeps, 1);
}

// The solved flag outlives a run; a write-back takes it only from a solve of this document.
TEST_F(UpdateCommand, ASolutionOfAnotherDocumentIsNotThisOnes) {
    Run(kLine, "UI");  // nothing solved yet
    EXPECT_FALSE(std::filesystem::exists(dir_ / "doc.UPD"));
    Run("q = 2;\n", "S", "other.alg");
    ASSERT_TRUE(core_.flags.solved);
    Run(kLine, "UI");
    EXPECT_NE(out_.find("Solve problem before updating"), std::string::npos) << out_;
    EXPECT_FALSE(std::filesystem::exists(dir_ / "doc.UPD"));
}

// base.UPD that cannot be written (a folder has its name) is said and ends the run unsolved,
// with nothing left under the temporary name.
TEST_F(UpdateCommand, AWriteBackThatFailsIsNoSuccess) {
    std::filesystem::create_directory(dir_ / "doc.UPD");
    ASSERT_EQ(Run("y = 2*x;\nx \xbb 1;\nx = 3;\n", "S"), 1) << out_;
    EXPECT_EQ(Run("y = 2*x;\nx \xbb 1;\nx = 3;\n", "UI"), 0) << out_;
    EXPECT_NE(out_.find("Cannot write " + (dir_ / "doc.UPD").string() + ": "), std::string::npos)
        << out_;
    EXPECT_EQ(out_.find("Results not complete"), std::string::npos) << out_;
    EXPECT_FALSE(CommandDone(core_));
    EXPECT_FALSE(std::filesystem::exists(dir_ / "doc.UPD.new"));
    EXPECT_TRUE(std::filesystem::is_directory(dir_ / "doc.UPD"));
}

// base.UPD is written as base.UPD.new first: an attachment of that name would be the temporary
// file, and the rename would carry it off; so would any other file the run writes. Such an
// attachment is refused before anything is written, however its path is spelled.
TEST_F(UpdateCommand, AnAttachmentThatIsAFileOfTheRunIsRefused) {
    const std::string text = "y = 2*x;\nx \xbb 1;\nx = 3;\n";
    ASSERT_EQ(Run(text, "S"), 1) << out_;
    for (const char* leaf : {"doc.UPD.new", "doc.PRN", "doc.TMP"}) {
        const std::filesystem::path table = dir_ / leaf;
        if (!std::filesystem::exists(table)) std::ofstream(table, std::ios::binary) << "x\n5\n";
        const std::string before = scratch_.Get(leaf);
        for (const std::filesystem::path& name : {table, dir_ / "." / leaf}) {
            core_.settings.updateFileName = name.string();
            core_.settings.updateFilePresent = true;
            core_.settings.updateStepCount = 1;
            for (const char* command : {"US", "UI", "S"}) {
                EXPECT_EQ(Run(text, command), 0) << leaf << " " << command;
                EXPECT_NE(out_.find(" is a file the run writes beside its document"),
                          std::string::npos)
                    << leaf << " " << command << ": " << out_;
                EXPECT_EQ(scratch_.Get(leaf), before) << leaf << " " << command;
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
