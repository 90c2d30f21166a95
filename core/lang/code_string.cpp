#include "core/lang/code_string.h"

CodeNode* MakeNode(NodePool& pool, NodeKind kind, unsigned char sub, int var, double value,
                   unsigned char mark, CodeNode* next) {
    CodeNode* n = pool.allocate();
    n->kind = kind;
    n->sub = sub;
    n->var = var;
    n->value = value;
    n->mark = mark;
    n->next = next;
    return n;
}

CodeNode* Reverse(CodeNode* list) {
    CodeNode* prev = nullptr;
    while (list != nullptr) {
        CodeNode* next = list->next;
        list->next = prev;
        prev = list;
        list = next;
    }
    return prev;
}

static bool IsOperatorOrEnd(const CodeNode* n) {
    return n->kind == kKindBinary || n->kind == kKindUnary || n->kind == kKindEnd;
}

CodeNode* ToPrefix(CodeNode* list) {
    if (list != nullptr && !IsOperatorOrEnd(list)) return Reverse(list);
    return list;
}

CodeNode* ToPostfix(CodeNode* list) {
    if (list != nullptr && IsOperatorOrEnd(list)) return Reverse(list);
    return list;
}

CodeNode* Strip(NodePool& pool, CodeNode* list) {
    CodeNode* head = nullptr;
    CodeNode** tail = &head;
    while (list != nullptr) {
        CodeNode* next = list->next;
        if (list->kind == kKindDeleted || list->kind == kKindEnd) {
            pool.release(list);
        } else {
            *tail = list;
            tail = &list->next;
        }
        list = next;
    }
    *tail = nullptr;
    return head;
}

CodeNode* Finalize(NodePool& pool, CodeNode* list) {
    list = ToPrefix(list);
    list = Strip(pool, list);
    list = MakeNode(pool, kKindEnd, kSubPlain, 0, 0.0, 0, list);
    return ToPostfix(list);
}

CodeNode* SkipDeleted(CodeNode* node) {
    while (node != nullptr && (node->kind == kKindDeleted || node->kind == kKindEnd)) {
        node = node->next;
    }
    return node;
}

const CodeNode* SkipDeleted(const CodeNode* node) {
    return SkipDeleted(const_cast<CodeNode*>(node));
}

// Walks forward counting the operands still owed; iterative so that long equations cannot
// exhaust the machine stack.
CodeNode* SubtreeEnd(CodeNode* node) {
    int owed = 1;
    for (CodeNode* n = node; n != nullptr; n = n->next) {
        switch (n->kind) {
            case kKindDeleted: continue;
            case kKindBinary: owed += 1; break;
            case kKindUnary: break;
            case kKindConst:
            case kKindVar: owed -= 1; break;
            case kKindEnd: return nullptr;  // the equation ended inside the run
        }
        if (owed == 0) return n;
    }
    return nullptr;
}

const CodeNode* SubtreeEnd(const CodeNode* node) {
    return SubtreeEnd(const_cast<CodeNode*>(node));
}

CodeNode* CopyList(NodePool& pool, const CodeNode* list) {
    CodeNode* head = nullptr;
    CodeNode** tail = &head;
    for (const CodeNode* n = list; n != nullptr; n = n->next) {
        CodeNode* c = MakeNode(pool, n->kind, n->sub, n->var, n->value, n->mark, nullptr);
        *tail = c;
        tail = &c->next;
    }
    return head;
}

CodeNode* CopySubtree(NodePool& pool, const CodeNode* node) {
    node = SkipDeleted(node);
    const CodeNode* end = SubtreeEnd(node);
    if (end == nullptr) return nullptr;
    CodeNode* head = nullptr;
    CodeNode** tail = &head;
    for (const CodeNode* n = node;; n = n->next) {
        if (n->kind != kKindDeleted) {
            CodeNode* c = MakeNode(pool, n->kind, n->sub, n->var, n->value, n->mark, nullptr);
            *tail = c;
            tail = &c->next;
        }
        if (n == end) break;
    }
    return head;
}

void ReplaceSubtree(NodePool& pool, CodeNode* place, CodeNode* replacement) {
    CodeNode* end = SubtreeEnd(place);
    CodeNode* after = end ? end->next : nullptr;
    // Free the old run except its head, which is reused so that links into it stay valid.
    for (CodeNode* n = place->next; end != nullptr && n != after;) {
        CodeNode* next = n->next;
        pool.release(n);
        n = next;
    }
    CodeNode* newEnd = SubtreeEnd(replacement);
    if (newEnd == nullptr) {  // not a complete run: keep it whole
        newEnd = replacement;
        while (newEnd->next != nullptr) newEnd = newEnd->next;
    }
    place->kind = replacement->kind;
    place->sub = replacement->sub;
    place->var = replacement->var;
    place->value = replacement->value;
    place->mark = replacement->mark;
    if (newEnd == replacement) {
        place->next = after;
    } else {
        place->next = replacement->next;
        newEnd->next = after;
    }
    pool.release(replacement);
}

void FreeList(NodePool& pool, CodeNode* list) {
    while (list != nullptr) {
        CodeNode* next = list->next;
        pool.release(list);
        list = next;
    }
}

static CodeNode* LastNode(CodeNode* list) {
    while (list->next != nullptr) list = list->next;
    return list;
}

CodeNode* WrapBinary(NodePool& pool, unsigned char sub, CodeNode* a, CodeNode* b) {
    LastNode(a)->next = b;
    return MakeNode(pool, kKindBinary, sub, 0, 0.0, 0, a);
}

CodeNode* WrapUnary(NodePool& pool, unsigned char sub, CodeNode* a) {
    return MakeNode(pool, kKindUnary, sub, 0, 0.0, 0, a);
}

CodeNode* ZeroNode(NodePool& pool) {
    return ConstNode(pool, 0.0);
}
CodeNode* OneNode(NodePool& pool) {
    return ConstNode(pool, 1.0);
}
CodeNode* TwoNode(NodePool& pool) {
    return ConstNode(pool, 2.0);
}
CodeNode* ImaginaryOne(NodePool& pool) {
    return MakeNode(pool, kKindConst, kSubImaginary, 0, 1.0, 0, nullptr);
}
CodeNode* ConstNode(NodePool& pool, double value) {
    return MakeNode(pool, kKindConst, kSubPlain, 0, value, 0, nullptr);
}
CodeNode* VarNode(NodePool& pool, int variable) {
    return MakeNode(pool, kKindVar, kSubPlain, variable, 0.0, 0, nullptr);
}

bool IsPlainConst(const CodeNode* node) {
    return node != nullptr && node->kind == kKindConst && node->sub == kSubPlain && node->var == 0;
}

int CountNodes(const CodeNode* list) {
    int n = 0;
    for (; list != nullptr; list = list->next) {
        if (list->kind != kKindDeleted) ++n;
    }
    return n;
}
