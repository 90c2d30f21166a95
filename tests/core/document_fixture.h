#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/base/core_state.h"
#include "core/run/entry.h"
#include "scratch_dir.h"

// A scratch folder with one equation document and a core whose console is captured.
class DocumentFixture : public ::testing::Test {
protected:
    void SetUp() override { core_.console.callback = [this](const char* text) { out_ += text; }; }

    // Writes the document (single-byte text) and runs one command on it.
    int Run(const std::string& text, const char* command = "S", const std::string& name = "doc.alg") {
        Write(text, name);
        return SolverEntry(core_, path_.c_str(), command);
    }
    // Writes the document and compiles it without running a command.
    int Check(const std::string& text) {
        Write(text, "doc.alg");
        return CheckDocument(core_, path_.c_str());
    }
    void Write(const std::string& text, const std::string& name) {
        path_ = scratch_.Put(name, text);
        out_.clear();
    }

    std::string ReadFile(const std::string& extension) const {
        return scratch_.Get("doc" + extension);
    }

    std::vector<std::string> Lines(const std::string& extension) const {
        std::vector<std::string> lines;
        std::istringstream in(ReadFile(extension));
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }

    double Value(const std::string& name) const {
        for (int i = 1; i <= core_.names.variableCount; ++i) {
            if (core_.names.name[i] == name) return core_.names.value[i];
        }
        ADD_FAILURE() << "no variable " << name;
        return 0.0;
    }

    int Count(const std::string& needle) const {
        int n = 0;
        for (auto pos = out_.find(needle); pos != std::string::npos; pos = out_.find(needle, pos + 1)) ++n;
        return n;
    }

    const ScratchDir scratch_;
    const std::filesystem::path dir_ = scratch_.dir;
    std::string path_;
    std::string out_;
    CoreState core_;
};
