#include "programs/NotesHtml.h"

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
        body += "</p><div>";
        const std::size_t inside = pastMarker(note, open, kOpen.size());
        if (inside < close)
            appendText(body, note.substr(inside, close - inside), true);
        body += "</div><p>";
        at = pastMarker(note, close, kClose.size());
    }
    if (at < note.size())
        appendText(body, note.substr(at), false);
    std::string html(dark ? kDarkHead : kLightHead);
    html += body;
    html += kTail;
    return html;
}

std::string NotesHtml::adjustScale(std::string html, bool tablet)
{
    if (html.find("initial-scale") == std::string::npos)
        html.insert(0, tablet ? "<meta name = \"viewport\" content = \"initial-scale = 1.5\">"
                              : "<meta name = \"viewport\" content = \"initial-scale = 1.0\">");
    return html;
}

} // namespace orvenda
