#include "app/HistoryEntry.h"

#include "app/HistoryModel.h"
#include "core/ArchiveValues.h"
#include "core/Calculator.h"
#include "core/Operand.h"
#include "language/Utf8.h"
#include "pretty/PrettyDrawInfo.h"
#include "pretty/PrettyPrint.h"
#include "pretty/TokenClass.h"

#include <QFontMetricsF>
#include <QString>

#include <algorithm>
#include <cmath>
#include <limits>

namespace orvenda {

namespace {

using TC = TokenClass;
using Ops = HistoryEntry::Ops;

constexpr std::uint32_t kTemplate = 0x10000;
constexpr std::uint32_t kSpace = 0x29;
constexpr std::uint32_t kPlus = 0x70;
constexpr std::uint32_t kMinus = 0x71;
constexpr std::uint32_t kPoint = 0x3A;
constexpr std::uint32_t kConstantE = 0xBB31;
constexpr std::uint32_t kImaginary = 0x2C;
constexpr std::uint32_t kDegree = 0x0B;
constexpr std::uint32_t kMinuteMark = 0xAE;
constexpr std::uint32_t kSigFigMark = 0x5C65;
constexpr std::uint32_t kBinary = 0xBBF8;
constexpr std::uint32_t kHex = 0xBBF9;
constexpr std::uint32_t kZero = 0x30;
constexpr std::uint32_t kPi = 0xAC;
constexpr std::uint32_t kDivide = 0x83;
constexpr std::size_t kNoAngle = std::numeric_limits<std::size_t>::max();

constexpr char32_t kOpenBox = U'␣';
constexpr char32_t kWideSlash = U'／';

bool isDigitOp(std::uint32_t op) { return op >= 0x30 && op <= 0x39; }

int superscriptDigit(char32_t c)
{
    switch (c) {
    case U'¹': return 1;
    case U'²': return 2;
    case U'³': return 3;
    default: return c >= U'⁰' && c <= U'⁹' && c != 0x2072 && c != 0x2073 ? static_cast<int>(c - U'⁰') : -1;
    }
}

int subscriptDigit(char32_t c) { return c >= U'₀' && c <= U'₉' ? static_cast<int>(c - U'₀') : -1; }

// What turns an angle in the unit into radians ("π/180", "π/200"), as e^( takes it in
// every mode; nothing for radians.
Ops toRadians(int angleFormat)
{
    switch (angleFormat) {
    case 0: return {kPi, kDivide, 0x31, 0x38, 0x30};
    case 2: return {kPi, kDivide, 0x32, 0x30, 0x30};
    default: return {};
    }
}

// A "-" right after one of these subtracts; anywhere else it negates what follows (a
// pasted "{-1 -2}" or "2ᴱ-5" must stay negative numbers).
bool endsValue(std::uint32_t op)
{
    const std::uint32_t t = op & 0xFFFF;
    return isDigitOp(t) || (t >= 0x41 && t <= 0x46) || t == kPoint || t == TC::kCloseParen || t == TC::kCloseBracket
        || t == TC::kCloseBrace || t == kImaginary || t == kConstantE || t == kDegree || t == kMinuteMark || t == TC::kQuote;
}

// Splits at the separator, dropping empty pieces.
std::vector<std::string_view> split(std::string_view text, char separator)
{
    std::vector<std::string_view> out;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(separator, start);
        if (end == std::string_view::npos)
            end = text.size();
        if (end > start)
            out.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return out;
}

HistoryEntry::Size laidOutSize(const Calculator& calc, const Ops& ops)
{
    if (!calc.prettyPrint)
        return {};
    const QRectF rect = calc.prettyPrint->setOps(ops, PrettyPrint::kNoCursor, 0, calc.baseFontSize);
    return {rect.width(), rect.height()};
}

// Brackets the angle read since `angle` and follows it with what turns its unit into radians.
void angleInRadians(Ops& out, std::size_t angle, const Ops& radians)
{
    out.insert(out.begin() + static_cast<std::ptrdiff_t>(angle), TC::kOpenParen);
    out.insert(out.end(), radians.begin(), radians.end());
    out.push_back(TC::kCloseParen);
}

// "0b" and "0h" start a binary and a hexadecimal number: the token of the base, in place of
// the "0" read before it.
std::uint32_t baseMark(Ops& out, char32_t c)
{
    if (!out.empty() && out.back() == kZero)
        out.pop_back();
    return c == U'b' ? kBinary : kHex;
}

// A degrees-minutes-seconds answer carries its sign on every part that is not zero
// (-30°-30'0", 0°0'-45"); read back, a "-" after "°" or "'" would subtract. Every such number
// of the text gets its sign once, before the degrees, which the literal reads as one angle.
std::string dmsSignInFront(std::string_view text)
{
    if (text.find("\xC2\xB0") == std::string_view::npos)
        return std::string(text);
    std::string out;
    out.reserve(text.size());
    const auto separator = [](char c) { return c == ' ' || c == '{' || c == '}' || c == '[' || c == ']' || c == '\n' || c == ','; };
    for (std::size_t i = 0; i < text.size();) {
        if (separator(text[i])) {
            out += text[i++];
            continue;
        }
        std::size_t end = i;
        while (end < text.size() && !separator(text[end]))
            ++end;
        const std::string_view number = text.substr(i, end - i);
        if (number.find("\xC2\xB0") != std::string_view::npos && number.find('-') != std::string_view::npos) {
            out += '-';
            for (const char c : number)
                if (c != '-')
                    out += c;
        } else {
            out += number;
        }
        i = end;
    }
    return out;
}

} // namespace

HistoryEntry::HistoryEntry(const Calculator& calc)
    : calc_(&calc)
{
}

void HistoryEntry::reset()
{
    answerOps.reset();
    plainResult.clear();
    numLines = width = height = 0;
    prettySize = pAnswerSize = {};
    resultType = kValue;
    resultIsNum = false;
    operandType = 0;
    angleFormat = -1;
}

int HistoryEntry::computeLines()
{
    const int inputLines = entry.empty()
        ? 0
        : static_cast<int>(Utf8::codePointCount(calc_->stringFromOps(entry))) / kInputLineWidth + 1;
    const std::vector<std::string_view> lines = result.empty() ? std::vector<std::string_view>() : [&] {
        // Every line counts here, empty ones too.
        std::vector<std::string_view> out;
        std::size_t start = 0;
        for (std::size_t end; (end = result.find('\n', start)) != std::string::npos; start = end + 1)
            out.push_back(std::string_view(result).substr(start, end - start));
        out.push_back(std::string_view(result).substr(start));
        return out;
    }();
    height = static_cast<int>(lines.size());
    width = 0;
    for (std::string_view line : lines)
        width = std::max(width, static_cast<int>(Utf8::codePointCount(line)));
    numLines = inputLines + std::min(height, kMaxResultLines);

    if (calc_->locked()->mathPrint) {
        entry = PrettyPrint::beautifyOps(entry);
        prettySize = laidOutSize(*calc_, entry);
        answerOps.reset();
        if (operandType != KindNoShow)
            answerOps = answerAsOps(0);
        if (answerOps) {
            pAnswerSize = laidOutSize(*calc_, *answerOps);
        } else {
            const QFontMetricsF metrics(PrettyDrawInfo::PrettyDrawInfoSize(calc_->baseFontSize).font());
            double widest = 0;
            // A program's screen is drawn to fit the view's width: it never needs more.
            if (resultType != kProgramScreen)
                for (std::string_view line : lines)
                    widest = std::max(widest, metrics.horizontalAdvance(QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size()))));
            pAnswerSize = {std::max(widest, kMinAnswerWidth), calc_->baseFontSize * height};
        }
    }
    return numLines;
}

