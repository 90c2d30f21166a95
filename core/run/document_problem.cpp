#include "core/run/document_problem.h"

#include <cmath>

#include "core/base/core_state.h"
#include "core/eval/evaluator.h"
#include "core/eval/guarded.h"
#include "core/lang/code_string.h"
#include "core/symbolic/derivative_code.h"

namespace {

bool IsGreater(unsigned char relation) {
    return relation == '>' || relation == 0xF2;
}
bool IsLess(unsigned char relation) {
    return relation == '<' || relation == 0xF3;
}

std::size_t Packed(int row, int column) {
    return static_cast<std::size_t>(row * (row + 1) / 2 + column);
}

}  // namespace

DocumentProblem::~DocumentProblem() {
    for (auto* set : {&objectives_, &constraints_}) {
        for (Function& f : *set) {
            FreeList(s_.pool, f.code);
            for (CodeNode* c : f.gradient) FreeList(s_.pool, c);
            for (CodeNode* c : f.hessian) FreeList(s_.pool, c);
        }
    }
}

bool DocumentProblem::Build(bool constrained) {
    n_ = s_.names.variableCount;
    const EquationModel& m = s_.model;
    for (int e = 1; e <= m.count; ++e) {
        const unsigned char r = m.eq[e].relation;
        if (r == kRelationRetired) continue;
        Function f;
        f.code = CopyList(s_.pool, m.eq[e].code);
        f.equation = e;
        const bool objective = !constrained || r == kRelationNone;
        f.equality = !objective && !IsGreater(r) && !IsLess(r);
        f.sign = IsLess(r) && !objective ? -1.0 : 1.0;
        (objective ? objectives_ : constraints_).push_back(f);
        if (!Differentiate((objective ? objectives_ : constraints_).back())) return false;
    }
    return true;
}

bool DocumentProblem::Differentiate(Function& f) {
    f.gradient.assign(static_cast<std::size_t>(n_), nullptr);
    f.hessian.assign(Packed(n_, 0), nullptr);
    bool failed = false;
    for (int v = 1; v <= n_ && !failed; ++v) {
        f.gradient[v - 1] = DerivativeCode(s_, f.code, v, failed);
    }
    for (int v = 1; v <= n_ && !failed; ++v) {
        if (f.gradient[v - 1] == nullptr) continue;
        for (int w = 1; w <= v && !failed; ++w) {
            f.hessian[Packed(v - 1, w - 1)] = DerivativeCode(s_, f.gradient[v - 1], w, failed);
        }
    }
    return !failed;
}

std::vector<double> DocumentProblem::CurrentPoint() const {
    return std::vector<double>(s_.names.value.begin() + 1, s_.names.value.begin() + 1 + n_);
}

void DocumentProblem::Load(const std::vector<double>& x) {
    for (int i = 0; i < n_; ++i) s_.names.value[i + 1] = x[i];
}

bool DocumentProblem::Value(const CodeNode* code, double& value) {
    if (code == nullptr) {
        value = 0.0;
        return true;
    }
    bool error = false;
    value = Evaluate(s_, code, error);
    return !error && !IsUndefined(value) && std::isfinite(value);
}

bool DocumentProblem::Values(const std::vector<double>& x, double& f, std::vector<double>& c) {
    Load(x);
    f = 0.0;
    for (const Function& o : objectives_) {
        double v = 0.0;
        if (!Value(o.code, v)) return false;
        f += v;
    }
    for (std::size_t i = 0; i < constraints_.size(); ++i) {
        if (!Value(constraints_[i].code, c[i])) return false;
        c[i] *= constraints_[i].sign;
    }
    return true;
}

bool DocumentProblem::Gradients(const std::vector<double>& x, std::vector<double>& g,
                                DenseMatrix& jacobian) {
    Load(x);
    g.assign(static_cast<std::size_t>(n_), 0.0);
    for (int j = 0; j < n_; ++j) {
        for (const Function& o : objectives_) {
            double v = 0.0;
            if (!Value(o.gradient[j], v)) return false;
            g[j] += v;
        }
        for (std::size_t i = 0; i < constraints_.size(); ++i) {
            double v = 0.0;
            if (!Value(constraints_[i].gradient[j], v)) return false;
            jacobian(static_cast<int>(i), j) = constraints_[i].sign * v;
        }
    }
    return true;
}

bool DocumentProblem::AddHessian(const Function& f, double weight, DenseMatrix& h) {
    for (int a = 0; a < n_; ++a) {
        for (int b = 0; b <= a; ++b) {
            double v = 0.0;
            if (!Value(f.hessian[Packed(a, b)], v)) return false;
            h(a, b) += weight * v;
        }
    }
    return true;
}

bool DocumentProblem::Hessian(const std::vector<double>& x, const std::vector<double>& lambda,
                              DenseMatrix& h) {
    Load(x);
    h.Reset(n_, n_);
    for (const Function& o : objectives_) {
        if (!AddHessian(o, 1.0, h)) return false;
    }
    for (std::size_t i = 0; i < constraints_.size() && !lambda.empty(); ++i) {
        if (lambda[i] == 0.0) continue;
        if (!AddHessian(constraints_[i], -lambda[i] * constraints_[i].sign, h)) return false;
    }
    return true;
}
