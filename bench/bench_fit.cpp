// Least-squares fits timed as a whole run of ours ("ALR": the document and the list file read,
// the fit, the results and the .FIT file written) and in-process by MINPACK's lmder (cminpack),
// with the analytic Jacobian, from the same starting values and with the same tolerances. The
// NIST StRD sets (nonlinear ones from both of NIST's starts) and a 100,000-row fit of a
// four-parameter model are registered side by side as BM_Fit_<problem>_Valdrix and
// BM_Fit_<problem>_Lmder. After timing, each peer benchmark checks that lmder reached the
// answer our run reports, to 6 significant digits (the `difference` counter).

#include <benchmark/benchmark.h>
#include <cminpack.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "bench/bench_documents.h"
#include "core/base/core_state.h"
#include "core/nist_data.h"
#include "core/run/entry.h"

namespace {

// The model's value at one row and its gradient by the parameters b; v holds the row's values
// in column order, the response first.
using ModelFunction = std::function<double(const double* b, const double* v, double* gradient)>;

struct Fit {
    std::string name;
    std::string document;  // the model and the starting values
    std::string list;      // the list file's text
    std::vector<std::string> parameters;
    ModelFunction model;
    std::vector<double> rows;  // row after row, the columns of the list file
    int columns = 0;
};

// Tolerance 1e-15 for both: ill-determined parameters (MGH09's standard errors are as large as
// the estimates) agree to 6 digits only when both methods converge that far.
constexpr const char* kOptions = "{Options: 1000 -15}\n";
constexpr double kTolerance = 1e-15;

void ReadRows(Fit& fit) {
    std::istringstream in(fit.list);
    std::string header;
    std::getline(in, header);
    std::istringstream names(header);
    fit.columns = 0;
    for (std::string name; names >> name;) ++fit.columns;
    for (double v = 0; in >> v;) fit.rows.push_back(v);
}

// The residuals and the column-major Jacobian lmder asks for.
int Residuals(void* data, int m, int n, const double* b, double* fvec, double* fjac, int ldfjac,
              int iflag) {
    const Fit& fit = *static_cast<const Fit*>(data);
    std::vector<double> gradient(static_cast<std::size_t>(n));
    for (int i = 0; i < m; ++i) {
        const double* v = fit.rows.data() + static_cast<std::size_t>(i) * fit.columns;
        const double value = fit.model(b, v, gradient.data());
        if (iflag == 1) {
            fvec[i] = value - v[0];
        } else {
            for (int k = 0; k < n; ++k)
                fjac[i + static_cast<std::size_t>(k) * ldfjac] = gradient[k];
        }
    }
    return 0;
}

int Rows(const Fit& fit) {
    return static_cast<int>(fit.rows.size()) / fit.columns;
}

// A wrong analytic gradient would still converge, only slower: it must agree with central
// differences at the start.
bool GradientAgrees(const Fit& fit, std::vector<double> b) {
    const int n = static_cast<int>(b.size());
    std::vector<double> analytic(n), ignored(n);
    for (int i = 0; i < Rows(fit); i += std::max(1, Rows(fit) / 50)) {
        const double* v = fit.rows.data() + static_cast<std::size_t>(i) * fit.columns;
        fit.model(b.data(), v, analytic.data());
        for (int k = 0; k < n; ++k) {
            const double h = 1e-6 * std::max(1.0, std::fabs(b[k])), at = b[k];
            b[k] = at + h;
            const double up = fit.model(b.data(), v, ignored.data());
            b[k] = at - h;
            const double down = fit.model(b.data(), v, ignored.data());
            b[k] = at;
            const double central = (up - down) / (2 * h);
            // The difference of two large values carries their rounding, divided by 2h.
            const double rounding = 1e-15 * (std::fabs(up) + std::fabs(down)) / (2 * h);
            if (std::fabs(central - analytic[k]) >
                1e-5 * std::max(1.0, std::fabs(central)) + rounding) {
                return false;
            }
        }
    }
    return true;
}

std::string DocumentPath(const Fit& fit) {
    return bench::ScratchDocument("fit_" + fit.name + ".alg", fit.document);
}

std::string ListPath(const Fit& fit) {
    return bench::ScratchDocument("fit_" + fit.name + ".LST", fit.list);
}

void Ours(benchmark::State& state, const Fit& fit) {
    const std::string path = DocumentPath(fit);
    CoreState s;
    s.console.callback = nullptr;
    s.settings.updateFileName = ListPath(fit);
    int solved = 0;
    for (auto _ : state) solved += SolverEntry(s, path.c_str(), "ALR");
    if (solved != static_cast<int>(state.iterations())) state.SkipWithError("a fit did not solve");
    state.counters["rows"] = Rows(fit);
}

void Lmder(benchmark::State& state, const Fit& fit) {
    const std::string path = DocumentPath(fit);
    const std::vector<double> start = bench::StartingValues(path, fit.parameters);
    if (!GradientAgrees(fit, start)) {
        state.SkipWithError("the peer's Jacobian disagrees with its model");
        return;
    }
    CoreState ours;
    ours.console.callback = nullptr;
    ours.settings.updateFileName = ListPath(fit);
    if (SolverEntry(ours, path.c_str(), "ALR") != 1) {
        state.SkipWithError("our run did not solve");
        return;
    }
    const std::vector<double> expected = bench::ValuesOf(ours, fit.parameters);

    const int m = Rows(fit), n = static_cast<int>(start.size());
    std::vector<double> x, fvec(m), fjac(static_cast<std::size_t>(m) * n), diag(n), qtf(n), wa1(n),
        wa2(n), wa3(n), wa4(m);
    std::vector<int> ipvt(n);
    int info = 0, nfev = 0, njev = 0;
    for (auto _ : state) {
        x = start;
        info = lmder(Residuals, const_cast<Fit*>(&fit), m, n, x.data(), fvec.data(), fjac.data(), m,
                     kTolerance, kTolerance, kTolerance, 200 * (n + 1), diag.data(), 1, 100.0, 0,
                     &nfev, &njev, ipvt.data(), qtf.data(), wa1.data(), wa2.data(), wa3.data(),
                     wa4.data());
        benchmark::DoNotOptimize(x.data());
    }
    double worst = 0.0;
    for (int k = 0; k < n; ++k) {
        worst = std::max(worst, std::fabs(x[k] - expected[k]) / std::fabs(expected[k]));
    }
    // 1 to 4 converged; 6 to 8 the tolerances are below what the arithmetic resolves, which at
    // 1e-15 is a minimum as well. The answer decides.
    if (info < 1 || info == 5 || info > 8 || !(worst < 1e-6)) {
        double sum = 0.0;
        for (double r : fvec) sum += r * r;
        char why[160];
        std::snprintf(why, sizeof why,
                      "lmder did not reach our answer: info %d, sum of squares %.6g, %d "
                      "evaluations",
                      info, sum, nfev);
        state.SkipWithError(why);
    }
    state.counters["difference"] = worst;
    state.counters["info"] = info;
    state.counters["evaluations"] = nfev;
    state.counters["rows"] = m;
}

// The NIST models by the order of their parameters.
double Polynomial(const double* b, double x, int degree, double* g) {
    double value = 0.0, power = 1.0;
    for (int k = 0; k <= degree; ++k, power *= x) {
        value += b[k] * power;
        g[k] = power;
    }
    return value;
}

double Saturation(const double* b, const double* v, double* g) {  // Misra1a, BoxBOD
    const double e = std::exp(-b[1] * v[1]);
    g[0] = 1 - e;
    g[1] = b[0] * v[1] * e;
    return b[0] * (1 - e);
}

double Chwirut(const double* b, const double* v, double* g) {
    const double x = v[1], e = std::exp(-b[0] * x), d = b[1] + b[2] * x;
    g[0] = -x * e / d;
    g[1] = -e / (d * d);
    g[2] = -x * e / (d * d);
    return e / d;
}

double Lanczos(const double* b, const double* v, double* g) {
    double value = 0.0;
    for (int k = 0; k < 3; ++k) {
        const double e = std::exp(-b[2 * k + 1] * v[1]);
        g[2 * k] = e;
        g[2 * k + 1] = -b[2 * k] * v[1] * e;
        value += b[2 * k] * e;
    }
    return value;
}

double Gauss(const double* b, const double* v, double* g) {
    const double x = v[1], e = std::exp(-b[1] * x);
    g[0] = e;
    g[1] = -b[0] * x * e;
    double value = b[0] * e;
    for (int k : {2, 5}) {
        const double d = x - b[k + 1], w = b[k + 2], bell = std::exp(-d * d / (w * w));
        g[k] = bell;
        g[k + 1] = b[k] * bell * 2 * d / (w * w);
        g[k + 2] = b[k] * bell * 2 * d * d / (w * w * w);
        value += b[k] * bell;
    }
    return value;
}

double DanWood(const double* b, const double* v, double* g) {
    const double p = std::pow(v[1], b[1]);
    g[0] = p;
    g[1] = b[0] * p * std::log(v[1]);
    return b[0] * p;
}

double Misra1b(const double* b, const double* v, double* g) {
    const double q = 1 + b[1] * v[1] / 2;
    g[0] = 1 - 1 / (q * q);
    g[1] = b[0] * v[1] / (q * q * q);
    return b[0] * (1 - 1 / (q * q));
}

double Mgh09(const double* b, const double* v, double* g) {
    const double x = v[1], num = x * x + x * b[1], den = x * x + x * b[2] + b[3];
    g[0] = num / den;
    g[1] = b[0] * x / den;
    g[2] = -b[0] * num * x / (den * den);
    g[3] = -b[0] * num / (den * den);
    return b[0] * num / den;
}

double Thurber(const double* b, const double* v, double* g) {
    const double x = v[1], x2 = x * x, x3 = x2 * x;
    const double p = b[0] + b[1] * x + b[2] * x2 + b[3] * x3;
    const double q = 1 + b[4] * x + b[5] * x2 + b[6] * x3;
    g[0] = 1 / q;
    g[1] = x / q;
    g[2] = x2 / q;
    g[3] = x3 / q;
    g[4] = -p * x / (q * q);
    g[5] = -p * x2 / (q * q);
    g[6] = -p * x3 / (q * q);
    return p / q;
}

struct NistModel {
    const char* set;
    const char* text;
    ModelFunction model;
    bool linear = false;
};

const NistModel kNist[] = {
    {"Norris", "y = B0 + B1*x",
     [](const double* b, const double* v, double* g) { return Polynomial(b, v[1], 1, g); }, true},
    {"Pontius", "y = B0 + B1*x + B2*x^2",
     [](const double* b, const double* v, double* g) { return Polynomial(b, v[1], 2, g); }, true},
    {"NoInt1", "y = B1*x",
     [](const double* b, const double* v, double* g) {
         g[0] = v[1];
         return b[0] * v[1];
     },
     true},
    {"Longley", "y = B0 + B1*x1 + B2*x2 + B3*x3 + B4*x4 + B5*x5 + B6*x6",
     [](const double* b, const double* v, double* g) {
         double value = b[0];
         g[0] = 1;
         for (int k = 1; k <= 6; ++k) {
             value += b[k] * v[k];
             g[k] = v[k];
         }
         return value;
     },
     true},
    {"Misra1a", "y = b1*(1 - EXP(-b2*x))", Saturation},
    {"Chwirut2", "y = EXP(-b1*x)/(b2 + b3*x)", Chwirut},
    {"Chwirut1", "y = EXP(-b1*x)/(b2 + b3*x)", Chwirut},
    {"Lanczos3", "y = b1*EXP(-b2*x) + b3*EXP(-b4*x) + b5*EXP(-b6*x)", Lanczos},
    {"Gauss1", "y = b1*EXP(-b2*x) + b3*EXP(-(x - b4)^2/b5^2) + b6*EXP(-(x - b7)^2/b8^2)", Gauss},
    {"DanWood", "y = b1*x^b2", DanWood},
    {"Misra1b", "y = b1*(1 - (1 + b2*x/2)^(-2))", Misra1b},
    {"MGH09", "y = b1*(x^2 + x*b2)/(x^2 + x*b3 + b4)", Mgh09},
    {"Thurber", "y = (b1 + b2*x + b3*x^2 + b4*x^3)/(1 + b5*x + b6*x^2 + b7*x^3)", Thurber},
    {"BoxBOD", "y = b1*(1 - EXP(-b2*x))", Saturation},
};

// A nonlinear set from NIST's start 1 or 2; a linear one (start 0) from the starting values
// the compile draws.
Fit NistFit(const NistModel& m, const nist::DataSet& set, int start) {
    Fit fit;
    fit.name = std::string(m.set) + (start == 0 ? "" : "_Start" + std::to_string(start));
    fit.document = std::string(kOptions) + m.text + ";\n";
    for (const nist::Parameter& p : set.parameters) {
        fit.parameters.push_back(p.name);
        if (start == 0) continue;
        char guess[80];
        std::snprintf(guess, sizeof guess, "%s \xbb %.17g;\n", p.name.c_str(),
                      start == 1 ? p.start1 : p.start2);
        fit.document += guess;
    }
    fit.list = set.listText;
    fit.model = m.model;
    ReadRows(fit);
    return fit;
}

// y = b1 e^(-b2 x) + b3 / (1 + x) + b4 on [0, 5] with normal noise of deviation 0.01.
Fit LargeFit(int rows) {
    Fit fit;
    fit.name = "FourParameters" + std::to_string(rows);
    fit.document = std::string(kOptions) +
                   "y = b1*EXP(-b2*x) + b3/(1 + x) + b4;\nb1 \xbb 1;\nb2 \xbb 1;\nb3 \xbb 1;\n"
                   "b4 \xbb 0;\n";
    fit.parameters = {"b1", "b2", "b3", "b4"};
    fit.model = [](const double* b, const double* v, double* g) {
        const double x = v[1], e = std::exp(-b[1] * x);
        g[0] = e;
        g[1] = -b[0] * x * e;
        g[2] = 1 / (1 + x);
        g[3] = 1;
        return b[0] * e + b[2] / (1 + x) + b[3];
    };
    std::mt19937 rng(3);
    std::normal_distribution<double> noise(0.0, 0.01);
    const double truth[] = {3.0, 0.7, 2.0, 0.5};
    fit.list = "y x\n";
    std::vector<double> gradient(4);
    for (int i = 0; i < rows; ++i) {
        const double v[2] = {0.0, 5.0 * i / rows};
        char line[64];
        std::snprintf(line, sizeof line, "%.10g %.10g\n",
                      fit.model(truth, v, gradient.data()) + noise(rng), v[1]);
        fit.list += line;
    }
    ReadRows(fit);
    return fit;
}

void Pair(const Fit& fit, benchmark::TimeUnit unit) {
    benchmark::RegisterBenchmark(("BM_Fit_" + fit.name + "_Valdrix").c_str(), Ours, fit)
        ->Unit(unit);
    benchmark::RegisterBenchmark(("BM_Fit_" + fit.name + "_Lmder").c_str(), Lmder, fit)->Unit(unit);
}

const bool kRegistered = [] {
    for (const NistModel& m : kNist) {
        const nist::DataSet set = nist::Load(m.set, VALDRIX_BENCH_DATA "/nist-strd");
        if (set.parameters.empty()) continue;
        for (int start : m.linear ? std::vector<int>{0} : std::vector<int>{1, 2}) {
            Pair(NistFit(m, set, start), benchmark::kMicrosecond);
        }
    }
    Pair(LargeFit(100000), benchmark::kMillisecond);
    return true;
}();

}  // namespace
