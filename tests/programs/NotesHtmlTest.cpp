// A program's notes as HTML: the framed screen blocks, the light and dark pages, text kept
// as typed, finished HTML passed through, and a block left open.

#include "programs/NotesHtml.h"

#include <gtest/gtest.h>

#include <string>

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

TEST(NotesHtml, ScreenBlocksBecomeFramedBoxesInTheLightAndTheDarkLook)
{
    const std::string note = "one\ntwo\nthree\n<screenShot>\nA = 1\n</screenShot>\nlast";
    const std::string body = "one<br>two<br>three<br></p><div>A&nbsp;=&nbsp;1<br></div><p>last";
    EXPECT_EQ(NotesHtml::htmlForNote(note, false), kLight + body + kTail);
    EXPECT_EQ(NotesHtml::htmlForNote(note, true), kDark + body + kTail);
    // Two blocks, first to last; a block's entry and its results are one box.
    EXPECT_EQ(NotesHtml::htmlForNote("<screenShot>\n2+3\n 5\n</screenShot>\n<screenShot>\nAns\n</screenShot>", false),
        kLight + "</p><div>2+3<br>&nbsp;5<br></div><p></p><div>Ans<br></div><p>" + kTail);
}

TEST(NotesHtml, PlainTextIsWrittenAsTypedAndHtmlPassesUnchanged)
{
    EXPECT_EQ(NotesHtml::htmlForNote("if X<5 & Y>2 then <b>", false), kLight + "if X&lt;5 &amp; Y&gt;2 then &lt;b&gt;" + kTail);
    // Inside a block too: a result such as "1<2" cannot open an element.
    EXPECT_EQ(NotesHtml::htmlForNote("<screenShot>\n1<2\n</screenShot>", false),
        kLight + "</p><div>1&lt;2<br></div><p>" + kTail);
    const std::string html = "<html><body>mine & <i>yours</i></body></html>";
    EXPECT_EQ(NotesHtml::htmlForNote(html, true), html);
}

TEST(NotesHtml, AnUnclosedBlockEndsTheBlocksAndIsText)
{
    EXPECT_EQ(NotesHtml::htmlForNote("a\n<screenShot>\nX", false), kLight + "a<br>&lt;screenShot&gt;<br>X" + kTail);
    EXPECT_EQ(NotesHtml::htmlForNote("a <screenShot>", false), kLight + "a &lt;screenShot&gt;" + kTail);
    // A closed block before the open one is still a box.
    EXPECT_EQ(NotesHtml::htmlForNote("<screenShot>\nA\n</screenShot>\n<screenShot>\nB", false),
        kLight + "</p><div>A<br></div><p>&lt;screenShot&gt;<br>B" + kTail);
    EXPECT_EQ(NotesHtml::htmlForNote("", false), kLight + kTail);
}

TEST(NotesHtml, TheViewportScaleGoesInFrontOnceByDevice)
{
    EXPECT_EQ(NotesHtml::adjustScale("<p>x</p>", false), "<meta name = \"viewport\" content = \"initial-scale = 1.0\"><p>x</p>");
    EXPECT_EQ(NotesHtml::adjustScale("<p>x</p>", true), "<meta name = \"viewport\" content = \"initial-scale = 1.5\"><p>x</p>");
    const std::string scaled = "<meta content=\"initial-scale=2\"><p>x</p>";
    EXPECT_EQ(NotesHtml::adjustScale(scaled, true), scaled);
}

} // namespace
} // namespace orvenda
