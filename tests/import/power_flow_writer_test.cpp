#include "import/power_flow_writer.h"

#include <gtest/gtest.h>

#include <string>

#include "cf_text.h"
#include "core/data_table.h"
#include "core/document_fixture.h"

// The values and their texts are tests/data/power_flow_writer/numbers.txt.
TEST(PowerFlowWriter, NumbersHaveSixDecimalsOrAnExponentAndNegativesTheirParentheses) {
    for (const data_table::Row& c : data_table::Read("power_flow_writer/numbers")) {
        EXPECT_EQ(FormatNumber(std::stod(c[0])), c[1]) << c[0];
    }
}

// Two areas joined by the branch 2-3. Area 1 names its slack bus as swing bus, area 2 bus 3.
class Interchange : public DocumentFixture {
   protected:
    static std::string Buses(int area3) {
        return BusLine(1, "One       HV", 1, 3, 1.02, 0, 0, 0, 30, 0) +
               BusLine(2, "Two       HV", 1, 0, 1.0, 0, 50, 10) +
               BusLine(3, "Three     HV", area3, 2, 1.01, 0, 0, 0, 20, 0);
    }
    static std::string Branches() {
        return BranchLine(1, 2, 1, 0.01, 0.1, 0.02) + BranchLine(2, 3, 1, 0.02, 0.2, 0.04);
    }
};

TEST_F(Interchange, SwingBusWithTieLineGetsTheAreaEquationAndMatchesItsPowerBalance) {
    const ImportResult swing = Convert(CaseText(
        Buses(2), Branches(),
        InterchangeLine(1, 1, "One       HV", 0) + InterchangeLine(2, 3, "Three     HV", 20)));
    ASSERT_TRUE(swing.ok) << swing.message;
    EXPECT_TRUE(Contains(swing.document, "\na1=0.000000;\nv1=1.020000;\n"))
        << "the slack bus stays slack";
    EXPECT_TRUE(Contains(swing.document, "\n0.200000=+v3*v3*")) << swing.document;
    EXPECT_FALSE(Contains(swing.document, "*k=v3*("));
    // Bus 3's only branch is the tie line, so exporting 20 MW is the same as generating them:
    // both documents must solve to the same state.
    const ImportResult generator = Convert(CaseText(Buses(2), Branches()));
    ASSERT_EQ(Run(generator.document), 1) << out_;
    const double a3 = Value("a3"), v2 = Value("v2");
    ASSERT_EQ(Run(swing.document), 1) << out_;
    EXPECT_NEAR(Value("a3"), a3, 1e-9);
    EXPECT_NEAR(Value("v2"), v2, 1e-9);
}

TEST_F(Interchange, AreaWithoutTieLinesKeepsItsSwingBusAGeneratorBus) {
    const ImportResult r =
        Convert(CaseText(Buses(1), Branches(), InterchangeLine(1, 3, "Three     HV", 0)));
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_FALSE(Contains(r.document, "=;"));
    EXPECT_TRUE(Contains(r.document, "\n0.200000*k=v3*(")) << r.document;
    EXPECT_EQ(Run(r.document), 1) << out_;
}
