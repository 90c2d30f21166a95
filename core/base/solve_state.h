#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/base/code_node.h"
#include "core/base/limits.h"
#include "core/base/modes.h"
#include "core/base/special_values.h"
#include "core/base/trust_region_state.h"

// One sparse Jacobian term: equation row, variable column.
struct JacobianEntry {
    int equation = 0;                       // row
    int variable = 0;                       // column
    JacobianEntry* nextInRow = nullptr;     // next entry of the row
    JacobianEntry* nextInColumn = nullptr;  // next entry of the column (built by the ordering)
    double value = 0.0;                     // current value; multiplier after elimination
    CodeNode* code = nullptr;               // derivative code (symbolic mode), owned
    bool fill = false;                      // created by the elimination, not by the equation
    std::uint32_t slot = 0;                 // place in the arena: its code's flattened copy
};

// The branch an IF combination chose for one IF, and the condition that must then hold.
struct IfChoice {
    CodeNode* condition = nullptr;  // the IF's condition as compiled, evaluation form (owned)
    bool thenTaken = false;         // the combination took the THEN branch
};

// One record of the Jacobian file: equation, variable and the derivative in evaluation form.
struct JacobianTerm {
    int equation = 0;
    int variable = 0;
    CodeNode* code = nullptr;  // owned; null for a record without nodes
};

// Storage of Jacobian entries: blocks are kept between solves, entries are handed out in
// order and all returned at once when a solve loop ends.
class EntryArena {
   public:
    JacobianEntry* allocate();
    void reset() { used_ = 0; }

   private:
    static constexpr std::size_t kBlock = 256;
    std::vector<std::unique_ptr<JacobianEntry[]>> blocks_;
    std::size_t used_ = 0;
};

// Factors a solve keeps outside the Jacobian entries: the sparse LU of the large groups, whose
// type belongs to the solve layer. The state only owns them, from one structure analysis to the
// next.
struct ExternalFactors {
    virtual ~ExternalFactors() = default;
};

// State of the numerical solution of one run. Equations, variables and positions in the pivot
// order are numbered from 1.
struct SolveState {
    explicit SolveState(const Limits& limits);
    // Tables of another size; only between solve loops, when no entry is in use.
    void resize(const Limits& limits);

    // Sparse Jacobian.
    EntryArena entries;
    std::vector<JacobianEntry*> rowHead;     // equation -> first entry of its row
    std::vector<JacobianEntry*> diagonal;    // equation -> entry whose variable = equation
    std::vector<JacobianEntry*> columnHead;  // variable -> first entry of its column
    std::vector<int> columnLength;           // variable -> entries of unpivoted rows in it
    std::vector<int> columnEntries;          // variable -> entries in it, pivoted rows included
    // The records of the Jacobian file as the last complete build wrote them, until the next
    // read takes them (jacobian_file.h).
    std::vector<JacobianTerm> heldJacobian;
    bool jacobianHeld = false;

    // Ordering and grouping.
    std::vector<int> pivotEquation;  // position -> equation
    std::vector<int> pivotVariable;  // position -> variable
    std::vector<int> positionOf;     // equation -> position
    std::vector<int> matchOf;        // variable -> equation it is pivoted with
    std::vector<int> variablePosition;  // variable -> position it is pivoted at (0 = none)
    std::vector<int> groupOf;        // equation -> group
    std::vector<int> groupLast;      // group -> last position it covers
    int groupCount = 1;
    std::vector<double> work;    // scatter vector, one per variable
    std::vector<char> workMark;  // presence marks of the scatter vector
    std::unique_ptr<ExternalFactors> largeGroupFactors;  // null while no group is large

    // Values and residuals.
    std::vector<double> residual;         // equation -> last residual
    std::vector<double> stepStartValues;  // variable -> value at the start of the step
    std::vector<double> previousValues;   // variable -> value before the Newton step
    std::vector<double> delta;            // position -> right-hand side, then the step
    std::vector<double> groupNorm;        // group -> residual norm
    std::vector<char> groupFactored;      // group -> its factors are in the entries

    // Iteration state.
    int iteration = 0;  // iterations of the current solve
    int toleranceExponentReached =
        kZeroResidualExponent;                   // residual exponent of the last iteration
    StopReason outcome = StopReason::kContinue;  // why the last iterations ended
    int largestResidualEquation = 0;             // equation with the largest residual
    double largestResidual = 0.0;                // norm of the last iteration
    double previousLargestResidual = 0.0;        // norm of the iteration before
    int halvings = 0;                            // halvings of the last step
    int firstErrorEquation = 0;       // first equation whose evaluation failed (0 = none)
    bool evaluationError = false;     // a residual or Jacobian term could not be evaluated
    bool structureFailure = false;    // singular or dependent equations
    int lastConvergedGroup = 0;       // leading groups that converged
    bool jacobianUpdate = true;       // the Jacobian must be evaluated at this step
    TrustRegionState trustRegion;     // step bounds and work space of Robust Newton

    // Steps and IF search.
    int stepNumber = 1;                    // current step of the run
    int numberOfSteps = 1;                 // steps of the run
    bool lastCombination = true;           // the IF combination being solved is the last one
    bool searchingIfs = false;             // IF combinations are being searched
    std::vector<IfChoice> ifChoices;       // the chosen branch of each IF met
    std::vector<CodeNode*> savedCode;      // equation -> code as compiled, IF nodes included
    int homotopySteps = 0;                 // accepted and rejected parameter steps
    // The equations solved are the stationarity conditions of a minimization, which is judged
    // after the solve: a converged solve is not yet a solution.
    bool optimalityJudgedAfter = false;
    CodeNode* homotopyConstant = nullptr;  // the c of the parameter's equation t - c

    // Results by name of a time-stepping run: the document's own variable names, each shown
    // with the variable of the rewritten set that holds its value at the start of the step.
    bool resultsByName = false;
    std::vector<std::string> resultNames;
    std::vector<int> resultVariables;
    std::vector<int> resultEndVariables;  // the same names at the end of the step (level 1)
    std::vector<double> stepEndValues;    // where the last solved step ended; empty before one

    // Sweep of command G.
    StepMode sweepMode = StepMode::kTimeSteps;  // the sweep running, if any
    int sweepEquation = 0;                      // equation fixing the swept variable
    int sweepVariable = 0;
    double sweepStart = 0.0;
    double sweepStep = 0.0;
    int sweepInnerSteps = 1;
    int paramEquation = 0;  // equation fixing the second parameter
    int paramVariable = 0;
    double paramStep = 0.0;
};
