// Makes the sample programs' resource form at build time: each readable program text in
// resources/programs/NAME.txt becomes the JSON of a program file, compiled into the app.
//
//   make-sample-programs SOURCE_FOLDER OUTPUT.cpp
//
// A text starts with its keys, one a line: "desc: TEXT", "tags: A, B" and "notes:" (the
// notes are the lines after it, up to the line "---"); the program follows the "---" line,
// written as the case files write programs. A missing file or a token that the text does
// not name stops the build.

#include "language/EntryText.h"
#include "programs/SamplePrograms.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Sample {
    std::string desc;
    std::vector<std::string> tags;
    std::string notes;
    std::string program;
};

std::string trimmed(std::string text)
{
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

bool parse(std::istream& in, Sample& sample, std::string& problem)
{
    std::string line;
    bool inNotes = false;
    bool inProgram = false;
    std::vector<std::string> notes;
    std::vector<std::string> program;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (inProgram) {
            program.push_back(line);
        } else if (line == "---") {
            inProgram = true;
        } else if (inNotes) {
            notes.push_back(line);
        } else if (line.starts_with("desc:")) {
            sample.desc = trimmed(line.substr(5));
        } else if (line.starts_with("tags:")) {
            std::stringstream parts(line.substr(5));
            for (std::string tag; std::getline(parts, tag, ',');)
                if (!trimmed(tag).empty())
                    sample.tags.push_back(trimmed(tag));
        } else if (line == "notes:") {
            inNotes = true;
        } else if (!trimmed(line).empty()) {
            problem = "unknown line «" + line + "» before ---";
            return false;
        }
    }
    // Tags are kept as the editor keeps them: sorted without regard to case.
    std::stable_sort(sample.tags.begin(), sample.tags.end(), [](const std::string& a, const std::string& b) {
        return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](unsigned char x, unsigned char y) {
            return std::tolower(x) < std::tolower(y);
        });
    });
    if (!inProgram) {
        problem = "no --- line before the program";
        return false;
    }
    while (!program.empty() && trimmed(program.back()).empty())
        program.pop_back();
    while (!notes.empty() && trimmed(notes.back()).empty())
        notes.pop_back();
    for (std::size_t i = 0; i < program.size(); ++i)
        sample.program += (i ? "\n" : "") + program[i];
    for (std::size_t i = 0; i < notes.size(); ++i)
        sample.notes += (i ? "\n" : "") + notes[i];
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: make-sample-programs SOURCE_FOLDER OUTPUT.cpp\n";
        return 2;
    }
    const std::string folder = argv[1];
    const orvenda::EntryText entryText;
    std::ostringstream table;
    for (const std::string_view name : orvenda::SamplePrograms::kNames) {
        const std::string path = folder + "/" + std::string(name) + ".txt";
        std::ifstream in(path);
        if (!in) {
            std::cerr << path << ": missing\n";
            return 1;
        }
        Sample sample;
        std::string problem;
        if (!parse(in, sample, problem)) {
            std::cerr << path << ": " << problem << "\n";
            return 1;
        }
        std::string bad;
        const auto ops = entryText.toOps(sample.program, bad);
        if (!ops) {
            std::cerr << path << ": no token for «" << bad.substr(0, bad.find('\n')) << "»\n";
            return 1;
        }
        nlohmann::ordered_json dict;
        nlohmann::ordered_json prgm = nlohmann::ordered_json::array();
        for (const std::uint32_t op : *ops)
            prgm.push_back(static_cast<std::int32_t>(op));
        dict["prgm"] = std::move(prgm);
        dict["tags"] = sample.tags;
        dict["desc"] = sample.desc;
        dict["notes"] = sample.notes;
        dict["flags"] = 0;
        table << "    {\"" << name << "\", R\"orvenda(" << dict.dump(2) << ")orvenda\"},\n";
    }
    std::ofstream out(argv[2]);
    out << "// Made from resources/programs by scripts/make-sample-programs.cpp.\n"
           "#include \"programs/SamplePrograms.h\"\n\n"
           "namespace orvenda {\n\nnamespace {\n\n"
           "struct Sample {\n    std::string_view name;\n    std::string_view json;\n};\n\n"
           "constexpr Sample kSamples[] = {\n"
        << table.str()
        << "};\n\n} // namespace\n\n"
           "std::optional<std::string_view> SamplePrograms::json(std::string_view name)\n{\n"
           "    for (const Sample& sample : kSamples)\n"
           "        if (sample.name == name)\n"
           "            return sample.json;\n"
           "    return std::nullopt;\n}\n\n} // namespace orvenda\n";
    return out ? 0 : 1;
}
