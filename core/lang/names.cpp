#include <algorithm>
#include <cstdint>
#include <string>

#include "core/base/core_state.h"
#include "core/lang/code_string.h"
#include "core/lang/code_tables.h"
#include "core/lang/lang_messages.h"
#include "core/lang/parser.h"

namespace {

std::string Significant(const CoreState& s, const std::string& name) {
    const auto chars = static_cast<std::size_t>(std::max(s.limits.nameChars, 0));
    return name.substr(0, chars);
}

// Weight of a byte in the hash: its distance above '0', never negative.
int HashWeight(unsigned char c) {
    return c > '0' ? c - '0' : 0;
}

// First slot to try for a name. The tables of the smallest capacity weigh the second, third
// and last bytes; larger tables spread the names by all their bytes, since names such as
// x1 .. x5000 share most of those three and would pile up in a few long runs of slots, which
// linear probing walks through at every lookup.
int StartSlot(const std::string& name, int slots) {
    const std::size_t n = name.size();
    if (slots <= Limits{}.nameSlots) {
        const int a = n >= 2 ? HashWeight(static_cast<unsigned char>(name[1])) : 1;
        const int b = n >= 3 ? HashWeight(static_cast<unsigned char>(name[2])) : 1;
        const int z = HashWeight(static_cast<unsigned char>(name[n - 1]));
        return ((z * 16 + b) * 16 + a) % slots + 1;
    }
    std::uint32_t h = 2166136261u;  // FNV-1a
    for (const char c : name) {
        h ^= static_cast<unsigned char>(c);
        h *= 16777619u;
    }
    return static_cast<int>(h % static_cast<std::uint32_t>(slots)) + 1;
}

bool IsRealName(const CoreState& s, const std::string& name) {
    const std::string cut = Significant(s, name);
    const auto& real = s.names.realNames;
    return std::find(real.begin(), real.end(), cut) != real.end();
}

// The two halves of a complex quantity are named by adding one byte to a base; the base is
// cut so that base and byte stay within the significant characters, or two long names
// would fall together into one variable.
std::string ComplexBase(const CoreState& s, std::string base) {
    const auto room = static_cast<std::size_t>(std::max(s.limits.nameChars - 1, 0));
    if (base.size() > room) base.resize(room);
    return base;
}

}  // namespace

int LookupName(CoreState& s, const std::string& fullName) {
    NameTable& t = s.names;
    const std::string name = Significant(s, fullName);
    const int slots = s.limits.nameSlots;
    if (name.empty() || slots < 1) return 0;

    const int start = StartSlot(name, slots);

    int slot = start;
    while (!t.slotName[slot].empty() && t.slotName[slot] != name) {
        slot = slot % slots + 1;
        if (slot == start) {
            ParseError(s, parser_message::kNameTableFull);
            return 0;
        }
    }
    if (!t.slotName[slot].empty()) return t.slotVariable[slot];
    if (t.variableCount >= s.limits.maxVariables) {
        ParseError(s, parser_message::kTooManyVariables);
        return 0;
    }
    const int v = ++t.variableCount;
    t.slotName[slot] = name;
    t.slotVariable[slot] = v;
    t.name[v] = name;
    return v;
}

std::string Identifier(CoreState& s) {
    ParserState& p = s.parser;
    std::string name(1, static_cast<char>(p.ch));
    for (;;) {
        NextChar(s);
        if (p.skipped || !IsIdentifierBody(p.ch)) break;
        name += static_cast<char>(p.ch);
    }
    return name;
}

void EmitVariable(CoreState& s, const std::string& name, bool designated) {
    ParserState& p = s.parser;
    int first = 0;
    if (s.k.arithmetic == Arithmetic::kReal || IsRealName(s, name)) {
        first = LookupName(s, name);
        Emit(s, kKindVar, kSubPlain, first);
    } else if (name.find('\x9F') != std::string::npos) {
        // Polar form: magnitude m and angle a (radians), m*COS(a) + j*m*SIN(a).
        const std::string base = ComplexBase(s, name.substr(0, name.size() - 1));
        const int m = LookupName(s, base + '\xF1');
        const int a = LookupName(s, base + '\xB0');
        Emit(s, kKindVar, kSubPlain, m);
        Emit(s, kKindVar, kSubPlain, a);
        Emit(s, kKindUnary, code::kCos);
        Emit(s, kKindBinary, code::kMul);
        Emit(s, kKindVar, kSubImaginary, m);
        Emit(s, kKindVar, kSubPlain, a);
        Emit(s, kKindUnary, code::kSin);
        Emit(s, kKindBinary, code::kMul);
        Emit(s, kKindBinary, code::kAdd);
        first = m;
    } else {
        // Rectangular form: real part r and imaginary part i, r + j*i.
        const std::string base = ComplexBase(s, name);
        const int r = LookupName(s, base + 'r');
        const int i = LookupName(s, base + 'i');
        Emit(s, kKindVar, kSubPlain, r);
        Emit(s, kKindVar, kSubImaginary, i);
        Emit(s, kKindBinary, code::kAdd);
        first = r;
    }
    // A complex quantity is designated by its first half.
    if (designated && first > 0 && p.equation > 0 &&
        p.equation < static_cast<int>(s.model.eq.size())) {
        s.model.eq[p.equation].designated = first;
    }
}
