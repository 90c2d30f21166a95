#include "core/base/code_node.h"

NodePool::~NodePool() {
    for (CodeNode* block : blocks_) delete[] block;
}

CodeNode* NodePool::allocate() {
    if (free_ == nullptr) {
        auto* block = new CodeNode[kBlockNodes];
        blocks_.push_back(block);
        for (std::size_t i = 0; i < kBlockNodes; ++i) {
            block[i].next = (i + 1 < kBlockNodes) ? &block[i + 1] : nullptr;
        }
        free_ = block;
    }
    CodeNode* node = free_;
    free_ = node->next;
    ++live_;
    ++changes_;
    return node;
}

void NodePool::release(CodeNode* node) {
    node->next = free_;
    node->kind = kKindDeleted;
    free_ = node;
    --live_;
    ++changes_;
}
