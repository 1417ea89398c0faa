#include "graph/PlotImplicit.h"

#include "app/YEqModel.h"
#include "core/Calculator.h"
#include "core/VQStack.h"
#include "eval/Parser.h"
#include "graph/GraphView.h"
#include "graph/ImplicitGrid.h"
#include "graph/ImplicitRefiner.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <algorithm>
#include <bit>
#include <deque>
#include <unordered_map>
#include <cmath>
#include <limits>
#include <optional>

namespace orvenda {

namespace {

using Clock = ImplicitGrid::Clock;
using Point = ImplicitSolver::Point;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kNone = 1e99;
constexpr int kLetterA = 0x41;
// Tiles whose drawing is kept; regions no tile shows any more go first.
constexpr std::size_t kMaxJobs = 18;
// Two relations drawing the same curve cross everywhere along it: their crossing search
// gives up after this many evaluations instead of running for ever.
constexpr std::uint64_t kMaxCrossingEvals = 40000;

// Nine points of a box: its corners (0 bottom-left, 1 bottom-right, 2 top-right, 3
// top-left), the middles of its bottom, right, top and left sides (4 to 7) and its centre
// (8). The quarters, in the order they are searched, by their corners among them.
constexpr int kQuarters[4][4] = {{0, 4, 8, 7}, {7, 8, 6, 3}, {4, 1, 5, 8}, {8, 5, 2, 6}};

void ninePoints(Point o, ImplicitSolver::Size s, Point p[9])
{
    const double x1 = o.x + s.width / 2, x2 = o.x + s.width, y1 = o.y + s.height / 2, y2 = o.y + s.height;
    p[0] = o;
    p[1] = {x2, o.y};
    p[2] = {x2, y2};
    p[3] = {o.x, y2};
    p[4] = {x1, o.y};
    p[5] = {x2, y1};
    p[6] = {x1, y2};
    p[7] = {o.x, y1};
    p[8] = {x1, y1};
}

// The crossing segments joined end to end into polylines, in view points: neighbouring
// cells find the crossing on their shared side from the same corners, so their segments
// meet exactly. A few long lines stroke far faster than many short ones, and a translucent
// line does not darken where its pieces meet.
std::vector<QPolygonF> chained(const std::vector<std::array<Point, 2>>& segments, const GraphTransform& t)
{
    struct Hash {
        std::size_t operator()(const std::pair<double, double>& p) const
        {
            return std::hash<std::uint64_t>()(std::bit_cast<std::uint64_t>(p.first) * 31
                                              + std::bit_cast<std::uint64_t>(p.second));
        }
    };
    // Each end point with the (at most two) segments that end there.
    std::unordered_map<std::pair<double, double>, std::array<int, 2>, Hash> ends;
    ends.reserve(segments.size() * 2);
    std::vector<char> used(segments.size(), 0);
    for (std::size_t k = 0; k < segments.size(); ++k) {
        const auto& s = segments[k];
        if (!GraphGeometry::pointIsFinite(s[0].x, s[0].y) || !GraphGeometry::pointIsFinite(s[1].x, s[1].y)) {
            used[k] = 1;
            continue;
        }
        for (const Point& p : s) {
            auto [at, added] = ends.try_emplace({p.x, p.y}, std::array<int, 2>{int(k), -1});
            if (!added && at->second[1] < 0)
                at->second[1] = int(k);
        }
    }
    const auto next = [&](const Point& p) -> int {
        const auto at = ends.find({p.x, p.y});
        if (at == ends.end())
            return -1;
        for (int k : at->second)
            if (k >= 0 && !used[std::size_t(k)])
                return k;
        return -1;
    };
    const auto other = [&](int k, const Point& p) {
        const auto& s = segments[std::size_t(k)];
        return s[0].x == p.x && s[0].y == p.y ? s[1] : s[0];
    };
    const auto view = [&t](const Point& p) { return QPointF(t.a * p.x + t.tx, t.d * p.y + t.ty); };
    std::vector<QPolygonF> lines;
    std::deque<Point> chain;
    for (std::size_t k = 0; k < segments.size(); ++k) {
        if (used[k])
            continue;
        used[k] = 1;
        chain.assign({segments[k][0], segments[k][1]});
        for (int n = next(chain.back()); n >= 0; n = next(chain.back())) {
            used[std::size_t(n)] = 1;
            chain.push_back(other(n, chain.back()));
        }
        for (int n = next(chain.front()); n >= 0; n = next(chain.front())) {
            used[std::size_t(n)] = 1;
            chain.push_front(other(n, chain.front()));
        }
        QPolygonF line;
        line.reserve(qsizetype(chain.size()));
        for (const Point& p : chain)
            line.append(view(p));
        lines.push_back(std::move(line));
    }
    return lines;
}

std::shared_ptr<YEqModel> equationsOf(const Calculator& calc)
{
    return std::dynamic_pointer_cast<YEqModel>(calc.yEqManager);
}

} // namespace

// One tile's drawing of the relation: its grid, the levels of detail it is to reach, and
// the last finished level with the paths made of it.
struct PlotImplicit::TileJob : ImplicitRefiner::Job {
    TileJob(const QRectF& rect, const GraphTransform& t, std::shared_ptr<ImplicitSolver> solver, int fill,
            std::vector<double> inputs)
        : Job(rect, t), solver(std::move(solver)), fill(fill), inputs(std::move(inputs))
    {
        restart();
    }

