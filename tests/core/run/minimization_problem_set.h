#pragma once

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

// Unconstrained minimization problems of Moré, Garbow and Hillstrom ("Testing unconstrained
// optimization software", ACM TOMS 7, 1981) as equation documents: f = sum of the squares of
// the published residuals r_i(x1..xn), with the published start x0 and the published minimum
// values (several where the function has local minima that a method may reach from x0).
namespace mgh {

struct Problem {
    std::string name;
    int number = 0;                      // in the collection
    std::vector<double> start;           // x0
    std::vector<std::string> residuals;  // in x1..xn
    std::vector<double> minima;          // published values of f at its (local) minima
};

inline std::string Real(double v) {
    std::ostringstream s;
    s.precision(17);
    s << v;
    return s.str();
}

inline std::string X(int i) {
    return "x" + std::to_string(i);
}

// The document: an options line, f as one statement, the starting values (byte 0xBB).
inline std::string Document(const Problem& p, const std::string& options) {
    std::string text = "{Options: " + options + "}\n";
    std::string f;
    for (const std::string& r : p.residuals) f += (f.empty() ? "" : " + ") + ("(" + r + ")^2");
    text += f + ";\n";
    for (std::size_t i = 0; i < p.start.size(); ++i) {
        text += X(static_cast<int>(i) + 1) + " \xbb " + Real(p.start[i]) + ";\n";
    }
    return text;
}

inline std::vector<Problem> Problems() {
    std::vector<Problem> set;
    set.push_back({"Rosenbrock", 1, {-1.2, 1}, {"10*(x2 - x1^2)", "1 - x1"}, {0}});
    set.push_back({"Freudenstein and Roth",
                   2,
                   {0.5, -2},
                   {"-13 + x1 + ((5 - x2)*x2 - 2)*x2", "-29 + x1 + ((x2 + 1)*x2 - 14)*x2"},
                   {0, 48.9842}});
    set.push_back({"Powell badly scaled",
                   3,
                   {0, 1},
                   {"10000*x1*x2 - 1", "EXP(-x1) + EXP(-x2) - 1.0001"},
                   {0}});
    set.push_back(
        {"Brown badly scaled", 4, {1, 1}, {"x1 - 1000000", "x2 - 0.000002", "x1*x2 - 2"}, {0}});
    {
        Problem p{"Beale", 5, {1, 1}, {}, {0}};
        const double y[] = {1.5, 2.25, 2.625};
        for (int i = 1; i <= 3; ++i) {
            p.residuals.push_back(Real(y[i - 1]) + " - x1*(1 - x2^" + std::to_string(i) + ")");
        }
        set.push_back(p);
    }
    {
        Problem p{"Jennrich and Sampson", 6, {0.3, 0.4}, {}, {124.362}};
        for (int i = 1; i <= 10; ++i) {
            const std::string k = std::to_string(i);
            p.residuals.push_back(std::to_string(2 + 2 * i) + " - (EXP(" + k + "*x1) + EXP(" + k +
                                  "*x2))");
        }
        set.push_back(p);
    }
    // theta = atan(x2/x1)/2pi (+1/2 for x1 < 0), written with ATAN2 turned by a quarter so that
    // its cut lies where the published one does.
    set.push_back(
        {"Helical valley",
         7,
         {-1, 0, 0},
         {"10*(x3 - 10*(ATAN2(-x1, x2)/(2*PI) + 0.25))", "10*(SQRT(x1^2 + x2^2) - 1)", "x3"},
         {0}});
    {
        Problem p{"Bard", 8, {1, 1, 1}, {}, {8.21487e-3, 17.4286}};
        const double y[] = {0.14, 0.18, 0.22, 0.25, 0.29, 0.32, 0.35, 0.39,
                            0.37, 0.58, 0.73, 0.96, 1.34, 2.10, 4.39};
        for (int i = 1; i <= 15; ++i) {
            const int u = i, v = 16 - i, w = std::min(u, v);
            p.residuals.push_back(Real(y[i - 1]) + " - (x1 + " + std::to_string(u) + "/(" +
                                  std::to_string(v) + "*x2 + " + std::to_string(w) + "*x3))");
        }
        set.push_back(p);
    }
    {
        Problem p{"Gaussian", 9, {0.4, 1, 0}, {}, {1.12793e-8}};
        const double y[] = {0.0009, 0.0044, 0.0175, 0.0540, 0.1295, 0.2420, 0.3521, 0.3989,
                            0.3521, 0.2420, 0.1295, 0.0540, 0.0175, 0.0044, 0.0009};
        for (int i = 1; i <= 15; ++i) {
            const double t = (8.0 - i) / 2.0;
            p.residuals.push_back("x1*EXP(-x2*(" + Real(t) + " - x3)^2/2) - " + Real(y[i - 1]));
        }
        set.push_back(p);
    }
    {
        Problem p{"Meyer", 10, {0.02, 4000, 250}, {}, {87.9458}};
        const double y[] = {34780, 28610, 23650, 19630, 16370, 13720, 11540, 9744,
                            8261,  7030,  6005,  5147,  4427,  3820,  3307,  2872};
        for (int i = 1; i <= 16; ++i) {
            p.residuals.push_back("x1*EXP(x2/(" + std::to_string(45 + 5 * i) + " + x3)) - " +
                                  Real(y[i - 1]));
        }
        set.push_back(p);
    }
    {
        Problem p{"Box three-dimensional", 12, {0, 10, 20}, {}, {0}};
        for (int i = 1; i <= 10; ++i) {
            const double t = 0.1 * i;
            p.residuals.push_back("EXP(-" + Real(t) + "*x1) - EXP(-" + Real(t) + "*x2) - x3*" +
                                  Real(std::exp(-t) - std::exp(-10 * t)));
        }
        set.push_back(p);
    }
    set.push_back({"Powell singular",
                   13,
                   {3, -1, 0, 1},
                   {"x1 + 10*x2", "SQRT(5)*(x3 - x4)", "(x2 - 2*x3)^2", "SQRT(10)*(x1 - x4)^2"},
                   {0}});
    set.push_back({"Wood",
                   14,
                   {-3, -1, -3, -1},
                   {"10*(x2 - x1^2)", "1 - x1", "SQRT(90)*(x4 - x3^2)", "1 - x3",
                    "SQRT(10)*(x2 + x4 - 2)", "(x2 - x4)/SQRT(10)"},
                   {0}});
    {
        Problem p{
            "Kowalik and Osborne", 15, {0.25, 0.39, 0.415, 0.39}, {}, {3.07505e-4, 1.02734e-3}};
        const double y[] = {0.1957, 0.1947, 0.1735, 0.1600, 0.0844, 0.0627,
                            0.0456, 0.0342, 0.0323, 0.0235, 0.0246};
        const double u[] = {4, 2, 1, 0.5, 0.25, 0.167, 0.125, 0.1, 0.0833, 0.0714, 0.0625};
        for (int i = 0; i < 11; ++i) {
            const std::string ui = Real(u[i]), u2 = Real(u[i] * u[i]);
            p.residuals.push_back(Real(y[i]) + " - x1*(" + u2 + " + " + ui + "*x2)/(" + u2 + " + " +
                                  ui + "*x3 + x4)");
        }
        set.push_back(p);
    }
    {
        Problem p{"Brown and Dennis", 16, {25, 5, -5, -1}, {}, {85822.2}};
        for (int i = 1; i <= 20; ++i) {
            const double t = i / 5.0;
            p.residuals.push_back("(x1 + " + Real(t) + "*x2 - " + Real(std::exp(t)) +
                                  ")^2 + (x3 + " + Real(std::sin(t)) + "*x4 - " +
                                  Real(std::cos(t)) + ")^2");
        }
        set.push_back(p);
    }
    {
        Problem p{"Biggs EXP6", 18, {1, 2, 1, 1, 1, 1}, {}, {5.65565e-3, 0}};
        for (int i = 1; i <= 13; ++i) {
            const double t = 0.1 * i;
            const double y = std::exp(-t) - 5 * std::exp(-10 * t) + 3 * std::exp(-4 * t);
            const std::string ts = Real(t);
            p.residuals.push_back("x3*EXP(-" + ts + "*x1) - x4*EXP(-" + ts + "*x2) + x6*EXP(-" +
                                  ts + "*x5) - " + Real(y));
        }
        set.push_back(p);
    }
    {
        Problem p{"Watson", 20, std::vector<double>(6, 0.0), {}, {2.28767e-3}};
        for (int i = 1; i <= 29; ++i) {
            const double t = i / 29.0;
            std::string s1, s2;
            for (int j = 1; j <= 6; ++j) {
                if (j >= 2) {
                    s1 +=
                        (s1.empty() ? "" : " + ") + Real((j - 1) * std::pow(t, j - 2)) + "*" + X(j);
                }
                s2 += (s2.empty() ? "" : " + ") + Real(std::pow(t, j - 1)) + "*" + X(j);
            }
            p.residuals.push_back(s1 + " - (" + s2 + ")^2 - 1");
        }
        p.residuals.push_back("x1");
        p.residuals.push_back("x2 - x1^2 - 1");
        set.push_back(p);
    }
    {
        Problem p{"Extended Rosenbrock", 21, {}, {}, {0}};
        for (int k = 1; k <= 5; ++k) {
            p.start.insert(p.start.end(), {-1.2, 1});
            const std::string a = X(2 * k - 1), b = X(2 * k);
            p.residuals.push_back("10*(" + b + " - " + a + "^2)");
            p.residuals.push_back("1 - " + a);
        }
        set.push_back(p);
    }
    {
        Problem p{"Penalty I", 23, {1, 2, 3, 4}, {}, {2.24997e-5}};
        std::string squares;
        for (int j = 1; j <= 4; ++j) {
            p.residuals.push_back("SQRT(0.00001)*(" + X(j) + " - 1)");
            squares += (squares.empty() ? "" : " + ") + X(j) + "^2";
        }
        p.residuals.push_back(squares + " - 0.25");
        set.push_back(p);
    }
    {
        Problem p{"Variably dimensioned", 25, {}, {}, {0}};
        std::string weighted;
        for (int j = 1; j <= 10; ++j) {
            p.start.push_back(1 - j / 10.0);
            p.residuals.push_back(X(j) + " - 1");
            weighted += (weighted.empty() ? "" : " + ") + std::to_string(j) + "*(" + X(j) + " - 1)";
        }
        p.residuals.push_back(weighted);
        p.residuals.push_back("(" + weighted + ")^2");
        set.push_back(p);
    }
    {
        Problem p{"Trigonometric", 26, std::vector<double>(10, 0.1), {}, {0, 2.79506e-5}};
        std::string cosines;
        for (int j = 1; j <= 10; ++j)
            cosines += (cosines.empty() ? "" : " + ") + ("COS(" + X(j) + ")");
        for (int i = 1; i <= 10; ++i) {
            p.residuals.push_back("10 - (" + cosines + ") + " + std::to_string(i) + "*(1 - COS(" +
                                  X(i) + ")) - SIN(" + X(i) + ")");
        }
        set.push_back(p);
    }
    return set;
}

}  // namespace mgh
