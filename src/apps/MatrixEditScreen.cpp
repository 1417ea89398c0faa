#include "apps/MatrixEditScreen.h"

#include "app/LcdView.h"
#include "apps/MatrixEditView.h"
#include "apps/MatrixView.h"
#include "core/Calculator.h"
#include "pretty/FontMap.h"

#include <QKeyEvent>
#include <QPushButton>

namespace orvenda {

namespace {

constexpr int kBarHeight = 36;

} // namespace

MatrixEditScreen::MatrixEditScreen(Calculator& calc, AppShell& shell, QWidget* parent)
    : ScreenController(calc, parent), lcd_(new LcdView(calc, this)), editor_(new MatrixEditView(calc, shell, this)),
      done_(new QPushButton(QStringLiteral("Done"), this))
{
    done_->setFont(FontMap::shared().font("Helvetica-Bold", 14));
    done_->setFocusPolicy(Qt::NoFocus);
    connect(done_, &QPushButton::clicked, this, [this] { leave(); });
    editor_->displayType(MatrixView::Matrix);
}

QRect MatrixEditScreen::cursorRect() const { return editor_->cellRect(*this); }

QWidget* MatrixEditScreen::leaveControl() const { return done_; }

void MatrixEditScreen::subscribe()
{
    for (const auto& entry : editor_->keyActions())
        observe(entry.first, [action = entry.second](const Notification&) { action(); });
}

void MatrixEditScreen::shown(const ScreenRequest& request)
{
    editor_->editMatrix(request.number);
    editor_->syncViews();
}

nlohmann::json MatrixEditScreen::typedPlace() const
{
    nlohmann::json place = editor_->place();
    place["n"] = calc().editMatrix;
    return place;
}

void MatrixEditScreen::restoreTypedPlace(const nlohmann::json& place) { editor_->restorePlace(place); }

void MatrixEditScreen::focus(bool gained)
{
    ScreenController::focus(gained);
    if (gained) {
        lcd_->update();
        editor_->updateDisplay();
    }
}

void MatrixEditScreen::updateDisplay()
{
    lcd_->update();
    editor_->updateDisplay();
}

void MatrixEditScreen::resizeEvent(QResizeEvent*)
{
    lcd_->setGeometry(rect());
    editor_->setGeometry(0, 0, width(), height() - kBarHeight - 4);
    done_->setGeometry(4, height() - kBarHeight - 2, 72, kBarHeight);
    lcd_->lower();
}

void MatrixEditScreen::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        leave();
        return;
    }
    ScreenController::keyPressEvent(event);
}

} // namespace orvenda
