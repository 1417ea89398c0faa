#pragma once

#include <string>
#include <string_view>

namespace orvenda {

// A program's user notes as the HTML the notes page shows. Notes are plain text with
// lines separated by "\n"; a "<screenShot>" … "</screenShot>" block holds a capture of the
// calculator's screen (an entry, then its results) and is drawn as a framed box in the
// light or dark look. A note that already holds "<html>" is finished HTML and passes
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
};

} // namespace orvenda
