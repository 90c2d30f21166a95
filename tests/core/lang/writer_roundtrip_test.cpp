// Property: any compiled equation set, written as text and compiled again, states the same
// equations. Checked on generated equations over the whole grammar the writer has to cover.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "core/eval/evaluator.h"
#include "core/lang/parser_harness.h"
#include "core/lang/writer.h"

namespace {

const char* const kNames[] = {"x", "y", "z", "rate"};

class Generator {
   public:
    explicit Generator(unsigned seed) : rng_(seed) {}

    std::string Equation() {
        const char* relations[] = {" = ", " = ", " > ", " < ", ""};
        const std::string relation = relations[Pick(5)];
        std::string text = Expression(4);
        if (!relation.empty()) text += relation + Expression(3);
        return text + ";\n";
    }

   private:
    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }

    std::string Number() {
        switch (Pick(7)) {
            case 0: return std::to_string(Pick(10));
            case 1: return "2.5";
            case 2: return "1.25E-3";
            case 3: return "-3";
            case 4: return "PI";
            default: {
                // Full-precision values: rounding them on the way would show.
                char text[40];
                const double v = std::uniform_real_distribution<double>(-50, 50)(rng_) *
                                 std::pow(10.0, Pick(9) - 4);
                std::snprintf(text, sizeof text, "%.17g", v);
                return text;
            }
        }
    }

    std::string Expression(int depth) {
        if (depth <= 0) return Pick(2) ? kNames[Pick(4)] : Number();
        const std::string a = Expression(depth - 1 - Pick(2));
        const std::string b = Expression(depth - 1 - Pick(2));
        switch (Pick(16)) {
            case 0: return a + " + " + b;
            case 1: return a + " - " + b;
            case 2: return a + "*" + b;
            case 3: return a + "/" + b;
            case 4: return "(" + a + ") - (" + b + ")";
            case 5: return "(" + a + ")*(" + b + ")";
            case 6: return "(" + a + ")/(" + b + ")";
            case 7: return "(" + a + ")^" + std::to_string(Pick(4));
            case 8: return "-(" + a + ")";
            case 9: return "-" + a;
            case 10: return "SIN(" + a + ")";
            case 11: return "EXP(SIN(" + a + "))";
            case 12: return "ATAN2(" + a + ", " + b + ")";
            case 13: return "SQRT(ABS(" + a + "))";
            case 14: return "(IF " + a + " > " + b + " THEN " + "(" + b + ") ELSE (" + a + "))";
            default: return "a" + std::to_string(Pick(3)) + " - " + b;
        }
    }

    std::mt19937 rng_;
};

std::string WriteAll(ParserHarness& h) {
    std::string text;
    EquationText out(text);
    for (int e = 1; e <= h.s.model.count; ++e) {
        Equation& eq = h.s.model.eq[e];
        WriteEquation(h.s, eq.code, eq.relation, out, WriterStyle{});
        out.LineEnd();
    }
    return text;
}

// Residual of equation e with the variables set by name from `point`.
double Residual(ParserHarness& h, int e, const std::vector<double>& point, bool& special) {
    for (int v = 1; v <= h.s.names.variableCount; ++v) {
        const std::string& name = h.s.names.name[v];
        h.s.names.value[v] =
            name.size() == 2 && name[0] == 'a' ? name[1] - '0' + 0.5 : point[v % point.size()];
        for (std::size_t k = 0; k < 4; ++k) {
            if (name == kNames[k]) h.s.names.value[v] = point[k];
        }
    }
    bool error = false;
    h.s.keepMessage = true;
    const double r = Evaluate(h.s, h.s.model.eq[e].code, error);
    special = error || !std::isfinite(r) || std::fabs(r) >= 1e40 || r == kUndefinedValue;
    return r;
}

unsigned char Mirrored(unsigned char relation) {
    return relation == '<' ? '>' : relation == '>' ? '<' : relation;
}

}  // namespace

TEST(WriterRoundTrip, GeneratedEquationsReadBackAsTheSameEquations) {
    Generator generator(20240611);
    std::mt19937 points(5);
    std::uniform_real_distribution<double> coordinate(0.2, 2.0);
    int compared = 0;
    for (int document = 0; document < 150; ++document) {
        std::string text;
        for (int i = 0; i < 8; ++i) text += generator.Equation();
        ParserHarness first;
        first.s.settings.autoSimplify = document % 2 == 0;
        ASSERT_TRUE(first.Compile(text)) << text << first.s.message;
        const std::string written = WriteAll(first);

        ParserHarness second;
        second.s.settings.autoSimplify = first.s.settings.autoSimplify;
        ASSERT_TRUE(second.Compile(written)) << text << "\n--- written ---\n" << written;
        ASSERT_EQ(second.s.model.count, first.s.model.count) << written;
        // From the second writing on the text no longer changes. (The first may still move:
        // "x+-3" is written for a negation of 3 and reads back as the constant -3.)
        const std::string rewritten = WriteAll(second);
        ParserHarness third;
        third.s.settings.autoSimplify = first.s.settings.autoSimplify;
        ASSERT_TRUE(third.Compile(rewritten)) << rewritten;
        EXPECT_EQ(WriteAll(third), rewritten) << text;

        for (int e = 1; e <= first.s.model.count; ++e) {
            double sign = 0.0;
            for (int p = 0; p < 5; ++p) {
                const std::vector<double> point = {coordinate(points), coordinate(points),
                                                   coordinate(points), coordinate(points)};
                bool special1 = false, special2 = false;
                const double r1 = Residual(first, e, point, special1);
                const double r2 = Residual(second, e, point, special2);
                if (special1 || special2) continue;
                const double scale = std::max({1.0, std::fabs(r1), std::fabs(r2)});
                if (sign == 0.0 && std::fabs(r1) > 1e-6 * scale) sign = r1 * r2 < 0 ? -1.0 : 1.0;
                const double s = sign == 0.0 ? 1.0 : sign;
                EXPECT_NEAR(r2, s * r1, 1e-9 * scale) << "equation " << e << " of\n"
                                                      << text << "--- written ---\n"
                                                      << written;
                ++compared;
            }
            // A residual that changed its sign states the inequality the other way round.
            const unsigned char r1 = first.s.model.eq[e].relation;
            const unsigned char r2 = second.s.model.eq[e].relation;
            EXPECT_EQ(r2, sign < 0 ? Mirrored(r1) : r1) << "equation " << e << "\n" << written;
        }
    }
    EXPECT_GT(compared, 3000);
}
