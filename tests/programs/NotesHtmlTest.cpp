// A program's notes as HTML: the framed screen blocks, the light and dark pages, text kept
// as typed, finished HTML passed through, and a block left open.

#include "programs/NotesHtml.h"

#include <gtest/gtest.h>

#include <QString>

#include <algorithm>
#include <string>
#include <string_view>

namespace orvenda {
namespace {

const std::string kLight =
    "<html><head><style>body{background-color: #FFFFFF;font-family:Helvetica;font-size:14px} div {width:300px; "
    "margin:auto;padding:4px; background:#C3D6B1;font-family:Courier New;font-size:15px; border:1px solid "
    "black;box-shadow: 5px 5px 2px grey;}</style></head><body><p><font color=#000000>";
const std::string kDark =
    "<html><head><style>body{background-color: #000000;font-family:Helvetica;font-size:14px} div {width:300px; "
    "margin:auto;padding:4px; background:#325930;font-family:Courier New;font-size:15px; border:1px solid "
    "white;}</style></head><body><p><font color=#FFFFFF>";
const std::string kTail = "</font></p></body> </html>";
const std::string kBox = "</p><table align=\"center\" width=\"300\" border=\"1\" cellspacing=\"0\" cellpadding=\"4\" "
                         "bgcolor=\"#C3D6B1\" style=\"border-color:black; border-style:solid; color:#000000; "
                         "font-family:Courier New; font-size:15px\"><tr><td>";
const std::string kDarkBox = "</p><table align=\"center\" width=\"300\" border=\"1\" cellspacing=\"0\" cellpadding=\"4\" "
                             "bgcolor=\"#325930\" style=\"border-color:white; border-style:solid; color:#FFFFFF; "
                             "font-family:Courier New; font-size:15px\"><tr><td>";
const std::string kBoxEnd = "</td></tr></table><p>";

TEST(NotesHtml, ScreenBlocksBecomeFramedBoxesInTheLightAndTheDarkLook)
{
    const std::string note = "one\ntwo\nthree\n<screenShot>\nA = 1\n</screenShot>\nlast";
    EXPECT_EQ(NotesHtml::htmlForNote(note, false),
        kLight + "one<br>two<br>three<br>" + kBox + "A&nbsp;=&nbsp;1<br>" + kBoxEnd + "last" + kTail);
    EXPECT_EQ(NotesHtml::htmlForNote(note, true),
        kDark + "one<br>two<br>three<br>" + kDarkBox + "A&nbsp;=&nbsp;1<br>" + kBoxEnd + "last" + kTail);
    // Two blocks, first to last; a block's entry and its results are one box.
    EXPECT_EQ(NotesHtml::htmlForNote("<screenShot>\n2+3\n 5\n</screenShot>\n<screenShot>\nAns\n</screenShot>", false),
        kLight + kBox + "2+3<br>&nbsp;5<br>" + kBoxEnd + kBox + "Ans<br>" + kBoxEnd + kTail);
}

TEST(NotesHtml, PlainTextIsWrittenAsTypedAndHtmlPassesUnchanged)
{
    EXPECT_EQ(NotesHtml::htmlForNote("if X<5 & Y>2 then <b>", false), kLight + "if X&lt;5 &amp; Y&gt;2 then &lt;b&gt;" + kTail);
    // Inside a block too: a result such as "1<2" cannot open an element.
    EXPECT_EQ(NotesHtml::htmlForNote("<screenShot>\n1<2\n</screenShot>", false),
        kLight + kBox + "1&lt;2<br>" + kBoxEnd + kTail);
    const std::string html = "<html><body>mine & <i>yours</i></body></html>";
    EXPECT_EQ(NotesHtml::htmlForNote(html, true), html);
}

TEST(NotesHtml, AnUnclosedBlockEndsTheBlocksAndIsText)
{
    EXPECT_EQ(NotesHtml::htmlForNote("a\n<screenShot>\nX", false), kLight + "a<br>&lt;screenShot&gt;<br>X" + kTail);
    EXPECT_EQ(NotesHtml::htmlForNote("a <screenShot>", false), kLight + "a &lt;screenShot&gt;" + kTail);
    // A closed block before the open one is still a box.
    EXPECT_EQ(NotesHtml::htmlForNote("<screenShot>\nA\n</screenShot>\n<screenShot>\nB", false),
        kLight + kBox + "A<br>" + kBoxEnd + "&lt;screenShot&gt;<br>B" + kTail);
    EXPECT_EQ(NotesHtml::htmlForNote("", false), kLight + kTail);
}

TEST(NotesHtml, TheViewportScaleGoesInFrontOnceByDevice)
{
    EXPECT_EQ(NotesHtml::adjustScale("<p>x</p>", false), "<meta name = \"viewport\" content = \"initial-scale = 1.0\"><p>x</p>");
    EXPECT_EQ(NotesHtml::adjustScale("<p>x</p>", true), "<meta name = \"viewport\" content = \"initial-scale = 1.5\"><p>x</p>");
    const std::string scaled = "<meta content=\"initial-scale=2\"><p>x</p>";
    EXPECT_EQ(NotesHtml::adjustScale(scaled, true), scaled);
}

// The deepest nesting of the elements in bounded HTML (void elements do not nest).
int depthOf(const std::string& html, const std::string& name = "")
{
    int depth = 0, deepest = 0;
    for (std::size_t at = html.find('<'); at != std::string::npos; at = html.find('<', at + 1)) {
        const bool closing = html[at + 1] == '/';
        const std::string tag = html.substr(at + (closing ? 2 : 1), name.empty() ? 2 : name.size());
        if (!name.empty() && tag != name)
            continue;
        if (tag == "br" || tag == "im")
            continue;
        depth += closing ? -1 : 1;
        deepest = std::max(deepest, depth);
    }
    return deepest;
}

std::string repeated(std::string_view part, int times)
{
    std::string out;
    for (int i = 0; i < times; ++i)
        out += part;
    return out;
}

TEST(NotesHtml, BoundedHtmlKeepsAnOrdinaryPageAsItIs)
{
    // Only the closing font tag that the block's paragraph closed already is left out.
    const std::string page = NotesHtml::htmlForNote("Adds two\n<screenShot>\n2+3\n5\n</screenShot>\nend", false);
    std::string kept = page;
    kept.erase(kept.rfind("</font>"), 7);
    EXPECT_EQ(NotesHtml::bounded(page), kept);
    const std::string list = "<html><!-- hidden --><ul><li>a<li>b<ul><li>c</ul></ul><p>x<p>y<br><img src=\"a.png\"></html>";
    EXPECT_EQ(NotesHtml::bounded(list), "<html><ul><li>a<li>b<ul><li>c</ul></ul><p>x<p>y<br><img src=\"a.png\"></html>");
    // A closing tag that closes nothing is left out; a style sheet is copied whole.
    EXPECT_EQ(NotesHtml::bounded("<b>x</i></b>"), "<b>x</b>");
    const std::string style = "<style>" + std::string(200, 'a') + "{color:red}</style>";
    EXPECT_EQ(NotesHtml::bounded(style), style);
}

std::size_t occurrences(const std::string& html, const std::string& part)
{
    std::size_t count = 0;
    for (std::size_t at = html.find(part); at != std::string::npos; at = html.find(part, at + 1))
        ++count;
    return count;
}

// Only open tables count toward the nesting bound: a page of many blocks one after
// another keeps every box.
TEST(NotesHtml, BoundedHtmlKeepsEveryBlockOfALongPage)
{
    const int many = 3 * NotesHtml::kMaxTables;
    std::string note;
    for (int k = 1; k <= many; ++k)
        note += "<screenShot>\n" + std::to_string(k) + "\n</screenShot>\n";
    const std::string page = NotesHtml::htmlForNote(note, false);
    const std::string bounded = NotesHtml::bounded(page);
    EXPECT_EQ(occurrences(bounded, kBox), static_cast<std::size_t>(many));
    EXPECT_NE(bounded.find(kBox + std::to_string(many) + "<br>" + kBoxEnd), std::string::npos);
    std::string kept = page;
    kept.erase(kept.rfind("</font>"), 7);
    EXPECT_EQ(bounded, kept);
    // Tables nested two deep, or closed over an element left open in a cell, one after another.
    EXPECT_EQ(occurrences(NotesHtml::bounded(repeated("<table><tr><td><table><tr><td>x</table></table>", many)), "<table>"),
        2u * many);
    EXPECT_EQ(occurrences(NotesHtml::bounded(repeated("<table><tr><td><b>x</table>", many)), "<table>"), 1u * many);
}

TEST(NotesHtml, BoundedHtmlCutsDeepNestingLongRunsAndHugePages)
{
    // 3 000 nested tables and 20 000 nested lists: the elements past the bounds are left
    // out, the text stays.
    std::string tables = NotesHtml::bounded(repeated("<table><tr><td>", 3000) + "deep");
    EXPECT_EQ(depthOf(tables, "table"), NotesHtml::kMaxTables);
    EXPECT_LE(depthOf(tables), NotesHtml::kMaxDepth);
    EXPECT_NE(tables.find("deep"), std::string::npos);
    const std::string lists = NotesHtml::bounded(repeated("<ul><li>", 20000) + "x");
    EXPECT_EQ(depthOf(lists, "ul"), NotesHtml::kMaxDepth / 2);
    EXPECT_LE(depthOf(NotesHtml::bounded(repeated("<b>", 20000))), NotesHtml::kMaxDepth);
    // One 200 KB line: cut, with a break opportunity after every run of characters.
    const std::string line = NotesHtml::bounded("<p>" + std::string(200000, 'x') + "</p>");
    EXPECT_LE(line.size(), NotesHtml::kMaxBytes + 16);
    EXPECT_TRUE(line.ends_with("\u2026"));
    EXPECT_EQ(line.find(std::string(NotesHtml::kMaxRun + 1, 'x')), std::string::npos);
    EXPECT_NE(line.find(std::string(NotesHtml::kMaxRun, 'x') + "\u200B"), std::string::npos);
    // Entities and multi-byte characters are never split.
    const std::string nbsp = NotesHtml::bounded(repeated("&nbsp;", 100) + repeated("\u00E9", 100));
    EXPECT_EQ(nbsp.find("&n\u200B"), std::string::npos);
    EXPECT_EQ(QString::fromStdString(nbsp).remove(QChar(0x200B)).toStdString(), repeated("&nbsp;", 100) + repeated("\u00E9", 100));
}

} // namespace
} // namespace orvenda
