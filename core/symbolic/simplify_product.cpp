#include <cmath>
#include <vector>

#include "core/base/core_state.h"
#include "core/lang/code_tables.h"
#include "core/symbolic/simplify_internal.h"

// Products: the factors of a chain of '*', '/' and unary '-' above or below the fraction bar,
// sorted, cancelled, combined and joined again; in the first phase a product is multiplied
// out over the sums among its factors.

namespace simplify {

namespace {

// Terms a product may be multiplied out into; beyond it the product stays as it is, since the
// result would only be undone as longer.
constexpr long kMostDistributedTerms = 64;

// A constant factor this close to 1 is rounding and dropped.
constexpr double kOneTolerance = 1e-15;

struct Factor {
    CodeNode* code;  // owned run
    bool above;      // numerator; false: denominator
};

bool IsProduct(const CodeNode* n) {
    return IsBinary(n, code::kMul) || IsBinary(n, code::kDiv);
}

bool IsSum(const CodeNode* n) {
    return IsBinary(n, code::kAdd) || IsBinary(n, code::kSub);
}

class Collector {
   public:
    explicit Collector(Pass& z) : z_(z) {}

    // Factors in the order written; each is simplified, and one that becomes a product, a
    // negation or an inverse is taken apart in turn.
    std::vector<Factor> Collect(CodeNode* run) {
        std::vector<Pending> pending{{run, true, false}};
        while (!pending.empty()) {
            auto [c, above, simplified] = pending.back();
            pending.pop_back();
            for (;;) {
                if (IsUnary(c, code::kNeg)) {
                    c = Unwrap(z_, c);
                    negative = !negative;
                } else if (simplified && IsUnary(c, code::kInv)) {
                    c = Unwrap(z_, c);
                    above = !above;
                } else {
                    break;
                }
            }
            if (IsProduct(c)) {
                const bool divide = c->sub == code::kDiv;
                auto [right, left] = Split(z_, c);
                pending.push_back({right, divide ? !above : above, simplified});
                pending.push_back({left, above, simplified});
                continue;
            }
            if (!simplified) {
                CodeNode* r = SimplifyNode(z_, c);
                pending.push_back({r, above, true});
                continue;
            }
            factors_.push_back({c, above});
        }
        return std::move(factors_);
    }

    bool negative = false;

