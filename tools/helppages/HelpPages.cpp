// orvenda-helppages: turns the help pages' source (resources/help/*.txt) into the help XML
// the app reads, and into a C++ source holding that XML's bytes. Run by the build.
//
//     orvenda-helppages SOURCE XML CPP SYMBOL
//
// The source is UTF-8 text, one directive a line:
//     # ...                  a comment
//     @ NAME | NAME          a new page, filed under each name. A NAME is matched without its outer blanks against
//                            the vocabulary's names, so "@ DelVar" files the page under
//                            "DelVar " as the catalogue asks for it; a name no token has is
//                            taken as it is ("@ FAQ").
//     TEXT                   body text; lines run on, a blank line starts a new paragraph.
//                            <b>, </b>, <i>, </i> set bold and italic; &, < and > are
//                            escaped otherwise.
//     > TEXT                 a line of the syntax block
//     x ENTRY => ANSWER      an example: the entry as typed (shown by its tokens' names,
//                            "->" as the store arrow) and the answer the calculator
//                            gives; consecutive examples share one screen, drawn by the
//                            pretty printer when every token of them has a symbolic name;
//                            "\n" in an answer is a line break
//     p NAME                 a program listing named NAME; its lines follow as ": LINE"
//     e TEXT                 a line of the errors block
//     m FORMULA              a typeset formula
//     g EXPR | WINDOW | OPTIONS   a graph of EXPR (an expression in X or one drawing
//                            command); consecutive g lines draw into one graph; WINDOW is
//                            Xmin,Xmax,Ymin,Ymax; OPTIONS are "select=x", "mag=n", "c=r,g,b",
//                            "tail" and "sz=w,h", separated by blanks
//     < XML                  XML copied as it is (mock screens, menus, links)
// Fails, naming the line, on a directive it cannot read, an entry with text that is no
// token, or a graph expression whose token names do not read back.

#include "language/EntryText.h"
#include "language/Vocabulary.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace {

using orvenda::EntryText;
using orvenda::Vocabulary;
using Ops = std::vector<std::uint32_t>;

std::string trim(std::string_view s)
{
    const auto b = s.find_first_not_of(" \t\r");
    if (b == std::string_view::npos)
        return {};
    const auto e = s.find_last_not_of(" \t\r");
    return std::string(s.substr(b, e - b + 1));
}

std::string escape(std::string_view s)
{
    std::string out;
    for (char c : s) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&apos;"; break;
        default: out += c; break;
        }
    }
    return out;
}

// Text with the bold and italic tags kept.
std::string markup(std::string_view s)
{
    std::string out = escape(s);
    for (const char* tag : {"b>", "/b>", "i>", "/i>"}) {
        const std::string from = "&lt;" + std::string(tag, std::string_view(tag).size() - 1) + "&gt;";
        const std::string to = "<" + std::string(tag);
        for (std::size_t at = out.find(from); at != std::string::npos; at = out.find(from, at + to.size()))
            out.replace(at, from.size(), to);
    }
    return out;
}

class Compiler {
public:
    Compiler()
    {
        const Vocabulary& v = Vocabulary::shared();
        for (const auto& [name, op] : v.opcodeDB())
            symbolic_.emplace(op, std::string(name));
        // Display names by their trimmed form, for the page names.
        for (std::uint32_t page : {0x0000u, 0x5C00u, 0x5D00u, 0x5E00u, 0x6000u, 0x6100u, 0x6200u, 0x6300u, 0x7E00u,
                                   0xAA00u, 0xBB00u, 0xEF00u, 0xEE00u, 0x0400u, 0x1000u}) {
            for (std::uint32_t low = 0; low < 256; ++low) {
                const std::uint32_t op = page ? page | low : low;
                const std::string name = v.nameForOpcode(op);
                if (name.empty() || name.starts_with("op("))
                    continue;
                if (v.opcodeForName(name) == Vocabulary::kNoOpcode)
                    continue;
                auto& names = byTrimmed_[trim(name)];
                if (std::find(names.begin(), names.end(), name) == names.end())
                    names.push_back(name);
            }
        }
    }

    bool run(std::istream& in, std::ostream& xml)
    {
        std::string line;
        while (std::getline(in, line)) {
            ++lineNumber_;
            if (!take(line))
                return false;
        }
        flush();
        closePage();
        xml << out_.str();
        return ok_;
    }

private:
    enum class Block { None, Body, Syntax, Examples, Program, Errors, Graph };

    bool fail(const std::string& why)
    {
        std::cerr << "help source line " << lineNumber_ << ": " << why << "\n";
        ok_ = false;
        return false;
    }

