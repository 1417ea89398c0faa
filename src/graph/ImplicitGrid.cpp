#include "graph/ImplicitGrid.h"

#include <QRectF>

#include <algorithm>
#include <cmath>
#include <limits>

namespace orvenda {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The cells of size `leaf` in the order the quad-tree visits them.
void collectLeaves(std::vector<std::array<int, 2>>& into, int i, int j, int n, int leaf)
{
    if (n <= leaf) {
        into.push_back({i, j});
        return;
    }
    const int h = n / 2;
    collectLeaves(into, i, j, h, leaf);
    collectLeaves(into, i, j + h, h, leaf);
    collectLeaves(into, i + h, j, h, leaf);
    collectLeaves(into, i + h, j + h, h, leaf);
}

} // namespace

void ImplicitGrid::Shape::clear()
{
    segments.clear();
    fillPoints.clear();
    fillCounts.clear();
    fillCells.clear();
}

ImplicitGrid::ImplicitGrid() : fx_(std::size_t(kNodes) * kNodes, 0.0) {}

void ImplicitGrid::setRegion(const QRectF& rect, const GraphTransform& t)
{
    const double left = (rect.x() - t.tx) / t.a;
    pixelWidth_ = ((rect.x() + rect.width() - t.tx) / t.a - left) / kCells;
    const double top = (rect.y() - t.ty) / t.d;
    const double bottom = (rect.y() + rect.height() - t.ty) / t.d;
    pixelHeight_ = std::fabs(bottom - top) / kCells;
    bottomLeft_ = {left, bottom};
    overlapX_ = 0.07 / t.a;
    overlapY_ = 0.07 / std::fabs(t.d);
    std::fill(fx_.begin(), fx_.end(), 0.0);
    stage_ = Stage::Idle;
    shape_.clear();
}

void ImplicitGrid::start(const Level& level, int fill)
{
    level_ = level;
    fill_ = fill;
    pDepth_ = 4;
    refine_ = false;
    output_ = false;
    stage_ = Stage::Presample;
    cursor_ = 0;
    spent_ = 0;
    firstSplit_.clear();
    collectLeaves(firstSplit_, 0, 0, kCells, level.sDepth);
    building_.clear();
}

double ImplicitGrid::elapsed(Clock::time_point since) const
{
    return spent_ + std::chrono::duration<double>(Clock::now() - since).count();
}

bool ImplicitGrid::advance(ImplicitSolver& f, Clock::time_point deadline)
{
    const Clock::time_point began = Clock::now();
    const auto pause = [&] {
        spent_ = elapsed(began);
        return false;
    };
    const auto nextPass = [this](Stage stage) {
        stage_ = stage;
        cursor_ = 0;
    };
    for (;;) {
        switch (stage_) {
        case Stage::Idle:
            return false;
        case Stage::Presample: {
            const int step = level_.sDepth;
            for (; int(cursor_) * step < kCells; ++cursor_) {
                if (Clock::now() >= deadline)
                    return pause();
                for (int i = 0; i < kCells; i += step)
                    fxAt(f, i, int(cursor_) * step);
            }
            pDepth_ /= 2;
            nextPass(Stage::Search);
            break;
        }
        case Stage::Search:
            if (!pass(f, deadline))
                return pause();
            if (elapsed(began) > level_.timeLimit) {
                output_ = true;
                nextPass(Stage::Output);
            } else {
                refine_ = true;
                nextPass(Stage::Refine);
            }
            break;
        case Stage::Refine:
            if (!pass(f, deadline))
                return pause();
            if (pDepth_ > level_.finestPDepth && elapsed(began) < level_.timeLimit) {
                pDepth_ /= 2;
                refine_ = false;
                nextPass(Stage::Search);
            } else {
                output_ = true;
                nextPass(Stage::Output);
            }
            break;
        case Stage::Output:
            if (!pass(f, deadline))
                return pause();
            std::swap(shape_, building_);
            building_.clear();
            output_ = false;
            stage_ = Stage::Done;
            spent_ = elapsed(began);
            return true;
        case Stage::Done:
            return true;
        }
    }
}

bool ImplicitGrid::pass(ImplicitSolver& f, Clock::time_point deadline)
{
    for (; cursor_ < firstSplit_.size(); ++cursor_) {
        if (Clock::now() >= deadline)
            return false;
        quadTree(f, firstSplit_[cursor_][0], firstSplit_[cursor_][1], level_.sDepth);
    }
    return true;
}

