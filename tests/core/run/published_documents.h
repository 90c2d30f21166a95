#pragma once

// Documents of problems whose minima are published (tests/data/mgh, tests/data/hs): each names
// them in its comment ("published minima: f1 f2 ..."). The tests run them, the benchmarks time
// them.

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace published {

struct Document {
    std::string name;  // the file's, without its extension
    std::string text;
    std::vector<double> minima;
};

// The documents of the folder, in the order of their names; none when there is no such folder.
inline std::vector<Document> Read(const std::string& folder) {
    std::vector<std::filesystem::path> files;
    std::error_code missing;
    for (const auto& entry : std::filesystem::directory_iterator(folder, missing)) {
        if (entry.path().extension() == ".alg") files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    std::vector<Document> documents;
    for (const std::filesystem::path& file : files) {
        std::ostringstream text;
        text << std::ifstream(file, std::ios::binary).rdbuf();
        Document d{file.stem().string(), text.str(), {}};
        const auto at = d.text.find("published minima:");
        if (at != std::string::npos) {
            std::istringstream in(d.text.substr(at + 17, d.text.find('}', at) - at - 17));
            for (double m; in >> m;) d.minima.push_back(m);
        }
        documents.push_back(d);
    }
    return documents;
}

}  // namespace published