    bool take(const std::string& raw)
    {
        std::string line = raw;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.starts_with("# ") || line == "#")
            return true;
        if (line.starts_with("@ ")) {
            flush();
            closePage();
            return openPage(trim(line.substr(2)));
        }
        if (!inPage_) {
            if (trim(line).empty())
                return true;
            return fail("text before the first page");
        }
        if (trim(line).empty()) {
            if (block_ == Block::Body)
                flush();
            return true;
        }
        if (line.size() >= 2 && line[1] == ' ' && std::string_view("x>pegm<:").find(line[0]) != std::string_view::npos) {
            const std::string rest = line.substr(2);
            switch (line[0]) {
            case '>': return syntax(rest);
            case 'x': return example(rest);
            case 'p': return program(rest);
            case ':': return programLine(rest);
            case 'e': return errors(rest);
            case 'g': return graph(rest);
            case 'm':
                flush();
                page_ << "<math n=\"" << escape(trim(rest)) << "\" just=\"C\"/>";
                return true;
            case '<':
                flush();
                page_ << trim(line.substr(1));
                return true;
            default: break;
            }
        }
        if (block_ != Block::Body) {
            flush();
            block_ = Block::Body;
        } else {
            body_ += ' ';
        }
        body_ += trim(line);
        return true;
    }

    // A name is filed once: the app finds only the first page of a name.
    bool openPage(const std::string& list)
    {
        inPage_ = true;
        names_.clear();
        page_.str({});
        block_ = Block::None;
        std::size_t from = 0;
        for (;;) {
            const std::size_t bar = list.find(" | ", from);
            const std::string name = trim(list.substr(from, bar == std::string::npos ? std::string::npos : bar - from));
            const auto it = byTrimmed_.find(name);
            for (const std::string& n : it == byTrimmed_.end() ? std::vector<std::string>{name} : it->second) {
                if (!filed_.insert(n).second && std::find(names_.begin(), names_.end(), n) == names_.end())
                    return fail("a second page filed under \"" + n + "\"");
                if (std::find(names_.begin(), names_.end(), n) == names_.end())
                    names_.push_back(n);
            }
            if (bar == std::string::npos)
                break;
            from = bar + 3;
        }
        return true;
    }

    void closePage()
    {
        if (!inPage_)
            return;
        for (const std::string& name : names_)
            out_ << "<F n=\"" << escape(name) << "\">" << page_.str() << "</F>\n";
        inPage_ = false;
    }

    // Writes the open block.
    void flush()
    {
        switch (block_) {
        case Block::Body:
            page_ << "<body>" << markup(body_) << "</body>";
            body_.clear();
            break;
        case Block::Syntax:
            page_ << "<syntax>" << markup(syntax_) << "</syntax>";
            syntax_.clear();
            break;
        case Block::Examples:
            writeExamples();
            break;
        case Block::Program:
            page_ << "<prgm n=\"" << escape(programName_) << "\">" << escape(programText_) << "</prgm>";
            programText_.clear();
            break;
        case Block::Errors:
            page_ << "<errs>" << markup(errors_) << "</errs>";
            errors_.clear();
            break;
        case Block::Graph:
            page_ << "</graph>";
            break;
        case Block::None:
            break;
        }
        block_ = Block::None;
    }

    void begin(Block block)
    {
        if (block_ != block)
            flush();
        block_ = block;
    }

    bool syntax(const std::string& text)
    {
        const bool more = block_ == Block::Syntax;
        begin(Block::Syntax);
        syntax_ += (more ? "\n" : "") + trim(text);
        return true;
    }

    bool errors(const std::string& text)
    {
        const bool more = block_ == Block::Errors;
        begin(Block::Errors);
        errors_ += (more ? "\n" : "") + trim(text);
        return true;
    }

    bool program(const std::string& name)
    {
        flush();
        block_ = Block::Program;
        programName_ = trim(name);
        return true;
    }

    bool programLine(const std::string& text)
    {
        if (block_ != Block::Program)
            return fail("a program line outside a program");
        std::string bad;
        const auto ops = entryText_.toOps(trim(text), bad);
        if (!ops)
            return fail("no token for \"" + bad + "\" in " + text);
        programText_ += (programText_.empty() ? ":" : "\n:") + shown(*ops);
        return true;
    }

    // Tokens as the calculator shows them: "->" typed in the source is the store arrow.
    static std::string shown(const Ops& ops)
    {
        std::string text;
        for (std::uint32_t op : ops)
            text += Vocabulary::shared().nameForOpcode(op);
        return text;
    }

    bool example(const std::string& text)
    {
        const std::size_t arrow = text.find("=>");
        if (arrow == std::string::npos)
            return fail("an example without =>");
        const std::string entry = trim(text.substr(0, arrow));
        std::string answer = text.substr(arrow + 2);
        if (answer.starts_with(' '))
            answer.erase(0, 1);
        // "\n" in an answer stands for a line break.
        for (std::size_t at = answer.find("\\n"); at != std::string::npos; at = answer.find("\\n", at + 1))
            answer.replace(at, 2, "\n");
        std::string bad;
        const auto ops = entryText_.toOps(entry, bad);
        if (!ops)
            return fail("no token for \"" + bad + "\" in " + entry);
        // The page shows the tokens' names (the store arrow for "->"), which a reader types
        // back as the same line.
        const std::string names = shown(*ops);
        const auto again = entryText_.toOps(names, bad);
        if (!again || *again != *ops)
            return fail("the entry does not read back as shown: " + names);
        begin(Block::Examples);
        examples_.push_back({names, answer});
        return true;
    }

    void writeExamples()
    {
        // The pretty printer draws them when every token has a symbolic name and no answer
        // holds the list's separators.
        std::string list;
        bool pretty = true;
        for (const auto& [entry, answer] : examples_) {
            std::string bad;
            const Ops ops = *entryText_.toOps(entry, bad);
            std::string names;
            for (std::uint32_t op : ops) {
                const auto it = symbolic_.find(op & 0xFFFF);
                if (it == symbolic_.end() || (op >> 16) != 0) {
                    pretty = false;
                    break;
                }
                names += (names.empty() ? "" : ",") + it->second;
            }
            if (!pretty || answer.find_first_of(",;\n") != std::string::npos || answer.empty()) {
                pretty = false;
                break;
            }
            list += (list.empty() ? "" : ";") + names + ";" + answer;
        }
        if (pretty) {
            page_ << "<pscreen><p>" << escape(list) << "</p></pscreen>";
        } else {
            page_ << "<screen>";
            for (std::size_t i = 0; i < examples_.size(); ++i) {
                if (i > 0)
                    page_ << "<hEntry/>";
                page_ << escape(examples_[i].first) << "\n<r>" << escape(examples_[i].second) << "</r>";
                if (i + 1 < examples_.size())
                    page_ << "\n";
            }
            page_ << "</screen>";
        }
        examples_.clear();
    }

    bool graph(const std::string& text)
    {
        std::vector<std::string> parts;
        std::stringstream in(text);
        for (std::string part; std::getline(in, part, '|');)
            parts.push_back(trim(part));
        if (parts.empty() || parts[0].empty())
            return fail("a graph without an expression");
        std::string bad;
        const auto ops = entryText_.toOps(parts[0], bad);
        if (!ops)
            return fail("no token for \"" + bad + "\" in " + parts[0]);
        const Vocabulary& v = Vocabulary::shared();
        std::string names;
        for (std::uint32_t op : *ops) {
            const std::string name = v.nameForOpcode(op);
            if (v.opcodeForName(name) != op)
                return fail("the token " + name + " does not read back by its name in " + parts[0]);
            names += (names.empty() ? "" : "\xC2\xA9") + name;
        }
        std::string fnOptions, graphOptions;
        if (parts.size() > 1 && !parts[1].empty())
            graphOptions += " gb=\"" + parts[1] + "\"";
        if (parts.size() > 2) {
            std::stringstream options(parts[2]);
            for (std::string option; options >> option;) {
                const std::size_t eq = option.find('=');
                const std::string key = option.substr(0, eq);
                const std::string value = eq == std::string::npos ? "1" : option.substr(eq + 1);
                if (key == "sz")
                    graphOptions += " sz=\"" + value + "\"";
                else if (key == "select" || key == "mag" || key == "c" || key == "tail")
                    fnOptions += " " + key + "=\"" + escape(value) + "\"";
                else
                    return fail("an unknown graph option " + key);
            }
        }
        if (block_ != Block::Graph) {
            flush();
            block_ = Block::Graph;
            page_ << "<graph" << graphOptions << ">";
        }
        page_ << "<fn d=\"" << escape(names) << "\"" << fnOptions << "/>";
        return true;
    }

    EntryText entryText_;
    std::unordered_map<std::uint32_t, std::string> symbolic_;
    std::map<std::string, std::vector<std::string>> byTrimmed_;
    std::ostringstream out_;
    std::ostringstream page_;
    std::vector<std::string> names_;
    // Every name a page was filed under so far.
    std::set<std::string> filed_;
    bool inPage_ = false;
    bool ok_ = true;
    int lineNumber_ = 0;
    Block block_ = Block::None;
    std::string body_, syntax_, errors_, programName_, programText_;
    std::vector<std::pair<std::string, std::string>> examples_;
};