    void restart()
    {
        grid = std::make_unique<ImplicitGrid>();
        grid->setRegion(bounds, t);
        shown = running = -1;
        shape.clear();
        lines.reset();
        fillPath.reset();
    }

    // A drawing at full quality wants the full level; while the view moves a draft does.
    // Away from a view the level wanted is computed straight away.
    void want(bool full, bool progressive)
    {
        const ImplicitGrid::Level& level = full ? ImplicitGrid::kFull : ImplicitGrid::kDraft;
        if (plan.empty() && progressive)
            plan.push_back(ImplicitGrid::kDraft);
        if (plan.empty() || (full && plan.back().sDepth != ImplicitGrid::kFull.sDepth))
            plan.push_back(level);
    }

    // Works on the levels up to `upTo` until the deadline; true when one was finished.
    bool work(Clock::time_point deadline, int upTo)
    {
        bool ready = false;
        while (shown < upTo && shown + 1 < int(plan.size())) {
            const int next = shown + 1;
            if (running != next) {
                grid->start(plan[std::size_t(next)], fill);
                running = next;
            }
            if (!grid->advance(*solver, deadline))
                break;
            shape = grid->shape();
            shown = next;
            lines.reset();
            fillPath.reset();
            ready = true;
        }
        if (finished() && plan.back().sDepth == ImplicitGrid::kFull.sDepth)
            grid.reset();
        return ready;
    }

    bool refine(Clock::time_point deadline) override
    {
        ImplicitSolver::Use use(*solver);
        // A variable of the relation changed since: what was drawn is drawn again.
        if (std::vector<double> now = solver->inputs(); now != inputs) {
            inputs = std::move(now);
            if (!grid)
                plan.erase(plan.begin(), plan.end() - 1);
            restart();
        }
        return work(deadline, int(plan.size()) - 1);
    }
    bool finished() const override { return shown + 1 >= int(plan.size()); }
    int rank() const override { return shown < 0 ? 0 : 1; }

