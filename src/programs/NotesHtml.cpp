#include "programs/NotesHtml.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <vector>

namespace orvenda {

namespace {

constexpr std::string_view kLightHead =
    "<html><head><style>body{background-color: #FFFFFF;font-family:Helvetica;font-size:14px} div {width:300px; "
    "margin:auto;padding:4px; background:#C3D6B1;font-family:Courier New;font-size:15px; border:1px solid "
    "black;box-shadow: 5px 5px 2px grey;}</style></head><body><p><font color=#000000>";
constexpr std::string_view kDarkHead =
    "<html><head><style>body{background-color: #000000;font-family:Helvetica;font-size:14px} div {width:300px; "
    "margin:auto;padding:4px; background:#325930;font-family:Courier New;font-size:15px; border:1px solid "
    "white;}</style></head><body><p><font color=#FFFFFF>";
constexpr std::string_view kTail = "</font></p></body> </html>";
// A screen block: Qt's rich text draws no border round a div, so each block is a table of
// one cell in the look of the head's div.
constexpr std::string_view kLightBlock =
    "</p><table align=\"center\" width=\"300\" border=\"1\" cellspacing=\"0\" cellpadding=\"4\" bgcolor=\"#C3D6B1\" "
    "style=\"border-color:black; border-style:solid; color:#000000; font-family:Courier New; font-size:15px\"><tr><td>";
constexpr std::string_view kDarkBlock =
    "</p><table align=\"center\" width=\"300\" border=\"1\" cellspacing=\"0\" cellpadding=\"4\" bgcolor=\"#325930\" "
    "style=\"border-color:white; border-style:solid; color:#FFFFFF; font-family:Courier New; font-size:15px\"><tr><td>";
constexpr std::string_view kBlockEnd = "</td></tr></table><p>";

// Text outside the markers: entities for the HTML characters, line breaks as "<br>", and
// inside a block blanks as non-breaking spaces.
void appendText(std::string& out, std::string_view text, bool block)
{
    for (const char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '\n': out += "<br>"; break;
        case ' ':
            out += block ? std::string_view("&nbsp;") : std::string_view(" ");
            break;
        default: out += c; break;
        }
    }
}

// The marker at pos and, when one follows directly, its line break.
std::size_t pastMarker(std::string_view note, std::size_t pos, std::size_t length)
{
    pos += length;
    return pos < note.size() && note[pos] == '\n' ? pos + 1 : pos;
}

} // namespace

std::string NotesHtml::escaped(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        default: out += c; break;
        }
    }
    return out;
}

std::string_view NotesHtml::blockOpen(bool dark) { return dark ? kDarkBlock : kLightBlock; }

std::string_view NotesHtml::blockClose() { return kBlockEnd; }

std::string NotesHtml::htmlForNote(std::string_view note, bool dark)
{
    if (note.find("<html>") != std::string_view::npos)
        return std::string(note);
    std::string body;
    body.reserve(note.size() + note.size() / 4 + 32);
    std::size_t at = 0;
    while (at < note.size()) {
        const std::size_t open = note.find(kOpen, at);
        // An opening marker at the very end, or without a closing one, ends the blocks.
        const std::size_t close = open == std::string_view::npos ? open : note.find(kClose, open + kOpen.size());
        if (open == std::string_view::npos || open + kOpen.size() >= note.size() || close == std::string_view::npos)
            break;
        appendText(body, note.substr(at, open - at), false);
        body += dark ? kDarkBlock : kLightBlock;
        const std::size_t inside = pastMarker(note, open, kOpen.size());
        if (inside < close)
            appendText(body, note.substr(inside, close - inside), true);
        body += kBlockEnd;
        at = pastMarker(note, close, kClose.size());
    }
    if (at < note.size())
        appendText(body, note.substr(at), false);
    std::string html(dark ? kDarkHead : kLightHead);
    html += body;
    html += kTail;
    return html;
}

