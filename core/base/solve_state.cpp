#include "core/base/solve_state.h"

JacobianEntry* EntryArena::allocate() {
    const std::size_t block = used_ / kBlock;
    if (block == blocks_.size()) blocks_.push_back(std::make_unique<JacobianEntry[]>(kBlock));
    JacobianEntry* e = &blocks_[block][used_ % kBlock];
    *e = JacobianEntry{};
    e->slot = static_cast<std::uint32_t>(used_++);
    return e;
}

SolveState::SolveState(const Limits& l) {
    resize(l);
}

void SolveState::resize(const Limits& l) {
    const auto equations = static_cast<std::size_t>(l.equationTableSize());
    const auto variables = static_cast<std::size_t>(l.variableTableSize());
    rowHead.assign(equations, nullptr);
    diagonal.assign(equations, nullptr);
    columnHead.assign(variables, nullptr);
    columnLength.assign(variables, 0);
    columnEntries.assign(variables, 0);
    pivotEquation.assign(equations, 0);
    pivotVariable.assign(equations, 0);
    positionOf.assign(equations, 0);
    matchOf.assign(variables, 0);
    variablePosition.assign(variables, 0);
    groupOf.assign(equations, 0);
    groupLast.assign(equations, 0);
    work.assign(variables, 0.0);
    workMark.assign(variables, 0);
    residual.assign(equations, 0.0);
    stepStartValues.assign(variables, 0.0);
    previousValues.assign(variables, 0.0);
    delta.assign(equations, 0.0);
    groupNorm.assign(equations, 0.0);
    groupFactored.assign(equations, 0);
}
