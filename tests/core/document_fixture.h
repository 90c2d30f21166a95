#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "core/base/core_state.h"
#include "core/run/entry.h"

// A scratch folder with one equation document and a core whose console is captured.
class DocumentFixture : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        // Parameterized names hold '/'; one folder level keeps TearDown's removal complete.
        std::string name = std::string(info->test_suite_name()) + "_" + info->name();
        std::replace(name.begin(), name.end(), '/', '_');
        dir_ = std::filesystem::temp_directory_path() /
               ("valdrix_" + std::to_string(::getpid()) + "_" + name);
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        core_.console.callback = [this](const char* text) { out_ += text; };
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    // Writes the document (single-byte text) and runs one command on it.
    int Run(const std::string& text, const char* command = "S", const std::string& name = "doc.alg") {
        path_ = (dir_ / name).string();
        std::ofstream(path_, std::ios::binary) << text;
        out_.clear();
        return SolverEntry(core_, path_.c_str(), command);
    }

    std::string ReadFile(const std::string& extension) const {
        std::ifstream in(dir_ / ("doc" + extension), std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
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

    std::filesystem::path dir_;
    std::string path_;
    std::string out_;
    CoreState core_;
};
