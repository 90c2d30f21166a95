#include "core/run/entry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "core/run/core_state.h"

namespace fs = std::filesystem;

namespace {

class SolverEntryTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = fs::temp_directory_path() /
               ("valdrix_entry_" + std::string(info->name()) + "_" + std::to_string(std::random_device{}()));
        fs::create_directories(dir_);
        s.io.suppressReports = true;
        s.console.callback = [this](const char* t) { out += t; };
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Path(const std::string& leaf) const { return (dir_ / leaf).string(); }
    std::string Put(const std::string& leaf, const std::string& text) const {
        fs::create_directories((dir_ / leaf).parent_path());
        std::ofstream(Path(leaf), std::ios::binary) << text;
        return Path(leaf);
    }
    std::string Get(const std::string& leaf) const {
        std::ostringstream text;
        text << std::ifstream(Path(leaf), std::ios::binary).rdbuf();
        return text.str();
    }
    std::vector<std::string> Listing() const {
        std::vector<std::string> names;
        for (const auto& e : fs::recursive_directory_iterator(dir_))
            if (e.is_regular_file()) names.push_back(fs::relative(e.path(), dir_).string());
        return names;
    }

    fs::path dir_;
    CoreState s;
    std::string out;
};

TEST_F(SolverEntryTest, RefreshWritesBannerPathAndSetupMessagesFirst) {
    const std::string doc = Put("doc.alg", "x = 1;\n");
    EXPECT_EQ(SolverEntry(s, doc.c_str(), "F"), 0);
    const std::string head =
        "VALDRIX Version 2.00\n" + doc + "\nInitializing Files...\nReading Equations...\n";
    EXPECT_EQ(out.substr(0, head.size()), head);
    EXPECT_EQ(out.back(), '\n');
}

TEST_F(SolverEntryTest, RefreshWritesWorkFileInShortLinesAndEmptiesResults) {
    const std::string longLine =
        "flow = k1*p1*q1 + k2*p2*q2 + k3*p3*q3 + k4*p4*q4 + k5*p5*q5 + k6*p6*q6 + "
        "k7*p7*q7 + k8*p8*q8 + k9*p9*q9 + ka*pa*qa - 25;";
    const std::string doc = Put("doc.alg", "{Options: 50 -6}\nx = 1;\n" + longLine + "\ny = 2;\n");
    Put("doc.PRN", "old results\n");
    Put("doc.TMP", "stale work text\n");

    SolverEntry(s, doc.c_str(), "F");

    EXPECT_EQ(Get("doc.TMP"),
              "x = 1;\n"
              "flow = k1*p1*q1 + k2*p2*q2 + k3*p3*q3 + k4*p4*q4 + k5*p5*q5 + k6*p6*q6 + \n"
              "k7*p7*q7 + k8*p8*q8 + k9*p9*q9 + ka*pa*qa - 25;\n"
              "y = 2;\n");
    ASSERT_TRUE(fs::exists(Path("doc.PRN")));
    EXPECT_EQ(fs::file_size(Path("doc.PRN")), 0u);
    EXPECT_EQ(Get("doc.alg"), "{Options: 50 -6}\nx = 1;\n" + longLine + "\ny = 2;\n");
}

TEST_F(SolverEntryTest, FolderWithDotKeepsWorkFilesBesideTheDocument) {
    const std::string doc = Put("my.project/doc.alg", "x = 1;\n");
    SolverEntry(s, doc.c_str(), "F");
    EXPECT_TRUE(fs::exists(Path("my.project/doc.TMP")));
    EXPECT_TRUE(fs::exists(Path("my.project/doc.PRN")));
    EXPECT_FALSE(fs::exists(Path("my.TMP")));
    EXPECT_FALSE(fs::exists(Path("my.PRN")));
}

TEST_F(SolverEntryTest, NameWithoutExtensionIsRefused) {
    for (const char* leaf : {"model", ".model"}) {
        SCOPED_TRACE(leaf);
        out.clear();
        const std::string doc = Put(leaf, "x = 1;\n");
        s.flags.solved = true;
        EXPECT_EQ(SolverEntry(s, doc.c_str(), "S"), 0);
        EXPECT_EQ(out.rfind("VALDRIX Version 2.00\n" + doc + "\n", 0), 0u);
        EXPECT_GT(out.size(), std::string("VALDRIX Version 2.00\n" + doc + "\n").size());
        EXPECT_EQ(out.find("Initializing Files"), std::string::npos);
        EXPECT_EQ(Get(leaf), "x = 1;\n");
    }
    std::vector<std::string> files = Listing();
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<std::string>{".model", "model"}));
}

