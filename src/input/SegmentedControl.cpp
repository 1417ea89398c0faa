#include "input/SegmentedControl.h"

#include <QColor>
#include <QHBoxLayout>
#include <QToolButton>

namespace orvenda {

namespace {

// A tool button takes "&" as the mark of a shortcut letter; a segment's title is plain text.
QString shownText(QString title) { return title.replace(QLatin1Char('&'), QLatin1String("&&")); }

} // namespace

SegmentedControl::SegmentedControl(const QStringList& titles, QWidget* parent) : QWidget(parent)
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    for (int i = 0; i < titles.size(); ++i) {
        auto* button = new QToolButton(this);
        button->setText(shownText(titles[i]));
        button->setCheckable(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        connect(button, &QToolButton::clicked, this, [this, i] { click(i); });
        row->addWidget(button);
        buttons_.push_back(button);
    }
    setSelected(0);
}

void SegmentedControl::setSelected(int index)
{
    if (index < 0 || index >= count())
        return;
    selected_ = index;
    for (int i = 0; i < count(); ++i)
        buttons_[static_cast<std::size_t>(i)]->setChecked(i == index);
}

QString SegmentedControl::title(int index) const
{
    return index >= 0 && index < count() ? buttons_[static_cast<std::size_t>(index)]->text().replace(QLatin1String("&&"), QLatin1String("&"))
                                         : QString();
}

void SegmentedControl::setTitle(int index, const QString& title)
{
    if (index >= 0 && index < count())
        buttons_[static_cast<std::size_t>(index)]->setText(shownText(title));
}

void SegmentedControl::setIcon(int index, const QIcon& icon)
{
    if (index >= 0 && index < count())
        buttons_[static_cast<std::size_t>(index)]->setIcon(icon);
}

void SegmentedControl::click(int index)
{
    if (index < 0 || index >= count())
        return;
    setSelected(index);
    if (changed)
        changed(index);
}

namespace {

QString inkOn(const QColor& colour) { return colour.lightnessF() < 0.5 ? QStringLiteral("white") : QStringLiteral("black"); }

// Segments outlined and titled in the ink, the chosen one filled with it: the choice stands
// out as plainly as the titles do. Little room at the titles' sides: segments share what
// the row has, and the row fits a narrow window.
QString segmentRules(const QColor& colour)
{
    return QStringLiteral(" QToolButton { color: %2; background: %1; border: 1px solid %2; padding: 2px 3px; }"
                          " QToolButton:checked { color: %1; background: %2; }")
        .arg(colour.name(), inkOn(colour));
}

} // namespace

void SegmentedControl::setBackColor(const QColor& colour) { setStyleSheet(segmentRules(colour)); }

void SegmentedControl::styleBar(QWidget& bar, const QColor& colour)
{
    bar.setStyleSheet(QStringLiteral("QWidget { background: %1; } QPushButton { color: %2; border: none; padding: 2px 6px; }")
                          .arg(colour.name(), inkOn(colour))
                      + segmentRules(colour));
}

} // namespace orvenda
