#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

// A scratch folder of this fuzzing process, made once and reused by every input, and a way
// to put one input into a file there (the readers under test read files, not memory).
namespace fuzz {

inline const std::filesystem::path& Scratch() {
    static const std::filesystem::path dir = [] {
        auto d = std::filesystem::temp_directory_path() /
                 ("valdrix_fuzz_" + std::to_string(::getpid()));
        std::filesystem::create_directories(d);
        return d;
    }();
    return dir;
}

inline std::string Put(const std::string& leaf, const std::uint8_t* data, std::size_t size) {
    const std::filesystem::path path = Scratch() / leaf;
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    return path.string();
}

inline std::string Put(const std::string& leaf, const std::string& text) {
    return Put(leaf, reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

}  // namespace fuzz
