#pragma once

#include <QObject>

#include <functional>
#include <memory>

class QSocketNotifier;

namespace orvenda {

// The desktop's way of asking an app to end (a logout, a service stop, `kill`, `timeout`,
// Ctrl+C in a terminal, a closed terminal): SIGTERM, SIGINT and SIGHUP. While one of these
// lives, the first such signal calls quit on the event loop, so the app ends in order and
// saves as a quit does. Any such signal after it, the same or another, is ignored: the app
// is ending already, and a shutdown or an impatient `kill` twice must not cut its save
// short. One at a time; when it goes, the previous handlers come back, unless an ending
// signal came: then the process is ending, and they stay ignored to its end.
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
    bool ending_ = false;
};

} // namespace orvenda
