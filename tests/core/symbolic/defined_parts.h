#pragma once

// Whether an equation has an ordinary value at the variables' current values in every part of
// it. Rewrites such as x/x = 1 or x^0 = 1 keep the value of an equation only where each of its
// parts means something, so the property tests of the rewrites compare residuals there only.

#include <cmath>
#include <vector>

#include "core/base/special_values.h"
#include "core/eval/evaluator.h"
#include "core/lang/code_string.h"
#include "core/lang/code_tables.h"
#include "core/lang/expression_generator.h"
#include "core/lang/parser_harness.h"

namespace defined_parts {

// Value of an evaluation-form list; NaN for an error, the undefined value or the largest
// number (the guarded arithmetic's stand-ins for no value).
inline double Value(ParserHarness& h, const CodeNode* code) {
    bool error = false;
    h.s.keepMessage = true;
    const double r = Evaluate(h.s, code, error);
    return error || !(std::fabs(r) < 1e12) || r == kUndefinedValue ? NAN : r;
}

// Gives the generator's variables x, y, z and rate the coordinates of the point, in that order.
inline void Place(ParserHarness& h, const std::vector<double>& point) {
    for (std::size_t k = 0; k < point.size(); ++k) h.Set(ExpressionGenerator::kNames[k], point[k]);
}

inline double Part(ParserHarness& h, const CodeNode* node) {
    CodeNode* part = Finalize(h.s.pool, CopySubtree(h.s.pool, node));
    const double r = Value(h, part);
    FreeList(h.s.pool, part);
    return r;
}

// No 0/0, no division by zero and no failing function anywhere in equation e, not even in a
// branch the IF does not take; and no part where the equation turns sharply, so that
// rounding or a signed zero decides its value: a power of zero, the root of zero, ATAN2 on
// its cut, ARCSIN and ARCCOS at the ends of their domain.
inline bool Defined(ParserHarness& h, int e) {
    CodeNode*& code = h.s.model.eq[e].code;
    code = ToPrefix(code);
    bool defined = true;
    for (const CodeNode* n = code; n != nullptr && defined; n = n->next) {
        if (n->kind == kKindEnd || n->kind == kKindDeleted) continue;
        if (n->kind == kKindBinary && n->sub == code::kThen) continue;
        defined = !std::isnan(Part(h, n));
        if (!defined) break;
        const CodeNode* right = SkipDeleted(n->next);
        if (n->kind == kKindBinary && (n->sub == code::kPow || n->sub == code::kAtan2)) {
            const double left = Part(h, SkipDeleted(SubtreeEnd(right)->next));
            defined = n->sub == code::kPow ? std::fabs(left) > 1e-9
                                           : std::fabs(left) > 1e-9 || Part(h, right) > 0;
        } else if (n->kind == kKindUnary && n->sub == code::kSqrt) {
            defined = std::fabs(Part(h, right)) > 1e-9;
        } else if (n->kind == kKindUnary && (n->sub == code::kArcSin || n->sub == code::kArcCos)) {
            defined = std::fabs(Part(h, right)) < 1 - 1e-9;  // the ends: a root of zero inside
        }
    }
    code = ToPostfix(code);
    return defined;
}

}  // namespace defined_parts
