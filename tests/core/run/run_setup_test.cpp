#include "core/run/run_setup.h"

#include <gtest/gtest.h>

#include <string>

#include "core/base/core_state.h"
#include "core/data_table.h"
#include "core/run/work_files.h"

namespace {

// The paths and their base names are tests/data/run_setup/base_names.txt.
TEST(BaseNameTest, CutsAtTheFirstDotOfTheFileName) {
    for (const data_table::Row& c : data_table::Read("run_setup/base_names")) {
        EXPECT_EQ(BaseNameOf(c[0]), c[1]) << c[0];
    }
}

// The banner it writes is checked with the entry point.
TEST(ResetDefaultsTest, ResetsRunStateButKeepsSettingsAndTheLastResult) {
    CoreState s;
    s.k.outputPrecision = 3;
    s.k.arithmetic = Arithmetic::kComplex;
    s.flags.parseError = true;
    s.flags.solved = true;
    s.settings.maxIterations = 77;
    ResetDefaults(s);
    EXPECT_EQ(s.k.outputPrecision, 8);
    EXPECT_EQ(s.k.arithmetic, Arithmetic::kReal);
    EXPECT_FALSE(s.flags.parseError);
    EXPECT_TRUE(s.flags.solved);
    EXPECT_EQ(s.settings.maxIterations, 77);
}

}  // namespace
