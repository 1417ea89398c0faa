#pragma once

#include <nlohmann/json.hpp>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvenda {

class Calculator;

// One past calculation of the history: the input ops, the result text and, for numbers,
// lists and matrices, the result as ops that can be pasted back. It measures itself in
// classic text lines and in MathPrint points.
class HistoryEntry {
public:
    using Ops = std::vector<std::uint32_t>;

    struct Size {
        double width = 0;
        double height = 0;
        bool operator==(const Size&) const = default;
    };

    // Result types.
    static constexpr int kValue = 0;
    static constexpr int kText = 1;
    static constexpr int kHistoryCommand = 2;
    // A program's output screen: its lines of 32 columns, blanks kept, shown as the screen
    // showed them (from the left, never scrolled sideways in MathPrint).
    static constexpr int kProgramScreen = 3;
    static constexpr int kUndefined = 44;
    // Columns of a program's output screen.
    static constexpr int kScreenColumns = 32;

    // Result lines counted in the classic history, at most.
    static constexpr int kMaxResultLines = 8;
    // Characters per classic input line.
    static constexpr int kInputLineWidth = 32;
    // The narrowest answer width in MathPrint.
    static constexpr double kMinAnswerWidth = 320;

    explicit HistoryEntry(const Calculator& calc);

    Ops entry;
    std::string result;
    // The result as it reads back where the display groups digits (commas, blanks or a
    // decimal comma make another number of the shown text); empty when it reads as shown.
    std::string plainResult;
    std::optional<Ops> answerOps;
    int numLines = 0;
    // The longest result line in characters, and the number of result lines.
    int width = 0;
    int height = 0;
    int resultType = kValue;
    bool resultIsNum = false;
    Size prettySize;
    Size pAnswerSize;
    int operandType = 0;
    // The angle unit the result's polar angles are shown in (the mode's angleFormat when it
    // was made); -1 when not known, when the mode at hand is taken.
    int angleFormat = -1;

    // Back to a blank item, for reuse.
    void reset();
    // Text results and a program's screen start at the left; values end at the right.
    bool startsAtLeft() const { return resultType == kText || resultType == kProgramScreen; }
    // A line of a program's screen that ends in its last column without starting in its
    // first: a value the program placed at the right, which ends where answers end, where
    // the screen's other lines start at the display's left.
    static bool screenLineEndsRight(std::u32string_view line);

    // Measures the item (in MathPrint also lays out its input and answer) and returns
    // numLines.
    int computeLines();
    // The result as two-dimensional ops; nothing unless resultIsNum. Formatting 1 (the ops
    // to paste) drops the separators between digits, joins list elements with "," and keeps
    // the value shown (see numStrToPrettyOps).
    std::optional<Ops> answerAsOps(int formatting) const;
    // One number's text as two-dimensional ops: fractions, powers, mixed numbers and
    // exponents become templates. With formatting 1 the ops evaluate to the number shown:
    // a negative mixed number is negated whole, and a polar angle shown in degrees (angle
    // format 0) or gradians (2) is turned into radians, whatever the mode.
    static Ops numStrToPrettyOps(std::string_view text, int formatting, int angleFormat = 1);
    // The result as ops to paste: two-dimensional in MathPrint, else one-line.
    std::optional<Ops> resultOps() const;
    // The result text with display-only characters made plain: sub- and superscript digits
    // become digits, "␣" marks a mixed number's fraction and "／" its bar.
    std::string result84() const;
    // The same for any result text.
    static std::string plain84(std::string_view text);
    // The input without the ops only the two-dimensional form uses.
    Ops cleanEntry() const;
    // A copy of the input whose template IDs do not clash with those of ops.
    Ops entryOpsToMergeWith(const Ops& ops) const;
    // The input's text and the result as a "<screenShot>" block.
    std::string screenCapture() const;

    nlohmann::json encode() const;
    // Fields missing or of the wrong type keep their blank values; counts are never
    // negative.
    static HistoryEntry decode(const Calculator& calc, const nlohmann::json& archive);

    double inputHeight() const { return prettySize.height; }
    double answerHeight() const { return pAnswerSize.height; }

private:
    // The text the ops to paste are read from: the plain result where there is one.
    std::string_view pastedText() const { return plainResult.empty() ? std::string_view(result) : plainResult; }
    // The one-line conversion of result84.
    Ops classicResultOps() const;
    // The unit the polar angles of the result are in.
    int shownAngleFormat() const;
    // A value whose text holds no number to draw or read back: an infinity or a NaN, alone
    // or as an element, is written as a word ("-INF", "inf", "NAN").
    bool valueWithoutNumber() const;

    const Calculator* calc_;
};

} // namespace orvenda
