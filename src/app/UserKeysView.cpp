#include "app/UserKeysView.h"

#include "app/AppShell.h"
#include "app/EntryModel.h"
#include "app/NamedColors.h"
#include "core/Calculator.h"
#include "core/KeySets.h"
#include "core/NotificationCenter.h"
#include "core/NotificationNames.h"
#include "pretty/FontMap.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPointer>
#include <QToolButton>

namespace orvenda {

UserKeysView::UserKeysView(Calculator& calc, AppShell& shell, QWidget* parent)
    : QWidget(parent), calc_(calc), shell_(shell)
{
    setAttribute(Qt::WA_TranslucentBackground);
    for (int tag = 0; tag < kKeys; ++tag) {
        auto* button = new QToolButton(this);
        button->setFocusPolicy(Qt::NoFocus);
        button->setAutoRaise(true);
        button->setStyleSheet(QStringLiteral("QToolButton { border: none; padding: 0; }"));
        connect(button, &QToolButton::clicked, this, [this, tag] { userKey(tag); });
        buttons_[static_cast<std::size_t>(tag)] = button;
    }
}

void UserKeysView::resizeEvent(QResizeEvent*) { redrawKeys(); }

void UserKeysView::userKey(int tag)
{
    // While a run holds the keys the row's key waits its turn like any other, then types
    // into the line in front in the shift layer of that moment.
    shell_.keys().press(
        [self = QPointer<UserKeysView>(this), tag] {
            if (self)
                self->typeKey(tag);
        },
        0);
}

void UserKeysView::typeKey(int tag)
{
    const int slot = tag + (calc_.secondShift ? kKeys : 0);
    auto ops = KeySets::userKeyOps(calc_, slot).value_or(Calculator::Ops{});
    auto* entry = dynamic_cast<EntryModel*>(calc_.entryManager.get());
    const bool enter = !ops.empty() && ops.back() == static_cast<std::uint32_t>(Calculator::kEnterKey);
    if (enter)
        ops.pop_back();
    if (entry && !ops.empty())
        entry->addOpsAsTyped(ops, calc_.insert != 0);
    calc_.secondShift = false;
    calc_.alphaShift = false;
    calc_.alphaLock = false;
    if (enter)
        shell_.keys().processKeyOp(static_cast<std::uint32_t>(Calculator::kEnterKey));
    calc_.notificationCenter().post(VQRedrawKeyboard, this);
}

QImage UserKeysView::userKeyImage(const Calculator& calc, int slot, QSize size, double scale, Fill fill,
    const QColor& secondInk)
{
    if (size.width() <= 0 || size.height() <= 0)
        return {};
    QImage image(size * scale, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const QRectF bounds(QPointF(0, 0), QSizeF(size));
    if (fill == Fill::Translucent)
        painter.fillRect(bounds, QColor(128, 128, 128, 128));
    else if (fill == Fill::Opaque)
        painter.fillRect(bounds, QColor(128, 128, 128));
    const auto labelOf = [&calc](int s) {
        auto label = KeySets::userKeyTitle(calc, s);
        if (!label || label->empty())
            label = KeySets::userKeyOps(calc, s);
        return label && !label->empty() ? QString::fromStdString(calc.stringFromOps(*label)) : QString();
    };
    if (const QString plain = labelOf(slot); !plain.isEmpty()) {
        const QFont font = FontMap::shared().font("Helvetica-Bold", 14);
        painter.setFont(font);
        painter.setPen(namedColor("fontColor"));
        const double top = (size.height() - 14) / 2.0 + 4;
        painter.drawText(QRectF(0, top - 4, size.width(), size.height() - top + 4), Qt::AlignHCenter | Qt::AlignTop,
            plain);
    }
    if (const QString second = labelOf(slot + kKeys); !second.isEmpty()) {
        painter.setFont(FontMap::shared().font("Helvetica", 12));
        painter.setPen(secondInk);
        painter.drawText(QRectF(1, 0, size.width() - 1, 14), Qt::AlignLeft | Qt::AlignTop, second);
    }
    return image;
}

void UserKeysView::redrawKeys()
{
    const double step = width() / double(kKeys);
    const int w = std::max(0, static_cast<int>(step - 2));
    const QColor second = namedColor("2ndColor");
    for (int tag = 0; tag < kKeys; ++tag) {
        QToolButton* button = buttons_[static_cast<std::size_t>(tag)];
        button->setGeometry(QRect(1 + static_cast<int>(tag * (w + 2)), 0, w, height()));
        const QImage image = userKeyImage(calc_, tag, button->size(), devicePixelRatioF(), Fill::Translucent, second);
        button->setIconSize(button->size());
        button->setIcon(QIcon(QPixmap::fromImage(image)));
    }
}

} // namespace orvenda
