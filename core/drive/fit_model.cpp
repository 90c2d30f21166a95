#include "core/drive/fit_model.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "core/base/core_state.h"
#include "core/drive/drive_messages.h"
#include "core/eval/constant_fold.h"
#include "core/eval/evaluator.h"
#include "core/eval/flatten.h"
#include "core/eval/guarded.h"
#include "core/lang/code_string.h"
#include "core/lang/code_tables.h"
#include "core/symbolic/differentiate.h"

namespace {

namespace msg = fit_message;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

bool IsLoneVariable(const CodeNode* n) {
    return n != nullptr && n->kind == kKindVar && SubtreeEnd(n) == n;
}

// The variable standing alone on one side of an equation compiled as left - right, left side
// first; 0 when there is none. The code is walked in parse form and given back as it was.
int LoneSideVariable(CodeNode*& code) {
    CodeNode* head = ToPrefix(code);
    const CodeNode* root = head != nullptr && head->kind == kKindEnd ? head->next : head;
    root = SkipDeleted(root);
    int found = 0;
    if (root != nullptr && root->kind == kKindBinary && root->sub == code::kSub) {
        const CodeNode* right = SkipDeleted(root->next);
        const CodeNode* left = right != nullptr ? SkipDeleted(SubtreeEnd(right)->next) : nullptr;
        if (IsLoneVariable(left)) {
            found = left->var;
        } else if (IsLoneVariable(right)) {
            found = right->var;
        }
    }
    code = ToPostfix(head);
    return found;
}

bool IsZero(const CodeNode* code) {
    return IsPlainConstValue(code, 0.0) && code->next != nullptr && code->next->kind == kKindEnd;
}

void Say(CoreState& s, const std::string& text) {
    ConsoleWriteLine(s.console);
    ConsoleWrite(s.console, text);
    ConsoleWriteLine(s.console);
}

// Trial evaluations are the method's business: a failure there rejects a step, it is not the
// user's error, so it neither warns nor leaves its text as the run's error message (the model
// keeps it, for the report of a fit that cannot go on).
class QuietEvaluation {
   public:
    explicit QuietEvaluation(CoreState& s) : s_(s), quiet_(s.eval.quiet), message_(s.message) {
        s.eval.quiet = true;
    }
    ~QuietEvaluation() {
        s_.eval.quiet = quiet_;
        s_.message = message_;
    }
    QuietEvaluation(const QuietEvaluation&) = delete;
    QuietEvaluation& operator=(const QuietEvaluation&) = delete;

   private:
    CoreState& s_;
    bool quiet_;
    std::string message_;
};

}  // namespace

FitModel::FitModel(CoreState& s) : s_(s), names_(s.limits) {}

FitModel::~FitModel() {
    for (ModelEquation& e : equations_) {
        FreeList(s_.pool, e.code);
        for (CodeNode* d : e.derivatives) FreeList(s_.pool, d);
    }
}

bool FitModel::Build(ListTable table) {
    table_ = std::move(table);
    const NameTable& names = s_.names;
    std::vector<bool> isData(static_cast<std::size_t>(names.variableCount) + 1, false);
    for (int v : table_.variables) isData[v] = true;
    std::vector<bool> used(isData.size(), false);
    for (int e = 1; e <= s_.model.count; ++e) {
        if (s_.model.eq[e].relation == kRelationRetired) continue;
        for (const CodeNode* n = s_.model.eq[e].code; n != nullptr; n = n->next) {
            if (n->kind == kKindVar && n->var > 0 && n->var <= names.variableCount) {
                used[n->var] = true;
            }
        }
    }
    std::vector<bool> isParameter(isData.size(), false);
    for (int v = 1; v <= names.variableCount; ++v) {
        if (used[v] && !isData[v]) {
            isParameter[v] = true;
            parameters_.push_back(v);
        }
    }
    if (table_.rows() == 0) {
        Say(s_, msg::kNoRows);
        return false;
    }
    if (parameters_.empty()) {
        Say(s_, msg::kNoParameters);
        return false;
    }
    for (int e = 1; e <= s_.model.count; ++e) {
        if (s_.model.eq[e].relation == kRelationRetired) continue;
        if (!BuildEquation(e, isParameter)) return false;
    }
    // The equations with data first, so that the residuals of a row lie together.
    std::stable_partition(equations_.begin(), equations_.end(),
                          [](const ModelEquation& q) { return q.data; });
    dataEquations_ = static_cast<int>(std::count_if(equations_.begin(), equations_.end(),
                                                    [](const ModelEquation& q) { return q.data; }));
    const long long residuals = static_cast<long long>(dataEquations_) * table_.rows() +
                                static_cast<long long>(equations_.size()) - dataEquations_;
    if (residuals < Parameters()) {
        Say(s_, msg::kFewerObservations + std::to_string(residuals) + msg::kObservationsFor +
                    std::to_string(Parameters()) + msg::kParameters);
        return false;
    }
    if (residuals > std::numeric_limits<int>::max()) {
        Say(s_, msg::kTooManyObservations);
        return false;
    }
    observations_ = static_cast<int>(residuals);
    names_ = s_.names;
    return true;
}

