#include "apps/MatrixPromptScreen.h"

#include "app/LcdView.h"
#include "app/ScreenRouter.h"
#include "core/NotificationNames.h"
#include "pretty/FontMap.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSlider>

#include <algorithm>
#include <cmath>

namespace orvenda {

namespace {

// The sliders run in hundredths so a drag can stop between whole values.
constexpr int kScale = 100;
// The height the title, the two rows and the buttons take at their full size, and the
// least height of a row packed closer.
constexpr int kFullHeight = 190;
constexpr int kLeastRow = 28;

} // namespace

MatrixPromptScreen::MatrixPromptScreen(Calculator& calc, ScreenRouter& router, QWidget* parent)
    : ScreenController(calc, parent), router_(router), lcd_(new LcdView(calc, this)),
      title_(new QLabel(QStringLiteral("MATRIX DIMENSIONS"), this)), rowSlider_(new QSlider(Qt::Horizontal, this)),
      colSlider_(new QSlider(Qt::Horizontal, this)), rowLabel_(new QLabel(this)), colLabel_(new QLabel(this)),
      rowName_(new QLabel(QStringLiteral("Rows"), this)), colName_(new QLabel(QStringLiteral("Columns"), this)),
      ok_(new QPushButton(QStringLiteral("OK"), this)), cancel_(new QPushButton(QStringLiteral("Cancel"), this))
{
    const QFont font = FontMap::shared().font("Helvetica-Bold", 16);
    title_->setAlignment(Qt::AlignCenter);
    for (QLabel* label : {title_, rowLabel_, colLabel_, rowName_, colName_}) {
        label->setFont(font);
        label->setStyleSheet(QStringLiteral("color: black; background: transparent;"));
    }
    for (QLabel* label : {rowLabel_, colLabel_})
        label->setAlignment(Qt::AlignCenter);
    for (QSlider* slider : {rowSlider_, colSlider_}) {
        slider->setRange(kMin * kScale, kMax * kScale);
        slider->setFocusPolicy(Qt::NoFocus);
        connect(slider, &QSlider::sliderReleased, this, [this, slider] { showValue(slider); });
        // While the thumb moves the label follows it; the thumb snaps when let go.
        connect(slider, &QSlider::valueChanged, this, [this, slider] { showValue(slider, !slider->isSliderDown()); });
    }
    for (QPushButton* button : {ok_, cancel_}) {
        button->setFont(font);
        button->setFocusPolicy(Qt::NoFocus);
    }
    connect(ok_, &QPushButton::clicked, this, [this] { ok(); });
    connect(cancel_, &QPushButton::clicked, this, [this] { leave(); });
    shown({});
}

QWidget* MatrixPromptScreen::leaveControl() const { return cancel_; }

int MatrixPromptScreen::whole(const QSlider& slider)
{
    // Halves away from zero: 3.5 is 4.
    return static_cast<int>(std::lround(static_cast<double>(slider.value()) / kScale));
}

int MatrixPromptScreen::rows() const { return whole(*rowSlider_); }
int MatrixPromptScreen::cols() const { return whole(*colSlider_); }
QString MatrixPromptScreen::rowText() const { return rowLabel_->text(); }
QString MatrixPromptScreen::colText() const { return colLabel_->text(); }

void MatrixPromptScreen::shown(const ScreenRequest&)
{
    // 2 × 2 every time; the selected slider stays.
    for (QSlider* slider : {rowSlider_, colSlider_}) {
        const QSignalBlocker quiet(slider);
        slider->setValue(2 * kScale);
    }
    rowLabel_->setText(QStringLiteral("2"));
    colLabel_->setText(QStringLiteral("2"));
    showValue(selected_ == 1 ? colSlider_ : rowSlider_);
}

void MatrixPromptScreen::showValue(QSlider* slider, bool snap)
{
    for (QLabel* label : {rowLabel_, colLabel_})
        label->setStyleSheet(QStringLiteral("color: black; background: transparent;"));
    QLabel* label = slider == colSlider_ ? colLabel_ : rowLabel_;
    const int value = whole(*slider);
    label->setText(QString::number(value));
    label->setStyleSheet(QStringLiteral("color: black; background: white;"));
    if (!snap)
        return;
    const QSignalBlocker quiet(slider);
    slider->setValue(value * kScale);
}

void MatrixPromptScreen::cursorUpDown()
{
    selected_ = selected_ == 0 ? 1 : 0;
    showValue(selected_ == 1 ? colSlider_ : rowSlider_);
}

void MatrixPromptScreen::cursorLeftRight(int step)
{
    QSlider* slider = selected_ == 1 ? colSlider_ : rowSlider_;
    const int value = std::clamp(whole(*slider) + step, kMin, kMax);
    {
        const QSignalBlocker quiet(slider);
        slider->setValue(value * kScale);
    }
    showValue(slider);
}

void MatrixPromptScreen::ok() { router_.setRowCol(rows(), cols()); }

void MatrixPromptScreen::subscribe()
{
    observe(VQCursorUp, [this](const Notification&) { cursorUpDown(); });
    observe(VQCursorDown, [this](const Notification&) { cursorUpDown(); });
    observe(VQCursorLeft, [this](const Notification&) { cursorLeftRight(-1); });
    observe(VQCursorRight, [this](const Notification&) { cursorLeftRight(1); });
    observe(VQEnter, [this](const Notification&) { ok(); });
}

void MatrixPromptScreen::resizeEvent(QResizeEvent*)
{
    lcd_->setGeometry(rect());
    const int w = width();
    // A display too short for the rows' full height (a phone on its side) packs them closer.
    const bool compact = height() < kFullHeight;
    const int row = compact ? std::max(kLeastRow, (height() - 76) / 2) : 44;
    const int top = compact ? 34 : 50, gap = compact ? 4 : 10;
    title_->setGeometry(0, compact ? 2 : 8, w, 30);
    rowName_->setGeometry(12, top, 90, row);
    rowSlider_->setGeometry(104, top, w - 170, row);
    rowLabel_->setGeometry(w - 60, top + (row - 28) / 2, 40, 28);
    colName_->setGeometry(12, top + row, 90, row);
    colSlider_->setGeometry(104, top + row, w - 170, row);
    colLabel_->setGeometry(w - 60, top + row + (row - 28) / 2, 40, 28);
    cancel_->setGeometry(w / 2 - 130, top + 2 * row + gap, 110, 34);
    ok_->setGeometry(w / 2 + 20, top + 2 * row + gap, 110, 34);
}

void MatrixPromptScreen::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        leave();
        return;
    }
    ScreenController::keyPressEvent(event);
}

} // namespace orvenda
