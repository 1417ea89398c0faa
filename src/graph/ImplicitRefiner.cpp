#include "graph/ImplicitRefiner.h"

#include "graph/GraphTile.h"
#include "graph/GraphTileLayer.h"
#include "graph/GraphView.h"

#include <algorithm>

namespace orvenda {

bool ImplicitRefiner::Job::matches(const QRectF& region, const GraphTransform& m) const
{
    return bounds == region && t.a == m.a && t.b == m.b && t.c == m.c && t.d == m.d && t.tx == m.tx && t.ty == m.ty;
}

ImplicitRefiner::ImplicitRefiner(GraphView& view) : QObject(&view), view_(view)
{
    setObjectName(QStringLiteral("ImplicitRefiner"));
    timer_.setSingleShot(true);
    timer_.setInterval(0);
    connect(&timer_, &QTimer::timeout, this, &ImplicitRefiner::slice);
}

ImplicitRefiner& ImplicitRefiner::of(GraphView& view)
{
    if (auto* refiner = view.findChild<ImplicitRefiner*>(QStringLiteral("ImplicitRefiner"), Qt::FindDirectChildrenOnly))
        return *refiner;
    return *new ImplicitRefiner(view);
}

ImplicitRefiner::Clock::time_point ImplicitRefiner::frameDeadline()
{
    if (!frameOpen_) {
        frameOpen_ = true;
        frameEnd_ = Clock::now() + kFrameBudget;
        // The frame ends with this turn of the event loop.
        QTimer::singleShot(0, this, [this] { frameOpen_ = false; });
    }
    return frameEnd_;
}

void ImplicitRefiner::schedule(const std::shared_ptr<Job>& job)
{
    const auto same = [&job](const std::weak_ptr<Job>& held) { return held.lock() == job; };
    if (std::none_of(jobs_.begin(), jobs_.end(), same))
        jobs_.push_back(job);
    if (!timer_.isActive())
        timer_.start();
}

GraphTile* ImplicitRefiner::tileShowing(const Job& job) const
{
    for (const auto& tile : view_.tiles())
        if (!tile->hidden && job.matches(tile->bounds(), tile->t))
            return tile.get();
    return nullptr;
}

void ImplicitRefiner::slice()
{
    const Clock::time_point deadline = Clock::now() + kSlice;
    std::vector<std::shared_ptr<Job>> live;
    live.reserve(jobs_.size());
    for (const auto& held : jobs_)
        if (auto job = held.lock(); job && !job->finished() && tileShowing(*job))
            live.push_back(std::move(job));
    std::stable_sort(live.begin(), live.end(), [](const auto& a, const auto& b) { return a->rank() < b->rank(); });
    for (const auto& job : live) {
        if (Clock::now() >= deadline)
            break;
        if (!job->refine(deadline))
            continue;
        // Drawn again at the next paint, from what the job has now.
        if (GraphTile* tile = tileShowing(*job)) {
            tile->dirty = true;
            QWidget* layer = view_.findChild<GraphTileLayer*>();
            (layer ? layer : static_cast<QWidget*>(&view_))->update(tile->frame().toAlignedRect());
        }
    }
    jobs_.clear();
    for (const auto& job : live)
        if (!job->finished())
            jobs_.push_back(job);
    if (!jobs_.empty())
        timer_.start();
}

} // namespace orvenda
