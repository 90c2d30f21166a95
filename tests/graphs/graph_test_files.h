#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

// A scratch folder per test process and test, removed afterwards.
class ScratchFolder {
   public:
    explicit ScratchFolder(const std::string& name)
        : path_(std::filesystem::temp_directory_path() /
                ("valdrix-graphs-" + name + "-" + std::to_string(::getpid()))) {
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~ScratchFolder() { std::filesystem::remove_all(path_); }
    std::string File(const std::string& name) const { return (path_ / name).string(); }
    std::string Write(const std::string& name, const std::string& text) const {
        std::ofstream(File(name), std::ios::binary) << text;
        return File(name);
    }

   private:
    std::filesystem::path path_;
};

inline std::string DataFile(const std::string& name) {
    return std::string(VALDRIX_GRAPHS_DATA) + "/" + name;
}
