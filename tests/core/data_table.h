#pragma once

// Tables of cases kept as data in tests/data/<suite>/<table>.txt: one row a line, its fields
// separated by tabs, '#' at the start of a comment line. Bytes an editor would mangle or hide
// are written as \t, \n, \r, \\ and \xHH (always two hex digits, so \xDF2 is 0xDF then '2').

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace data_table {

using Row = std::vector<std::string>;

inline std::string Unescape(const std::string& field) {
    std::string text;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] != '\\' || i + 1 == field.size()) {
            text += field[i];
        } else if (const char c = field[++i]; c == 'x') {
            text += static_cast<char>(std::stoi(field.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            text += c == 't' ? '\t' : c == 'n' ? '\n' : c == 'r' ? '\r' : c;
        }
    }
    return text;
}

// tests/data/<suite> of the source tree named by VALDRIX_SOURCE_DIR (the current folder without).
inline std::string Folder(const std::string& suite) {
    const char* root = std::getenv("VALDRIX_SOURCE_DIR");
    return std::string(root ? root : ".") + "/tests/data/" + suite;
}

// The rows of tests/data/<table>.txt, each of `fields` fields. A missing or empty file and a
// row of another width fail the test that reads them, so no case is dropped unseen.
inline std::vector<Row> Read(const std::string& table, std::size_t fields = 2) {
    const std::string path = Folder(table) + ".txt";
    std::ifstream in(path, std::ios::binary);
    std::vector<Row> rows;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        Row row;
        for (std::size_t start = 0, tab;; start = tab + 1) {
            tab = line.find('\t', start);
            row.push_back(Unescape(line.substr(start, tab - start)));
            if (tab == std::string::npos) break;
        }
        EXPECT_EQ(row.size(), fields) << path << ": " << line;
        if (row.size() == fields) rows.push_back(row);
    }
    EXPECT_FALSE(rows.empty()) << "no rows in " << path;
    return rows;
}

// A case kept as a file of its own, for inputs whose bytes matter whole: the first line says
// what is expected, the rest is the input.
struct FileCase {
    std::string name, expected, text;
};

// The files of tests/data/<suite>, dot files aside, in name order. Fewer than `minimum` fails the
// test that reads them, so a folder that lost its cases does not pass unseen.
inline std::vector<FileCase> Files(const std::string& suite, std::size_t minimum) {
    std::set<std::filesystem::path> paths;
    for (const auto& entry : std::filesystem::directory_iterator(Folder(suite))) {
        if (entry.path().filename().string()[0] != '.') paths.insert(entry.path());
    }
    std::vector<FileCase> cases;
    for (const std::filesystem::path& path : paths) {
        std::ifstream in(path, std::ios::binary);
        FileCase c{path.filename().string(), "", ""};
        std::getline(in, c.expected);
        c.text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        cases.push_back(c);
    }
    EXPECT_GE(cases.size(), minimum) << suite;
    return cases;
}

}  // namespace data_table
