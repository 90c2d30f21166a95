#pragma once

#include <limits>
#include <string>
#include <string_view>
#include <vector>

// The statistics of a least-squares fit, and the results file that holds them beside the
// document (base name + ".FIT") for the desktop and for scripts. This file is the format's one
// home: the core writes it with FormatFitTable, every reader parses it with ParseFitTable.
//
// The file is text, one item per line, items separated by blanks; a value that does not exist
// (a standard error when the parameters are not independent, R-squared without a response
// column) is written "-". Numbers carry 17 significant digits, so they read back exactly.
//
//     VALDRIX-FIT 1
//     Observations 36
//     Parameters 2
//     DegreesOfFreedom 34
//     ResidualSumOfSquares 26.617398529422894
//     ResidualStandardDeviation 0.88479639614438201
//     RMS 0.85986753710839597
//     RSquared 0.99999374588371196
//     AdjustedRSquared 0.99999356193323584
//     Confidence 0.95
//     Parameter Estimate StandardError TValue Lower Upper
//     B0 -0.26232307377424502 0.23281823430115501 -1.12673 ... ...
//     B1 1.0021168180204499 0.00042979684819994199 2331.6 ... ...
//     Correlation B0 B1
//     B0 1 -0.77...
//     B1 -0.77... 1
//     End
//
// The "Correlation" block is present only when the standard errors are; its rows follow the
// order of the parameter rows. Lower and Upper bound the confidence interval of the level
// named by "Confidence".

inline constexpr double kNoValue = std::numeric_limits<double>::quiet_NaN();

struct FitParameter {
    std::string name;
    double estimate = 0.0;
    double standardError = kNoValue;
    double tValue = kNoValue;  // estimate / standard error
    double lower = kNoValue;   // confidence interval
    double upper = kNoValue;
};

struct FitStatistics {
    int observations = 0;      // n, the residuals (rows times model equations)
    int degreesOfFreedom = 0;  // n - p
    std::vector<FitParameter> parameters;
    double residualSumOfSquares = 0.0;
    double residualSd = kNoValue;  // sqrt(RSS / (n - p)); none without degrees of freedom
    double rms = 0.0;              // sqrt(RSS / n)
    double rSquared = kNoValue;    // 1 - RSS / sum (y - mean y)^2
    double adjustedRSquared = kNoValue;
    double confidence = 0.95;         // level of the intervals
    std::vector<double> correlation;  // p x p row by row; empty without standard errors

    bool haveErrors() const { return !correlation.empty(); }
    double correlationAt(std::size_t i, std::size_t j) const {
        return correlation[i * parameters.size() + j];
    }
};

std::string FormatFitTable(const FitStatistics& statistics);

// The statistics of a text in the format above; false when the text is not one (a missing or
// misspelt item, a count that does not match its rows, a word where a number belongs).
bool ParseFitTable(std::string_view text, FitStatistics& statistics);
