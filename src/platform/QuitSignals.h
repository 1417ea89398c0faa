#pragma once

#include <QObject>

#include <functional>
#include <memory>

class QSocketNotifier;

namespace orvenda {

// The desktop's way of asking an app to end (a logout, a service stop, `kill`, `timeout`,
// Ctrl+C in a terminal, a closed terminal): SIGTERM, SIGINT and SIGHUP. While one of these
// lives, the first such signal calls quit on the event loop, so the app ends in order and
// saves as a quit does; the same signal again ends the process at once, as it would have
// without this. One at a time; the previous handlers come back when it goes.
class QuitSignals : public QObject {
    Q_OBJECT
public:
    explicit QuitSignals(std::function<void(int signal)> quit, QObject* parent = nullptr);
    ~QuitSignals() override;
    QuitSignals(const QuitSignals&) = delete;
    QuitSignals& operator=(const QuitSignals&) = delete;

private:
    void arrived();

    std::function<void(int)> quit_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace orvenda
