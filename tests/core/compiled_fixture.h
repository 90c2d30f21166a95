#pragma once

#include <string>

#include "core/base/name_table.h"
#include "core/document_fixture.h"
#include "core/eval/evaluator.h"
#include "core/lang/code_string.h"
#include "core/lang/writer.h"
#include "core/run/run_setup.h"

// A document compiled into the core without running a command, so that operations on the
// compiled equations can be called directly; the list file a regression reads can be attached.
class CompiledFixture : public DocumentFixture {
   protected:
    void Compile(const std::string& text) {
        path_ = (dir_ / "doc.alg").string();
        std::ofstream(path_, std::ios::binary) << text;
        core_.files.documentPath = path_;
        core_.files.baseName = BaseNameOf(path_);
        CompileDocument(core_);
        ASSERT_FALSE(core_.flags.parseError) << out_;
    }
    void Attach(const std::string& text) {
        core_.settings.updateFileName = (dir_ / "data.LST").string();
        std::ofstream(core_.settings.updateFileName, std::ios::binary) << text;
    }
    void TearDown() override {
        FreeEquations(core_);
        for (TextFile* f : {&core_.files.work, &core_.files.result, &core_.files.update}) Close(*f);
        EXPECT_EQ(core_.pool.liveCount(), 0u);
        DocumentFixture::TearDown();
    }
    // Equation e as the writer writes it.
    std::string Text(int e) {
        std::string text;
        EquationText out(text);
        CodeNode* head = ToPrefix(core_.model.eq[e].code);
        WriteCode(core_, head->next, out, WriterStyle{});
        core_.model.eq[e].code = ToPostfix(head);
        return text;
    }
    double Residual(int e) {
        bool error = false;
        return Evaluate(core_, core_.model.eq[e].code, error);
    }
    void Set(const std::string& name, double value) {
        core_.names.value[FindVariable(core_.names, name)] = value;
    }
};
