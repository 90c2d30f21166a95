#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

// Replaces the file with the bytes given; returns its path.
inline std::string WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

// A fresh scratch folder that goes away with the test, and the files written into it.
struct ScratchDir {
    std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                ("valdrix_test_" + std::to_string(std::random_device{}()));
    ScratchDir() { std::filesystem::create_directories(dir); }
    ~ScratchDir() {
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }
    std::string File(const std::string& leaf) const { return (dir / leaf).string(); }
    std::string Put(const std::string& leaf, const std::string& text) const {
        return WriteFile(File(leaf), text);
    }
    std::string Get(const std::string& leaf) const {
        std::ifstream in(dir / leaf, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
};