bool HistoryEntry::valueWithoutNumber() const
{
    // The words have letters that are tokens of their own: -INF read as -I·N·F (and drawn
    // as "-F", the hexadecimal digit being all that was kept) is another value. Histories
    // saved before every format wrote the capitals may hold Fix's "inf" and "nan".
    for (std::string_view word : {"INF", "inf", "NAN", "nan"})
        if (result.find(word) != std::string::npos)
            return true;
    return false;
}

std::optional<Ops> HistoryEntry::answerAsOps(int formatting) const
{
    if (!resultIsNum || valueWithoutNumber())
        return std::nullopt;
    std::string_view text = formatting == 1 ? pastedText() : std::string_view(result);
    if (text.find("[[") != std::string_view::npos) {
        std::string plain;
        for (char c : text)
            if (c != '[' && c != ']')
                plain += c;
        Ops out{kTemplate | TC::kOpenBracket};
        for (std::string_view line : split(plain, '\n')) {
            const std::vector<std::string_view> cells = split(line, ' ');
            if (cells.empty())
                continue;
            out.push_back(kTemplate | TC::kOpenBracket);
            for (std::size_t k = 0; k < cells.size(); ++k) {
                if (k > 0)
                    out.push_back(kTemplate | TC::kComma);
                const Ops cell = numStrToPrettyOps(cells[k], formatting, shownAngleFormat());
                out.insert(out.end(), cell.begin(), cell.end());
            }
            out.push_back(kTemplate | TC::kCloseBracket);
        }
        out.push_back(kTemplate | TC::kCloseBracket);
        return out;
    }
    if (text.size() >= 2 && text.front() == '{' && text.back() == '}') {
        Ops out{TC::kOpenBrace};
        const std::vector<std::string_view> elements = split(text.substr(1, text.size() - 2), ' ');
        for (std::size_t k = 0; k < elements.size(); ++k) {
            if (k > 0)
                out.push_back(formatting == 1 ? TC::kComma : kSpace);
            const Ops element = numStrToPrettyOps(elements[k], formatting, shownAngleFormat());
            out.insert(out.end(), element.begin(), element.end());
        }
        out.push_back(TC::kCloseBrace);
        return out;
    }
    return numStrToPrettyOps(text, formatting, shownAngleFormat());
}

