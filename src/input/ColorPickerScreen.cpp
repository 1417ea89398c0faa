#include "input/ColorPickerScreen.h"

#include "core/Calculator.h"
#include "core/VColor.h"
#include "pretty/FontMap.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

namespace orvenda {

namespace {

constexpr int kPickerBarHeight = 44;

} // namespace

ColorPickerScreen::ColorPickerScreen(Calculator& calc, QWidget* parent)
    : ScreenController(calc, parent), navBar_(new QWidget(this)), title_(new QLabel(navBar_)),
      doneButton_(new QPushButton(QStringLiteral("Done"), navBar_)), picker_(new VQColorPicker(this))
{
    setObjectName(QStringLiteral("colorPickerScreen"));
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(QStringLiteral("#colorPickerScreen { background: rgb(50, 50, 56); } QLabel { color: white; }"));
    navBar_->setAttribute(Qt::WA_StyledBackground);
    auto* nav = new QHBoxLayout(navBar_);
    nav->setContentsMargins(12, 4, 8, 4);
    title_->setFont(FontMap::shared().font("Helvetica-Bold", 17));
    nav->addWidget(title_, 1);
    doneButton_->setFont(FontMap::shared().font("Helvetica-Bold", 17));
    doneButton_->setFlat(true);
    doneButton_->setFocusPolicy(Qt::NoFocus);
    doneButton_->setStyleSheet(QStringLiteral("color: white;"));
    nav->addWidget(doneButton_);
    connect(doneButton_, &QPushButton::clicked, this, [this] { done(); });
    picker_->setDelegate(this);
}

void ColorPickerScreen::configureColor(const VQColor& color, Receiver receiver, int mode, const QString& title)
{
    receiver_ = std::move(receiver);
    picker_->initColor(color);
    picker_->setMode(mode);
    title_->setText(title);
    const VColor bar = calc().interfaceColorIndex(7);
    navBar_->setStyleSheet(QStringLiteral("background: %1;").arg(QColor::fromRgbF(bar.r, bar.g, bar.b).name()));
}

QString ColorPickerScreen::title() const { return title_->text(); }

void ColorPickerScreen::changeColor(const VQColor& color)
{
    if (receiver_)
        receiver_(color);
}

void ColorPickerScreen::done()
{
    receiver_ = nullptr;
    if (colorPickerViewDone)
        colorPickerViewDone();
}

void ColorPickerScreen::resizeEvent(QResizeEvent*)
{
    navBar_->setGeometry(0, 0, width(), kPickerBarHeight);
    picker_->setGeometry(0, kPickerBarHeight, width(), height() - kPickerBarHeight);
}

void ColorPickerScreen::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        done();
    else
        ScreenController::keyPressEvent(event);
}

QWidget* ColorPickerScreen::leaveControl() const { return doneButton_; }

} // namespace orvenda
