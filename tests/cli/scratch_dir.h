#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

// A fresh scratch folder that goes away with the test, and the files written into it.
struct ScratchDir {
    std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                ("valdrix_cli_" + std::to_string(std::random_device{}()));
    ScratchDir() { std::filesystem::create_directories(dir); }
    ~ScratchDir() { std::filesystem::remove_all(dir); }
    std::string Put(const std::string& leaf, const std::string& text) const {
        std::ofstream(dir / leaf, std::ios::binary) << text;
        return (dir / leaf).string();
    }
    std::string Get(const std::string& leaf) const {
        std::ifstream in(dir / leaf, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
};
