#include "input/AlphaKeyboardView.h"

#include "core/Calculator.h"
#include "input/AlphaKeySheet.h"
#include "input/AlphaKeyTables.h"
#include "input/KeyPopoutView.h"
#include "input/KeyTables.h"
#include "language/Vocabulary.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QMouseEvent>

namespace orvenda {

namespace {

// An invisible button over an alpha key for screen readers: named by the code it types.
class AccessibleKey : public QAbstractButton {
public:
    AccessibleKey(int key, AlphaKeyboardView* view) : QAbstractButton(view)
    {
        setFocusPolicy(Qt::NoFocus);
        connect(this, &QAbstractButton::pressed, view, [view, key] { view->touchedButton(key); });
    }

protected:
    void paintEvent(QPaintEvent*) override {}
};

QString spokenName(std::uint32_t code)
{
    if (code == KeyTables::kCaseKey)
        return QStringLiteral("case");
    return QString::fromStdString(Vocabulary::shared().speakNameForOpcode(code));
}

} // namespace

AlphaKeyboardView::AlphaKeyboardView(Calculator& calc, QWidget* balloonParent)
    : QWidget(balloonParent), calc_(calc), capKeys_(new AlphaKeySheet(false, this)),
      lowerKeys_(new AlphaKeySheet(true, this)), balloon_(new KeyPopoutView(balloonParent))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    longPress_.setSingleShot(true);
    longPress_.setInterval(kLongPressMs);
    connect(&longPress_, &QTimer::timeout, this, [this] { longTapBegan(pressPoint_); });
    popTimer_.setSingleShot(true);
    popTimer_.setInterval(kTapBalloonMs);
    connect(&popTimer_, &QTimer::timeout, this, [this] { hidePop(); });
    layoutWithScale(1, 1, 1);
}

AlphaKeyboardView::~AlphaKeyboardView() { delete balloon_; }

bool AlphaKeyboardView::lowercase() const { return calc_.lowercaseLock; }

void AlphaKeyboardView::layoutWithScale(double k, double sx, double sy)
{
    k_ = k;
    sx_ = sx;
    sy_ = sy;
    for (int key = 0; key < AlphaKeyTables::kKeyCount; ++key) {
        const auto [x, y, w, h] = AlphaKeyTables::designRect(key);
        keyRects_[static_cast<std::size_t>(key)] = QRectF(k * x * sx, k * y * sy, k * w * sx, k * h * sy);
    }
    for (AlphaKeySheet* sheet : {capKeys_, lowerKeys_}) {
        sheet->setGeometry(rect());
        sheet->setKeyRects(keyRects_, k);
    }
    refreshCase();
    updateAccessibleButtons();
}

void AlphaKeyboardView::updateAccessibleButtons()
{
    // Made when a screen reader is first seen, then kept over the keys.
    if (accessibleButtons_.empty() && !QAccessible::isActive())
        return;
    if (accessibleButtons_.empty())
        for (int key = 0; key < AlphaKeyTables::kKeyCount; ++key)
            accessibleButtons_.push_back(new AccessibleKey(key, this));
    const bool lower = lowercase();
    for (int key = 0; key < AlphaKeyTables::kKeyCount; ++key) {
        QWidget* button = accessibleButtons_[static_cast<std::size_t>(key)];
        button->setGeometry(keyRects_[static_cast<std::size_t>(key)].toAlignedRect());
        button->setAccessibleName(spokenName(AlphaKeyTables::code(key, lower)));
        button->raise();
        button->show();
    }
}

void AlphaKeyboardView::refreshCase()
{
    const bool lower = lowercase();
    lowerKeys_->setVisible(lower);
    capKeys_->setVisible(!lower);
    if (!accessibleButtons_.empty())
        updateAccessibleButtons();
}

int AlphaKeyboardView::keyAt(QPointF point) const
{
    for (int key = 0; key < AlphaKeyTables::kKeyCount; ++key)
        if (keyRects_[static_cast<std::size_t>(key)].contains(point))
            return key;
    return -1;
}

void AlphaKeyboardView::showPopoutKey(int key, bool showAll)
{
    if (onClick_)
        onClick_();
    const bool lower = lowercase();
    const std::uint32_t code = AlphaKeyTables::code(key, lower);
    std::vector<std::uint32_t> codes = showAll ? AlphaKeyTables::alternatives(code, lower)
                                               : std::vector<std::uint32_t>{code};
    const double n = static_cast<double>(codes.size());
    const double w = k_ * 21 * n * sx_ + k_ * 8 * sx_;
    const QRectF r = keyRects_[static_cast<std::size_t>(key)];
    const bool right = r.center().x() > width() / 2.0;
    const double wide = std::max(w, r.width());
    const double left = right ? r.x() - (wide - r.width()) : r.x();
    const double extra = 3 * k_ * sy_ + r.height();
    const QRectF frame(left, r.y() - extra, wide, r.height() + extra);
    balloon_->open(std::move(codes), r, frame, !right, k_, sx_, sy_, pos());
    balloon_->setVisible(balloon_->drawsBalloon());
}

void AlphaKeyboardView::type(std::uint32_t code)
{
    if (code == KeyTables::kCaseKey) {
        calc_.lowercaseLock = !calc_.lowercaseLock;
        refreshCase();
        update();
        return;
    }
    if (code != 0 && onKey_)
        onKey_(code);
}

void AlphaKeyboardView::singleTap(QPointF point)
{
    trackKey_ = keyAt(point);
    if (trackKey_ < 0)
        return;
    showPopoutKey(trackKey_, false);
    popTimer_.start();
    if (balloon_->selectedKey() >= 0)
        type(balloon_->selectedCode());
}

void AlphaKeyboardView::longTapBegan(QPointF point)
{
    popTimer_.stop();
    longPressing_ = true;
    trackKey_ = keyAt(point);
    if (trackKey_ < 0) {
        // Between keys: nothing is offered, and nothing from an earlier balloon is typed.
        balloon_->setSelectedKey(-1);
        return;
    }
    showPopoutKey(trackKey_, true);
}

void AlphaKeyboardView::pan(QPointF point)
{
    if (trackKey_ >= 0)
        balloon_->trackPt(point);
}

void AlphaKeyboardView::longTapEnded()
{
    longPressing_ = false;
    if (trackKey_ >= 0 && balloon_->selectedKey() >= 0)
        type(balloon_->selectedCode());
    hidePop();
}

void AlphaKeyboardView::hidePop()
{
    trackKey_ = -1;
    balloon_->hide();
}

void AlphaKeyboardView::touchedButton(int key)
{
    type(AlphaKeyTables::code(key, lowercase()));
}

void AlphaKeyboardView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    pressed_ = true;
    pressPoint_ = event->position();
    longPress_.start();
}

void AlphaKeyboardView::mouseMoveEvent(QMouseEvent* event)
{
    if (longPressing_)
        pan(event->position());
}

void AlphaKeyboardView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !pressed_)
        return;
    pressed_ = false;
    if (longPressing_) {
        pan(event->position());
        longTapEnded();
        return;
    }
    longPress_.stop();
    singleTap(pressPoint_);
}

} // namespace orvenda
