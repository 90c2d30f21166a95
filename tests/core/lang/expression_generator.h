#pragma once

// Random equation text over the grammar the rewrites of compiled code have to keep the meaning
// of: sums, differences, products and quotients with and without parentheses, integer
// powers, unary minus, SIN, EXP, ATAN2, SQRT, ABS and IF. With `identities` the choice widens
// to what simplification rewrites (SQUARE, INV, COS and ARCTAN of a negation, nested and
// fractional powers, SQRT of a square, inverse function pairs, SIN^2 + COS^2, repeated
// subexpressions) and the numbers stay small; without it the sequence is the one the writer's
// round trip has always used.

#include <cmath>
#include <cstdio>
#include <random>
#include <string>

class ExpressionGenerator {
   public:
    static constexpr const char* kNames[] = {"x", "y", "z", "rate"};

    explicit ExpressionGenerator(unsigned seed = 20240611, bool identities = false)
        : identities_(identities), rng_(seed) {}

    std::string Equation() {
        const char* relations[] = {" = ", " = ", " > ", " < ", ""};
        const std::string relation = relations[Pick(5)];
        return Expression(4) + (relation.empty() ? "" : relation + Expression(3)) + ";\n";
    }

    std::string Expression(int depth) {
        if (depth <= 0) return Pick(2) ? kNames[Pick(4)] : Number();
        const std::string a = Expression(depth - 1 - Pick(2)), b = Expression(depth - 1 - Pick(2));
        const int pick = Pick(identities_ ? 27 : 15);
        switch (pick) {
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
            case 14: return "(IF " + a + " > " + b + " THEN (" + b + ") ELSE (" + a + "))";
            case 15: return "SQUARE(" + a + ")";
            case 16: return "INV(" + a + ")";
            case 17: return "COS(-(" + a + ")) + ARCTAN(-(" + a + "))";
            case 18: return "((" + a + ")^2)^" + Fraction();
            case 19: return "SQRT(SQUARE(" + a + "))";
            case 20: return "LN(EXP(" + a + ")) - ARCTAN(TAN(" + a + "))";
            case 21: return "SIN(" + a + ")^2 + COS(" + a + ")^2";
            case 22: return "(" + a + ")*(" + b + ")/(" + a + ")";
            case 23: return Number() + "*(" + a + ") - " + Number() + "*(" + a + ")";
            case 24: return "(" + a + ")^" + Fraction() + "*(" + a + ")^" + Fraction();
            case 25: return "(" + a + " + " + b + ")*(" + b + " - " + a + ")";
            default: return "SQRT(ABS(" + a + "))^" + Fraction();
        }
    }

    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }

   private:
    std::string Number() {
        if (identities_) {
            const char* small[] = {"2", "0.5", "3", "1.5", "-2", "PI", "1", "0"};
            return small[Pick(8)];
        }
        const char* fixed[] = {"7", "2.5", "1.25E-3", "-3", "PI"};
        const int pick = Pick(8);
        if (pick < 5) return fixed[pick];
        // Full-precision values: rounding them on the way would show.
        char text[40];
        std::snprintf(
            text, sizeof text, "%.17g",
            std::uniform_real_distribution<double>(-50, 50)(rng_) * std::pow(10.0, Pick(9) - 4));
        return text;
    }

    std::string Fraction() {
        const char* exponents[] = {"0.5", "1.5", "3", "-1", "2"};
        return exponents[Pick(5)];
    }

    bool identities_;
    std::mt19937 rng_;
};