void writeSource(const std::string& xml, const std::string& path, const std::string& symbol)
{
    std::ofstream out(path + ".tmp", std::ios::binary);
    out << "// Made by orvenda-helppages from the help pages' source.\n#include <cstddef>\nnamespace orvenda {\n"
        << "extern const char " << symbol << "[];\nextern const std::size_t " << symbol << "_SIZE;\n"
        << "const char " << symbol << "[] = {\n";
    int column = 0;
    for (unsigned char c : xml) {
        out << int(static_cast<signed char>(c)) << ',';
        if (++column == 32) {
            out << '\n';
            column = 0;
        }
    }
    out << "0};\nconst std::size_t " << symbol << "_SIZE = " << xml.size() << ";\n} // namespace orvenda\n";
    out.close();
    std::rename((path + ".tmp").c_str(), path.c_str());
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 5) {
        std::cerr << "usage: orvenda-helppages SOURCE XML CPP SYMBOL\n";
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::cerr << "cannot read " << argv[1] << "\n";
        return 1;
    }
    Compiler compiler;
    std::ostringstream xml;
    if (!compiler.run(in, xml))
        return 1;
    std::ofstream(argv[2], std::ios::binary) << xml.str();
    writeSource(xml.str(), argv[3], argv[4]);
    return 0;
}
