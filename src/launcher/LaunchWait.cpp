#include "launcher/LaunchWait.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

#include <functional>
#include <thread>
#include <utility>

namespace orvenda {

namespace {

// Closing the window, or Escape, stops the wait as the button does.
class WaitWindow : public QWidget {
public:
    explicit WaitWindow(std::function<void()> stop)
        : stop_(std::move(stop))
    {
    }

protected:
    void closeEvent(QCloseEvent* event) override
    {
        stop_();
        QWidget::closeEvent(event);
    }
    void keyPressEvent(QKeyEvent* event) override
    {
        if (event->key() == Qt::Key_Escape)
            stop_();
        else
            QWidget::keyPressEvent(event);
    }

private:
    std::function<void()> stop_;
};

} // namespace

LaunchWait::LaunchWait(const QString& statePath)
    : statePath_(statePath)
{
}

LaunchWait::~LaunchWait() = default;

void LaunchWait::show()
{
    auto window = std::make_unique<WaitWindow>([this] { stopped_ = true; });
    window->setWindowTitle(QStringLiteral("Orvenda"));
    auto* layout = new QVBoxLayout(window.get());
    auto* text = new QLabel(QStringLiteral("Waiting for the saved calculator %1: another program (a sync tool or a "
                                           "download) is writing it. Orvenda starts as soon as it is written, within "
                                           "a minute.")
                                .arg(QDir::toNativeSeparators(statePath_)),
        window.get());
    text->setWordWrap(true);
    text->setObjectName(QStringLiteral("launchWaitText"));
    auto* stop = new QPushButton(QString::fromLatin1(kStopCaption), window.get());
    QObject::connect(stop, &QPushButton::clicked, [this] { stopped_ = true; });
    layout->addWidget(text);
    layout->addWidget(stop);
    window->resize(360, 200);
    window->show();
    window_ = std::move(window);
    if (shown)
        shown(*window_);
}

void LaunchWait::wait(std::chrono::milliseconds time)
{
    if (!launching_ || !qApp) {
        std::this_thread::sleep_for(time);
        return;
    }
    if (!window_)
        show();
    QEventLoop loop;
    QTimer::singleShot(time, &loop, &QEventLoop::quit);
    loop.exec();
}

void LaunchWait::launched()
{
    launching_ = false;
    window_.reset();
}

} // namespace orvenda