int HistoryEntry::shownAngleFormat() const { return angleFormat >= 0 ? angleFormat : calc_->angleFormat(); }

Ops HistoryEntry::numStrToPrettyOps(std::string_view shown, int formatting, int angleFormat)
{
    // Only the ops to paste must read back as the value shown.
    const bool pasted = formatting == 1;
    const std::string signedOnce = pasted ? dmsSignInFront(shown) : std::string();
    const std::string_view text = pasted ? std::string_view(signedOnce) : shown;
    Ops out;
    std::uint32_t t = 1;
    auto id = [&t](std::uint32_t token) { return (t << 16) | token; };
    // Where the digits that may become a numerator start; none after anything else.
    std::optional<std::size_t> numerator;
    bool inExponent = false;
    // The template ID of an open denominator.
    std::optional<std::uint32_t> denominator;
    // A negative mixed number is bracketed: "-" before it negates only its whole part.
    bool negativeMixed = false;
    // Where the angle of e^(θɩ) starts, while it is read (kNoAngle otherwise).
    std::size_t angle = kNoAngle;
    const Ops radians = pasted ? toRadians(angleFormat) : Ops();

    auto closeDenominator = [&] {
        if (!denominator)
            return;
        out.push_back((*denominator << 16) | TC::kCloseParen);
        denominator.reset();
        if (negativeMixed) {
            out.push_back(TC::kCloseParen);
            negativeMixed = false;
        }
    };
    auto put = [&](std::uint32_t op) {
        if (!isDigitOp(op))
            closeDenominator();
        out.push_back(op);
    };
    auto digit = [&](std::uint32_t op) {
        if (!numerator)
            numerator = out.size();
        put(op);
    };
    auto other = [&](std::uint32_t op) {
        put(op);
        numerator.reset();
    };
    auto openExponent = [&](bool mixed) {
        if (mixed && pasted && numerator && *numerator > 0 && out[*numerator - 1] == TC::kNegate) {
            out.insert(out.begin() + static_cast<std::ptrdiff_t>(*numerator), TC::kOpenParen);
            negativeMixed = true;
        }
        if (mixed)
            other(id(TC::kMixedSeparator));
        other(id(TC::kOpenParen));
        inExponent = true;
    };

    for (std::size_t i = 0; i < text.size();) {
        const char32_t c = Utf8::next(text, i);
        if (c >= U'0' && c <= U'9') {
            digit(static_cast<std::uint32_t>(c));
        } else if (c >= U'A' && c <= U'F') {
            other(static_cast<std::uint32_t>(c));
        } else if (const int sub = subscriptDigit(c); sub >= 0) {
            digit(kZero + static_cast<std::uint32_t>(sub));
        } else if (const int sup = superscriptDigit(c); sup >= 0) {
            if (!inExponent)
                openExponent(!out.empty() && (isDigitOp(out.back()) || out.back() == kPoint));
            digit(kZero + static_cast<std::uint32_t>(sup));
        } else {
            switch (c) {
            case U' ':
                if (formatting != 1)
                    other(kSpace);
                break;
            case U',':
                if (formatting != 1)
                    other(TC::kComma);
                break;
            case U'"': other(TC::kQuote); break;
            case U'\'': other(kMinuteMark); break;
            case U')':
                angle = kNoAngle;
                other(id(TC::kCloseParen));
                break;
            case U'+': other(kPlus); break;
            case U'-': other(out.empty() || !endsValue(out.back()) ? TC::kNegate : kMinus); break;
            case U'.': other(kPoint); break;
            case U'/':
            case kWideSlash:
                if (!inExponent && numerator)
                    out.insert(out.begin() + static_cast<std::ptrdiff_t>(*numerator), id(TC::kOpenParen));
                other(id(TC::kCloseParen));
                other(id(TC::kFractionBar));
                other(id(TC::kOpenParen));
                inExponent = false;
                denominator = t;
                break;
            case U'^': {
                const bool ofE = !out.empty() && out.back() == kConstantE;
                ++t;
                other(id(TC::kPower));
                other(id(TC::kOpenParen));
                if (ofE && !radians.empty())
                    angle = out.size();
                break;
            }
            case U'b':
            case U'h': other(baseMark(out, c)); break;
            case U'e': other(kConstantE); break;
            case U'°': other(kDegree); break;
            case U'ᴱ': other(TC::kExponentMark); break;
            case U'—': other(kMinus); break;
            case U'\u0269':
                if (angle != kNoAngle) {
                    closeDenominator();
                    angleInRadians(out, angle, radians);
                    angle = kNoAngle;
                }
                other(kImaginary);
                break;
            case U'\u0332':
                // The mark of the last significant figure is no token to read back: the
                // figures typed carry it.
                if (!pasted)
                    other(kSigFigMark);
                break;
            case kOpenBox: openExponent(true); break;
            default: break;
            }
        }
    }
    closeDenominator();
    return out;
}

