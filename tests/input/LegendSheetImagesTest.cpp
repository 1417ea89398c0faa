// The legend sheets the image library ships for the calculator keyboard and the alpha
// keyboard print what the keys do: each key's label, its 2nd and alpha legends, each
// letter of both cases, as the key tables have them.

#include "drawing/VImageDraw.h"
#include "drawing/VText.h"
#include "input/AlphaKeyTables.h"
#include "input/KeyArtwork.h"
#include "input/KeyTables.h"
#include "language/Vocabulary.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace orvenda::test {
namespace {

std::multiset<QString> texts(const std::string& image)
{
    std::multiset<QString> out;
    const auto* record = VImageDraw::vImageDraw().image(image);
    EXPECT_NE(record, nullptr) << image;
    if (record)
        for (const auto& element : record->elements)
            if (const auto* text = dynamic_cast<const VText*>(element.get()))
                out.insert(text->text());
    return out;
}

bool arrowKey(int key) { return key == 8 || key == 9 || key == 13 || key == 14; }

TEST(LegendSheetImages, TheKeyboardsSheetsPrintTheKeyTables)
{
    using KT = KeyTables;
    for (const char* sheet : {"keys83", "keys84"}) {
        std::multiset<QString> labels, seconds, alphas;
        for (int key = 0; key < KT::kKeyCount; ++key) {
            const auto plain = KT::op(KT::kPlainLayer, key), second = KT::op(KT::kSecondLayer, key),
                       alpha = KT::op(KT::kAlphaLayer, key);
            // The arrows are drawn, and their strips carry no legends.
            if (arrowKey(key))
                continue;
            labels.insert(KeyArtwork::legendText(plain));
            if (second != plain)
                seconds.insert(KeyArtwork::legendText(second));
            if (alpha != plain && alpha != second)
                alphas.insert(KeyArtwork::legendText(alpha));
        }
        EXPECT_EQ(texts(sheet), labels) << sheet;
        EXPECT_EQ(texts(std::string(sheet) + "yellow"), seconds) << sheet;
        EXPECT_EQ(texts(std::string(sheet) + "greenPretty"), alphas) << sheet;
        // The pretty 2nd legends: as many, exponents raised instead of written small.
        EXPECT_EQ(texts(std::string(sheet) + "yellowPretty").size(), seconds.size()) << sheet;
    }
}

TEST(LegendSheetImages, TheAlphaSheetsPrintBothCases)
{
    const Vocabulary& vocabulary = Vocabulary::shared();
    for (const bool lower : {false, true}) {
        std::multiset<QString> names;
        for (int key = 0; key < AlphaKeyTables::kKeyCount; ++key) {
            const auto code = AlphaKeyTables::code(key, lower);
            if (code == KeyTables::kCaseKey)
                continue;
            names.insert(code == KeyTables::kSpace ? QStringLiteral("space")
                                                   : QString::fromStdString(vocabulary.nameForOpcode(code)).trimmed());
        }
        EXPECT_EQ(texts(lower ? "alpha1Shift" : "alpha1"), names) << lower;
    }
}

} // namespace
} // namespace orvenda::test
