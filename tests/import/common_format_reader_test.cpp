#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "cf_text.h"
#include "import/common_format.h"
#include "scratch_dir.h"

// The record counts of the real cases are the IEEE case tests'.
TEST(CommonFormatReader, NamesWithBlanksKeepTheFieldsInPlace) {
    const CommonFormatData d30 = ReadData(ReadCase("ieee30.cf"));
    EXPECT_EQ(d30.buses[0].name, "Glen Lyn 132");
    EXPECT_EQ(d30.buses[27].name, "Cloverdle132");
    EXPECT_EQ(d30.buses[1].type, 2);
    EXPECT_DOUBLE_EQ(d30.buses[1].finalAngle, -5.48);
    const CommonFormatData d14 = ReadData(ReadCase("ieee14.cf"));
    EXPECT_DOUBLE_EQ(d14.buses[8].shuntB, 0.19);
    EXPECT_DOUBLE_EQ(d14.branches[7].tapRatio, 0.978);
    // "Bus 2     HV" must not lend its "2" to the export.
    EXPECT_EQ(d14.interchanges[0].swingName, "Bus 2     HV");
    EXPECT_DOUBLE_EQ(d14.interchanges[0].exportMw, 0.0);
}

// Each file of tests/data/cf-refused: the reason as its first line, then the text refused.
TEST(CommonFormatReader, IncompleteOrOutOfRangeFilesAreRefusedWithTheReason) {
    for (const data_table::FileCase& c : data_table::Files("cf-refused", 16)) {
        const ImportResult r = Convert(c.text);
        EXPECT_FALSE(r.ok) << c.name;
        EXPECT_TRUE(r.document.empty());
        EXPECT_NE(r.message.find(std::string("Power flow equations not formed: ")),
                  std::string::npos);
        EXPECT_NE(r.message.find(c.expected), std::string::npos) << r.message;
    }
}

TEST(CommonFormatReader, TieLineTableHoldsItsSizeAndNoMore) {
    const std::string buses = BusLine(1, "A", 1, 3, 1, 0, 0, 0) + BusLine(2, "B", 2, 0, 1, 0, 0, 0);
    std::string branches;
    for (int i = 0; i < kMaxTieLines; ++i) branches += BranchLine(1, 2, 1, 0.01, 0.1);
    EXPECT_TRUE(Convert(CaseText(buses, branches)).ok);
    const ImportResult r = Convert(CaseText(buses, branches + BranchLine(1, 2, 1, 0.01, 0.1)));
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.message.find("more than 15651 branches"), std::string::npos) << r.message;
}

TEST(CommonFormatReader, FailedImportLeavesTheExistingDocumentAlone) {
    const ScratchDir s;
    const std::string real = ReadCase("ieee14.cf");
    // Cut in the middle of a branch record.
    const std::string cut = s.Put("cut.cf", real.substr(0, real.find("  10   11") + 30));
    s.Put("cut.ALG", "my equations\n");
    const ImportResult r = ConvertCommonFormat(cut);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.message.find("BRANCH section"), std::string::npos) << r.message;
    EXPECT_EQ(s.Get("cut.ALG"), "my equations\n");
    EXPECT_FALSE(std::filesystem::exists(s.dir / "cut.ALG.new"));
}
