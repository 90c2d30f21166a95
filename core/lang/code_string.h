#pragma once

#include "core/base/code_node.h"

// Operand forms of 'V' and 'X' nodes.
inline constexpr unsigned char kSubPlain = ' ';
inline constexpr unsigned char kSubImaginary = 0xDF;
inline constexpr unsigned char kSubPhasor = '@';
inline constexpr unsigned char kSubPi = 0x9F;
inline constexpr unsigned char kSubUndefined = '?';

// A code list is held by its head node. In parse (prefix) form an operator is followed by
// its right operand's run and then its left operand's run; in evaluation (postfix) form the
// left run comes first, then the right run, then the operator, and a ';' node ends the list.

CodeNode* MakeNode(NodePool& pool, NodeKind kind, unsigned char sub, int var, double value,
                   unsigned char mark, CodeNode* next);
CodeNode* Reverse(CodeNode* list);
CodeNode* ToPrefix(CodeNode* list);
CodeNode* ToPostfix(CodeNode* list);
CodeNode* Strip(NodePool& pool, CodeNode* list);
CodeNode* Finalize(NodePool& pool, CodeNode* list);
CodeNode* SkipDeleted(CodeNode* node);
const CodeNode* SkipDeleted(const CodeNode* node);
CodeNode* SubtreeEnd(CodeNode* node);
const CodeNode* SubtreeEnd(const CodeNode* node);
CodeNode* CopyList(NodePool& pool, const CodeNode* list);
CodeNode* CopySubtree(NodePool& pool, const CodeNode* node);
void ReplaceSubtree(NodePool& pool, CodeNode* place, CodeNode* replacement);
void FreeList(NodePool& pool, CodeNode* list);
CodeNode* WrapBinary(NodePool& pool, unsigned char sub, CodeNode* a, CodeNode* b);
CodeNode* WrapUnary(NodePool& pool, unsigned char sub, CodeNode* a);

CodeNode* ZeroNode(NodePool& pool);
CodeNode* OneNode(NodePool& pool);
CodeNode* TwoNode(NodePool& pool);
CodeNode* ImaginaryOne(NodePool& pool);
CodeNode* ConstNode(NodePool& pool, double value);
CodeNode* VarNode(NodePool& pool, int variable);

// A plain constant: a 'V' node of form ' ' with no variable tie. Only these fold as numbers.
bool IsPlainConst(const CodeNode* node);
inline bool IsPlainConstValue(const CodeNode* node, double v) {
    return IsPlainConst(node) && node->value == v;
}
// Number of nodes of a list that are not deleted.
int CountNodes(const CodeNode* list);
