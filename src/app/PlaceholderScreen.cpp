#include "app/PlaceholderScreen.h"

#include "app/LcdView.h"
#include "pretty/FontMap.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

namespace orvenda {

namespace {

constexpr int kTitleHeight = 28;
constexpr int kDoneWidth = 64;

} // namespace

PlaceholderScreen::PlaceholderScreen(Calculator& calc, const QString& title, QWidget* parent)
    : ScreenController(calc, parent)
    , background_(new LcdView(calc, this))
    , title_(new QLabel(title, this))
    , done_(new QPushButton(QStringLiteral("Done"), this))
{
    title_->setAlignment(Qt::AlignCenter);
    title_->setFont(FontMap::shared().font("Helvetica-Bold", 16));
    title_->setStyleSheet(QStringLiteral("color: black; background: transparent;"));
    done_->setFont(FontMap::shared().font("Helvetica-Bold", 14));
    // The keys stay with the screen (Escape) or the keyboard under it.
    done_->setFocusPolicy(Qt::NoFocus);
    connect(done_, &QPushButton::clicked, this, [this] { leave(); });
}

QWidget* PlaceholderScreen::leaveControl() const { return done_; }

void PlaceholderScreen::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        leave();
        return;
    }
    ScreenController::keyPressEvent(event);
}

QString PlaceholderScreen::title() const { return title_->text(); }

void PlaceholderScreen::resizeEvent(QResizeEvent*)
{
    background_->setGeometry(rect());
    title_->setGeometry(0, 4, width(), kTitleHeight);
    done_->setGeometry(4, 4, kDoneWidth, kTitleHeight);
    done_->raise();
}

} // namespace orvenda
