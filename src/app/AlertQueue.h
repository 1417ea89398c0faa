#pragma once

#include <QPointer>
#include <QString>

#include <deque>
#include <functional>
#include <utility>
#include <vector>

class QMessageBox;
class QWidget;

namespace orvenda {

// Alerts shown one at a time as application-modal boxes over a window, in the order they
// were asked for: an alert asked for while another is open waits for it, none is lost.
// The first button is the default button and, unless the alert names another, the
// escape button. Each box is kept inside the window at its every size (WindowFit). Main
// thread.
class AlertQueue {
public:
    struct Alert {
        QString title;
        QString message;
        // Captions with what each does besides closing the alert (may be empty).
        std::vector<std::pair<QString, std::function<void()>>> buttons;
        // The button Escape presses (the first by default): a question that destroys
        // something escapes to its Cancel.
        std::size_t escape = 0;
    };

    explicit AlertQueue(QWidget& window) : window_(window) {}
    AlertQueue(const AlertQueue&) = delete;
    AlertQueue& operator=(const AlertQueue&) = delete;

    void show(Alert alert);
    // Alerts not shown yet.
    std::size_t waiting() const { return waiting_.size(); }

private:
    void showNext();

    QWidget& window_;
    std::deque<Alert> waiting_;
    QPointer<QMessageBox> open_;
};

} // namespace orvenda