bool FitModel::BuildEquation(int e, const std::vector<bool>& isParameter) {
    Equation& source = s_.model.eq[e];
    ModelEquation q;
    q.number = e;
    const int lone = LoneSideVariable(source.code);
    for (const CodeNode* n = source.code; n != nullptr; n = n->next) {
        if (n->kind != kKindVar) continue;
        const auto column = std::find(table_.variables.begin(), table_.variables.end(), n->var);
        if (column != table_.variables.end()) q.data = true;
        if (n->var == lone && column != table_.variables.end()) {
            q.response = static_cast<int>(column - table_.variables.begin());
        }
    }
    q.code = CopyList(s_.pool, source.code);
    CodeNode* head = ToPrefix(source.code);
    CodeNode* root = head != nullptr && head->kind == kKindEnd ? head->next : head;
    bool complete = true;
    for (int v : parameters_) {
        CodeNode* d = MakeNode(s_.pool, kKindEnd, kSubPlain, 0, 0.0, 0, nullptr);
        bool halted = false;
        Differentiate(s_, root, v, d, &halted);
        if (halted || s_.flags.stop) {
            FreeList(s_.pool, d);
            complete = false;
            break;
        }
        // Built in evaluation form with the ';' last; folding wants parse form.
        d = Reverse(d);
        ConstantFold(s_, d);
        d = Finalize(s_.pool, d);
        if (IsZero(d)) {
            FreeList(s_.pool, d);
            d = nullptr;
        }
        for (const CodeNode* n = d; n != nullptr && linear_; n = n->next) {
            if (n->kind == kKindVar && isParameter[n->var]) linear_ = false;
        }
        q.derivatives.push_back(d);
    }
    source.code = ToPostfix(head);
    Flatten(s_, q.code, q.flat);
    q.flatDerivatives.resize(q.derivatives.size());
    for (std::size_t k = 0; k < q.derivatives.size(); ++k) {
        if (q.derivatives[k] != nullptr) Flatten(s_, q.derivatives[k], q.flatDerivatives[k]);
    }
    equations_.push_back(std::move(q));
    return complete;
}

bool FitModel::Usable(bool error, double value) {
    if (error) {
        failure_ = s_.message;
        s_.message.clear();
        return false;
    }
    if (std::isfinite(value) && !IsSpecial(s_, value)) return true;
    failure_ = msg::kNotANumber;
    return false;
}

void FitModel::SetRow(int row) {
    const double* values = table_.row(row);
    double* into = s_.names.value.data();
    for (int c = 0; c < table_.columns(); ++c) into[table_.variables[c]] = values[c];
}

void FitModel::SetParameters(const std::vector<double>& x) {
    for (std::size_t k = 0; k < parameters_.size(); ++k) s_.names.value[parameters_[k]] = x[k];
}

// Calls each(residual index, equation) for every residual in order, with the row's values in
// the data variables; stops, recording where, at the first call that returns false.
template <typename Each>
bool FitModel::ForEachResidual(Each each) {
    int i = 0;
    for (int row = 0; row < table_.rows(); ++row) {
        SetRow(row);
        for (int k = 0; k < dataEquations_; ++k, ++i) {
            if (!each(i, equations_[k])) {
                failedLine_ = table_.lines[row];
                failedEquation_ = equations_[k].number;
                return false;
            }
        }
    }
    for (std::size_t k = dataEquations_; k < equations_.size(); ++k, ++i) {
        if (!each(i, equations_[k])) {
            failedLine_ = 0;
            failedEquation_ = equations_[k].number;
            return false;
        }
    }
    return true;
}

bool FitModel::Residuals(const std::vector<double>& x, std::vector<double>& r) {
    QuietEvaluation quiet(s_);
    SetParameters(x);
    return ForEachResidual([&](int i, const ModelEquation& q) {
        bool error = false;
        r[i] = Evaluate(s_, q.flat, error);
        return Usable(error, r[i]);
    });
}

bool FitModel::Jacobian(const std::vector<double>& x, DenseMatrix& j) {
    QuietEvaluation quiet(s_);
    SetParameters(x);
    const int n = Parameters();
    return ForEachResidual([&](int i, const ModelEquation& q) {
        for (int k = 0; k < n; ++k) {
            const CodeNode* d = q.derivatives[k];
            if (d == nullptr) {
                j(i, k) = 0.0;
                continue;
            }
            bool error = false;
            const double v = Evaluate(s_, q.flatDerivatives[k], error);
            if (!Usable(error, v)) return false;
            j(i, k) = v;
        }
        return true;
    });
}

bool FitModel::Continue(int iteration, double sumOfSquares) {
    char text[64];
    std::snprintf(text, sizeof text, msg::kIterationSum, sumOfSquares);
    ConsoleWrite(s_.console, msg::kIteration);
    ConsoleWriteInt(s_.console, iteration);
    ConsoleWrite(s_.console, text);
    ConsoleWriteLine(s_.console);
    return !CancelRequested(s_);
}

std::vector<std::string> FitModel::ParameterNames() const {
    std::vector<std::string> names;
    for (int v : parameters_) names.push_back(s_.names.name[v]);
    return names;
}

std::vector<double> FitModel::Values() const {
    std::vector<double> x;
    for (int v : parameters_) x.push_back(s_.names.value[v]);
    return x;
}

std::vector<double> FitModel::Observed() const {
    std::vector<double> y;
    y.reserve(static_cast<std::size_t>(observations_));
    for (int row = 0; row < table_.rows(); ++row) {
        for (int k = 0; k < dataEquations_; ++k) {
            const int c = equations_[k].response;
            y.push_back(c >= 0 ? table_.row(row)[c] : kNaN);
        }
    }
    for (std::size_t k = dataEquations_; k < equations_.size(); ++k) y.push_back(kNaN);
    return y;
}

void FitModel::SwapNames() {
    if (!swapped_) {
        for (int v : parameters_) {
            const int current = FindVariable(s_.names, names_.name[v]);
            if (current != 0) names_.value[v] = s_.names.value[current];
        }
    }
    std::swap(s_.names, names_);
    swapped_ = !swapped_;
}
