#include "app/PlaceholderScreen.h"

#include "app/LcdView.h"
#include "pretty/FontMap.h"

#include <QLabel>

namespace orvenda {

namespace {

constexpr int kTitleHeight = 28;

} // namespace

PlaceholderScreen::PlaceholderScreen(Calculator& calc, const QString& title, QWidget* parent)
    : ScreenController(calc, parent), background_(new LcdView(calc, this)), title_(new QLabel(title, this))
{
    title_->setAlignment(Qt::AlignCenter);
    title_->setFont(FontMap::shared().font("Helvetica-Bold", 16));
    title_->setStyleSheet(QStringLiteral("color: black; background: transparent;"));
}

QString PlaceholderScreen::title() const { return title_->text(); }

void PlaceholderScreen::resizeEvent(QResizeEvent*)
{
    background_->setGeometry(rect());
    title_->setGeometry(0, 4, width(), kTitleHeight);
}

} // namespace orvenda
