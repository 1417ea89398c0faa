#include "programs/GraphDatabaseBody.h"

#include "app/YEqModel.h"
#include "core/Calculator.h"
#include "core/services/StatGraphManager.h"
#include "language/ErrorNumbers.h"
#include "programs/TIVarBytes.h"

#include <algorithm>
#include <array>

namespace orvenda {

namespace {

using Ops = std::vector<std::uint32_t>;

struct ModeLayout {
    std::uint8_t code;
    std::vector<int> slots;  // the mode's reals after the window
    int firstToken;
    int equationCount;
};

// By graph mode 0..4: function, parametric, polar, sequence, implicit.
const std::array<ModeLayout, 5> kLayouts{{
    {0x10, {82}, 0x5E10, 10},
    {0x40, {42, 43, 62}, 0x5E20, 12},
    {0x20, {44, 45, 63}, 0x5E40, 6},
    {0x80, {55, 57, 32, 33, 59, 36, 37, 78, 80, 79}, 0x5E80, 3},
    {0xA0, {82}, 0x5EA0, 10},
}};
// Xmin, Xmax, Xscl, Ymin, Ymax, Yscl.
constexpr std::array kWindowSlots{38, 39, 30, 40, 41, 31};
constexpr std::size_t kWindowOffset = 7, kModeRealsOffset = 61;
constexpr std::uint8_t kSelected = 0x23, kNotSelected = 0x03;
// graphSequenceFormat 0..4 and its bits.
constexpr std::array<std::uint8_t, 5> kSequenceBits{0x00, 0x01, 0x04, 0x08, 0x10};

std::size_t styleOffset(const ModeLayout& layout)
{
    return kModeRealsOffset + TIVarBytes::kRealSize * layout.slots.size();
}

std::uint8_t styleByte(int style)
{
    switch (style) {
    case 4: return 1;
    case 8: return 2;
    case 16: return 3;
    case 32: return 6;
    case 10: return 7;
    case 18: return 8;
    default: return 0;
    }
}

int styleFromByte(std::uint8_t byte)
{
    constexpr std::array<int, 9> kStyles{2, 4, 8, 16, 2, 2, 32, 10, 18};
    return byte < kStyles.size() ? kStyles[byte] : 2;
}

std::uint8_t colorByte(double component)
{
    return static_cast<std::uint8_t>(std::clamp(component, 0.0, 1.0) * 255);
}

std::uint16_t word(std::span<const std::uint8_t> body, std::size_t at)
{
    return static_cast<std::uint16_t>(body[at] | body[at + 1] << 8);
}

struct Equation {
    int token;
    Ops ops;
    bool selected;
    int style;
    VQColor color;
};

} // namespace

std::optional<GraphDatabaseBody::Bytes> GraphDatabaseBody::dataForGDB(const Calculator& calc, const YEqModel& equations)
{
    const int mode = calc.graphMode();
    if (mode < 0 || mode >= static_cast<int>(kLayouts.size()))
        return std::nullopt;
    const ModeLayout& layout = kLayouts[static_cast<std::size_t>(mode)];
    std::vector<Ops> ops;
    std::size_t size = styleOffset(layout) + 7 * static_cast<std::size_t>(layout.equationCount);
    for (int k = 0; k < layout.equationCount; ++k) {
        ops.push_back(equations.equationOps(layout.firstToken + k).value_or(Ops()));
        size += TIVarBytes::opByteLength(ops.back());
    }
    if (size > 0xFFFF)
        return std::nullopt;

    Bytes body(styleOffset(layout), 0);
    body[0] = static_cast<std::uint8_t>(size & 0xFF);
    body[1] = static_cast<std::uint8_t>(size >> 8);
    body[3] = layout.code;
    {
        const auto state = calc.locked();
        body[4] = static_cast<std::uint8_t>((state->drawGrid ? 0x04 : 0) | (state->graphCoordFormat == 1 ? 0x08 : 0)
            | (state->drawCoord ? 0x10 : 0) | (state->drawAxes ? 0x20 : 0) | (state->drawLabel ? 0x40 : 0)
            | (state->drawDyDx ? 0x80 : 0));
        const int format = state->graphSequenceFormat;
        body[5] = static_cast<std::uint8_t>(0x80
            | (mode == 3 && format >= 0 && format < 5 ? kSequenceBits[static_cast<std::size_t>(format)] : 0));
        body[6] = state->drawExpr ? 1 : 0;
        std::size_t at = kWindowOffset;
        for (int slot : kWindowSlots) {
            TIVarBytes::writeReal(state->vars[static_cast<std::size_t>(slot)].real(), &body[at]);
            at += TIVarBytes::kRealSize;
        }
        for (int slot : layout.slots) {
            TIVarBytes::writeReal(state->vars[static_cast<std::size_t>(slot)].real(), &body[at]);
            at += TIVarBytes::kRealSize;
        }
    }
    for (int k = 0; k < layout.equationCount; ++k) {
        const int token = layout.firstToken + k;
        const VQColor color = equations.colorForFunction(token).value_or(VQColor());
        body.push_back(styleByte(equations.styleForFunction(token)));
        body.push_back(colorByte(color.r()));
        body.push_back(colorByte(color.g()));
        body.push_back(colorByte(color.b()));
    }
    for (int k = 0; k < layout.equationCount; ++k) {
        const Ops& tokens = ops[static_cast<std::size_t>(k)];
        body.push_back(equations.shouldPlotFunction(layout.firstToken + k) ? kSelected : kNotSelected);
        const std::size_t count = TIVarBytes::opByteLength(tokens);
        body.push_back(static_cast<std::uint8_t>(count & 0xFF));
        body.push_back(static_cast<std::uint8_t>(count >> 8));
        TIVarBytes::writeTokens(tokens, body);
    }
    return body;
}

int GraphDatabaseBody::loadGDBFrom(Calculator& calc, YEqModel& equations, std::span<const std::uint8_t> data)
{
    // Everything is read and checked before anything changes.
    if (data.size() < 2 || word(data, 0) > data.size())
        return ErrFileData;
    const std::span<const std::uint8_t> body = data.first(word(data, 0));
    if (body.size() < kModeRealsOffset)
        return ErrFileData;
    int mode = calc.graphMode();
    for (std::size_t m = 0; m < kLayouts.size(); ++m)
        if (kLayouts[m].code == body[3])
            mode = static_cast<int>(m);
    if (mode < 0 || mode >= static_cast<int>(kLayouts.size()))
        return ErrFileData;
    const ModeLayout& layout = kLayouts[static_cast<std::size_t>(mode)];
    const std::size_t styles = styleOffset(layout);
    std::size_t at = styles + 4 * static_cast<std::size_t>(layout.equationCount);
    if (body.size() < at)
        return ErrFileData;

    std::vector<Equation> read;
    for (int k = 0; k < layout.equationCount; ++k) {
        if (at + 3 > body.size())
            return ErrFileData;
        const std::size_t count = word(body, at + 1);
        if (at + 3 + count > body.size())
            return ErrFileData;
        std::optional<Ops> ops = TIVarBytes::tokensFrom(body.subspan(at + 3, count));
        if (!ops)
            return ErrFileData;
        const int token = layout.firstToken + k;
        const bool sequence = mode == 3;
        for (std::uint32_t op : *ops)
            if (!sequence && static_cast<int>(op & 0xFFFF) == token)
                return ErrEqSelfReference;
        const std::size_t style = styles + 4 * static_cast<std::size_t>(k);
        read.push_back({token, std::move(*ops), body[at] == kSelected, styleFromByte(body[style]),
            VQColor::colorR(body[style + 1] / 255.0, body[style + 2] / 255.0, body[style + 3] / 255.0, 1)});
        at += 3 + count;
    }

    calc.setGraphMode(mode);
    {
        const auto state = calc.locked();
        const std::uint8_t format = body[4];
        state->drawGrid = format & 0x04;
        state->graphCoordFormat = (format & 0x08) ? 1 : 0;
        state->drawCoord = format & 0x10;
        state->drawAxes = format & 0x20;
        state->drawLabel = format & 0x40;
        state->drawDyDx = format & 0x80;
        int sequenceFormat = 0;
        for (std::size_t f = 1; f < kSequenceBits.size(); ++f)
            if ((body[5] & 0x7F) == kSequenceBits[f])
                sequenceFormat = static_cast<int>(f);
        state->graphSequenceFormat = sequenceFormat;
        state->drawExpr = body[6] != 0;
        std::size_t real = kWindowOffset;
        for (int slot : kWindowSlots) {
            state->vars[static_cast<std::size_t>(slot)] = TIVarBytes::dblFrom(&body[real]);
            real += TIVarBytes::kRealSize;
        }
        for (int slot : layout.slots) {
            state->vars[static_cast<std::size_t>(slot)] = TIVarBytes::dblFrom(&body[real]);
            real += TIVarBytes::kRealSize;
        }
        // A recalled window is a new window for the histogram's bins too.
        if (calc.statGraphManager)
            calc.statGraphManager->windowChanged();
    }
    for (const Equation& e : read) {
        equations.setYEqFunc(e.token, e.ops);
        equations.setFunction(e.token, e.selected);
        equations.setStyle(e.style, e.color, e.token);
    }
    return 0;
}

} // namespace orvenda
