#include "programs/ProgramOutputScreen.h"

#include "core/Calculator.h"
#include "core/NotificationCenter.h"
#include "core/NotificationNames.h"
#include "drawing/GraphicsContext.h"
#include "drawing/VQRender.h"
#include "eval/Parser.h"
#include "input/KeyTables.h"
#include "pretty/FontMap.h"
#include "programs/ProgramOutputModel.h"
#include "programs/ProgramOutputView.h"

#include <QPainter>
#include <QPushButton>

namespace orvenda {

namespace {

constexpr double kMargin = 3;

} // namespace

ProgramOutputScreen::ProgramOutputScreen(Calculator& calc, const ProgramOutputModel& model, QWidget* parent)
    : ScreenController(calc, parent), model_(model), view_(new ProgramOutputView(calc, model, this)),
      quit_(new QPushButton(QStringLiteral("Quit"), this)), titleHeight_(calc.device == 1 ? 34 : 25)
{
    quit_->setFocusPolicy(Qt::NoFocus);
    quit_->setFont(FontMap::shared().font("Helvetica-Bold", calc.device == 1 ? 16 : 13));
    quit_->setStyleSheet(QStringLiteral("QPushButton { color: white; background: rgba(255,255,255,40);"
                                        " border: 1px solid rgba(255,255,255,150); border-radius: 4px; padding: 0 8px; }"
                                        "QPushButton:pressed { background: rgba(0,0,0,60); }"));
    connect(quit_, &QPushButton::clicked, this, [this] { quit(); });
}

void ProgramOutputScreen::subscribe()
{
    // Only the grid changes with the text and the blink.
    const auto redraw = [this](const Notification&) { view_->update(); };
    observe(VQUpdatePgmOutput, redraw);
    observe(VQBlinkCursor, redraw);
    // QUIT (and Escape, which the keyboard makes QUIT) leaves the screen even while the
    // program owns the keys. A program waiting for its answer, pick or ENTER keeps this
    // screen as the home screen QUIT goes to: only ON or the Quit button breaks it.
    observe(VQKeyPress, [this](const Notification& n) {
        if (isVisible() && n.userInfo.value("shiftedOp", 0u) == KeyTables::kQuit && !calc().question().waitsForUser())
            quit();
    });
}

void ProgramOutputScreen::quit()
{
    Calculator& c = calc();
    Parser& parser = c.parser();
    if (c.programRunning || c.question().waitsForUser()) {
        parser.stopProgramThread();
        return;
    }
    c.notificationCenter().post(VQHideProgramOutput, this);
}

void ProgramOutputScreen::updateDisplay()
{
    view_->update();
    update();
}

void ProgramOutputScreen::resizeEvent(QResizeEvent*)
{
    const double w = std::max(0, width());
    const double h = std::max(0, height());
    const double buttonHeight = std::max(0.0, titleHeight_ - 6);
    const QFontMetrics metrics(quit_->font());
    const int buttonWidth = metrics.horizontalAdvance(quit_->text()) + 20;
    quit_->setGeometry(static_cast<int>(w - kMargin - 4 - buttonWidth), static_cast<int>(kMargin + 3), buttonWidth,
                       static_cast<int>(buttonHeight));
    const double top = kMargin + titleHeight_ + 1;
    view_->setGeometry(QRectF(kMargin + 1, top, std::max(0.0, w - 2 * kMargin - 2), std::max(0.0, h - top - kMargin - 1))
                           .toRect());
}

void ProgramOutputScreen::paintEvent(QPaintEvent*)
{
    if (width() <= 2 * kMargin || height() <= 2 * kMargin)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    GraphicsContext context(painter);
    const auto render = VQRender::vqRender(context);
    const QRectF frame = QRectF(rect()).adjusted(kMargin, kMargin, -kMargin, -kMargin);
    const QRectF band(frame.x(), frame.y(), frame.width(), titleHeight_);
    const QRectF display(frame.x(), band.bottom(), frame.width(), std::max(0.0, frame.height() - titleHeight_));
    // The display area, its outline and the line under the band. A gradient takes no fill
    // bit: the fill would cover it.
    render->RGBFillR(196, 227, 253, 1);
    render->RGBGradientR(168, 214, 253, 1, 0.5);
    render->DrawRect(display, VQRender::kVerticalGradient);
    render->RGBStrokeR(0, 31, 73, 1, 1);
    render->DrawRect(display, VQRender::kStroke);
    // The title band, rounded at the top.
    render->RGBFillR(37, 81, 193, 1);
    render->RGBGradientR(0, 102, 204, 1, 0.5);
    render->DrawRRect(band, 4, 4, 0, 0, VQRender::kVerticalGradient);
    render->DrawLineP1(QPointF(band.left(), VQRender::halfGrid(band.bottom())),
                       QPointF(band.right(), VQRender::halfGrid(band.bottom())));
    // The outer frame with its shadow.
    render->RGBShadowR(0, 0, 0, 0.5, QSizeF(1, 1), 4);
    render->RGBStrokeR(20, 20, 20, 0.5, 2);
    render->DrawRRect(frame, 4, 4, 4, 4, VQRender::kStroke);
    render->RGBShadowR(0, 0, 0, 0, QSizeF(), 0);
    // The program's name in the band.
    const std::string name = model_.programName();
    painter.setPen(Qt::white);
    painter.setFont(FontMap::shared().font("Helvetica-Bold", calc().device == 1 ? 18 : 14));
    const QRectF label = band.adjusted(8, 0, -(quit_->width() + 12), 0);
    painter.drawText(label, Qt::AlignVCenter | Qt::AlignLeft,
                     painter.fontMetrics().elidedText(QStringLiteral("Program:%1").arg(QString::fromStdString(name)),
                                                      Qt::ElideRight, static_cast<int>(label.width())));
}

} // namespace orvenda
