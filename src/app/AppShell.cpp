#include "app/AppShell.h"

#include "app/QtMainQueue.h"
#include "app/ScreenRegistry.h"
#include "core/Calculator.h"
#include "eval/Parser.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <thread>

namespace orvenda {

namespace {

// How long quitting waits for a stopped program's run to notice the stop.
constexpr std::chrono::seconds kStopWait{2};

} // namespace

AppShell::AppShell(Calculator& calc)
    : calc_(calc), main_(std::make_unique<QtMainQueue>()), blink_(calc), evaluator_(calc, blink_),
      keys_(calc, evaluator_, blink_)
{
    ProgramQueue& queue = calc_.parser().programQueue();
    queue.setMainQueue(main_.get());
    queue.setResultHandler([this](const Operand& record) { evaluator_.showResult(record); });
    // Wakes an event loop that waits for the queue to finish (work that does nothing).
    queue.setIdleHandler([main = main_.get()] { main->post([] {}); });
    calc_.keyProcessor = [this](int key) { keys_.processKeyOp(static_cast<std::uint32_t>(key)); };
    // A home line's run answers on the program's output too: left from there, its call is
    // the run's, not a home line to give back (and enter) later.
    calc_.lineAnswering = [this] {
        const std::optional<int> on = evaluator_.awaitedOn();
        const int screen = calc_.currentScreen();
        return on && (*on == screen || (*on == screens::Home && screen == screens::ProgramOutput));
    };
    blink_.resetBlink();
}

AppShell::~AppShell()
{
    ProgramQueue& queue = calc_.parser().programQueue();
    queue.setIdleHandler(nullptr);
    queue.stopProgramThread();
    // From here the worker's hand-overs return at once and its reports are dropped.
    main_->close();
    const auto until = std::chrono::steady_clock::now() + kStopWait;
    while (queue.programQueueCount() != 0 && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    calc_.keyProcessor = nullptr;
    calc_.lineAnswering = nullptr;
    if (queue.programQueueCount() != 0) {
        // A run that ignores the stop still holds the queue: leave it the closed queue,
        // which drops whatever it posts, rather than take it away under its feet.
        (void)main_.release();
        return;
    }
    queue.setResultHandler(nullptr);
    queue.setMainQueue(nullptr);
}

void AppShell::endRuns()
{
    calc_.parser().stopProgramThread();
    settle(kStopWait);
}

bool AppShell::idle() const { return calc_.parser().programQueueCount() == 0 && main_->pending() == 0; }

bool AppShell::settle(std::chrono::milliseconds limit)
{
    // Blocks in the event loop: the reports wake it, and the queue's going idle posts a
    // wake of its own, so waiting costs the main thread nothing while a program runs.
    bool late = false;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, [&late] { late = true; });
    timer.start(limit);
    while (!idle() && !late)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return idle();
}

} // namespace orvenda
