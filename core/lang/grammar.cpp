#include <cctype>
#include <string>

#include "core/base/core_state.h"
#include "core/base/special_values.h"
#include "core/lang/code_string.h"
#include "core/lang/code_tables.h"
#include "core/lang/function_traits.h"
#include "core/lang/lang_messages.h"
#include "core/lang/parser.h"

// Every equation compiles to the residual left - right. The code is built in parse form by
// putting each new node in front of the list, so the routines emit nodes in evaluation
// order: operands first, then their operator.

bool ChargeNodes(CoreState& s, int nodes) {
    // The symbolic passes walk an equation recursively along its operators; an equation of
    // unbounded length could exhaust the machine stack there. Copies are charged before they
    // are made, so text whose code doubles at every step stops long before memory runs out.
    if (nodes > kMaxEquationNodes - s.parser.emitted) {
        s.parser.emitted = kMaxEquationNodes + 1;
        ParseError(s, parser_message::kEquationTooLong);
        return false;
    }
    s.parser.emitted += nodes;
    return true;
}

void Emit(CoreState& s, NodeKind kind, unsigned char sub, int var, double value) {
    if (!ChargeNodes(s, 1)) return;
    s.parser.list = MakeNode(s.pool, kind, sub, var, value, 0, s.parser.list);
}

void LinkRun(CoreState& s, CodeNode* run) {
    if (run == nullptr) return;
    CodeNode* last = run;
    while (last->next != nullptr) last = last->next;
    last->next = s.parser.list;
    s.parser.list = run;
}

CodeNode* ParseSubRelation(CoreState& s) {
    CodeNode* outer = s.parser.list;
    s.parser.list = nullptr;
    Relation(s);
    CodeNode* run = s.parser.list;
    s.parser.list = outer;
    return run;
}

// After the relation inside parentheses, text up to the ')' is skipped; the equation's ';'
// is never skipped, so a missing ')' cannot swallow the next equation.
void ParenthesisedRelation(CoreState& s) {
    ParserState& p = s.parser;
    NextChar(s);
    Relation(s);
    if (p.error) return;
    while (p.textRemains && p.ch != ')' && p.ch != ';') NextChar(s);
    if (p.ch == ')') {
        NextChar(s);
    } else {
        ParseError(s, parser_message::kParenExpected);
    }
}

void Relation(CoreState& s) {
    ParserState& p = s.parser;
    if (p.error) return;
    ++p.depth;
    SimpleExpression(s);
    // 0xF3 is also a letter. A name takes it when it touches the name or stands where an
    // operand begins; it reaches this point only after a complete operand: after a number,
    // after ')', or after a name and a blank. Only there is it a relation.
    if (!p.error && IsRelationChar(p.ch)) {
        const unsigned char relation = p.ch;
        NextChar(s);
        SimpleExpression(s);
        if (!p.error) {
            Emit(s, kKindBinary, code::kSub);
            // Below the top level '<' yields right - left, so that an IF condition is
            // positive exactly when its relation holds. 0xF2 and 0xF3 are compiled like '>'
            // and '<' so that an inequality still has a single result; at the top level they
            // stay the equation's relation character, which the optimization rewrite reads
            // as an inequality.
            if ((relation == '<' || relation == 0xF3) && p.depth != 1) {
                Emit(s, kKindUnary, code::kNeg);
            }
            if (p.depth == 1 && p.equation > 0 &&
                p.equation < static_cast<int>(s.model.eq.size())) {
                s.model.eq[p.equation].relation = relation;
            }
        }
    }
    --p.depth;
}

void SimpleExpression(CoreState& s) {
    ParserState& p = s.parser;
    if (p.error) return;
    bool negate = false;
    if (p.ch == '+') {
        NextChar(s);
    } else if (p.ch == '-') {
        negate = true;
        NextChar(s);
    }
    Term(s);
    if (negate && !p.error) Emit(s, kKindUnary, code::kNeg);
    while (!p.error && (p.ch == '+' || p.ch == '-')) {
        const unsigned char op = p.ch;
        NextChar(s);
        Term(s);
        if (!p.error) Emit(s, kKindBinary, op);
    }
}

