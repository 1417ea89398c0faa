#pragma once

#include "graph/GraphGeometry.h"
#include "platform/SteadyClock.h"

#include <QObject>
#include <QRectF>
#include <QTimer>

#include <chrono>
#include <memory>
#include <vector>

namespace orvenda {

class GraphTile;
class GraphView;

// Finishes the drawing of tiles over later turns of the event loop, so that a relation
// that is slow to draw never holds the window. A paint does what fits in one frame's
// budget (shared by every plot and tile of the paint) and leaves the rest here; each
// later turn works for one short slice and then lets the events through, and a tile whose
// drawing got better is drawn again. One per graph view, a child of it; main thread.
class ImplicitRefiner : public QObject {
    Q_OBJECT
public:
    using Clock = SteadyClock;
    static constexpr std::chrono::milliseconds kFrameBudget{16};
    static constexpr std::chrono::milliseconds kSlice{8};

    // Drawing of one tile's region left to finish.
    class Job {
    public:
        Job(const QRectF& bounds, const GraphTransform& t) : bounds(bounds), t(t) {}
        virtual ~Job() = default;
        // Works until the deadline; true when a better drawing is ready to show.
        virtual bool refine(Clock::time_point deadline) = 0;
        virtual bool finished() const = 0;
        // Lower goes first: tiles that show nothing yet before tiles that show a draft.
        virtual int rank() const = 0;
        // The region and transform are the job's.
        bool matches(const QRectF& region, const GraphTransform& transform) const;

        // The tile's region (view coordinates of its layout) and transform.
        const QRectF bounds;
        const GraphTransform t;
    };

    // The view's refiner, made with its first use.
    static ImplicitRefiner& of(GraphView& view);

    // When drawing in this turn of the event loop must stop; the first call of a turn
    // starts the frame's budget.
    Clock::time_point frameDeadline();
    // The job goes on in later turns until it is finished, its tile shows another region
    // or whoever holds it lets it go.
    void schedule(const std::shared_ptr<Job>& job);
    // Jobs are left to finish.
    bool busy() const { return !jobs_.empty(); }
    // The tile that shows the job's region through its transform now; null when none does.
    GraphTile* tileShowing(const Job& job) const;

private:
    explicit ImplicitRefiner(GraphView& view);
    void slice();

    GraphView& view_;
    std::vector<std::weak_ptr<Job>> jobs_;
    QTimer timer_;
    bool frameOpen_ = false;
    Clock::time_point frameEnd_;
};

} // namespace orvenda