std::optional<Ops> HistoryEntry::resultOps() const
{
    if (calc_->locked()->mathPrint)
        return answerAsOps(1);
    if (!resultIsNum || valueWithoutNumber())
        return std::nullopt;
    return classicResultOps();
}

std::string HistoryEntry::result84() const { return plain84(result); }

std::string HistoryEntry::plain84(std::string_view text)
{
    std::u32string out;
    char32_t previous = 0;
    for (std::size_t i = 0; i < text.size();) {
        const char32_t c = Utf8::next(text, i);
        if (const int sub = subscriptDigit(c); sub >= 0) {
            if (!out.empty() && out.back() == U'/')
                out.back() = kWideSlash;
            out += static_cast<char32_t>(U'0' + sub);
        } else if (const int sup = superscriptDigit(c); sup >= 0) {
            if (previous >= U'0' && previous <= U'9')
                out += kOpenBox;
            out += static_cast<char32_t>(U'0' + sup);
        } else {
            out += c;
        }
        previous = c;
    }
    return Utf8::encode(out);
}

Ops HistoryEntry::classicResultOps() const
{
    const std::string text = dmsSignInFront(plain84(pastedText()));
    Ops out;
    bool inList = false;
    int depth = 0;
    bool separator = false;
    // Where the digits being read start.
    std::optional<std::size_t> digits;
    // A negative mixed number is bracketed ("-" before it negates only its whole part); the
    // bracket closes after its denominator.
    bool negativeMixed = false;
    bool mixedDenominator = false;
    // Where the angle of e^(θɩ) starts, while it is read (kNoAngle otherwise).
    std::size_t angle = kNoAngle;
    const Ops radians = toRadians(shownAngleFormat());
    auto closeMixed = [&] {
        if (negativeMixed && mixedDenominator) {
            out.push_back(TC::kCloseParen);
            negativeMixed = mixedDenominator = false;
        }
    };
    auto add = [&](std::uint32_t op) {
        const bool digit = isDigitOp(op) || op == kPoint;
        // A negative mixed number ends with its element, whatever starts the next.
        if (!digit || separator)
            closeMixed();
        if (separator && op != TC::kCloseBracket && op != TC::kCloseBrace)
            out.push_back(TC::kComma);
        separator = false;
        if (!digit)
            digits.reset();
        else if (!digits)
            digits = out.size();
        out.push_back(op);
    };
    for (std::size_t i = 0; i < text.size();) {
        const bool first = i == 0;
        const char32_t c = Utf8::next(text, i);
        switch (c) {
        case U'\n':
        case U',':
        case U'\u0307':
            break;
        case U' ':
            // A blank between matrix rows separates nothing and is no token either.
            if (inList || depth == 2)
                separator = true;
            break;
        case U'-':
            add(first || separator || out.empty() || !endsValue(out.back()) ? TC::kNegate : kMinus);
            break;
        case U'[':
            add(TC::kOpenBracket);
            ++depth;
            break;
        case U']':
            add(TC::kCloseBracket);
            --depth;
            break;
        case U'^': add(TC::kPower); break;
        case U'(':
            add(TC::kOpenParen);
            if (out.size() >= 3 && out[out.size() - 2] == TC::kPower && out[out.size() - 3] == kConstantE
                && !radians.empty())
                angle = out.size();
            break;
        case U')':
            angle = kNoAngle;
            add(TC::kCloseParen);
            break;
        case U'\u0269':
            if (angle != kNoAngle) {
                closeMixed();
                angleInRadians(out, angle, radians);
                angle = kNoAngle;
            }
            add(kImaginary);
            break;
        case kOpenBox:
            if (digits && *digits > 0 && out[*digits - 1] == TC::kNegate) {
                out.insert(out.begin() + static_cast<std::ptrdiff_t>(*digits), TC::kOpenParen);
                negativeMixed = true;
            }
            add(calc_->opCodeForChar(c));
            break;
        case kWideSlash:
            add(calc_->opCodeForChar(c));
            mixedDenominator = negativeMixed;
            break;
        case U'e': add(kConstantE); break;
        case U'°': add(kDegree); break;
        case U'b':
        case U'h': add(baseMark(out, c)); break;
        case U'\u0332':
            break;
        case U'{':
            add(TC::kOpenBrace);
            inList = true;
            break;
        case U'}':
            add(TC::kCloseBrace);
            inList = false;
            break;
        default:
            if (const std::uint32_t op = calc_->opCodeForChar(c))
                add(op);
            break;
        }
    }
    if (negativeMixed)
        out.push_back(TC::kCloseParen);
    return out;
}

