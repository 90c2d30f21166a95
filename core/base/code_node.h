#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Node kinds.
inline constexpr char kKindBinary = 'B';
inline constexpr char kKindUnary = 'U';
inline constexpr char kKindConst = 'V';
inline constexpr char kKindVar = 'X';
inline constexpr char kKindEnd = ';';
inline constexpr char kKindDeleted = '0';

// One node of a compiled equation (a CodeString is a singly linked list of them).
struct CodeNode {
    CodeNode* next;      // following node, or null
    double value;        // constant value (kind 'V')
    std::int32_t var;    // variable number (kind 'X'); link to a variable for tied constants
    char kind;           // 'B', 'U', 'V', 'X', ';' or '0' (deleted)
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

private:
    static constexpr std::size_t kBlockNodes = 1024;
    std::vector<CodeNode*> blocks_;
    CodeNode* free_ = nullptr;
    std::size_t live_ = 0;
};
