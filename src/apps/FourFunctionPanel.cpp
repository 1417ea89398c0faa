#include "apps/FourFunctionPanel.h"

#include "core/Calculator.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

namespace orvenda {

namespace {

// Button tag → key code, and each button's caption, in the grid's order (four columns).
constexpr std::array<int, FourFunctionPanel::kButtonCount> kCodes = {
    11, 12, 13, 14, 7, 8, 9, 16, 4, 5, 6, 15, 1, 2, 3, 12, 0, 10,
};
const char* const kCaptions[FourFunctionPanel::kButtonCount] = {
    "C", "=", "÷", "×", "7", "8", "9", "−", "4", "5", "6", "+", "1", "2", "3", "=", "0", ".",
};

constexpr int kBarHeight = 44;

} // namespace

FourFunctionPanel::FourFunctionPanel(Calculator& calc, QWidget* parent)
    : ScreenController(calc, parent), desk_(calc.numberFormatter().settings),
      done_(new QPushButton(QStringLiteral("Done"), this)), display_(new QLabel(this)), smallDisplay_(new QLabel(this))
{
    setFocusPolicy(Qt::StrongFocus);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(40, 40, 44));
    palette.setColor(QPalette::WindowText, Qt::white);
    setPalette(palette);
    done_->setFocusPolicy(Qt::NoFocus);
    connect(done_, &QPushButton::clicked, this, [this] { leave(); });
    display_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    smallDisplay_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    for (int tag = 0; tag < kButtonCount; ++tag) {
        auto* b = new QPushButton(QString::fromUtf8(kCaptions[tag]), this);
        b->setFocusPolicy(Qt::NoFocus);
        connect(b, &QPushButton::clicked, this, [this, tag] { press(tag); });
        buttons_[static_cast<std::size_t>(tag)] = b;
    }
    updateDisplay();
}

void FourFunctionPanel::resizeEvent(QResizeEvent*)
{
    done_->setGeometry(6, 6, 80, kBarHeight - 12);
    smallDisplay_->setGeometry(90, 4, std::max(0, width() - 96), kBarHeight - 8);
    const int displayHeight = std::max(40, height() / 6);
    display_->setGeometry(8, kBarHeight, std::max(0, width() - 16), displayHeight);
    QFont big = font();
    big.setPixelSize(displayHeight * 2 / 3);
    display_->setFont(big);
    const int top = kBarHeight + displayHeight + 4;
    const int rows = 5;
    const int cellW = width() / 4;
    const int cellH = std::max(0, (height() - top) / rows);
    for (int tag = 0; tag < kButtonCount; ++tag)
        buttons_[static_cast<std::size_t>(tag)]->setGeometry((tag % 4) * cellW + 2, top + (tag / 4) * cellH + 2, cellW - 4,
                                                             cellH - 4);
}

void FourFunctionPanel::updateDisplay()
{
    const QString shown = text();
    display_->setText(shown);
    smallDisplay_->setText(shown);
}

QString FourFunctionPanel::text() const { return QString::fromStdString(desk_.text()); }

void FourFunctionPanel::press(int tag)
{
    if (tag < 0 || tag >= kButtonCount)
        return;
    if (keyClick)
        keyClick();
    desk_.key(kCodes[static_cast<std::size_t>(tag)]);
    updateDisplay();
}

void FourFunctionPanel::keyPressEvent(QKeyEvent* event)
{
    const QString typed = event->text();
    const auto tagOf = [](int code) {
        return static_cast<int>(std::find(kCodes.begin(), kCodes.end(), code) - kCodes.begin());
    };
    if (event->key() == Qt::Key_Escape) {
        leave();
        return;
    }
    int code = -1;
    if (typed.size() == 1 && typed[0].isDigit())
        code = typed[0].digitValue();
    else if (typed == QLatin1String("."))
        code = FourFunctionCalc::Point;
    else if (typed == QLatin1String("+"))
        code = FourFunctionCalc::Plus;
    else if (typed == QLatin1String("-"))
        code = FourFunctionCalc::Minus;
    else if (typed == QLatin1String("*"))
        code = FourFunctionCalc::Times;
    else if (typed == QLatin1String("/"))
        code = FourFunctionCalc::Divide;
    else if (typed == QLatin1String("=") || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        code = FourFunctionCalc::Equals;
    else if (typed.compare(QLatin1String("c"), Qt::CaseInsensitive) == 0 || event->key() == Qt::Key_Delete)
        code = FourFunctionCalc::Clear;
    if (code < 0) {
        ScreenController::keyPressEvent(event);
        return;
    }
    press(tagOf(code));
}

void FourFunctionPanel::setDoneShown(bool shown) { done_->setVisible(shown); }

QWidget* FourFunctionPanel::leaveControl() const { return done_->isHidden() ? nullptr : done_; }

} // namespace orvenda
