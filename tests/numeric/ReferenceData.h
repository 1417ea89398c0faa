#pragma once

// The reference data sets in tests/data: the numbers of each row after the last line that
// starts with "Data:" (the header has one more).

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace orvenda::testing {

// Rows of two numbers: the first column and the second.
struct ReferenceData {
    std::vector<double> first;
    std::vector<double> second;
};

inline ReferenceData readReferenceData(const std::string& file)
{
    ReferenceData data;
    std::ifstream in(std::filesystem::path(ORVENDA_TEST_DATA) / file);
    std::string line;
    bool inData = false;
    while (std::getline(in, line)) {
        if (line.rfind("Data:", 0) == 0) {
            data = ReferenceData{};
            inData = true;
            continue;
        }
        if (!inData)
            continue;
        std::istringstream row(line);
        double a = 0, b = 0;
        if (row >> a >> b) {
            data.first.push_back(a);
            data.second.push_back(b);
        }
    }
    return data;
}

} // namespace orvenda::testing
