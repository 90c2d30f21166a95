#pragma once

#include <cstdint>
#include <vector>

// What the evaluator runs: one equation's finished code as a contiguous array, checked once
// when it is made. An operand followed by one of the four arithmetic operators becomes one
// fused instruction, which halves the dispatches of ordinary code without changing a result.
enum class FlatOpCode : unsigned char {
    kPush,           // push value
    kPushVar,        // push the variable's value
    kPushImag,       // push value as an imaginary number
    kPushVarImag,    // push the variable's value as an imaginary number
    kPushPhasor,     // push the unit phasor at angle value
    kPushVarPhasor,  // push the unit phasor at the variable's value
    kSpill,          // store a top kept in a register: only before an operator empties the stack
    kAdd,
    kSub,
    kMul,
    kDiv,
    kAddConst,  // top op value
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

struct FlatOp {
    double value;       // constant operand
    std::int32_t var;   // variable operand
    FlatOpCode op;      // what to do
    unsigned char sub;  // operator or function code (kBinary, kUnary)
};

struct FlatCode {
    std::vector<FlatOp> ops;      // ends in kEnd
    int depth = 0;                // most stack entries the code uses
    bool complete = true;         // leaves exactly one value: a result
    const char* fault = nullptr;  // why the code was refused (then ops holds only kEnd)
};