void Term(CoreState& s) {
    ParserState& p = s.parser;
    if (p.error) return;
    Factor(s);
    while (!p.error && (p.ch == '*' || p.ch == '/' || p.ch == '@')) {
        const unsigned char op = p.ch;
        NextChar(s);
        Factor(s);
        if (!p.error) Emit(s, kKindBinary, op);
    }
}

void Factor(CoreState& s) {
    ParserState& p = s.parser;
    if (p.error) return;
    Primary(s);
    while (!p.error && p.ch == '^') {
        NextChar(s);
        Primary(s);
        if (!p.error) Emit(s, kKindBinary, code::kPow);
    }
}

namespace {

// A non-function name followed by '(' multiplies: x(a+b) is x*(a+b).
void ImplicitProduct(CoreState& s) {
    if (s.parser.ch == '(') {
        PushBack(s);
        s.parser.ch = '*';
    }
}

void UnaryFunction(CoreState& s, unsigned char code) {
    ParserState& p = s.parser;
    if (p.ch == '(') {
        NextChar(s);
        Relation(s);
        if (!p.error) NextChar(s);  // the ')', taken on trust
    } else {
        Relation(s);
    }
    if (!p.error) Emit(s, kKindUnary, code);
}

void BinaryFunction(CoreState& s, unsigned char code) {
    ParserState& p = s.parser;
    const bool parenthesised = p.ch == '(';
    if (parenthesised) NextChar(s);
    Relation(s);
    if (p.error) return;
    if (p.ch != ',') {
        ParseError(s, parser_message::kCommaExpected);
        return;
    }
    NextChar(s);
    Relation(s);
    if (p.error) return;
    if (parenthesised) NextChar(s);  // the ')', taken on trust
    Emit(s, kKindBinary, code);
}

bool ReadKeyword(CoreState& s, const char* word) {
    if (!IsIdentifierBody(s.parser.ch)) return false;
    return Identifier(s) == word;
}

// IF c THEN a ELSE b: evaluation order c, a, b, THEN, IF. The branch values are simple
// expressions, so a relation or another IF inside them needs parentheses.
void IfThenElse(CoreState& s) {
    ParserState& p = s.parser;
    Relation(s);
    if (p.error) return;
    if (!ReadKeyword(s, "THEN")) {
        ParseError(s, parser_message::kThenExpected);
        return;
    }
    SimpleExpression(s);
    if (p.error) return;
    if (!ReadKeyword(s, "ELSE")) {
        ParseError(s, parser_message::kElseExpected);
        return;
    }
    SimpleExpression(s);
    if (p.error) return;
    Emit(s, kKindBinary, code::kThen);
    Emit(s, kKindBinary, code::kIf);
}

// a@b is a * (COS(b) + j * SIN(b)): a magnitude and an angle in radians.
void AngleOperator(CoreState& s) {
    ParserState& p = s.parser;
    NextChar(s);
    CodeNode* outer = p.list;
    p.list = nullptr;
    Factor(s);
    CodeNode* angle = p.list;
    p.list = outer;
    if (p.error || angle == nullptr || !ChargeNodes(s, CountNodes(angle))) {
        LinkRun(s, angle);  // the list owns whatever was built
        return;
    }
    CodeNode* second = CopyList(s.pool, angle);
    LinkRun(s, angle);
    Emit(s, kKindUnary, code::kCos);
    Emit(s, kKindConst, kSubImaginary, 0, 1.0);
    LinkRun(s, second);
    Emit(s, kKindUnary, code::kSin);
    Emit(s, kKindBinary, code::kMul);
    Emit(s, kKindBinary, code::kAdd);
    Emit(s, kKindBinary, code::kMul);
}

// %k inside a function body: a copy of the k-th argument of the call.
void ArgumentCopy(CoreState& s) {
    ParserState& p = s.parser;
    NextChar(s);
    const int k = p.ch - '0';
    NextChar(s);
    if (k < 1 || k > static_cast<int>(p.args.size())) {
        ParseError(s, parser_message::kFunctionFileError);
        return;
    }
    if (!ChargeNodes(s, CountNodes(p.args[k - 1]))) return;
    LinkRun(s, CopyList(s.pool, p.args[k - 1]));
}

bool IsNumberStart(unsigned char c) {
    return std::isdigit(c) || c == '.' || c == '+' || c == '-';
}

// 0xB0 before a number ties the constant to the variable named last in a comment.
void LinkedConstant(CoreState& s) {
    ParserState& p = s.parser;
    NextChar(s);  // a comment right after the mark may name the variable
    const int var = p.currentName.empty() ? 0 : LookupName(s, p.currentName);
    if (p.error) return;
    if (!IsNumberStart(p.ch)) {
        ParseError(s, parser_message::kNumericFormat);
        return;
    }
    Number(s, kSubPlain);
    if (!p.error && var > 0 && p.list != nullptr && p.list->kind == kKindConst) {
        p.list->var = var;
        p.linkedConstants = true;
    }
}

void NamedPrimary(CoreState& s, const std::string& name) {
    const auto first = static_cast<unsigned char>(name[0]);
    if (first == 0xA2) {  // designation mark: the rest is the equation's own variable
        if (name.size() == 1) {
            ParseError(s, parser_message::kIllegalCharacter + std::to_string(first));
            return;
        }
        EmitVariable(s, name.substr(1), true);
        ImplicitProduct(s);
        return;
    }
    if (name == "PI" || name == "\xF0") {
        Emit(s, kKindConst, kSubPi, 0, kPi);
        ImplicitProduct(s);
        return;
    }
    if (name == "?") {
        Emit(s, kKindConst, kSubUndefined, 0, kUndefinedValue);
        ImplicitProduct(s);
        return;
    }
    if (const unsigned char c = FindBinaryCode(name); c != 0) {
        if (FindBinaryTraits(c)->notation == Notation::kIfThenElse) {
            IfThenElse(s);
        } else {
            BinaryFunction(s, c);
        }
        return;
    }
    if (const unsigned char c = FindUnaryCode(name); c != 0) {
        UnaryFunction(s, c);
        return;
    }
    if (s.parser.ch == '(' && CallUserFunction(s, name)) return;
    EmitVariable(s, name, false);
    ImplicitProduct(s);
}

void PrimaryBody(CoreState& s) {
    ParserState& p = s.parser;
    const unsigned char c = p.ch;
    if (c == '(') {
        ParenthesisedRelation(s);
        return;
    }
    if (!IsPrimaryStart(c)) {
        ParseError(s, parser_message::kIllegalCharacter + std::to_string(c));
        while (p.textRemains && !IsPrimaryStart(p.ch)) NextChar(s);
        return;
    }
    if (c == 0xDF) {  // the imaginary unit, alone or before a number
        NextChar(s);
        if (std::isdigit(p.ch) || p.ch == '.') {
            Number(s, kSubImaginary);
        } else {
            Emit(s, kKindConst, kSubImaginary, 0, 1.0);
        }
        return;
    }
    if (IsNumberStart(c)) {
        Number(s, kSubPlain);
        return;
    }
    if (c == '%' && p.pos < p.input.size() &&
        std::isdigit(static_cast<unsigned char>(p.input[p.pos]))) {
        ArgumentCopy(s);
        return;
    }
    if (c == 0xB0) {
        LinkedConstant(s);
        return;
    }
    NamedPrimary(s, Identifier(s));
}

}  // namespace

void Primary(CoreState& s) {
    ParserState& p = s.parser;
    if (p.error) return;
    if (p.nesting >= kMaxPrimaryNesting) {
        ParseError(s, parser_message::kNestedTooDeeply);
        return;
    }
    ++p.nesting;
    PrimaryBody(s);
    if (!p.error && p.ch == '@') AngleOperator(s);
    --p.nesting;
}
