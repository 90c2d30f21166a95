#pragma once

#include <cmath>
#include <string>

// Problems of Hock and Schittkowski ("Test examples for nonlinear programming codes", 1981) as
// equation documents for command 'K': the objective, the constraints ('>' for >=) and the
// published starting values, with the published optimal value f*.
namespace hock_schittkowski {

struct Published {
    const char* name;
    std::string document;  // objective, constraints ('>' for >=), starting values
    double minimum;        // published f*
};

// Bounds are written as inequalities of their own. Starts outside the bounds are those
// published (HS 21, 71).
inline const Published kProblems[] = {
    {"HS6", "(1 - x1)^2;\n10*(x2 - x1^2) = 0;\nx1 \xbb -1.2;\nx2 \xbb 1;\n", 0.0},
    {"HS7", "LN(1 + x1^2) - x2;\n(1 + x1^2)^2 + x2^2 - 4 = 0;\nx1 \xbb 2;\nx2 \xbb 2;\n",
     -std::sqrt(3.0)},
    {"HS10", "x1 - x2;\n-3*x1^2 + 2*x1*x2 - x2^2 + 1 > 0;\nx1 \xbb -10;\nx2 \xbb 10;\n", -1.0},
    {"HS11", "(x1 - 5)^2 + x2^2 - 25;\n-x1^2 + x2 > 0;\nx1 \xbb 4.9;\nx2 \xbb 0.1;\n",
     -8.498464223},
    {"HS12",
     "0.5*x1^2 + x2^2 - x1*x2 - 7*x1 - 7*x2;\n25 - 4*x1^2 - x2^2 > 0;\nx1 \xbb 0;\n"
     "x2 \xbb 0;\n",
     -30.0},
    {"HS14",
     "(x1 - 2)^2 + (x2 - 1)^2;\nx1 - 2*x2 + 1 = 0;\n-x1^2/4 - x2^2 + 1 > 0;\n"
     "x1 \xbb 2;\nx2 \xbb 2;\n",
     9 - 2.875 * std::sqrt(7.0)},
    {"HS15",
     "100*(x2 - x1^2)^2 + (1 - x1)^2;\nx1*x2 - 1 > 0;\nx1 + x2^2 > 0;\nx1 < 0.5;\n"
     "x1 \xbb -2;\nx2 \xbb 1;\n",
     306.5},
    {"HS18",
     "0.01*x1^2 + x2^2;\nx1*x2 - 25 > 0;\nx1^2 + x2^2 - 25 > 0;\nx1 > 2;\nx1 < 50;\n"
     "x2 > 0;\nx2 < 50;\nx1 \xbb 2;\nx2 \xbb 2;\n",
     5.0},
    {"HS21",
     "0.01*x1^2 + x2^2 - 100;\n10*x1 - x2 - 10 > 0;\nx1 > 2;\nx1 < 50;\nx2 > -50;\n"
     "x2 < 50;\nx1 \xbb -1;\nx2 \xbb -1;\n",
     -99.96},
    {"HS23",
     "x1^2 + x2^2;\nx1 + x2 - 1 > 0;\nx1^2 + x2^2 - 1 > 0;\n9*x1^2 + x2^2 - 9 > 0;\n"
     "x1^2 - x2 > 0;\nx2^2 - x1 > 0;\nx1 > -50;\nx1 < 50;\nx2 > -50;\nx2 < 50;\n"
     "x1 \xbb 3;\nx2 \xbb 1;\n",
     2.0},
    {"HS26",
     "(x1 - x2)^2 + (x2 - x3)^4;\n(1 + x2^2)*x1 + x3^4 - 3 = 0;\nx1 \xbb -2.6;\n"
     "x2 \xbb 2;\nx3 \xbb 2;\n",
     0.0},
    {"HS28",
     "(x1 + x2)^2 + (x2 + x3)^2;\nx1 + 2*x2 + 3*x3 - 1 = 0;\nx1 \xbb -4;\nx2 \xbb 1;\n"
     "x3 \xbb 1;\n",
     0.0},
    {"HS29", "-x1*x2*x3;\n-x1^2 - 2*x2^2 - 4*x3^2 + 48 > 0;\nx1 \xbb 1;\nx2 \xbb 1;\nx3 \xbb 1;\n",
     -16 * std::sqrt(2.0)},
    {"HS35",
     "9 - 8*x1 - 6*x2 - 4*x3 + 2*x1^2 + 2*x2^2 + x3^2 + 2*x1*x2 + 2*x1*x3;\n"
     "3 - x1 - x2 - 2*x3 > 0;\nx1 > 0;\nx2 > 0;\nx3 > 0;\nx1 \xbb 0.5;\nx2 \xbb 0.5;\n"
     "x3 \xbb 0.5;\n",
     1.0 / 9.0},
    {"HS39",
     "-x1;\nx2 - x1^3 - x3^2 = 0;\nx1^2 - x2 - x4^2 = 0;\nx1 \xbb 2;\nx2 \xbb 2;\n"
     "x3 \xbb 2;\nx4 \xbb 2;\n",
     -1.0},
    {"HS43",
     "x1^2 + x2^2 + 2*x3^2 + x4^2 - 5*x1 - 5*x2 - 21*x3 + 7*x4;\n"
     "8 - x1^2 - x2^2 - x3^2 - x4^2 - x1 + x2 - x3 + x4 > 0;\n"
     "10 - x1^2 - 2*x2^2 - x3^2 - 2*x4^2 + x1 + x4 > 0;\n"
     "5 - 2*x1^2 - x2^2 - x3^2 - 2*x1 + x2 + x4 > 0;\n"
     "x1 \xbb 0;\nx2 \xbb 0;\nx3 \xbb 0;\nx4 \xbb 0;\n",
     -44.0},
    {"HS48",
     "(x1 - 1)^2 + (x2 - x3)^2 + (x4 - x5)^2;\nx1 + x2 + x3 + x4 + x5 - 5 = 0;\n"
     "x3 - 2*(x4 + x5) + 3 = 0;\nx1 \xbb 3;\nx2 \xbb 5;\nx3 \xbb -3;\nx4 \xbb 2;\n"
     "x5 \xbb -2;\n",
     0.0},
    {"HS65",
     "(x1 - x2)^2 + (x1 + x2 - 10)^2/9 + (x3 - 5)^2;\n48 - x1^2 - x2^2 - x3^2 > 0;\n"
     "x1 > -4.5;\nx1 < 4.5;\nx2 > -4.5;\nx2 < 4.5;\nx3 > -5;\nx3 < 5;\n"
     "x1 \xbb -5;\nx2 \xbb 5;\nx3 \xbb 0;\n",
     0.9535288567},
    {"HS71",
     "x1*x4*(x1 + x2 + x3) + x3;\nx1*x2*x3*x4 - 25 > 0;\n"
     "x1^2 + x2^2 + x3^2 + x4^2 - 40 = 0;\nx1 > 1;\nx1 < 5;\nx2 > 1;\nx2 < 5;\nx3 > 1;\n"
     "x3 < 5;\nx4 > 1;\nx4 < 5;\nx1 \xbb 1;\nx2 \xbb 5;\nx3 \xbb 5;\nx4 \xbb 1;\n",
     17.0140173},
};

}  // namespace hock_schittkowski
