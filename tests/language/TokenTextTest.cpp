#include "language/TokenText.h"

#include <gtest/gtest.h>
#include <vector>

using orvenda::TokenText;

namespace {

using Ops = std::vector<uint32_t>;

int32_t cursorAfter(const Ops& ops, int32_t tokenIndex)
{
    int32_t cursor = tokenIndex;
    TokenText::stringFromOps(ops, cursor);
    return cursor;
}

} // namespace

TEST(TokenText, EmptyArray)
{
    EXPECT_EQ(TokenText::stringFromOps(Ops{}), "");
    EXPECT_EQ(TokenText::speakFromOps(Ops{}), "");
    EXPECT_TRUE(TokenText::stringToOps("").empty());
    EXPECT_EQ(cursorAfter({}, 0), 0);
    EXPECT_EQ(cursorAfter({}, 5), 0);
}

TEST(TokenText, NamesRunTogetherWithTheirBlanks)
{
    // If A>B or sin(X
    const Ops ops = {0xCE, 0x41, 0x6C, 0x42, 0x3C, 0xC2, 0x58};
    EXPECT_EQ(TokenText::stringFromOps(ops), "If A>B or sin(X");
    // Two-byte pages and the high half of an op.
    EXPECT_EQ(TokenText::stringFromOps(Ops{0x5C00, 0xBB00, 0x5D00, 0x00050070}), "[A]npv(L₁+");
    // Packed ops are named whole.
    const uint32_t ftToM = 0xBB5D + (3u << 26) + (3u << 21) + (6u << 16);
    EXPECT_EQ(TokenText::stringFromOps(Ops{0x32, ftToM}), "2 ft▸m");
    EXPECT_EQ(TokenText::stringFromOps(Ops{0xBB5E + (3u << 16)}), "Na");
    EXPECT_EQ(TokenText::stringFromOps(Ops{0xBB5E + (20u << 16), 0x5C10}), "op(BB5E)op(5C10)");
}

TEST(TokenText, CursorMapsTokenIndexToCodePointIndex)
{
    // "If " · "θ" · "≤" · "ɩ̇" · "2": multi-byte and combining names count by code point.
    const Ops ops = {0xCE, 0x5B, 0x6D, 0x2C, 0x32};
    int32_t cursor = 3;
    EXPECT_EQ(TokenText::stringFromOps(ops, cursor), "If θ≤ɩ̇2");
    EXPECT_EQ(cursor, 5);
    // At or past the end: the whole text's length.
    for (auto [token, codePoint] : {std::pair{0, 0}, {1, 3}, {2, 4}, {4, 7}, {5, 8}, {1000, 8}, {-1, 0}})
        EXPECT_EQ(cursorAfter(ops, token), codePoint) << token;
    // A token without text leaves the cursor where the next one starts.
    EXPECT_EQ(cursorAfter({0x41, 0x5C58, 0x42}, 2), 1);
}

TEST(TokenText, Speaking)
{
    EXPECT_EQ(TokenText::speakFromOps(Ops{0xC2, 0x31, 0x11}), "sine 1 close paren ");
    EXPECT_EQ(TokenText::speakFromOps(Ops{0x5D00}), "List 1 ");
    EXPECT_EQ(TokenText::speakFromOps(Ops{0x41, 0x6000}), "A op(6000) ");
    const uint32_t ftToM = 0xBB5D + (3u << 26) + (3u << 21) + (6u << 16);
    EXPECT_EQ(TokenText::speakFromOps(Ops{ftToM}), " ft to m ");
}

TEST(TokenText, StringToOpsDropsExactlyTheCharactersWithoutToken)
{
    EXPECT_EQ(TokenText::stringToOps("A=B"), (Ops{0x41, 0x42}));
    EXPECT_EQ(TokenText::stringToOps("Hi θ!"), (Ops{0x48, 0xBBB8, 0x29, 0x2D}));
    EXPECT_EQ(TokenText::stringToOps("=π="), Ops{});
    // Malformed UTF-8: the bad bytes go, the rest stays.
    EXPECT_EQ(TokenText::stringToOps("1\xC3" "2\xFF\xE2\x96"), (Ops{0x31, 0x32}));
    EXPECT_EQ(TokenText::stringToOps("é\xE2"), (Ops{0xBB7A}));
}

TEST(TokenText, TypedTextRoundTrips)
{
    // Every character here has a token whose name is that character again; the combining
    // dot of "ɩ̇" is dropped on the way in and restored by the name of 0x2C.
    for (std::string_view text : {"Hello World", "3+4ɩ̇", "-1.5ᴱ3*(x/y)^2", "{1,2}[3]", "Ça→ñ▸?",
                                  "a␣b／c", "#$%&@;|~\\'", "x<y>z:\"!¡¿", "1.2\u0332"}) {
        const auto ops = TokenText::stringToOps(text);
        EXPECT_EQ(TokenText::stringFromOps(ops), text);
        int32_t cursor = static_cast<int32_t>(ops.size());
        EXPECT_EQ(TokenText::stringFromOps(ops, cursor), text);
    }
    EXPECT_EQ(TokenText::stringToOps("3+4ɩ̇"), (Ops{0x33, 0x70, 0x34, 0x2C}));
}