   private:
    struct Pending {
        CodeNode* code;
        bool above;
        bool simplified;
    };
    Pass& z_;
    std::vector<Factor> factors_;
};

void Insert(std::vector<Factor>& sorted, Factor f) {
    std::size_t i = 0;
    if (!f.above) {
        while (i < sorted.size() && sorted[i].above) ++i;
    }
    for (; i < sorted.size(); ++i) {
        if (GoesBefore(sorted[i].code, f.code, kProductOrder)) break;
    }
    sorted.insert(sorted.begin() + static_cast<std::ptrdiff_t>(i), f);
}

void MakeNumber(Pass& z, Factor& f, double v) {
    FreeList(z.s.pool, f.code);
    f.code = Number(z, v);
    f.above = true;
}

void Remove(Pass& z, std::vector<Factor>& factors, std::size_t i) {
    FreeList(z.s.pool, factors[i].code);
    factors.erase(factors.begin() + static_cast<std::ptrdiff_t>(i));
}

void Cancel(Pass& z, std::vector<Factor>& factors) {
    for (std::size_t i = 0; i < factors.size(); ++i) {
        for (std::size_t j = i + 1; j < factors.size() && z.Spend(); ++j) {
            if (factors[i].above == factors[j].above ||
                !SameRun(factors[i].code, factors[j].code))
                continue;
            MakeNumber(z, factors[i], 1.0);
            MakeNumber(z, factors[j], 1.0);
            break;
        }
    }
}

// The value a constant factor contributes: itself above the bar, its reciprocal below.
bool Contribution(Pass& z, const Factor& f, double& v) {
    if (f.above) {
        v = f.code->value;
        return true;
    }
    return Apply(z, code::kInv, f.code->value, v);
}

void CombineConstants(Pass& z, std::vector<Factor>& factors, bool& negative) {
    std::size_t first = 0;
    double total = 0.0;
    while (first < factors.size() &&
           !(IsNumber(factors[first].code) && Contribution(z, factors[first], total)))
        ++first;
    if (first == factors.size()) return;
    bool changed = !factors[first].above;
    for (std::size_t j = first + 1; j < factors.size();) {
        double c = 0.0, v = 0.0;
        if (!IsNumber(factors[j].code) || !Contribution(z, factors[j], c) ||
            !Combine(z, code::kMul, total, c, v)) {
            ++j;
            continue;
        }
        total = v;
        changed = true;
        Remove(z, factors, j);
    }
    if (total < 0) {
        total = -total;
        negative = !negative;
        changed = true;
    }
    if (std::fabs(total - 1.0) <= kOneTolerance) {
        Remove(z, factors, first);
        return;
    }
    if (changed) MakeNumber(z, factors[first], total);
    if (total <= z.s.k.smallest) {
        // Zero times anything.
        for (std::size_t j = factors.size(); j-- > 0;) {
            if (j != first) Remove(z, factors, j);
        }
    }
}

// A factor as base ^ exponent with a constant exponent: u ^ c, SQUARE(...SQUARE(u)) as
// u ^ 2^k, anything else as itself ^ 1.
const CodeNode* Base(const CodeNode* f, double& exponent) {
    exponent = 1.0;
    if (IsBinary(f, code::kPow) && IsNumber(f->next)) {
        exponent = f->next->value;
        return LeftOf(f);
    }
    if (IsUnary(f, code::kSquare)) {
        while (IsUnary(f, code::kSquare)) {
            exponent *= 2.0;
            f = f->next;
        }
    }
    return f;
}

void CollectPowers(Pass& z, std::vector<Factor>& factors) {
    for (std::size_t i = 0; i < factors.size(); ++i) {
        if (IsNumber(factors[i].code)) continue;
        double e = 0.0;
        const CodeNode* base = Base(factors[i].code, e);
        double total = factors[i].above ? e : -e;
        bool merged = false;
        for (std::size_t j = i + 1; j < factors.size() && z.Spend();) {
            double d = 0.0;
            const CodeNode* other = Base(factors[j].code, d);
            double v = 0.0;
            if (IsNumber(factors[j].code) || !SameRun(base, other) ||
                !Combine(z, factors[j].above ? code::kAdd : code::kSub, total, d, v)) {
                ++j;
                continue;
            }
            total = v;
            merged = true;
            Remove(z, factors, j);
        }
        if (!merged) continue;
        CodeNode* power = Bin(z, code::kPow, CopyRun(z, base), Number(z, total));
        FreeList(z.s.pool, factors[i].code);
        factors[i] = {SimplifyNode(z, power), true};
    }
}

// Top-level terms of a sum.
long TermCount(const CodeNode* n) {
    long count = 1;
    while (IsSum(n)) {
        ++count;
        n = LeftOf(n);
    }
    return count;
}

class Joiner {
   public:
    Joiner(Pass& z, const std::vector<Factor>& factors) : z_(z), factors_(factors) {
        long terms = 1;
        for (std::size_t i = 1; i < factors.size() && z.firstPhase; ++i) {
            if (factors[i].above && IsSum(factors[i].code)) terms *= TermCount(factors[i].code);
            if (terms > kMostDistributedTerms) break;
        }
        distribute_ = z.firstPhase && terms <= kMostDistributedTerms;
    }

    CodeNode* Join() {
        if (factors_.empty()) return Number(z_, 1.0);
        const Factor& f = factors_[0];
        CodeNode* start = CopyRun(z_, f.code);
        if (!f.above) {
            double v = 0.0;
            if (IsNumber(start) && Apply(z_, code::kInv, start->value, v)) {
                start->value = v;
                start->sub = kSubPlain;
            } else {
                start = Un(z_, code::kInv, start);
            }
        }
        return JoinFrom(start, 1);
    }

   private:
    // product * (a +- b) * rest = product * a * rest +- product * b * rest.
    CodeNode* JoinFrom(CodeNode* product, std::size_t i) {
        for (; i < factors_.size(); ++i) {
            const Factor& f = factors_[i];
            if (distribute_ && f.above && IsSum(f.code)) {
                const CodeNode* right = f.code->next;
                const CodeNode* left = LeftOf(f.code);
                CodeNode* a = JoinFrom(
                    Bin(z_, code::kMul, CopyRun(z_, product), CopyRun(z_, left)), i + 1);
                CodeNode* b = JoinFrom(Bin(z_, code::kMul, product, CopyRun(z_, right)), i + 1);
                return Bin(z_, f.code->sub, a, b);
            }
            product = Bin(z_, f.above ? code::kMul : code::kDiv, product, CopyRun(z_, f.code));
        }
        return product;
    }

    Pass& z_;
    const std::vector<Factor>& factors_;
    bool distribute_ = false;
};

}  // namespace

CodeNode* SimplifyProduct(Pass& z, CodeNode* run) {
    Collector collector(z);
    std::vector<Factor> factors;
    for (const Factor& f : collector.Collect(run)) Insert(factors, f);
    bool negative = collector.negative;
    Cancel(z, factors);
    CombineConstants(z, factors, negative);
    CollectPowers(z, factors);
    CodeNode* product = Joiner(z, factors).Join();
    for (Factor& f : factors) FreeList(z.s.pool, f.code);
    return negative ? Un(z, code::kNeg, product) : product;
}

}  // namespace simplify
