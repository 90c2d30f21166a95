#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

// Replaces the file with the bytes given; returns its path.
inline std::string WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

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
        return WriteFile(File(name), text);
    }

   private:
    std::filesystem::path path_;
};

inline std::string DataFile(const std::string& name) {
    return std::string(VALDRIX_GRAPHS_DATA) + "/" + name;
}
