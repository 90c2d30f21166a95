#include "core/run/run_setup.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "core/base/core_state.h"
#include "core/run/work_files.h"

namespace {

TEST(BaseNameTest, CutsAtTheFirstDotOfTheFileName) {
    const std::pair<const char*, const char*> cases[] = {
        {"/x/dir/model.alg", "/x/dir/model"},
        {"C:\\dir\\model.alg", "C:\\dir\\model"},
        {"/x/model.v2.alg", "/x/model"},
        {"/x/my.project/doc.alg", "/x/my.project/doc"},  // a folder's dot is no extension
        {"/x/.hidden.alg", "/x/.hidden"},                // a leading dot does not count
        {"/x/.hidden", ""},
        {"/x/noext", ""},
        {"/x/my.project/noext", ""},
        {"/x/dir/", ""}};
    for (const auto& [path, base] : cases) EXPECT_EQ(BaseNameOf(path), base) << path;
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
