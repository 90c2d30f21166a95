#include <cmath>
#include <vector>

#include "core/base/core_state.h"
#include "core/lang/code_tables.h"
#include "core/symbolic/simplify_internal.h"

// Sums: the terms of a chain of '+', '-' and unary '-' with their signs, sorted, cancelled,
// combined and joined again from left to right.

namespace simplify {

namespace {

struct Term {
    CodeNode* code;  // owned run
    bool added;      // false: subtracted
};

bool IsSum(const CodeNode* n) {
    return IsBinary(n, code::kAdd) || IsBinary(n, code::kSub);
}

// The terms in the order written. A term that simplifies to a sum is taken apart in turn.
std::vector<Term> CollectTerms(Pass& z, CodeNode* run) {
    struct Pending {
        CodeNode* code;
        bool added;
    };
    std::vector<Term> terms;
    std::vector<Pending> pending{{run, true}};
    while (!pending.empty()) {
        auto [c, added] = pending.back();
        pending.pop_back();
        while (IsUnary(c, code::kNeg)) {
            c = Unwrap(z, c);
            added = !added;
        }
        if (!IsSum(c)) {
            c = SimplifyNode(z, c);
            if (!IsSum(c)) {
                terms.push_back({c, added});
                continue;
            }
        }
        const bool minus = c->sub == code::kSub;
        auto [right, left] = Split(z, c);
        pending.push_back({right, minus ? !added : added});
        pending.push_back({left, added});  // taken first: the terms keep their order
    }
    return terms;
}

void Insert(std::vector<Term>& sorted, Term t) {
    std::size_t i = 0;
    if (!t.added) {
        while (i < sorted.size() && sorted[i].added) ++i;
    }
    for (; i < sorted.size(); ++i) {
        if (GoesBefore(sorted[i].code, t.code, kSumOrder)) break;
    }
    sorted.insert(sorted.begin() + static_cast<std::ptrdiff_t>(i), t);
}

void MakeConstant(Pass& z, Term& t, double v, bool added) {
    FreeList(z.s.pool, t.code);
    t.code = Number(z, v);
    t.added = added;
}

void Cancel(Pass& z, std::vector<Term>& terms) {
    for (std::size_t i = 0; i < terms.size(); ++i) {
        for (std::size_t j = i + 1; j < terms.size() && z.Spend(); ++j) {
            if (terms[i].added == terms[j].added || !SameRun(terms[i].code, terms[j].code))
                continue;
            MakeConstant(z, terms[i], 0.0, true);
            MakeConstant(z, terms[j], 0.0, true);
            break;
        }
    }
}

// The u of SIN(u) ^ 2 or COS(u) ^ 2 for f = SIN or COS, else null.
const CodeNode* SquaredArgument(const CodeNode* t, unsigned char f) {
    if (!IsBinary(t, code::kPow) || !IsNumberValue(t->next, 2.0)) return nullptr;
    const CodeNode* g = t->next->next;
    return IsUnary(g, f) ? g->next : nullptr;
}

void Pythagoras(Pass& z, std::vector<Term>& terms) {
    for (Term& a : terms) {
        const CodeNode* u = SquaredArgument(a.code, code::kSin);
        if (u == nullptr) continue;
        for (Term& b : terms) {
            const CodeNode* w = SquaredArgument(b.code, code::kCos);
            if (w == nullptr || a.added != b.added || !SameRun(u, w)) continue;
            MakeConstant(z, a, 0.0, a.added);
            MakeConstant(z, b, 1.0, b.added);
            break;
        }
    }
}

void Remove(Pass& z, std::vector<Term>& terms, std::size_t i) {
    FreeList(z.s.pool, terms[i].code);
    terms.erase(terms.begin() + static_cast<std::ptrdiff_t>(i));
}

// The first constant absorbs the others; a total that is zero goes, a negative one is
// subtracted.
void CombineConstants(Pass& z, std::vector<Term>& terms) {
    std::size_t first = 0;
    while (first < terms.size() && !IsNumber(terms[first].code)) ++first;
    if (first == terms.size()) return;
    double total = terms[first].added ? terms[first].code->value : -terms[first].code->value;
    bool changed = !terms[first].added;
    for (std::size_t j = first + 1; j < terms.size();) {
        double v = 0.0;
        if (!IsNumber(terms[j].code) ||
            !Combine(z, terms[j].added ? code::kAdd : code::kSub, total, terms[j].code->value, v)) {
            ++j;
            continue;
        }
        total = v;
        changed = true;
        Remove(z, terms, j);
    }
    if (std::fabs(total) <= z.s.k.smallest) {
        Remove(z, terms, first);
    } else if (changed || total < 0) {
        MakeConstant(z, terms[first], std::fabs(total), total > 0);
    }
}

// A term as coefficient * part: the plain-constant operand of a product, else 1.
const CodeNode* Part(const CodeNode* t, double& coefficient) {
    coefficient = 1.0;
    if (IsBinary(t, code::kMul)) {
        const CodeNode* right = t->next;
        const CodeNode* left = LeftOf(t);
        if (IsNumber(left)) {
            coefficient = left->value;
            return right;
        }
        if (IsNumber(right)) {
            coefficient = right->value;
            return left;
        }
    }
    return t;
}

void CollectLikeTerms(Pass& z, std::vector<Term>& terms) {
    for (std::size_t i = 0; i < terms.size(); ++i) {
        if (IsNumber(terms[i].code)) continue;
        double c = 0.0;
        const CodeNode* part = Part(terms[i].code, c);
        double total = terms[i].added ? c : -c;
        bool merged = false;
        for (std::size_t j = i + 1; j < terms.size() && z.Spend();) {
            double d = 0.0;
            const CodeNode* other = Part(terms[j].code, d);
            double v = 0.0;
            if (IsNumber(terms[j].code) || !SameRun(part, other) ||
                !Combine(z, terms[j].added ? code::kAdd : code::kSub, total, d, v)) {
                ++j;
                continue;
            }
            total = v;
            merged = true;
            Remove(z, terms, j);
        }
        if (!merged) continue;
        CodeNode* product = Bin(z, code::kMul, Number(z, total), CopyRun(z, part));
        FreeList(z.s.pool, terms[i].code);
        terms[i] = {SimplifyNode(z, product), true};
        while (IsUnary(terms[i].code, code::kNeg)) {
            terms[i].code = Unwrap(z, terms[i].code);
            terms[i].added = !terms[i].added;
        }
    }
}

CodeNode* Join(Pass& z, std::vector<Term>& terms) {
    if (terms.empty()) return Number(z, 0.0);
    CodeNode* sum = terms[0].code;
    if (!terms[0].added) {
        if (IsNumber(sum)) {
            sum->value = -sum->value;
            sum->sub = kSubPlain;
        } else {
            sum = Un(z, code::kNeg, sum);
        }
    }
    for (std::size_t i = 1; i < terms.size(); ++i) {
        sum = Bin(z, terms[i].added ? code::kAdd : code::kSub, sum, terms[i].code);
    }
    return sum;
}

}  // namespace

CodeNode* SimplifySum(Pass& z, CodeNode* run) {
    std::vector<Term> terms;
    for (Term t : CollectTerms(z, run)) {
        // Each term once more; a minus it gained becomes its sign.
        t.code = SimplifyNode(z, t.code);
        while (IsUnary(t.code, code::kNeg)) {
            t.code = Unwrap(z, t.code);
            t.added = !t.added;
        }
        Insert(terms, t);
    }
    Cancel(z, terms);
    Pythagoras(z, terms);
    CombineConstants(z, terms);
    CollectLikeTerms(z, terms);
    return Join(z, terms);
}

}  // namespace simplify