Ops HistoryEntry::cleanEntry() const { return PrettyPrint::cleanOps(entry); }

Ops HistoryEntry::entryOpsToMergeWith(const Ops& ops) const
{
    Ops copy = entry;
    HistoryModel::renumberOpsForMergeWith(copy, ops);
    return copy;
}

std::string HistoryEntry::screenCapture() const
{
    return "<screenShot>" + calc_->stringFromOps(entry) + "\n" + result + "</screenShot>";
}

namespace {

nlohmann::json sizeArchive(HistoryEntry::Size size) { return nlohmann::json::array({size.width, size.height}); }

HistoryEntry::Size sizeFromArchive(const nlohmann::json& archive)
{
    if (!archive.is_array() || archive.size() != 2 || !archive[0].is_number() || !archive[1].is_number())
        return {};
    const double w = archive[0].get<double>(), h = archive[1].get<double>();
    // Sizes are summed into the history's totals: nothing negative or infinite.
    auto clean = [](double x) { return std::isfinite(x) && x > 0 ? x : 0.0; };
    return {clean(w), clean(h)};
}

} // namespace

nlohmann::json HistoryEntry::encode() const
{
    nlohmann::json out = {
        {"en", entry},
        {"re", result},
        {"nl", numLines},
        {"wd", width},
        {"ht", height},
        {"rt", resultType},
        {"rn", resultIsNum},
        {"psz", sizeArchive(prettySize)},
        {"paw", sizeArchive(pAnswerSize)},
        {"oType", operandType},
    };
    if (answerOps)
        out["ro"] = *answerOps;
    if (!plainResult.empty())
        out["rp"] = plainResult;
    // Only a polar angle needs its unit: the item pastes back in any mode as it was shown.
    if (angleFormat >= 0 && result.find("e^(") != std::string::npos)
        out["au"] = angleFormat;
    return out;
}

