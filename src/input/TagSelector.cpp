#include "input/TagSelector.h"

#include "app/CurrentRowKeeper.h"
#include "app/NamedColors.h"
#include "app/OverlaySlide.h"
#include "pretty/FontMap.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QTabBar>
#include <QVBoxLayout>

#include <algorithm>

namespace orvenda {

namespace {

constexpr int kSlideMs = 300;

} // namespace

TagSelector::TagSelector(TagSelectorDelegate& delegate, QWidget* parent)
    : QWidget(parent), delegate_(delegate), types_(new QTabBar(this)), list_(new QListWidget(this))
{
    CurrentRowKeeper::keep(*list_);
    setAutoFillBackground(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    auto* bar = new QHBoxLayout;
    bar->addWidget(types_);
    bar->addStretch();
    bar->addWidget(cancel);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(4, 4, 4, 4);
    column->addLayout(bar);
    column->addWidget(list_);
    for (const char* title : {"All", "User", "Lumbrix"})
        types_->addTab(QString::fromLatin1(title));
    types_->setExpanding(false);
    types_->setDrawBase(false);
    types_->setUsesScrollButtons(false);
    types_->setElideMode(Qt::ElideNone);
    // The three sources read on the bar's colour: outlined tabs in the tint, the chosen one
    // filled with it.
    paintAsBar(this);
    const QColor fill = namedColor("barColor");
    const QString tint = fill.lightnessF() < 0.5 ? QStringLiteral("white") : QStringLiteral("black");
    types_->setStyleSheet(QStringLiteral("QTabBar::tab { color: %1; background: transparent; border: 1px solid %1;"
                                         " padding: 3px 6px; }"
                                         "QTabBar::tab:selected { color: %2; background: %1; }")
                              .arg(tint, fill.name()));
    list_->setFont(FontMap::shared().font("Helvetica", 17));
    // The keys stay with the menu, which passes them to the picker while it shows.
    for (QWidget* part : std::initializer_list<QWidget*>{list_, types_, cancel})
        part->setFocusPolicy(Qt::NoFocus);
    connect(list_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) { pickRow(list_->row(item)); });
    connect(cancel, &QPushButton::clicked, this, [this] { this->cancel(); });
    connect(types_, &QTabBar::tabBarClicked, this, [this](int type) { switchSource(type); });
    // In from the right over the parent's full size, as the parent stands at each step.
    slide_ = new OverlaySlide(*this, [this](double in) {
        if (!parentWidget())
            return;
        const QRect full = parentWidget()->rect();
        setGeometry(OverlaySlide::between(full.translated(full.width(), 0), full, in));
    }, kSlideMs);
    slide_->arrived = [this](bool in) {
        if (!in)
            hide();
    };
    hide();
}

void TagSelector::startWithTag(const std::string& tag, int type)
{
    tags_ = delegate_.tagNames();
    list_->clear();
    for (const std::string& name : tags_)
        list_->addItem(QString::fromStdString(name));
    int row = 0;
    // Row 0 ("Show All") stands for no tag; a user tag of that text sits further down.
    for (std::size_t i = 1; i < tags_.size(); ++i)
        if (tags_[i] == tag)
            row = static_cast<int>(i);
    if (list_->count() > 0)
        list_->setCurrentRow(row);
    setType(type);
}

void TagSelector::setType(int type) { types_->setCurrentIndex(type >= 0 && type <= 2 ? type : 0); }

void TagSelector::switchSource(int type)
{
    if (type < 0 || type > 2)
        return;
    setType(type);
    const int row = selectedRow();
    const std::string tag = row > 0 && row < static_cast<int>(tags_.size()) ? tags_[static_cast<std::size_t>(row)] : "";
    switching_ = true;
    delegate_.didSelectTag(tag, type);
    switching_ = false;
    startWithTag(tag, type);
}

int TagSelector::type() const { return types_->currentIndex(); }

int TagSelector::selectedRow() const { return list_->currentRow(); }

QStringList TagSelector::rowTitles() const
{
    QStringList titles;
    for (int i = 0; i < list_->count(); ++i)
        titles << list_->item(i)->text();
    return titles;
}

QSize TagSelector::viewSize() const { return {320, 400}; }

void TagSelector::showView(bool show)
{
    if (!parentWidget())
        return;
    if (show) {
        QWidget::show();
        raise();
    }
    slide_->slide(show);
}

void TagSelector::placeView() const { slide_->place(); }

void TagSelector::pickRow(int row)
{
    if (row < 0 || row >= static_cast<int>(tags_.size()))
        return;
    list_->setCurrentRow(row);
    delegate_.didSelectTag(row == 0 ? std::string() : tags_[static_cast<std::size_t>(row)], type());
}

void TagSelector::moveRow(int by)
{
    if (list_->count() > 0)
        list_->setCurrentRow(std::clamp(selectedRow() + by, 0, list_->count() - 1));
}

void TagSelector::moveSource(int by)
{
    if (const int to = type() + by; to >= 0 && to <= 2)
        switchSource(to);
}

void TagSelector::cancel() { delegate_.tagSelectorDidCancel(); }

} // namespace orvenda
