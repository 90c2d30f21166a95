#include "core/lang/differential.h"

#include "core/base/core_state.h"
#include "core/lang/code_string.h"
#include "core/lang/code_tables.h"
#include "core/lang/lang_messages.h"

namespace {

void Say(CoreState& s, const char* text) {
    ConsoleWriteLine(s.console);
    ConsoleWrite(s.console, text);
    WarningBeep(s);
}

// A refused set is left as it was; the raised flag keeps the caller from writing or solving
// a set that still holds derivatives or integrals, which have no value.
void Refuse(CoreState& s) {
    s.flags.parseError = true;
}

void ToParseForm(CoreState& s) {
    for (int e = 1; e <= s.model.count; ++e) {
        Equation& q = s.model.eq[e];
        q.code = Strip(s.pool, ToPrefix(q.code));
    }
}

void ToEvaluationForm(CoreState& s) {
    for (int e = 1; e <= s.model.count; ++e) {
        Equation& q = s.model.eq[e];
        if (q.code != nullptr) q.code = Finalize(s.pool, q.code);
    }
}

bool IsBinary(const CodeNode* n, unsigned char code) {
    return n != nullptr && n->kind == kKindBinary && n->sub == code;
}

bool IsVariable(const CoreState& s, const CodeNode* n) {
    return n != nullptr && n->kind == kKindVar && n->var >= 1 && n->var <= s.names.variableCount;
}

}  // namespace

CodeNode* NextRun(CodeNode* node) {
    CodeNode* end = node != nullptr ? SubtreeEnd(node) : nullptr;
    return end != nullptr ? end->next : nullptr;
}

DerivativeScan ScanDerivatives(CoreState& s) {
    namespace msg = difint_message;
    DerivativeScan scan;
    scan.hasDerivative.assign(s.names.value.size(), 0);
    auto fault = [&](const char* text) {
        Say(s, text);
        scan.failed = true;
    };
    for (int e = 1; e <= s.model.count; ++e) {
        for (CodeNode* n = s.model.eq[e].code; n != nullptr; n = n->next) {
            if (IsBinary(n, code::kDeriv)) {
                // D(x, t): the second argument, t, comes first in parse form.
                const CodeNode* t = n->next;
                if (!IsVariable(s, t)) {
                    fault(msg::kIndependentExpression);
                    continue;
                }
                if (scan.independent != 0 && t->var != scan.independent) {
                    fault(msg::kMultipleIndependent);
                    continue;
                }
                scan.independent = t->var;
                const CodeNode* x = t->next;
                if (!IsVariable(s, x)) {
                    fault(msg::kOnlySimpleVariable);
                    continue;
                }
                if (!scan.hasDerivative[x->var]) {
                    scan.hasDerivative[x->var] = 1;
                    ++scan.derivativeCount;
                }
            } else if (IsBinary(n, code::kIntegral)) {
                // INT(LIM(p, q), ARG(f, x)): ARG, x, f, then LIM, q, p.
                CodeNode* arg = n->next;
                if (!IsBinary(arg, code::kArg)) {
                    fault(msg::kIntegrandIncorrect);
                    continue;
                }
                if (!IsVariable(s, arg->next)) {
                    fault(msg::kIntegrationVariable);
                    continue;
                }
                if (!IsBinary(NextRun(arg), code::kLim)) fault(msg::kLimitSyntax);
            }
        }
    }
    return scan;
}

bool DifIntCommand(CoreState& s, char kind, char method) {
    namespace msg = difint_message;
    const bool step = kind == 'I' && (method == 'B' || method == 'T');
    if (kind == 'I' && method == 'G') {
        Say(s, msg::kNotImplemented);
        return false;
    }
    if (!step && kind != 'T' && kind != 'D') return false;

    ToParseForm(s);
    const DerivativeScan scan = ScanDerivatives(s);
    bool rewritten = false;
    if (step) {
        if (scan.failed || scan.independent == 0) {
            ConsoleWrite(s.console, msg::kNoIndependent);
            WarningBeep(s);
        } else {
            rewritten = ImplicitStep(s, scan, method == 'T');
        }
    } else if (kind == 'T') {
        if (scan.failed || scan.independent == 0) {
            Say(s, msg::kNoChanges);
        } else {
            rewritten = StepChain(s, scan);
        }
    } else if (!scan.failed) {
        // Integrals need no independent variable: each has its own variable of integration.
        const QuadratureRule rule = method == 'T'   ? QuadratureRule::kTrapezoidal
                                    : method == 'S' ? QuadratureRule::kSimpson
                                                    : QuadratureRule::kRectangle;
        rewritten = ReplaceIntegrals(s, rule);
    }
    ToEvaluationForm(s);
    if (!rewritten) Refuse(s);
    return rewritten;
}