namespace {

// Elements that hold nothing in Qt's rich text: they never nest.
bool isVoid(std::string_view name) { return name == "br" || name == "img" || name == "hr" || name == "meta"; }

// Elements that end an open one of their own kind rather than nest in it.
bool closesItsKind(std::string_view name) { return name == "p" || name == "li"; }

// The name as Qt's rich text reads it: up to a blank, "/", ">", "<" or "=", lower case.
std::string tagName(std::string_view tag)
{
    std::size_t at = tag.size() > 1 && tag[1] == '/' ? 2 : 1;
    std::string name;
    for (; at < tag.size(); ++at) {
        const char c = tag[at];
        if (c == '/' || c == '>' || c == '<' || c == '=' || c == ' ' || c == '\n' || c == '\t' || c == '\r' || c == '\f')
            break;
        name += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return name;
}

// The tag that starts at html[at] ("<"), written so that Qt's rich text ends it where this
// does: a quote opens a value only at the start of a word (and is closed in the tag),
// other quotes are left out, and "<" and ">" inside a value become entities. Nothing when
// it is no tag: a "<" there is text.
std::optional<std::string> readTag(std::string_view html, std::size_t& at)
{
    if (at + 1 >= html.size())
        return std::nullopt;
    const char first = html[at + 1];
    if (!std::isalpha(static_cast<unsigned char>(first)) && first != '/' && first != '!' && first != '?')
        return std::nullopt;
    std::string tag = "<";
    char quote = 0;
    for (std::size_t j = at + 1; j < html.size(); ++j) {
        const char c = html[j];
        if (quote) {
            if (c == quote)
                quote = 0;
            tag += c == '<' ? std::string_view("&lt;") : c == '>' ? std::string_view("&gt;") : std::string_view(&c, 1);
            continue;
        }
        if (c == '>') {
            at = j + 1;
            return tag + '>';
        }
        if (c == '<')
            return std::nullopt;
        if (c == '"' || c == '\'') {
            const char before = html[j - 1];
            if (before == '=' || before == ' ' || before == '\n' || before == '\t' || before == '\r' || before == '\f') {
                quote = c;
                tag += c;
            }
            continue;
        }
        tag += c;
    }
    return std::nullopt;
}

// The parts of a table: left out with a table left out, so its text reads as text.
bool isTablePart(std::string_view name)
{
    return name == "tr" || name == "td" || name == "th" || name == "thead" || name == "tbody" || name == "tfoot"
        || name == "caption" || name == "col" || name == "colgroup";
}

bool isBlank(char c) { return c == ' ' || c == '\n' || c == '\t' || c == '\r' || c == '\f'; }

} // namespace

std::string NotesHtml::bounded(std::string_view html)
{
    constexpr std::string_view kBreak = "\u200B";
    std::string out;
    out.reserve(std::min(html.size(), kMaxBytes) + 64);
    std::vector<std::string> open;
    int tables = 0;
    int tablesLeftOut = 0;
    int run = 0;
    bool raw = false;  // inside a style element: CSS, copied as it is
    std::size_t at = 0;
    while (at < html.size()) {
        if (out.size() >= kMaxBytes) {
            out += "\u2026";
            break;
        }
        if (html[at] != '<') {
            const char c = html[at];
            std::size_t next = at + 1;
            // An entity is one character.
            if (c == '&') {
                const std::size_t semi = html.find(';', at);
                if (semi != std::string_view::npos && semi - at <= 10)
                    next = semi + 1;
            }
            while (next < html.size() && (static_cast<unsigned char>(html[next]) & 0xC0) == 0x80)
                ++next;
            if (!raw && run >= kMaxRun) {
                out += kBreak;
                run = 0;
            }
            out.append(html.substr(at, next - at));
            run = isBlank(c) ? 0 : run + 1;
            at = next;
            continue;
        }
        if (html.substr(at, 4) == "<!--") {
            const std::size_t end = html.find("-->", at + 4);
            at = end == std::string_view::npos ? html.size() : end + 3;
            continue;
        }
        std::size_t past = at;
        const std::optional<std::string> read = readTag(html, past);
        if (!read) {
            out += "&lt;";
            ++at;
            ++run;
            continue;
        }
        at = past;
        const std::string& tag = *read;
        // Declarations ("<!DOCTYPE html>") and instructions show nothing.
        if (tag[1] == '!' || tag[1] == '?')
            continue;
        const std::string name = tagName(tag);
        if (name.empty())
            continue;
        if (raw && !(tag[1] == '/' && name == "style"))
            continue;
        run = 0;
        if (tablesLeftOut > 0 && isTablePart(name))
            continue;
        if (tablesLeftOut > 0 && name == "table" && tag[1] == '/') {
            --tablesLeftOut;
            continue;
        }
        if (tag[1] == '/') {
            // As in Qt's rich text, a closing tag closes nothing beyond a table.
            auto found = open.rbegin();
            while (found != open.rend() && *found != name && *found != "table")
                ++found;
            if (found == open.rend() || *found != name)
                continue;
            const auto from = found.base() - 1;
            tables -= static_cast<int>(std::count(from, open.end(), std::string("table")));
            open.erase(from, open.end());
            raw = false;
            out.append(tag);
            continue;
        }
        if (isVoid(name)) {
            out.append(tag);
            continue;
        }
        if (closesItsKind(name) && !open.empty() && open.back() == name)
            open.pop_back();
        if (static_cast<int>(open.size()) >= kMaxDepth || (name == "table" && tables >= kMaxTables)) {
            tablesLeftOut += name == "table";
            continue;
        }
        open.push_back(name);
        tables += name == "table";
        raw = name == "style";
        out.append(tag);
    }
    return out;
}

std::string NotesHtml::adjustScale(std::string html, bool tablet)
{
    if (html.find("initial-scale") == std::string::npos)
        html.insert(0, tablet ? "<meta name = \"viewport\" content = \"initial-scale = 1.5\">"
                              : "<meta name = \"viewport\" content = \"initial-scale = 1.0\">");
    return html;
}

} // namespace orvenda
