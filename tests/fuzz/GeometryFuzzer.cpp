// Any bytes as a session in the geometry app: figures and sub-modes chosen (and tokens that
// are no figure), fields selected, values typed, Solve, the slider dragged, values a program
// left in the figure's slots, the angle mode changed, and after each step every field read
// as the panel shows it, the figure fitted into views of several sizes and drawn. Nothing
// may throw, crash or hang, and a step that reports an error stores nothing (the second
// SSA triangle, which is reported and kept, aside).

#include "FuzzCheck.h"
#include "GuiFuzzerInit.h"

#include "apps/GeometryModel.h"
#include "apps/PlotGeometry.h"
#include "core/Calculator.h"
#include "language/ErrorNumbers.h"

#include <QImage>
#include <QPainter>

#include <array>
#include <cmath>
#include <complex>
#include <cstdint>
#include <cstring>
#include <limits>
#include <numbers>

using namespace orvenda;

namespace {

using fuzz::check;
using G = GeometryModel;

constexpr std::array<std::uint32_t, 10> kFigures{G::Line, G::Square, G::Rectangle, G::Parallelogram, G::Triangle,
    G::Polygon, G::Circle, G::Arc, G::Ellipse, G::UnitCircle};
// Steps per input: each may draw, so a long input stays quick.
constexpr int kMaxSteps = 64;

class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool done() const { return at_ >= size_; }
    std::uint8_t byte() { return at_ < size_ ? data_[at_++] : 0; }
    // A value from a short list of the edges, or any eight bytes.
    double value()
    {
        constexpr double kInf = std::numeric_limits<double>::infinity();
        static constexpr std::array<double, 16> kEdges{0, 1, -1, 2, 3, 1e200, 1e-200, 1e308, -1e308, 5e-324, kInf, -kInf,
            std::numeric_limits<double>::quiet_NaN(), std::numbers::pi, 0.5, 90};
        const std::uint8_t tag = byte();
        if (tag < 2 * kEdges.size())
            return kEdges[tag % kEdges.size()];
        if (tag < 128)
            return static_cast<double>(static_cast<std::int8_t>(byte())) * (tag - 31);
        double v = 0;
        std::uint8_t bytes[sizeof v]{};
        for (std::uint8_t& b : bytes)
            b = byte();
        std::memcpy(&v, bytes, sizeof v);
        return v;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

std::array<std::complex<double>, G::kLastSlot - G::kFirstSlot + 1> slots(Calculator& calc)
{
    std::array<std::complex<double>, G::kLastSlot - G::kFirstSlot + 1> out{};
    const auto state = calc.locked();
    for (int s = G::kFirstSlot; s <= G::kLastSlot; ++s)
        out[static_cast<std::size_t>(s - G::kFirstSlot)] = state->vars[static_cast<std::size_t>(s)];
    return out;
}

bool same(const std::complex<double>& a, const std::complex<double>& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// What the panel reads: every field's label, slot and value, the points, the title.
void readPanel(G& model)
{
    for (int f = -1; f <= model.numFields(); ++f) {
        (void)model.fieldName(f);
        (void)model.fieldValue(f);
        check(f >= 0 && f < model.numFields() ? model.inputSlot(f) >= G::kFirstSlot && model.inputSlot(f) <= G::kLastSlot
                                              : model.inputSlot(f) == 0);
    }
    for (int f = -1; f <= model.numResultFields(); ++f) {
        (void)model.resultFieldName(f);
        (void)model.resultFieldValue(f);
    }
    for (int i = -1; i <= model.numPoints(); ++i) {
        (void)model.pointX(i);
        (void)model.pointY(i);
        (void)model.pointName(i);
    }
    (void)model.title();
    (void)model.rows();
    (void)model.slider();
    (void)G::triangleCase(model.triangleMask(true));
    check(model.currentField() >= 0 && model.currentField() < std::max(1, model.numFields()));
}

// The figure fitted into a view of the picture's size and drawn there, as the graph does.
void draw(G& model, PlotGeometry& plot, QImage& image)
{
    const G::Box box = G::fitted(model.fitBox(), image.width(), image.height());
    Calculator::AffineTransform t;
    if (box.valid && box.xMax > box.xMin && box.yMax > box.yMin) {
        t.a = image.width() / (box.xMax - box.xMin);
        t.d = -image.height() / (box.yMax - box.yMin);
        t.tx = -box.xMin * t.a;
        t.ty = -box.yMax * t.d;
    } else {
        t = {10, 0, 0, -10, 32, 32};
    }
    plot.geometryFunction = model.figure();
    image.fill(Qt::black);
    QPainter painter(&image);
    plot.drawRect(QRectF(0, 0, image.width(), image.height()), painter, t, 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static Calculator* calc = new Calculator;
    static PlotGeometry* plot = new PlotGeometry(*calc);
    static QImage* image = new QImage(64, 48, QImage::Format_ARGB32_Premultiplied);
    {
        const auto state = calc->locked();
        for (int s = G::kFirstSlot; s <= G::kLastSlot; ++s)
            state->vars[static_cast<std::size_t>(s)] = {};
    }
    calc->setAngleFormat(0);
    G model(*calc);
    Reader in(data, size);
    for (int step = 0; step < kMaxSteps && !in.done(); ++step) {
        const std::uint8_t op = in.byte();
        const auto before = slots(*calc);
        int error = 0;
        switch (op % 10) {
        case 0: {
            const std::uint8_t which = in.byte();
            model.setFigure(which < 200 ? kFigures[which % kFigures.size()] : which);
            break;
        }
        case 1: model.setSubMode(static_cast<std::int8_t>(in.byte())); break;
        case 2: model.setCurrentField(static_cast<std::int8_t>(in.byte())); break;
        case 3: error = model.enterValue(in.value()); break;
        case 4: error = model.compute(); break;
        case 5: model.trackSlider(in.value()); break;
        case 6: model.clear(); break;
        case 7: {
            const int s = G::kFirstSlot + in.byte() % (G::kLastSlot - G::kFirstSlot + 1);
            calc->locked()->vars[static_cast<std::size_t>(s)] = {in.value(), 0.0};
            break;
        }
        case 8:
            calc->setAngleFormat(in.byte() % 2);
            (void)model.canSolve(in.byte() % 2);
            break;
        default: draw(model, *plot, *image); break;
        }
        if (error != 0 && error != ErrGeom2Triangle) {
            const auto after = slots(*calc);
            for (std::size_t i = 0; i < before.size(); ++i)
                check(same(before[i], after[i]));
        }
        readPanel(model);
    }
    draw(model, *plot, *image);
    return 0;
}
