#pragma once

#include <QTimer>
#include <QWidget>

namespace orvenda {

// The small spinner shown while a program runs; hidden when stopped.
class ActivitySpinner : public QWidget {
public:
    explicit ActivitySpinner(QWidget* parent = nullptr);

    void start();
    void stop();
    bool animating() const { return timer_.isActive(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QTimer timer_;
    int step_ = 0;
};

} // namespace orvenda