TEST_F(SolverEntryTest, OptionsLineOverridesShellSettings) {
    s.settings.maxGuess = 7.0;
    s.settings.deltaJ = 0.25;
    const std::string doc = Put("doc.alg", "{Options: 50 -6 ROBUST INCREMENTAL}\nx = 1;\n");
    SolverEntry(s, doc.c_str(), "F");
    EXPECT_EQ(s.settings.maxIterations, 50);
    EXPECT_EQ(s.settings.toleranceExponent, -6);
    EXPECT_EQ(s.settings.method, kMethodRobust);
    EXPECT_EQ(s.settings.jacobianMode, kJacobianIncremental);
    EXPECT_DOUBLE_EQ(s.settings.maxGuess, 7.0);  // fields the line lacks keep their values
    EXPECT_DOUBLE_EQ(s.settings.deltaJ, 0.25);
    EXPECT_EQ(Get("doc.TMP"), "x = 1;\n");
}

TEST_F(SolverEntryTest, OptionsLineWithWindowsLineEndsKeepsItsLastField) {
    const std::string doc = Put("doc.alg", "{Options: 50 -6}\r\nx = 1;\r\n");
    SolverEntry(s, doc.c_str(), "F");
    EXPECT_EQ(s.settings.maxIterations, 50);
    EXPECT_EQ(s.settings.toleranceExponent, -6);
    EXPECT_EQ(Get("doc.TMP"), "x = 1;\n");
}

TEST_F(SolverEntryTest, HomotopyNeedsAnOptionsLine) {
    s.settings.method = kMethodHomotopy;
    const std::string plain = Put("plain.alg", "x = 1;\n");
    SolverEntry(s, plain.c_str(), "F");
    EXPECT_EQ(s.settings.method, kMethodRobust);

    s.settings.method = kMethodNewton;
    const std::string asked = Put("asked.alg", "{Options: 20 -4 HOMOTOPY}\nx = 1;\n");
    SolverEntry(s, asked.c_str(), "F");
    EXPECT_EQ(s.settings.method, kMethodHomotopy);
}

TEST_F(SolverEntryTest, ComplexModeLastsOnlyForTheDocumentThatAsksForIt) {
    const std::string cx = Put("cx.alg", "{Options: 10 -3 NEWTON SYMBOLIC 1 SEQUENTIAL 0.001 0.1 COMPLEX}\nx = 1;\n");
    SolverEntry(s, cx.c_str(), "F");
    EXPECT_TRUE(s.k.complexMode);
    const std::string re = Put("re.alg", "x = 1;\n");
    SolverEntry(s, re.c_str(), "F");
    EXPECT_FALSE(s.k.complexMode);
}

TEST_F(SolverEntryTest, BlankAfterBraceIsNotAnOptionsLine) {
    const std::string doc = Put("doc.alg", "{ Options: 30}\nx = 1;\n");
    SolverEntry(s, doc.c_str(), "F");
    EXPECT_EQ(s.settings.maxIterations, 10);
    EXPECT_EQ(Get("doc.TMP"), "{ Options: 30}\nx = 1;\n");
}

TEST_F(SolverEntryTest, MissingDocumentIsReported) {
    const std::string doc = Path("absent.alg");
    s.flags.solved = true;
    EXPECT_EQ(SolverEntry(s, doc.c_str(), "F"), 0);
    EXPECT_NE(out.find("File " + doc + " Does Not Exist"), std::string::npos) << out;
    EXPECT_TRUE(Listing().empty());
}

TEST_F(SolverEntryTest, UnknownLettersDoNothingAndReturnThePreviousResult) {
    const std::string doc = Put("doc.alg", "x = 1;\n");
    for (const char* command : {"Z", "B", "f", "", "R", "1S"}) {
        for (bool solved : {true, false}) {
            SCOPED_TRACE(std::string("command \"") + command + "\" solved " + (solved ? "1" : "0"));
            out.clear();
            s.flags.solved = solved;
            EXPECT_EQ(SolverEntry(s, doc.c_str(), command), solved ? 1 : 0);
            EXPECT_EQ(out.rfind("VALDRIX Version 2.00\n" + doc + "\n", 0), 0u);
            EXPECT_EQ(out.find("Reading Equations"), std::string::npos);
        }
    }
    EXPECT_EQ(Listing(), std::vector<std::string>{"doc.alg"});
}

TEST_F(SolverEntryTest, CheckDocumentCompilesWithoutTouchingTheLastResult) {
    const std::string good = Put("good.alg", "x = 2;\n");
    const std::string bad = Put("bad.alg", "x = = ;\n");
    for (bool solved : {true, false}) {
        s.flags.solved = solved;
        EXPECT_EQ(CheckDocument(s, good.c_str()), 1);
        EXPECT_EQ(s.flags.solved, solved);
        EXPECT_EQ(CheckDocument(s, bad.c_str()), 0);
        EXPECT_EQ(s.flags.solved, solved);
    }
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
