#pragma once

#include <string>
#include <string_view>

namespace orvenda {

// A program's user notes as the HTML the notes page shows. Notes are plain text with
// lines separated by "\n"; a "<screenShot>" … "</screenShot>" block holds a capture of the
// calculator's screen (an entry, then its results) and is drawn as a framed box in the
// light or dark look: a bordered table of one cell, which Qt's rich text frames where it
// would not frame a div. A note that already holds "<html>" is finished HTML and passes
// unchanged. Everything else is text: "&", "<" and ">" are written as entities, so a
// note reads as typed. A "<screenShot>" without its closing marker ends the blocks: it and
// what follows are text.
class NotesHtml {
public:
    static constexpr std::string_view kOpen = "<screenShot>";
    static constexpr std::string_view kClose = "</screenShot>";

    static std::string htmlForNote(std::string_view note, bool dark);
    // The viewport element in front (scale 1.5 on a tablet, 1.0 on a phone) unless the page
    // holds "initial-scale" already.
    static std::string adjustScale(std::string html, bool tablet);
    // Text with "&", "<" and ">" as entities.
    static std::string escaped(std::string_view text);
    // The framed box of a block in the light or dark look, opened and closed: what a
    // head's styled div stands for in Qt's rich text.
    static std::string_view blockOpen(bool dark);
    static std::string_view blockClose();

    // Notes are foreign HTML: what reaches the rich-text view is bounded so that any page
    // lays out in a moment. At most kMaxBytes of the page (cut before a tag, then "…"),
    // elements nested at most kMaxDepth deep (tables kMaxTables deep: each level lays the
    // ones inside out again), comments dropped, and a break opportunity (U+200B) after
    // every kMaxRun characters of text without one. Elements past the bounds are left out,
    // their text kept; a closing tag that closes nothing is left out.
    static constexpr std::size_t kMaxBytes = 16 * 1024;
    static constexpr int kMaxDepth = 16;
    static constexpr int kMaxTables = 4;
    static constexpr int kMaxRun = 64;
    static std::string bounded(std::string_view html);
};

} // namespace orvenda