    std::shared_ptr<ImplicitSolver> solver;
    const int fill;
    std::vector<double> inputs;
    std::unique_ptr<ImplicitGrid> grid;
    std::vector<ImplicitGrid::Level> plan;
    int shown = -1;
    int running = -1;
    ImplicitGrid::Shape shape;
    // Of the shape, in view points.
    std::optional<std::vector<QPolygonF>> lines;
    std::optional<QPainterPath> fillPath;
};

PlotImplicit::PlotImplicit(Calculator& c)
    : PlotObject(c), solver_(std::make_shared<ImplicitSolver>(c)), traceSolver_(c)
{
    plotType = PlotObject::PlotImplicit;
}

PlotImplicit::~PlotImplicit() = default;

std::shared_ptr<PlotImplicit> PlotImplicit::forEquation(Calculator& calc, int token, GraphView* view)
{
    const auto equations = equationsOf(calc);
    if (!equations || token < kFirstRelation || token > kLastRelation || !equations->shouldPlotFunction(token))
        return nullptr;
    auto plot = std::make_shared<PlotImplicit>(calc);
    {
        const auto hold = calc.lockState();
        if (calc.testMode != 0)
            return nullptr;
        plot->setSelected(calc.lockFunction == token);
    }
    plot->eqNum = token;
    plot->varNum = 0;
    plot->color = equations->colorForFunction(token).value_or(VQColor());
    plot->style = equations->styleForFunction(token);
    plot->lineWidth = plot->style & 2 ? 2 : 4;
    plot->varInfoArray = equations->varInforForFunction(token).value_or(std::vector<YEqVarInfo>{});
    plot->graphView = view;
    return plot;
}

void PlotImplicit::fetch(ImplicitSolver& solver) const
{
    std::shared_ptr<VQStack> rpn;
    if (const auto equations = equationsOf(calc)) {
        // A relation that does not compile is not drawn; the parser's error stays as it was.
        Parser& parser = calc.parser();
        const int error = parser.error();
        parser.setError(0);
        bool equality = false;
        rpn = equations->rpnForImplicitFunction(eqNum, equality);
        if (parser.error() != 0)
            rpn.reset();
        parser.setError(error);
    }
    solver.setFunction(rpn.get());
}

bool PlotImplicit::evaluable()
{
    ImplicitSolver::Use use(*solver_);
    if (!fetched_) {
        fetch(*solver_);
        fetched_ = true;
    }
    return solver_->valid();
}

void PlotImplicit::recompute()
{
    jobs_.clear();
    fetched_ = false;
}

int PlotImplicit::fillMode() const
{
    if (style & 8)
        return 1;
    return style & 16 ? 2 : 0;
}

std::shared_ptr<PlotImplicit::TileJob> PlotImplicit::jobFor(const QRectF& rect, const GraphTransform& t)
{
    std::vector<double> inputs = solver_->inputs();
    const auto same = std::find_if(jobs_.begin(), jobs_.end(), [&](const auto& job) { return job->matches(rect, t); });
    if (same != jobs_.end()) {
        if ((*same)->inputs == inputs)
            return *same;
        jobs_.erase(same);
    }
    if (graphView) {
        const ImplicitRefiner& refiner = ImplicitRefiner::of(*graphView);
        std::erase_if(jobs_, [&refiner](const auto& job) { return !refiner.tileShowing(*job); });
    }
    const std::size_t keep = graphView ? kMaxJobs : 9;
    if (jobs_.size() >= keep)
        jobs_.erase(jobs_.begin(), jobs_.begin() + std::ptrdiff_t(jobs_.size() - keep + 1));
    jobs_.push_back(std::make_shared<TileJob>(rect, t, solver_, fillMode(), std::move(inputs)));
    return jobs_.back();
}

std::uint64_t PlotImplicit::drawingEvals() const { return solver_->numEvals; }

void PlotImplicit::drawRect(const QRectF& rect, QPainter& context, const GraphTransform& t, int quality)
{
    if (!GraphGeometry::transformIsFinite(t))
        return;
    std::shared_ptr<TileJob> job;
    {
        ImplicitSolver::Use use(*solver_);
        if (!fetched_) {
            fetch(*solver_);
            fetched_ = true;
        }
        if (!solver_->valid())
            return;
        const std::uint64_t before = solver_->numEvals;
        job = jobFor(rect, t);
        job->want(quality == 1, graphView != nullptr);
        if (graphView) {
            // A first draft within the frame; the rest in later turns of the event loop.
            ImplicitRefiner& refiner = ImplicitRefiner::of(*graphView);
            if (job->shown < 0)
                job->work(refiner.frameDeadline(), 0);
            if (!job->finished())
                refiner.schedule(job);
        } else {
            job->work(Clock::time_point::max(), int(job->plan.size()) - 1);
        }
        numEvals_ = solver_->numEvals - before;
    }
    paint(*job, context);
}

void PlotImplicit::paint(TileJob& job, QPainter& context)
{
    if (job.shown < 0)
        return;
    const GraphTransform& t = job.t;
    const auto view = [&t](const Point& p) { return QPointF(t.a * p.x + t.tx, t.d * p.y + t.ty); };
    if (!job.lines) {
        const ImplicitGrid::Shape& shape = job.shape;
        job.lines = chained(shape.segments, t);
        // One path for the whole region, every part turning the same way, so that parts
        // that meet leave no seam.
        QPainterPath fill;
        fill.setFillRule(Qt::WindingFill);
        for (const ImplicitGrid::Rect& r : shape.fillCells)
            fill.addRect(QRectF(view({r.x, r.y + r.height}), view({r.x + r.width, r.y})).normalized());
        std::size_t first = 0;
        QPolygonF polygon;
        for (int count : shape.fillCounts) {
            polygon.clear();
            double twiceArea = 0;
            for (int k = 0; k < count; ++k) {
                const QPointF p = view(shape.fillPoints[first + std::size_t(k)]);
                const QPointF q = view(shape.fillPoints[first + std::size_t((k + 1) % count)]);
                twiceArea += p.x() * q.y() - q.x() * p.y();
                polygon.append(p);
            }
            first += std::size_t(count);
            if (twiceArea < 0)
                std::reverse(polygon.begin(), polygon.end());
            fill.addPolygon(polygon);
            fill.closeSubpath();
        }
        job.fillPath = std::move(fill);
    }
    context.save();
    context.setRenderHint(QPainter::Antialiasing);
    if (fillMode() != 0)
        context.fillPath(*job.fillPath, colorAt(0.5));
    if (selected() || (style & 6) != 0) {
        // Flat ends and bevelled joins stroke several times faster than round ones, and
        // look the same at these widths.
        QPen pen(colorAt(1), lineWidth, Qt::SolidLine, Qt::FlatCap, Qt::BevelJoin);
        const auto stroke = [&] {
            context.setPen(pen);
            for (const QPolygonF& line : *job.lines)
                context.drawPolyline(line);
        };
        if (selected()) {
            const QPen line = pen;
            pen.setColor(colorAt(0.3));
            pen.setWidthF(lineWidth + 6);
            stroke();
            pen = line;
        }
        stroke();
    }
    context.restore();
}

// ---- The trace ----

void PlotImplicit::quadSearchAt(ImplicitSolver& f, Point o, Size size, const double* values)
{
    const Size half{size.width / 2, size.height / 2};
    Point p[9];
    ninePoints(o, size, p);
    if (size.width > searchDepth_.width || size.height > searchDepth_.height) {
        for (const auto& quarter : kQuarters)
            quadSearchAt(f, p[quarter[0]], half, nullptr);
        return;
    }
    double v[9];
    for (int k = 0; k < 4; ++k)
        v[k] = values ? values[k] : f.fX(p[k].x, p[k].y);
    if (!ImplicitSolver::crossed(ImplicitSolver::cellCode(v[0], v[1], v[2], v[3])))
        return;
    if (size.width > plotDepth_.width || size.height > plotDepth_.height) {
        // The side middles and the centre, each evaluated once for the four quarters.
        for (int k = 4; k < 9; ++k)
            v[k] = f.fX(p[k].x, p[k].y);
        for (const auto& quarter : kQuarters) {
            const double corners[4] = {v[quarter[0]], v[quarter[1]], v[quarter[2]], v[quarter[3]]};
            quadSearchAt(f, p[quarter[0]], half, corners);
        }
        return;
    }
    Point ends[2];
    f.lineCorners(p, v, ends[0], ends[1]);
    for (const Point& end : ends) {
        const double d = std::hypot(end.x - hitPt_.x, end.y - hitPt_.y);
        if (d < minErr_) {
            minErr_ = d;
            minPt_ = end;
        }
    }
}

void PlotImplicit::qSearchAt(ImplicitSolver& f, ImplicitSolver& g, Point o, Size size, const double* values)
{
    if (f.numEvals + g.numEvals > kMaxCrossingEvals)
        return;
    const Size half{size.width / 2, size.height / 2};
    Point p[9];
    ninePoints(o, size, p);
    if (size.width > searchDepth_.width || size.height > searchDepth_.height) {
        for (const auto& quarter : kQuarters)
            qSearchAt(f, g, p[quarter[0]], half, nullptr);
        return;
    }
    // f's values at 0..8, g's at 9..17.
    double v[18];
    for (int k = 0; k < 4; ++k) {
        v[k] = values ? values[k] : f.fX(p[k].x, p[k].y);
        v[k + 9] = values ? values[k + 4] : g.fX(p[k].x, p[k].y);
    }
    if (!ImplicitSolver::crossed(ImplicitSolver::cellCode(v[0], v[1], v[2], v[3]))
        || !ImplicitSolver::crossed(ImplicitSolver::cellCode(v[9], v[10], v[11], v[12])))
        return;
    if (size.width <= plotDepth_.width && size.height <= plotDepth_.height) {
        hitPt_ = p[8];
        return;
    }
    for (int k = 4; k < 9; ++k) {
        v[k] = f.fX(p[k].x, p[k].y);
        v[k + 9] = g.fX(p[k].x, p[k].y);
    }
    for (const auto& quarter : kQuarters) {
        double corners[8];
        for (int k = 0; k < 4; ++k) {
            corners[k] = v[quarter[k]];
            corners[k + 4] = v[quarter[k] + 9];
        }
        qSearchAt(f, g, p[quarter[0]], half, corners);
    }
}

bool PlotImplicit::hitInBox(ImplicitSolver& f, PlotPoint& pt, Size box, double, bool mustPutOnCurve)
{
    hitPt_ = {pt.x, pt.y};
    minErr_ = kNone;
    searchDepth_ = {box.width / 5, box.height / 5};
    plotDepth_ = {box.width / 50, box.height / 50};
    f.numEvals = 0;
    quadSearchAt(f, {pt.x - box.width / 2, pt.y - box.height / 2}, box, nullptr);
    numEvals_ = f.numEvals;
    if (!(minErr_ < kNone))
        return false;
    Point p = minPt_;
    if (mustPutOnCurve) {
        if (!f.putOnCurvePt(p, plotDepth_))
            return false;
    } else if (!f.putOnCurvePt(p, {1e-8, 1e-8})) {
        // The crossing found on a cell's side is the nearest point known.
        p = minPt_;
    }
    pt.x = p.x;
    pt.y = p.y;
    return true;
}

bool PlotImplicit::hitPoint(PlotPoint& pt, const GraphTransform& t, double err)
{
    if (!GraphGeometry::transformIsFinite(t) || !GraphGeometry::pointIsFinite(pt.x, pt.y))
        return false;
    ImplicitSolver::Use use(traceSolver_);
    fetch(traceSolver_);
    if (!traceSolver_.valid())
        return false;
    return hitInBox(traceSolver_, pt, {err / t.a, err / -t.d}, err, false);
}

bool PlotImplicit::hitPoint(PlotPoint& pt, const QSizeF& range, double err)
{
    if (!GraphGeometry::pointIsFinite(pt.x, pt.y))
        return false;
    ImplicitSolver::Use use(traceSolver_);
    fetch(traceSolver_);
    if (!traceSolver_.valid())
        return false;
    return hitInBox(traceSolver_, pt, {range.width(), range.height()}, err, true);
}

double PlotImplicit::slopeAtPoint(const PlotPoint& pt)
{
    if (std::isnan(pt.x) || std::isnan(pt.y))
        return kNaN;
    ImplicitSolver::Use use(traceSolver_);
    fetch(traceSolver_);
    if (!traceSolver_.valid() || std::fabs(traceSolver_.fX(pt.x, pt.y)) > 1e-10)
        return kNaN;
    return traceSolver_.slopeAtPt({pt.x, pt.y}, 1e-6);
}

PlotPoint PlotImplicit::PtAtPt(const PlotPoint& p, const QSizeF& range, const PlotList& other)
{
    const double w = range.width(), h = range.height();
    calc.setFeatureLock(FeatureNone);
    ImplicitSolver& f = traceSolver_;
    ImplicitSolver::Use use(f);
    fetch(f);
    PlotPoint q = p;
    if (!f.valid() || !GraphGeometry::pointIsFinite(p.x, p.y)
        || !hitInBox(f, q, {20 * w, 20 * h}, std::hypot(w, h), true))
        return p;

    // Where the curve crosses the x-axis within w either side.
    if (std::fabs(q.y) < h) {
        const double lo = q.x - w, hi = q.x + w;
        const double root = f.searchMin(lo, hi, f.fX(lo, 0), f.fX(hi, 0), 0, ImplicitSolver::AlongX);
        if (std::fabs(root - q.x) <= w && std::fabs(f.fX(root, 0)) < 1e-12) {
            calc.setFeatureLock(FeatureZero);
            return {root, 0, p.t};
        }
    }

    Point turn{q.x, q.y};
    if (const int feature = f.minMaxAt(turn, 4 * w)) {
        calc.setFeatureLock(std::fabs(turn.y) < 1e-10 ? FeatureZero : feature);
        return {turn.x, std::fabs(turn.y) < 1e-10 ? 0.0 : turn.y, p.t};
    }

    for (const auto& plot : other) {
        auto* relation = plot && plot.get() != this && plot->plotType == PlotObject::PlotImplicit
            ? dynamic_cast<orvenda::PlotImplicit*>(plot.get()) : nullptr;
        if (!relation)
            continue;
        ImplicitSolver& g = relation->traceSolver_;
        relation->fetch(g);
        if (!g.valid())
            continue;
        hitPt_ = {kNaN, kNaN};
        searchDepth_ = {w / 4, h / 4};
        plotDepth_ = {1e-10, 1e-10};
        f.numEvals = g.numEvals = 0;
        qSearchAt(f, g, {q.x - w / 2, q.y - h / 2}, {w, h}, nullptr);
        if (!std::isnan(hitPt_.x)) {
            calc.setFeatureLock(FeatureIntersection);
            double tol = 1e-14;
            q.x = hitPt_.x;
            q.y = f.yAtX(hitPt_.x, hitPt_.y, tol);
        }
    }
    return {q.x, q.y, p.t};
}

std::optional<std::vector<std::string>> PlotImplicit::infoLines()
{
    // The format switches and the variables are the calculator's.
    const auto hold = calc.lockState();
    std::vector<std::string> lines;
    if (calc.state().drawExpr) {
        lines.push_back(label().value_or(""));
        for (const YEqVarInfo& info : varInfoArray) {
            if (info.varNum < 0 || info.varNum >= Calculator::kVarCount)
                continue;
            lines.push_back(calc.nameForOpcode(std::uint32_t(kLetterA + info.varNum)) + "="
                            + calc.formatReal(calc.state().vars[std::size_t(info.varNum)].real()));
        }
    }
    if (calc.state().drawCoord)
        addCoordinateLines(lines, "x:", "y:");
    if (calc.state().drawDyDx) {
        const bool turning = calc.featureLock == FeatureMinimum || calc.featureLock == FeatureMaximum;
        lines.push_back("dy/dx:" + calc.formatReal(turning ? 0.0 : calc.pTrackSlope));
    }
    return lines;
}

std::optional<std::map<std::string, PlotObject::Ops>> PlotImplicit::equationOps()
{
    const auto equations = equationsOf(calc);
    {
        const auto hold = calc.lockState();
        if (!calc.state().drawExpr)
            return std::nullopt;
    }
    if (!equations)
        return std::nullopt;
    return std::map<std::string, Ops>{{"", equations->getYEqFuncOps(eqNum).value_or(Ops{})}};
}

std::optional<std::string> PlotImplicit::label()
{
    const auto equations = equationsOf(calc);
    return equations ? equations->eqString(eqNum) : std::string();
}

} // namespace orvenda
