#include "input/CatalogScreen.h"

#include "app/AppShell.h"
#include "app/KeyRouter.h"
#include "app/NamedColors.h"
#include "app/PageSlide.h"
#include "core/Calculator.h"
#include "eval/Parser.h"
#include "input/HelpPage.h"
#include "input/KeyCommands.h"
#include "input/KeyTables.h"
#include "input/MenuRowDelegate.h"
#include "input/SectionTable.h"
#include "pretty/FontMap.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace orvenda {

namespace {
constexpr int kBarHeight = 40;
constexpr int kSearchHeight = 32;
} // namespace

CatalogScreen::CatalogScreen(Calculator& calc, AppShell& shell, QWidget* parent)
    : ScreenController(calc, parent), shell_(shell), index_(calc), bar_(new QWidget(this)),
      title_(new QLabel(QStringLiteral("CATALOG"), bar_)), back_(new QPushButton(QStringLiteral("‹ Back"), bar_)),
      share_(new QPushButton(QStringLiteral("Share"), bar_)), close_(new QPushButton(QStringLiteral("Done"), bar_)),
      search_(new QLineEdit(this)), table_(new SectionTable(calc.device == 1, this)), help_(new HelpPage(calc, this))
{
    setFocusPolicy(Qt::StrongFocus);
    setAutoFillBackground(true);
    paintAsBar(bar_);
    auto* row = new QHBoxLayout(bar_);
    row->setContentsMargins(4, 2, 4, 2);
    row->addWidget(back_);
    row->addWidget(title_);
    row->addStretch();
    row->addWidget(share_);
    row->addWidget(close_);
    // The buttons as wide as their captions: in the upright column of a window on its
    // side the bar is too narrow for the title beside buttons of the style's width.
    for (QPushButton* w : {back_, share_, close_}) {
        w->setFocusPolicy(Qt::NoFocus);
        w->setMaximumWidth(w->fontMetrics().horizontalAdvance(w->text()) + 24);
    }
    title_->setFont(FontMap::shared().font("Helvetica-Bold", 16));
    back_->hide();
    share_->hide();
    help_->hide();
    pages_ = std::make_unique<PageSlide>(*this, *table_, [this] { return listArea(); });
    search_->setPlaceholderText(QStringLiteral("Search"));
    search_->installEventFilter(this);
    table_->clicked = [this](Place p, bool onDetail) { onDetail ? openHelp(p) : pick(p); };
    connect(search_, &QLineEdit::textEdited, this, [this](const QString& text) { selectString(text); });
    connect(back_, &QPushButton::clicked, this, [this] { popHelp(); });
    connect(close_, &QPushButton::clicked, this, [this] { done(); });
    connect(share_, &QPushButton::clicked, this, [this] {
        shell_.keys().doKeyClick();
        help_->share(helpFolder);
    });
    help_->failed = [this](const QString& message) {
        if (tell)
            tell(message);
    };
    help_->shared = [this](const QString& path) {
        if (!presentShare)
            return;
        ShareRequest request;
        request.files << path;
        request.subject = help_->functionName();
        presentShare(request);
    };
    fillTable();
}

CatalogScreen::~CatalogScreen() = default;

void CatalogScreen::fillTable()
{
    table_->clear();
    const auto& sections = index_.sections();
    for (std::size_t s = 0; s < sections.size(); ++s) {
        table_->addHeader(static_cast<int>(s), sections[s].title);
        for (std::size_t r = 0; r < sections[s].entries.size(); ++r) {
            const CatalogIndex::Entry& e = sections[s].entries[r];
            // Operators named with blanks around them (" and ") line up with the others.
            QString name = e.name;
            while (name.startsWith(QLatin1Char(' ')))
                name.remove(0, 1);
            table_->addRow({static_cast<int>(s), static_cast<int>(r)}, name,
                QString::fromStdString(calc().descriptionForOpcode(e.code)));
        }
    }
}

void CatalogScreen::updateDisplay()
{
    // Test mode may have changed since the rows were drawn.
    for (int i = 0; i < table_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* it = table_->topLevelItem(i);
        it->setData(0, MenuRowDelegate::StruckRole, struck(SectionTable::place(it)));
    }
}

bool CatalogScreen::struck(Place p) const
{
    const CatalogIndex::Entry* e = index_.entry(p);
    return e && calc().testMode == 1 && CatalogIndex::refusedInTestMode(e->code);
}

void CatalogScreen::focus(bool gained)
{
    ScreenController::focus(gained);
    if (!gained) {
        closeHelp();
        help_->clear();
    }
}

QString CatalogScreen::searchText() const { return search_->text(); }

// ---- Layout ----

void CatalogScreen::resizeEvent(QResizeEvent*) { layoutViews(); }

QRect CatalogScreen::listArea() const
{
    const int top = kBarHeight + kSearchHeight + 2;
    return {0, top, width(), std::max(0, height() - top)};
}

void CatalogScreen::layoutViews()
{
    bar_->setGeometry(0, 0, width(), kBarHeight);
    search_->setGeometry(4, kBarHeight, width() - 8, kSearchHeight);
    pages_->place();
    fitTitle();
}

void CatalogScreen::fitTitle()
{
    // The help page's bar says which function it helps with; the title whole where the
    // buttons leave room for it, else shortened with an ellipsis.
    const QString full = helpShown_ ? help_->functionName() : QStringLiteral("CATALOG");
    const QHBoxLayout& row = *static_cast<QHBoxLayout*>(bar_->layout());
    int room = bar_->contentsRect().width() - row.contentsMargins().left() - row.contentsMargins().right();
    for (const QPushButton* w : {back_, share_, close_})
        if (!w->isHidden())
            room -= std::min(w->sizeHint().width(), w->maximumWidth()) + row.spacing();
    const QString shown = title_->fontMetrics().elidedText(full, Qt::ElideRight, std::max(0, room - row.spacing()));
    title_->setText(shown);
    title_->setMinimumWidth(title_->fontMetrics().horizontalAdvance(shown));
}

