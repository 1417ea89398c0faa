#include "app/PrettyView.h"

#include "app/AppShell.h"
#include "app/EntryModel.h"
#include "app/NamedColors.h"
#include "core/Calculator.h"

#include <QPainter>

namespace orvenda {

PrettyView::PrettyView(Calculator& calc, AppShell& shell, QWidget* parent)
    : DrawnView(parent), calc_(calc), shell_(shell)
{
    setAccessibleDescription(QStringLiteral("Entry field"));
}

PrettyPrint& PrettyView::engine() const
{
    if (!calc_.prettyPrint)
        calc_.prettyPrint = std::make_shared<PrettyPrint>();
    return *calc_.prettyPrint;
}

int PrettyView::entryCursor() const
{
    const auto* entry = dynamic_cast<const EntryModel*>(calc_.entryManager.get());
    return entry ? entry->entryCursor() : PrettyPrint::kNoCursor;
}

QRectF PrettyView::setOps(const PrettyPrint::Ops& ops)
{
    return engine().setMutableOps(ops, entryCursor(), calc_.insert, calc_.baseFontSize);
}

void PrettyView::adjustCursorMode()
{
    // Past the last op there is nothing to write over: the mode stays as it is.
    const PrettyPrint& e = engine();
    const int cursor = entryCursor();
    const bool onOp = cursor >= 0 && cursor < static_cast<int>(e.inputOps().size());
    cursorMode_ = calc_.insert != 0 || (onOp && !e.canOverwriteAt(cursor)) ? 1 : 0;
}

QRectF PrettyView::hitRectForIndex(int i) const { return engine().offsetHitRectForIndex(i); }

bool PrettyView::canOverwriteAt(int i) const { return engine().canOverwriteAt(i); }

QRectF PrettyView::printRect() const { return engine().printRect(); }

void PrettyView::paintContent(QPainter& painter, const QRectF& rect)
{
    PrettyPrint& e = engine();
    const auto* entry = dynamic_cast<const EntryModel*>(calc_.entryManager.get());
    if (entry && e.inputOps() != entry->entryOps()) {
        // Another field used the shared engine meanwhile.
        setOps(entry->entryOps());
    }
    painter.setPen(namedColor("fontColor"));
    e.drawAt(painter, QPointF(0, 0), entryCursor(), cursorMode_, shell_.keys().cursorChar(), rect);
    if (entry)
        setAccessibleName(QString::fromStdString(calc_.speakFromOps(entry->entryOps())));
}

} // namespace orvenda
