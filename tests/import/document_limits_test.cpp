#include <gtest/gtest.h>

#include <string>

#include "cf_text.h"
#include "core/base/bounds.h"
#include "core/document_fixture.h"
#include "core/run/entry.h"
#include "import/power_flow_writer.h"

// An imported document is one a run reads back and holds as written, or no document at all.
// That the capacity its options line asks for is exactly enough is shown by the golden cases
// imported_document_solves_at_default and imported_document_capacity_one_short.

namespace {

// Slack bus 1 and load buses 2..n, each joined to the bus before it.
std::string Chain(int n) {
    std::string buses = BusLine(1, "B1", 1, 3, 1.0, 0, 0, 0);
    std::string branches;
    for (int i = 2; i <= n; ++i) {
        buses += BusLine(i, "B", 1, 0, 1.0, 0, 1, 0);
        branches += BranchLine(i - 1, i, 1, 0.001, 0.01);
    }
    return CaseText(buses, branches);
}

// Load bus 1 joined to every other bus; bus 2 is the slack bus.
std::string Star(int n) {
    std::string buses = BusLine(1, "Hub", 1, 0, 1.0, 0, 10, 0);
    std::string branches;
    for (int i = 2; i <= n; ++i) {
        buses += BusLine(i, "B", 1, i == 2 ? 3 : 2, 1.0, 0, 0, 0, 1, 0);
        branches += BranchLine(1, i, 1, 0.01, 0.1);
    }
    return CaseText(buses, branches);
}

// Every bus joined to every other: long equations at every bus.
std::string Mesh(int n) {
    std::string buses, branches;
    for (int i = 1; i <= n; ++i) {
        buses += BusLine(i, "B", 1, i == 1 ? 3 : 0, 1.0, 0, 1, 0);
        for (int j = i + 1; j <= n; ++j) branches += BranchLine(i, j, 1, 0.01, 0.1);
    }
    return CaseText(buses, branches);
}

// Slack bus 1 and load bus 2 joined by one line of the given R and X, as the file writes them.
std::string TwoBuses(const char* generationMw, const char* r, const char* x) {
    return CaseText(BusLine(1, "One", 1, 3, 1.0, 0, 0, 0) +
                        "   2 Two          1  1  0 1.000   0.00     50.0      0.0 " + generationMw +
                        "      0.0 0.0 1.000 0.0 0.0 0.0 0.00 0\n",
                    "   1    2  1  1 1 0 " + std::string(r) + " " + x + " 0.0 0 0 0 0 0 0.0 0.0\n");
}

class ImportedDocument : public DocumentFixture {};

}  // namespace

TEST_F(ImportedDocument, LargeValuesAreWrittenInExponentFormAndReadBack) {
    // X = 1e-20 gives a susceptance of 1e20, which six decimals would spell out in 27 digits.
    const ImportResult r = Convert(TwoBuses("0.0", "0.0", "1e-20"));
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_TRUE(Contains(r.document, "+v1*1E20*SIN(a2-a1)")) << r.document;
    EXPECT_TRUE(Contains(r.document, "+v2*(-1E20)+")) << r.document;
    EXPECT_EQ(Check(r.document), 1) << out_;
}

TEST_F(ImportedDocument, ValuesBeyondTheSolversRangeAndDocumentsPastTheSizeBoundAreRefused) {
    const std::pair<std::string, std::string> cases[] = {
        {TwoBuses("1e308", "0.01", "0.1"), "the net power of bus 2 is 1e+306, beyond 1e+50"},
        {TwoBuses("0.0", "0.0", "1e-80"), "an admittance of bus 1 is -1e+80, beyond 1e+50"},
        {Mesh(400),
         "more than " + std::to_string(kMaxDocumentBytes) + ", the largest document a run reads"},
    };
    for (const auto& [text, reason] : cases) {
        const ImportResult r = Convert(text);
        EXPECT_FALSE(r.ok);
        EXPECT_TRUE(r.document.empty());
        EXPECT_TRUE(Contains(r.message, reason)) << r.message;
    }
}

TEST_F(ImportedDocument, NetworksBeyondTheLargestCapacityAreRefused) {
    // 4 statements per bus and the load factor: 4999 buses fit the largest capacity, 20000.
    const ImportResult fits = Convert(Chain(4999));
    ASSERT_TRUE(fits.ok) << fits.message;
    EXPECT_EQ(fits.document.rfind("{Options: CAPACITY=19997}\n", 0), 0u);
    const ImportResult beyond = Convert(Chain(5000));
    EXPECT_FALSE(beyond.ok);
    EXPECT_TRUE(Contains(beyond.message, "would hold 20001 statements")) << beyond.message;
    EXPECT_TRUE(Contains(beyond.message, "more than 20000, the largest capacity"))
        << beyond.message;
}

TEST_F(ImportedDocument, EquationsTooLongToCompileAreRefusedAndTheLongestAcceptedCompiles) {
    // The hub's equations grow with its branches: find the largest star the import accepts.
    int accepted = 2, refused = 2000;
    ASSERT_FALSE(Convert(Star(refused)).ok);
    while (refused - accepted > 1) {
        const int middle = (accepted + refused) / 2;
        (Convert(Star(middle)).ok ? accepted : refused) = middle;
    }
    const ImportResult longest = Convert(Star(accepted));
    EXPECT_EQ(Check(longest.document), 1) << out_;
    const ImportResult tooLong = Convert(Star(refused));
    EXPECT_TRUE(Contains(tooLong.message,
                         "the equation on line 4 of the document would compile "
                         "to more than 10000 code nodes"))
        << tooLong.message;
    // The refusal is no wider than it must be: the compiler refuses that document as well.
    PowerFlowModel model;
    std::string error;
    ASSERT_TRUE(BuildPowerFlowModel(ReadData(Star(refused)), {}, model, error)) << error;
    EXPECT_EQ(Check(WritePowerFlowEquations(model)), 0);
    EXPECT_TRUE(Contains(out_, "Equation Too Long")) << out_;
}
