#include "core/base/name_table.h"

NameTable::NameTable(const Limits& limits)
    : slotName(limits.nameSlots + 1),
      slotVariable(limits.nameSlots + 1, 0),
      name(limits.variableTableSize()),
      value(limits.variableTableSize(), 0.0),
      lowBound(limits.variableTableSize(), 0.0),
      highBound(limits.variableTableSize(), 0.0) {}

void NameTable::resize(const Limits& limits) {
    *this = NameTable(limits);
}

void NameTable::clear() {
    for (auto& s : slotName) s.clear();
    for (auto& v : slotVariable) v = 0;
    for (auto& n : name) n.clear();
    variableCount = 0;
    realNames.clear();
}

int FindVariable(const NameTable& names, const std::string& n) {
    for (int i = 1; i <= names.variableCount; ++i) {
        if (names.name[i] == n) return i;
    }
    return 0;
}
