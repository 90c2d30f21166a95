#pragma once

#include <vector>

#include "core/base/code_node.h"
#include "core/numeric/smooth_problem.h"

struct CoreState;

// The compiled document as a minimization problem: its objective and constraints, with their
// gradients and Hessians built once as code by symbolic differentiation and evaluated by the
// evaluator at every point the methods ask for. The variables are those of the compile (the
// name table's 1..n, x_i standing for variable i + 1), so the name table must be the
// document's whenever the problem is evaluated.
//
// Constraints follow the Lagrangian rewrite's reading of the relations: '=' an equality of
// left minus right; '>' (or 0xF2) left - right >= 0; '<' (or 0xF3) right - left >= 0.
class DocumentProblem : public SmoothProblem {
   public:
    explicit DocumentProblem(CoreState& s) : s_(s) {}
    ~DocumentProblem() override;
    DocumentProblem(const DocumentProblem&) = delete;
    DocumentProblem& operator=(const DocumentProblem&) = delete;

    // From the compiled equations. Unconstrained: every equation is an objective, whatever its
    // relation. Constrained: the equations without a relation are summed into the objective
    // and every other one (retired ones aside) is a constraint. Returns false, after the
    // differentiation's own message, when a derivative cannot be formed.
    bool Build(bool constrained);

    // The current values of the variables.
    std::vector<double> CurrentPoint() const;
    // Sets the variables to x.
    void Load(const std::vector<double>& x);
    // The document's equation number of a constraint.
    int EquationOf(int constraint) const { return constraints_[constraint].equation; }

    int VariableCount() const override { return n_; }
    int ConstraintCount() const override { return static_cast<int>(constraints_.size()); }
    bool IsEquality(int constraint) const override { return constraints_[constraint].equality; }
    bool Values(const std::vector<double>& x, double& f, std::vector<double>& c) override;
    bool Gradients(const std::vector<double>& x, std::vector<double>& g,
                   DenseMatrix& jacobian) override;
    bool Hessian(const std::vector<double>& x, const std::vector<double>& lambda,
                 DenseMatrix& h) override;

   private:
    // One expression with its derivatives; a null code stands for 0.
    struct Function {
        CodeNode* code = nullptr;
        double sign = 1.0;                // -1 for a '<' constraint
        std::vector<CodeNode*> gradient;  // per variable
        std::vector<CodeNode*> hessian;   // lower triangle, row by row
        int equation = 0;
        bool equality = false;
    };
    bool Differentiate(Function& f);
    bool Value(const CodeNode* code, double& value);
    // Adds weight times the Hessian of f to h.
    bool AddHessian(const Function& f, double weight, DenseMatrix& h);

    CoreState& s_;
    int n_ = 0;
    std::vector<Function> objectives_;
    std::vector<Function> constraints_;
};
