#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Node kinds. The byte is what the Jacobian file writes for a node; a switch over a node's kind
// lists every kind and has no default, so a kind added later is named by the compiler.
enum NodeKind : char {
    kKindBinary = 'B',   // operator or two-argument function; code in sub
    kKindUnary = 'U',    // one-argument function or unary minus; code in sub
    kKindConst = 'V',    // constant; operand form in sub
    kKindVar = 'X',      // variable; operand form in sub
    kKindEnd = ';',      // end of an equation
    kKindDeleted = '0',  // removed by folding, or a free node
};

// One node of a compiled equation (a CodeString is a singly linked list of them).
struct CodeNode {
    CodeNode* next;      // following node, or null
    double value;        // constant value (kind 'V')
    std::int32_t var;    // variable number (kind 'X'); link to a variable for tied constants
    NodeKind kind;       // what the node is
    unsigned char sub;   // operator or function code ('B', 'U'); operand form ('V', 'X')
    unsigned char mark;  // 0 as parsed; 1 on the head of a polar pair (complex conversion)
};

// Node storage. Nodes are carved from large blocks and recycled through a free list, so
// building and freeing code lists never reaches the general allocator per node. The pool
// owns its blocks; destroying it releases every node, freed or not.
class NodePool {
   public:
    NodePool() = default;
    NodePool(const NodePool&) = delete;
    NodePool& operator=(const NodePool&) = delete;
    ~NodePool();

    CodeNode* allocate();
    void release(CodeNode* node);
    std::size_t liveCount() const { return live_; }  // nodes handed out and not yet released
    // Counts the changes that may make a code list another: every node handed out or taken
    // back, and every change of a node's kind, operand form or variable in place, announced
    // with touch(). (A constant's value may change in place unannounced: copies read it from
    // the node.) A copy of a list made while the count stood still is the list as it is.
    std::uint64_t changes() const { return changes_; }
    void touch() { ++changes_; }

   private:
    static constexpr std::size_t kBlockNodes = 1024;
    std::vector<CodeNode*> blocks_;
    CodeNode* free_ = nullptr;
    std::size_t live_ = 0;
    std::uint64_t changes_ = 0;
};