// ---- Selection and search ----

void CatalogScreen::select(Place p)
{
    if (!index_.entry(p))
        return;
    selected_ = p;
    table_->showRow(p, QAbstractItemView::PositionAtTop);
}

void CatalogScreen::selectString(const QString& text) { select(index_.selectString(text)); }

void CatalogScreen::searchForString(const QString& text)
{
    search_->clear();
    if (text.size() == 1 && text.at(0).isLetter() && text.at(0).unicode() < 128) {
        search_->setText(text);
        search_->setFocus();
        selectString(text);
    }
}

void CatalogScreen::moveSelection(int by)
{
    const auto& sections = index_.sections();
    if (sections.empty() || sections.front().entries.empty())
        return;
    if (!selected_.valid()) {
        select({0, 0});
        return;
    }
    Place p = selected_;
    const int count = static_cast<int>(sections[static_cast<std::size_t>(p.section)].entries.size());
    if (by > 0) {
        if (p.row + 1 < count)
            ++p.row;
        else if (p.section + 1 < static_cast<int>(sections.size()))
            p = {p.section + 1, 0};
    } else {
        if (p.row > 0)
            --p.row;
        else if (p.section > 0)
            p = {p.section - 1, static_cast<int>(sections[static_cast<std::size_t>(p.section - 1)].entries.size()) - 1};
    }
    select(p);
}

// ---- Picking, help and closing ----

void CatalogScreen::pick(Place p)
{
    const CatalogIndex::Entry* e = index_.entry(p);
    // The list under a help page picks nothing.
    if (!e || helpShown_)
        return;
    shell_.keys().doKeyClick();
    if (struck(p)) {
        done();
        return;
    }
    select(p);
    const std::uint32_t code = e->code;
    hide();
    if (picked)
        picked(code);
}

void CatalogScreen::openHelp(Place p)
{
    const CatalogIndex::Entry* e = index_.entry(p);
    if (!e || helpShown_)
        return;
    shell_.keys().doKeyClick();
    select(p);
    // The help page goes by the vocabulary name, also for "n/d" and "Un/d".
    help_->showFunction(QString::fromStdString(calc().nameForOpcode(e->code)),
        QString::fromStdString(calc().descriptionForOpcode(e->code)));
    helpShown_ = true;
    back_->show();
    share_->show();
    fitTitle();
    pages_->push(*help_);
}

void CatalogScreen::popHelp()
{
    if (!helpShown_)
        return;
    helpShown_ = false;
    back_->hide();
    share_->hide();
    fitTitle();
    pages_->pop();
}

void CatalogScreen::closeHelp()
{
    // Opened again, the catalogue shows its list where it belongs, whatever slide ran.
    pages_->close();
    helpShown_ = false;
    back_->hide();
    share_->hide();
    layoutViews();
}

void CatalogScreen::done()
{
    closeHelp();
    hide();
    if (closed)
        closed();
}

// ---- Keys ----

void CatalogScreen::keyPressEvent(QKeyEvent* event)
{
    // ON stays in reach while the catalogue covers the keyboard: it stops a running entry.
    static const KeyCommands commands;
    if (commands.opFor(*event) == KeyTables::kOn) {
        calc().parser().stopProgramThread();
        return;
    }
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    if (mods == Qt::ControlModifier) {
        if (event->key() == Qt::Key_I && !helpShown_ && !index_.sections().empty())
            openHelp(selected_.valid() ? selected_ : Place{0, 0});
        return;
    }
    if (mods != Qt::NoModifier && mods != Qt::ShiftModifier)
        return;
    // Over the help page (sliding in or shown) only the keys that leave it act: the list
    // behind it is out of reach.
    if (helpShown_) {
        if (event->key() == Qt::Key_Left || event->key() == Qt::Key_Escape)
            popHelp();
        return;
    }
    switch (event->key()) {
    case Qt::Key_Up:
        moveSelection(-1);
        return;
    case Qt::Key_Down:
        moveSelection(1);
        return;
    case Qt::Key_Left:
        popHelp();
        return;
    case Qt::Key_Escape:
        if (helpShown_)
            popHelp();
        else
            done();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        pick(selected_.valid() ? selected_ : Place{0, 0});
        return;
    default:
        break;
    }
    const QString text = event->text();
    if (mods == Qt::NoModifier && text.size() == 1 && text.at(0) >= QLatin1Char('a') && text.at(0) <= QLatin1Char('z')) {
        // Further typing goes to the search field.
        search_->setText(search_->text() + text);
        search_->setFocus();
        selectString(search_->text());
    }
}

bool CatalogScreen::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == search_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        // The arrows, Return and Escape keep working while the field has the keys. Return
        // picks here once: the field would pass it on to this screen after its own
        // returnPressed, which would pick the row again.
        static const KeyCommands commands;
        const int k = key->key();
        if (k == Qt::Key_Up || k == Qt::Key_Down || k == Qt::Key_Escape || k == Qt::Key_Return || k == Qt::Key_Enter
            || commands.opFor(*key) == KeyTables::kOn) {
            keyPressEvent(const_cast<QKeyEvent*>(key));
            return true;
        }
    }
    return ScreenController::eventFilter(watched, event);
}

QWidget* CatalogScreen::leaveControl() const { return close_; }

} // namespace orvenda
