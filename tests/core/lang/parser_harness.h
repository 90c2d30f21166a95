#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/lang/code_string.h"
#include "core/lang/code_tables.h"
#include "core/lang/parser.h"
#include "core/run/core_state.h"
#include "core/run/text_file.h"

// A core that compiles equation text from a scratch folder, records its console and checks
// at the end that every code node went back to the pool.
class ParserHarness {
   public:
    explicit ParserHarness(const Limits& limits = Limits{}) : s(limits) {
        static int serial = 0;
        dir = std::filesystem::temp_directory_path() /
              ("valdrix_parser_" + std::to_string(::getpid()) + "_" + std::to_string(++serial));
        std::filesystem::create_directories(dir);
        s.files.baseName = (dir / "doc").string();
        s.console.callback = [this](const char* text) { out += text; };
    }

    ~ParserHarness() {
        Close(s.files.work);
        FreeModel();
        EXPECT_EQ(s.pool.liveCount(), 0u) << "code nodes leaked";
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }

    void WriteFile(const std::string& name, const std::string& text) {
        std::ofstream f(dir / name, std::ios::binary);
        f << text;
    }

    // Compiles text as the work file of a run; true when it was accepted.
    bool Compile(const std::string& text, bool complexMode = false) {
        WriteFile("doc.TMP", text);
        Close(s.files.work);
        Assign(s.files.work, (dir / "doc.TMP").string());
        Reset(s.files.work);
        s.k.complexMode = complexMode;
        ParseEquationsComplex(s);
        return !s.parser.error;
    }

    void FreeModel() {
        for (std::size_t i = 1; i < s.model.eq.size(); ++i) {
            FreeList(s.pool, s.model.eq[i].code);
            s.model.eq[i].code = nullptr;
        }
    }

    // Evaluation form of an equation in words: variables by name, constants by value,
    // operators by symbol or function name, unary minus as "neg".
    std::string Code(int e) const { return CodeText(s.model.eq[e].code); }

    std::string CodeText(const CodeNode* code) const {
        std::string text;
        for (const CodeNode* n = code; n != nullptr; n = n->next) {
            std::string word;
            switch (n->kind) {
                case kKindVar:
                    word = (n->sub == kSubImaginary ? "j*" : "") + VariableName(n->var);
                    break;
                case kKindConst: word = ConstantText(n); break;
                case kKindBinary: word = OperatorText(n->sub, BinaryCodeName(n->sub)); break;
                case kKindUnary:
                    word = n->sub == '-' ? "neg" : std::string(UnaryCodeName(n->sub));
                    break;
                default: continue;
            }
            if (!text.empty()) text += ' ';
            text += word;
        }
        return text;
    }

    std::string VariableName(int v) const {
        if (v < 1 || v > s.names.variableCount) return "#" + std::to_string(v);
        return s.names.name[v];
    }

    int Variable(const std::string& name) const { return FindVariable(s.names, name); }
    double Value(const std::string& name) const { return s.names.value[Variable(name)]; }
    int Beeps() const { return s.defaultShell.beeps; }

    CoreState s;
    std::string out;
    std::filesystem::path dir;

   private:
    static std::string Number(double v) {
        char buf[40];
        std::snprintf(buf, sizeof buf, "%.10g", v);
        return buf;
    }

    std::string ConstantText(const CodeNode* n) const {
        std::string text;
        switch (n->sub) {
            case kSubPi: return "pi";
            case kSubUndefined: return "?";
            case kSubImaginary: text = "j" + Number(n->value); break;
            default: text = Number(n->value); break;
        }
        if (n->var != 0) text += "~" + VariableName(n->var);
        return text;
    }

    static std::string OperatorText(unsigned char sub, std::string_view name) {
        if (sub == '+' || sub == '-' || sub == '*' || sub == '/' || sub == '^' || sub == '@') {
            return std::string(1, static_cast<char>(sub));
        }
        return std::string(name);
    }
};
