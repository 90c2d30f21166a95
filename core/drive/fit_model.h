#pragma once

#include <string>
#include <vector>

#include "core/base/code_node.h"
#include "core/base/flat_code.h"
#include "core/base/name_table.h"
#include "core/numeric/levenberg_marquardt.h"
#include "core/symbolic/list_file.h"

struct CoreState;

// The document's model fitted to the rows of the attached list file, as a least-squares
// problem. The data variables are the list file's columns; the parameters are the other
// variables of the equations. Each equation that refers to a data variable gives one residual
// per row, its code evaluated with the row's values in the data variables; an equation that
// refers to none gives one residual (a condition on the parameters alone). The derivative of
// every equation by every parameter is built symbolically and compiled once; per row it is
// evaluated like the equation itself, so no expression grows with the number of rows.
//
// The codes refer to the variables by their numbers in the name table of the compile they
// came from. Another compile of the run (the gradient equations of the rewrite route) numbers
// its variables anew; SwapNames brings the model's table back for as long as it is evaluated.
class FitModel : public LeastSquaresProblem {
   public:
    explicit FitModel(CoreState& s);
    FitModel(const FitModel&) = delete;
    FitModel& operator=(const FitModel&) = delete;
    ~FitModel() override;

    // Builds the model from the compiled equations and the table. False, with the reason on
    // the console, when there is nothing to fit: no rows, no parameter, fewer residuals than
    // parameters, or a derivative that cannot be built.
    bool Build(ListTable table);

    int Observations() const override { return observations_; }
    int Parameters() const override { return static_cast<int>(parameters_.size()); }
    bool Residuals(const std::vector<double>& x, std::vector<double>& r) override;
    bool Jacobian(const std::vector<double>& x, DenseMatrix& j) override;
    // Writes the iteration line; false once the run is cancelled.
    bool Continue(int iteration, double sumOfSquares) override;

    // Whether no derivative refers to a parameter: the residuals are linear in them.
    bool Linear() const { return linear_; }
    int Rows() const { return table_.rows(); }
    // The parameters' names, and their values in the name table (the starting point).
    std::vector<std::string> ParameterNames() const;
    std::vector<double> Values() const;
    // The observed response of every residual: the value of a data column that stands alone on
    // one side of its equation (y = f(x) or f(x) = y); NaN where there is none.
    std::vector<double> Observed() const;
    // Where the last Residuals or Jacobian call failed: the list file's line (0 for an
    // equation without data) and the equation.
    int FailedLine() const { return failedLine_; }
    int FailedEquation() const { return failedEquation_; }
    // The evaluator's reason for that failure.
    const std::string& Failure() const { return failure_; }

    // Swaps the run's name table with a copy of the one the model was built on; there the
    // parameters take the values of the run's variables of the same names. A second call swaps
    // back.
    void SwapNames();

   private:
    struct ModelEquation {
        CodeNode* code = nullptr;            // the residual (evaluation form), owned
        std::vector<CodeNode*> derivatives;  // by parameter; null where identically 0
        FlatCode flat;                        // code as the evaluator runs it, row after row
        std::vector<FlatCode> flatDerivatives;  // derivatives so; empty where null
        int number = 0;                      // in the document
        bool data = false;                   // refers to a data variable
        int response = -1;                   // column of the table standing alone, or -1
    };
    bool BuildEquation(int e, const std::vector<bool>& isParameter);
    // Whether an evaluated value may be used; when not, why is kept for Failure.
    bool Usable(bool error, double value);
    void SetRow(int row);
    void SetParameters(const std::vector<double>& x);
    template <typename Each>
    bool ForEachResidual(Each each);

    CoreState& s_;
    NameTable names_;       // the table the codes were compiled against, or the run's
    bool swapped_ = false;  // names_ holds the run's table
    ListTable table_;
    std::vector<int> parameters_;  // variable numbers
    std::vector<ModelEquation> equations_;
    int dataEquations_ = 0;
    int observations_ = 0;
    bool linear_ = true;
    int failedLine_ = 0;
    int failedEquation_ = 0;
    std::string failure_;
};
