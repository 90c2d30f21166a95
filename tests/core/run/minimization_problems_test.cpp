// Command 'O' on the published minimization problems of tests/data/mgh. The points it must
// never report as a minimum (a maximum, a saddle) are the golden optimize cases'.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/document_fixture.h"

namespace {

// The value the run prints after its verdict.
double PrintedValue(const std::string& out) {
    for (const char* label : {"Minimum value: ", "Objective value: "}) {
        const auto at = out.rfind(label);
        if (at != std::string::npos)
            return std::strtod(out.c_str() + at + std::strlen(label), nullptr);
    }
    return std::nan("");
}

// The values after "published minima:" in the document's comment.
std::vector<double> PublishedMinima(const std::string& document) {
    std::vector<double> minima;
    const auto at = document.find("published minima:");
    if (at == std::string::npos) return minima;
    std::istringstream in(document.substr(at + 17, document.find('}', at) - at - 17));
    for (double m; in >> m;) minima.push_back(m);
    return minima;
}

// Whether f is one of the published minima: to 1e-8 where that is 0, to 1e-5 relative
// otherwise (the published values have six significant digits).
bool IsPublishedMinimum(double f, const std::vector<double>& minima) {
    return std::any_of(minima.begin(), minima.end(), [f](double m) {
        return m == 0.0 ? std::fabs(f) <= 1e-8 : std::fabs(f - m) <= 1e-5 * m;
    });
}

class PublishedMinimization : public DocumentFixture {};

}  // namespace

// The documents ask for the scaled gradient below 1e-8.
TEST_F(PublishedMinimization, ReachesAPublishedMinimumFromTheStandardStart) {
    const char* root = std::getenv("VALDRIX_SOURCE_DIR");
    std::vector<std::filesystem::path> files;
    for (const auto& entry :
         std::filesystem::directory_iterator(std::string(root ? root : ".") + "/tests/data/mgh")) {
        if (entry.path().extension() == ".alg") files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files.size(), 21u);
    for (const std::filesystem::path& file : files) {
        SCOPED_TRACE(file.filename().string());
        std::ostringstream text;
        text << std::ifstream(file, std::ios::binary).rdbuf();
        const std::vector<double> minima = PublishedMinima(text.str());
        ASSERT_FALSE(minima.empty());
        ASSERT_EQ(Run(text.str(), "O"), 1) << out_;
        EXPECT_NE(out_.find("\nSolution Found!\n"), std::string::npos);
        const double f = PrintedValue(out_);
        EXPECT_TRUE(IsPublishedMinimum(f, minima)) << "f = " << f;
    }
}
