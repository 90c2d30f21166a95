#include <gtest/gtest.h>

#include <map>
#include <numbers>
#include <string>
#include <tuple>
#include <vector>

#include "cf_text.h"
#include "core/data_table.h"
#include "core/document_fixture.h"
#include "import/common_format.h"
#include "import/power_flow_model.h"

namespace {

struct CaseCheck {
    const char* file;
    int loads, generators;  // and one slack bus
    std::size_t branches, interchanges;
};
// The 30- and 57-bus files close the interchange section before their one record.
const CaseCheck kCases[] = {{"ieee14.cf", 9, 4, 20, 1},
                            {"ieee30.cf", 24, 5, 41, 0},
                            {"ieee57.cf", 50, 6, 80, 0},
                            {"ieee118.cf", 64, 53, 186, 1}};

constexpr BusKind kSlack = BusKind::kSlack, kGen = BusKind::kGenerator, kLoad = BusKind::kLoad;

}  // namespace

// The buses checked one by one are tests/data/power_flow_case/buses.txt.
TEST(IeeeCases, EveryRecordIsReadBusKindsAndInjectionsFollowTheFileAndCrLfChangesNothing) {
    const std::vector<data_table::Row> buses = data_table::Read("power_flow_case/buses", 5);
    const std::map<BusKind, std::string> kind{
        {kSlack, "slack"}, {kGen, "generator"}, {kLoad, "load"}};
    for (const CaseCheck& c : kCases) {
        const CommonFormatData data = ReadData(ReadCase(std::string("crlf/") + c.file));
        EXPECT_EQ(std::tuple(data.branches.size(), data.interchanges.size()),
                  std::tuple(c.branches, c.interchanges))
            << c.file;
        PowerFlowModel m;
        std::string error;
        ASSERT_TRUE(BuildPowerFlowModel(data, {}, m, error)) << error;
        ASSERT_EQ(m.buses.size(), data.buses.size()) << c.file;
        std::map<BusKind, int> kinds;
        for (const PowerFlowBus& b : m.buses) ++kinds[b.kind];
        // The named area swing buses (14: bus 2, 118: bus 80) have no tie lines: they stay
        // generators.
        EXPECT_EQ(kinds,
                  (std::map<BusKind, int>{{kLoad, c.loads}, {kGen, c.generators}, {kSlack, 1}}))
            << c.file;
        for (const data_table::Row& b : buses) {
            if (b[0] != c.file) continue;
            SCOPED_TRACE(b[0] + " bus " + b[1]);
            const PowerFlowBus* bus = m.Find(std::stoi(b[1]));
            ASSERT_NE(bus, nullptr);
            EXPECT_EQ(kind.at(bus->kind), b[2]);
            EXPECT_NEAR(bus->p, std::stod(b[3]), 1e-12);
            EXPECT_NEAR(bus->q, std::stod(b[4]), 1e-12);
        }
        const ImportResult lf = Convert(ReadCase(c.file), true),
                           crlf = Convert(ReadCase(std::string("crlf/") + c.file), true);
        EXPECT_TRUE(lf.ok && lf.document == crlf.document) << c.file << crlf.message;
    }
    EXPECT_NE(Convert(ReadCase("ieee118.cf")).document.find("\na69=0.523599;\nv69=1.035000;\n"),
              std::string::npos);
}

// The documents hold more than the default 25 equations; a raised capacity solves them.
class IeeeSolve : public DocumentFixture {};

TEST_F(IeeeSolve, FourCasesSolveAndFullModelReproducesThe14BusSolution) {
    for (const CaseCheck& c : kCases) {
        for (const bool full : {false, true}) {
            const ImportResult r = Convert(ReadCase(c.file), full);
            ASSERT_TRUE(r.ok) << r.message;
            CoreState core;
            // The starting values are statements as well until they are applied.
            core.settings.capacity = 2 * r.equations;
            path_ = (dir_ / "case.alg").string();
            std::ofstream(path_, std::ios::binary) << "{Options: 30 -9}\n" << r.document;
            EXPECT_EQ(SolverEntry(core, path_.c_str(), "S"), 1) << c.file << (full ? " full" : "");
            if (std::string(c.file) != "ieee14.cf" || !full) continue;
            std::map<std::string, double> solved;
            for (int i = 1; i <= core.names.variableCount; ++i)
                solved[core.names.name[i]] = core.names.value[i];
            for (const CommonFormatBus& b : ReadData(ReadCase(c.file)).buses) {
                // The file stores 1.019 at bus 4 where its own data give 1.0177 (the stored
                // reactive outputs of buses 1, 2, 3, 6 and 8 are off by as much): only there the
                // match is looser.
                EXPECT_NEAR(solved["v" + std::to_string(b.number)], b.finalVoltage,
                            b.number == 4 ? 1.5e-3 : 1e-3)
                    << b.number;
                EXPECT_NEAR(solved["a" + std::to_string(b.number)] * 180 / std::numbers::pi,
                            b.finalAngle, 0.05)
                    << b.number;
            }
        }
    }
}
