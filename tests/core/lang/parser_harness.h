#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/base/core_state.h"
#include "core/base/text_file.h"
#include "core/code_builder.h"
#include "core/data_table.h"
#include "core/eval/compile.h"
#include "core/lang/parser.h"
#include "core/lang/writer.h"
#include "scratch_dir.h"

// A core that compiles equation text from a scratch folder, records its console and checks
// at the end that every code node went back to the pool. Folding is off unless a test turns
// it on, so compiled code reads as written.
struct ParserHarness {
    explicit ParserHarness(const Limits& limits = Limits{}) : s(limits) {
        s.files.baseName = scratch.File("doc");
        s.console.callback = [this](const char* text) { out += text; };
        s.settings.autoSimplify = false;
    }

    ~ParserHarness() {
        Close(s.files.work);
        for (std::size_t i = 1; i < s.model.eq.size(); ++i) FreeList(s.pool, s.model.eq[i].code);
        EXPECT_EQ(s.pool.liveCount(), 0u) << "code nodes leaked";
    }

    // Compiles text as the work file of a run; true when it was accepted.
    bool Compile(const std::string& text, bool complexMode = false) {
        scratch.Put("doc.TMP", text);
        Close(s.files.work);
        Assign(s.files.work, scratch.File("doc.TMP"));
        Reset(s.files.work);
        s.k.arithmetic = complexMode ? Arithmetic::kComplex : Arithmetic::kReal;
        ParseEquationsComplex(s);
        return !s.parser.error;
    }

    // Evaluation form of equation e in the words of testcode::Text, without the final ';'.
    std::string Code(int e) const {
        std::string text = testcode::Text(s, s.model.eq[e].code);
        if (text.ends_with(" ;")) text.resize(text.size() - 2);
        return text;
    }

    // Equation e as a save writes it, ties of constants included; all of them, one to a line.
    std::string Written(int e) {
        std::string text;
        EquationText writer(text);
        WriterStyle style;
        style.linkedPrefix = true;
        WriteEquation(s, s.model.eq[e].code, s.model.eq[e].relation, writer, style);
        return text;
    }
    std::string WrittenAll() {
        std::string text;
        for (int e = 1; e <= s.model.count; ++e) text += Written(e) + "\n";
        return text;
    }

    int Variable(const std::string& name) const { return FindVariable(s.names, name); }
    double Value(const std::string& name) const { return s.names.value[Variable(name)]; }
    void Set(const std::string& name, double value) {
        if (const int v = Variable(name); v != 0) s.names.value[v] = value;
    }

    ScratchDir scratch;
    CoreState s;
    std::string out;
};

// Compiles each text in a fresh harness and expects its equation 1 in the words of Code, or
// the message the text was refused with: the rows of a data table (see data_table.h), then any
// rows made in code.
template <class Harness = ParserHarness>
void ExpectOutcomes(const std::string& table, const std::vector<data_table::Row>& made = {}) {
    std::vector<data_table::Row> rows = data_table::Read(table);
    rows.insert(rows.end(), made.begin(), made.end());
    for (const data_table::Row& row : rows) {
        Harness h;
        EXPECT_EQ(h.Compile(row[0]) ? h.Code(1) : h.s.message, row[1]) << table << ": " << row[0];
    }
}
