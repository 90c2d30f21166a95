#include "core/base/solve_state.h"

JacobianEntry* EntryArena::allocate() {
    const std::size_t block = used_ / kBlock;
    if (block == blocks_.size()) blocks_.push_back(std::make_unique<JacobianEntry[]>(kBlock));
    JacobianEntry* e = &blocks_[block][used_ % kBlock];
    ++used_;
    *e = JacobianEntry{};
    return e;
}

SolveState::SolveState(const Limits& l)
    : rowHead(l.equationTableSize(), nullptr),
      diagonal(l.equationTableSize(), nullptr),
      columnHead(l.variableTableSize(), nullptr),
      pivotEquation(l.equationTableSize(), 0),
      pivotVariable(l.equationTableSize(), 0),
      positionOf(l.equationTableSize(), 0),
      matchOf(l.variableTableSize(), 0),
      groupOf(l.equationTableSize(), 0),
      groupLast(l.equationTableSize(), 0),
      work(l.variableTableSize(), 0.0),
      workMark(l.variableTableSize(), 0),
      residual(l.equationTableSize(), 0.0),
      stepStartValues(l.variableTableSize(), 0.0),
      previousValues(l.variableTableSize(), 0.0),
      delta(l.equationTableSize(), 0.0),
      groupNorm(l.equationTableSize(), 0.0),
      groupWorstEquation(l.equationTableSize(), 0),
      groupFactored(l.equationTableSize(), 0) {}