ImplicitGrid::Point ImplicitGrid::ptAt(int i, int j) const
{
    if (i < 0 || j < 0 || i > kCells || j > kCells)
        return {};
    return {bottomLeft_.x + i * pixelWidth_, bottomLeft_.y + j * pixelHeight_};
}

double ImplicitGrid::fxAt(ImplicitSolver& f, int i, int j)
{
    if (i < 0 || j < 0 || i > kCells || j > kCells)
        return kNaN;
    double& v = fx_[std::size_t(j) * kNodes + std::size_t(i)];
    if (v == 0) {
        const Point p = ptAt(i, j);
        const double value = f.fX(p.x, p.y);
        v = value == 0 ? 1e-99 : value;
    }
    return v;
}

int ImplicitGrid::signAt(int i, int j) const
{
    if (i < 0 || j < 0 || i > kCells || j > kCells)
        return 0;
    const double v = fx_[std::size_t(j) * kNodes + std::size_t(i)];
    if (v == 0)
        return 0;
    return std::signbit(v) ? -1 : 1;
}

void ImplicitGrid::quarters(ImplicitSolver& f, int i, int j, int n)
{
    const int h = n / 2;
    if (h < 1)
        return;
    quadTree(f, i, j, h);
    quadTree(f, i, j + h, h);
    quadTree(f, i + h, j, h);
    quadTree(f, i + h, j + h, h);
}

void ImplicitGrid::quadTree(ImplicitSolver& f, int i, int j, int n)
{
    if (n > level_.sDepth) {
        quarters(f, i, j, n);
        return;
    }
    const double v[4] = {fxAt(f, i, j), fxAt(f, i + n, j), fxAt(f, i + n, j + n), fxAt(f, i, j + n)};
    const int code = ImplicitSolver::cellCode(v[0], v[1], v[2], v[3]);
    if (ImplicitSolver::crossed(code)) {
        if (n > pDepth_)
            quarters(f, i, j, n);
        else if (output_)
            addCrossing(f, i, j, n, v, code);
        return;
    }
    if (refine_) {
        // A sign along the cell's edges that differs from its corners' means the curve
        // passes through between them (a small loop, a narrow dip).
        const int s = signAt(i, j);
        if (i == 0)
            for (int k = j + pDepth_; k < j + n; k += pDepth_)
                fxAt(f, 0, k);
        if (j == 0)
            for (int k = i + pDepth_; k < i + n; k += pDepth_)
                fxAt(f, k, 0);
        const auto differs = [&](int c, int r) {
            const int sign = signAt(c, r);
            return sign != 0 && sign != s;
        };
        for (int c = i + 1; c < i + n; ++c)
            if (differs(c, j) || differs(c, j + n)) {
                quarters(f, i, j, n);
                return;
            }
        for (int r = j + 1; r < j + n; ++r)
            if (differs(i, r) || differs(i + n, r)) {
                quarters(f, i, j, n);
                return;
            }
    }
    if (output_ && ((code == 15 && fill_ == 1) || (code == 0 && fill_ == 2)))
        addWholeCell(i, j, n);
}

void ImplicitGrid::addCrossing(ImplicitSolver& f, int i, int j, int n, const double values[4], int code)
{
    // Corners from the nodes themselves, so that neighbouring cells search a shared side
    // between the very same ends and meet exactly.
    const Point c[4] = {ptAt(i, j), ptAt(i + n, j), ptAt(i + n, j + n), ptAt(i, j + n)};
    Point p1, p2;
    f.lineCorners(c, values, p1, p2);
    building_.segments.push_back({p1, p2});
    int corners[3];
    const int count = ImplicitSolver::fillCorners(code, fill_, corners);
    if (fill_ == 0 || count == 0)
        return;
    building_.fillPoints.push_back(p1);
    building_.fillPoints.push_back(p2);
    for (int k = 0; k < count; ++k)
        building_.fillPoints.push_back(c[corners[k]]);
    building_.fillCounts.push_back(2 + count);
}

void ImplicitGrid::addWholeCell(int i, int j, int n)
{
    const Point p = ptAt(i, j), q = ptAt(i + n, j + n);
    building_.fillCells.push_back({p.x, p.y, q.x - p.x + overlapX_, q.y - p.y + overlapY_});
}

} // namespace orvenda
