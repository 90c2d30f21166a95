#pragma once

#include <cstdint>
#include <vector>

// What the evaluator runs: one equation's finished code as a contiguous array, checked once
// when it is made. An operand followed by one of the four arithmetic operators becomes one
// fused instruction, which halves the dispatches of ordinary code without changing a result.
enum class FlatOpCode : unsigned char {
    kPush,           // push *value
    kPushVar,        // push the variable's value
    kPushImag,       // push *value as an imaginary number
    kPushVarImag,    // push the variable's value as an imaginary number
    kPushPhasor,     // push the unit phasor at angle *value
    kPushVarPhasor,  // push the unit phasor at the variable's value
    kSpill,          // store a top kept in a register: only before an operator empties the stack
    kAdd,
    kSub,
    kMul,
    kDiv,
    kAddConst,  // top op *value
    kSubConst,
    kMulConst,
    kDivConst,
    kAddVar,  // top op variable
    kSubVar,
    kMulVar,
    kDivVar,
    kIf,      // condition, THEN value, ELSE value -> the chosen value
    kBinary,  // any other two-operand code, in sub
    kUnary,   // one-operand code, in sub
    kEnd,
};

// A constant is read from its node when the code runs, so that a value edited in place (a
// sweep's or a homotopy's parameter, a time step's tied constant) needs no new copy.
struct FlatOp {
    const double* value;  // constant operand: the node's value
    std::int32_t var;     // variable operand
    FlatOpCode op;        // what to do
    unsigned char sub;    // operator or function code
};

struct FlatCode {
    std::vector<FlatOp> ops;      // ends in kEnd
    int depth = 0;                // most stack entries the code uses
    bool complete = true;         // leaves exactly one value: a result
    const char* fault = nullptr;  // why the code was refused (then ops holds only kEnd)
};

struct CodeNode;

// A flattened copy kept beside the code list it was made from, for code evaluated again and
// again. It is made again when the list may be another: a different head, or nodes handed
// out, freed or given another kind or operand in place since (NodePool::changes).
struct FlatCache {
    const CodeNode* head = nullptr;  // the list the copy was made from
    std::uint64_t changes = 0;       // the pool's count of changes then
    bool made = false;               // a copy was made
    FlatCode code;                   // the copy
};
