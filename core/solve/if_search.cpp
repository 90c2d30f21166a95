#include "core/solve/if_search.h"

#include <vector>

#include "core/base/core_state.h"
#include "core/base/special_values.h"
#include "core/eval/evaluator.h"
#include "core/eval/if_branch.h"
#include "core/lang/code_string.h"
#include "core/lang/code_tables.h"

namespace {

bool IsIf(const CodeNode* n) {
    return n->kind == kKindBinary && n->sub == code::kIf;
}

}  // namespace

int CountIfs(const CoreState& s) {
    int count = 0;
    for (int e = 1; e <= s.model.count; ++e) {
        for (const CodeNode* n = s.model.eq[e].code; n != nullptr; n = n->next) count += IsIf(n);
    }
    return count;
}

void ClearIfConditions(CoreState& s) {
    for (IfChoice& c : s.solve.ifChoices) FreeList(s.pool, c.condition);
    s.solve.ifChoices.clear();
}

// In parse form an IF reads: F, then THEN (H, else-run, then-run), then the condition run.
// IFs are resolved in evaluation order, so an IF nested inside another is resolved first and
// the enclosing IF's node, which ReplaceSubtree keeps in place, stays valid.
void SelectIfBranches(CoreState& s, int mask) {
    ClearIfConditions(s);
    unsigned bit = 1;
    for (int e = 1; e <= s.model.count; ++e) {
        FreeList(s.pool, s.model.eq[e].code);
        CodeNode* code = ToPrefix(CopyList(s.pool, s.solve.savedCode[e]));
        std::vector<CodeNode*> ifs;
        for (CodeNode* n = code; n != nullptr; n = n->next) {
            if (IsIf(n)) ifs.push_back(n);
        }
        for (auto it = ifs.rbegin(); it != ifs.rend(); ++it) {
            CodeNode* ifNode = *it;
            CodeNode* thenNode = SkipDeleted(ifNode->next);
            CodeNode* elseRun = SkipDeleted(thenNode->next);
            CodeNode* thenRun = SkipDeleted(SubtreeEnd(elseRun)->next);
            CodeNode* condition = SkipDeleted(SubtreeEnd(thenRun)->next);

            const bool takeThen = (s.flags.ifMode == IfMode::kMasks && (mask & bit) != 0) ||
                                  (s.flags.ifMode == IfMode::kRandom && s.rng.unit() > 0.5);
            IfChoice choice{Finalize(s.pool, CopySubtree(s.pool, condition)), takeThen};
            s.solve.ifChoices.insert(s.solve.ifChoices.begin(), choice);

            ReplaceSubtree(s.pool, ifNode, CopySubtree(s.pool, takeThen ? thenRun : elseRun));
            bit <<= 1;
        }
        s.model.eq[e].code = Finalize(s.pool, code);
    }
    s.flags.jacobianNeeded = true;
}

// A combination holds when, at the solution, every IF would take the branch it was solved
// with; the evaluator decides with the same rule, so an accepted solution is one the equations
// as written have.
bool IfConditionsHold(CoreState& s) {
    bool hold = true;
    for (const IfChoice& c : s.solve.ifChoices) {
        bool error = false;
        const double v = Evaluate(s, c.condition, error);
        if (error) {
            s.solve.toleranceExponentReached = kFailedResidualExponent;
            hold = false;
        } else if (IfTakesThen(s.k, v) != c.thenTaken) {
            hold = false;
        }
    }
    return hold;
}
