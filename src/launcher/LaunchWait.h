#pragma once

#include <QString>

#include <chrono>
#include <functional>
#include <memory>

class QLabel;
class QPushButton;
class QWidget;

namespace orvenda {

// A launch that finds its saved calculator still being written by another program (a sync
// tool, a download) waits for it, at most a minute: it says so at once, in a window of its
// own, with a way to stop waiting. The state file's pauses go through wait(), which keeps
// the window (and the hand-over from later launches) answering; once the launch is over,
// later pauses (a save's) are plain ones. Main thread.
class LaunchWait {
public:
    static constexpr const char* kStopCaption = "Start Without It";

    explicit LaunchWait(const QString& statePath);
    ~LaunchWait();
    LaunchWait(const LaunchWait&) = delete;
    LaunchWait& operator=(const LaunchWait&) = delete;

    // One pause of the wait: the window shows from the first.
    void wait(std::chrono::milliseconds time);
    // False once the user stopped waiting.
    bool keepWaiting() const { return !stopped_; }
    // The launch has what it waited for, or stopped waiting: the window goes.
    void launched();
    // The window, once shown (null before and after).
    QWidget* window() const { return window_.get(); }
    // Told once the window shows (the driven app answers it as its script says).
    std::function<void(QWidget& window)> shown;

private:
    void show();

    QString statePath_;
    std::unique_ptr<QWidget> window_;
    bool launching_ = true;
    bool stopped_ = false;
};

} // namespace orvenda