HistoryEntry HistoryEntry::decode(const Calculator& calc, const nlohmann::json& archive)
{
    HistoryEntry item(calc);
    if (!archive.is_object())
        return item;
    auto find = [&](const char* key) -> const nlohmann::json* {
        auto it = archive.find(key);
        return it == archive.end() ? nullptr : &*it;
    };
    auto count = [&](const char* key, int& field, int min) {
        if (const nlohmann::json* value = find(key))
            if (auto x = ArchiveValues::integer(*value, min, std::numeric_limits<int>::max()))
                field = static_cast<int>(*x);
    };
    if (const nlohmann::json* value = find("en"))
        item.entry = ArchiveValues::ops(*value).value_or(Ops());
    if (const nlohmann::json* value = find("re"); value && value->is_string())
        item.result = value->get<std::string>();
    if (const nlohmann::json* value = find("ro"))
        item.answerOps = ArchiveValues::ops(*value);
    if (const nlohmann::json* value = find("rp"); value && value->is_string())
        item.plainResult = value->get<std::string>();
    count("nl", item.numLines, 0);
    count("wd", item.width, 0);
    count("ht", item.height, 0);
    count("rt", item.resultType, std::numeric_limits<int>::min());
    count("oType", item.operandType, std::numeric_limits<int>::min());
    if (const nlohmann::json* value = find("au"))
        if (auto unit = ArchiveValues::integer(*value, 0, 2))
            item.angleFormat = static_cast<int>(*unit);
    if (const nlohmann::json* value = find("rn"); value && value->is_boolean())
        item.resultIsNum = value->get<bool>();
    if (const nlohmann::json* value = find("psz"))
        item.prettySize = sizeFromArchive(*value);
    if (const nlohmann::json* value = find("paw"))
        item.pAnswerSize = sizeFromArchive(*value);
    // Such an answer saved drawn as ops by an earlier version is drawn as its text.
    if (item.valueWithoutNumber())
        item.answerOps.reset();
    return item;
}

bool HistoryEntry::screenLineEndsRight(std::u32string_view line)
{
    return Utf8::columns(line) == kScreenColumns && line.front() == U' ' && line.back() != U' ';
}

} // namespace orvenda
