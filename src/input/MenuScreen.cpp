#include "input/MenuScreen.h"

#include "app/AppShell.h"
#include "app/OverlayPlacement.h"
#include "app/PageSlide.h"
#include "app/EntryEvaluator.h"
#include "app/EntryModel.h"
#include "app/KeyRouter.h"
#include "app/NamedColors.h"
#include "core/Calculator.h"
#include "core/UserMenus.h"
#include "core/VColor.h"
#include "core/services/GDBManager.h"
#include "core/services/ViewControlDelegate.h"
#include "drawing/BackgroundPicture.h"
#include "eval/Parser.h"
#include "language/ErrorNumbers.h"
#include "input/AboutPage.h"
#include "input/AddProgramForm.h"
#include "input/AddUserFnDialog.h"
#include "input/HelpPage.h"
#include "input/KeyCommands.h"
#include "input/KeyTables.h"
#include "input/MenuRowDelegate.h"
#include "input/MenuViewDelegate.h"
#include "input/ProgramNotesPage.h"
#include "input/SectionTable.h"
#include "input/SideIndex.h"
#include "input/NameLists.h"
#include "pretty/FontMap.h"

#include <QDialog>
#include <QEvent>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabBar>

#include <algorithm>
#include <map>

namespace orvenda {

namespace {

using L = MenuTables::List;

constexpr std::uint32_t kFraction = 0xEF38;
constexpr std::uint32_t kMixedFraction = 0xEF39;
constexpr std::uint32_t kEta = 0xBBAA;
constexpr std::uint32_t kRegression = 0x5C50;
constexpr std::uint32_t kAnova = 0xBB59;
constexpr std::uint32_t kTriSolve = 0x5C3C;
constexpr std::uint32_t kHelpKey = 0xBBB8;
constexpr std::uint32_t kClearEntries = 0xBB57;
constexpr std::uint32_t kClearAllLists = 0xBB52;
constexpr int kLockedError = 84;

bool lessIgnoringCase(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; }

// The colour rows' colours and text colours, BLUE to DARKGREY.
struct ColourRow {
    QColor fill;
    QColor ink;
};
const ColourRow kColours[] = {
    {Qt::blue, Qt::white}, {Qt::red, Qt::white}, {Qt::black, Qt::white}, {Qt::magenta, Qt::white},
    {Qt::green, Qt::white}, {QColor::fromRgbF(1, 0.5, 0), Qt::white}, {QColor::fromRgbF(0.6, 0.4, 0.2), Qt::white},
    {QColor::fromRgbF(0, 0, 0.667), Qt::white}, {QColor::fromRgbF(0, 0.5, 1), Qt::white}, {Qt::yellow, Qt::black},
    {Qt::white, Qt::black}, {QColor::fromRgbF(0.667, 0.667, 0.667), Qt::black},
    {QColor::fromRgbF(0.58, 0.58, 0.58), Qt::black}, {QColor::fromRgbF(0.557, 0.557, 0.576), Qt::black},
    {QColor::fromRgbF(0.333, 0.333, 0.333), Qt::white},
};

} // namespace

MenuScreen::MenuScreen(Calculator& calc, AppShell& shell, QWidget* parent)
    : ScreenController(calc, parent), shell_(shell), bar_(new QWidget(this)),
      tabs_(new SharedTabBar(bar_)), title_(new QLabel(bar_)),
      cancel_(new QPushButton(QStringLiteral("Cancel"), bar_)), back_(new QPushButton(QStringLiteral("‹ Back"), bar_)),
      share_(new QPushButton(QStringLiteral("Share"), bar_)), send_(new QPushButton(QStringLiteral("Send"), bar_)),
      filterBar_(new QWidget(this)),
      layoutTabs_(new QTabBar(filterBar_)), typeTabs_(new QTabBar(filterBar_)),
      tagButton_(new QPushButton(filterBar_)), add_(new QPushButton(QStringLiteral("+"), bar_)), table_(new SectionTable(calc.device == 1, this)), help_(new HelpPage(calc, this)),
      notesModes_(new QTabBar(bar_)), listing_(new QPushButton(QStringLiteral("Share"), bar_))
{
    setFocusPolicy(Qt::StrongFocus);
    setAutoFillBackground(true);
    paintAsBar(bar_);
    auto* row = new QHBoxLayout(bar_);
    row->setContentsMargins(4, 2, 4, 2);
    row->addWidget(cancel_);
    row->addWidget(back_);
    row->addWidget(tabs_);
    row->addWidget(title_);
    row->addStretch();
    row->addWidget(add_);
    row->addWidget(share_);
    row->addWidget(notesModes_);
    row->addWidget(listing_);
    row->addWidget(send_);
    auto* filters = new QHBoxLayout(filterBar_);
    filters->setContentsMargins(4, 2, 4, 2);
    filters->addWidget(layoutTabs_);
    filters->addWidget(typeTabs_);
    filters->addWidget(tagButton_, 1);
    filterBar_->setAutoFillBackground(true);
    filterBar_->hide();
    for (QWidget* w : std::initializer_list<QWidget*>{tabs_, cancel_, back_, share_, layoutTabs_, typeTabs_, tagButton_, add_,
             notesModes_, listing_, send_})
        w->setFocusPolicy(Qt::NoFocus);
    notesModes_->addTab(QStringLiteral("Preview"));
    notesModes_->addTab(QStringLiteral("Edit"));
    notesModes_->hide();
    listing_->hide();
    for (QTabBar* bar : {static_cast<QTabBar*>(tabs_), layoutTabs_, typeTabs_, notesModes_}) {
        bar->setExpanding(false);
        bar->setDrawBase(false);
    }
    // The filters show whole: no scrolling that would cut a title ("User" to "|ser"); the
    // tag button takes what is left.
    for (QTabBar* bar : {layoutTabs_, typeTabs_}) {
        bar->setUsesScrollButtons(false);
        bar->setElideMode(Qt::ElideNone);
        bar->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    }
    tagButton_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    tagButton_->setMinimumWidth(kMinTagButtonWidth);
    // Every tab whole: a narrow bar sets them smaller rather than cutting or scrolling them.
    tabs_->setElideMode(Qt::ElideNone);
    tabs_->setUsesScrollButtons(false);
    tabFont_ = tabs_->font();
    layoutTabs_->addTab(QStringLiteral("A–Z"));
    layoutTabs_->addTab(QStringLiteral("Tags"));
    for (const char* type : {"All", "User", "Lumbrix"})
        typeTabs_->addTab(QString::fromLatin1(type));
    title_->setFont(FontMap::shared().font("Helvetica-Bold", 16));
    back_->hide();
    share_->hide();
    send_->hide();
    help_->hide();
    pages_ = std::make_unique<PageSlide>(*this, *table_, [this] { return listArea(); });
    table_->setContextMenuPolicy(Qt::CustomContextMenu);
    table_->clicked = [this](Place p, bool onDetail) { onDetail ? openHelp(p) : pickRow(p); };
    table_->indexPicked = [this](int entry) { jumpToIndex(entry); };
    connect(tabs_, &QTabBar::tabBarClicked, this, [this](int tab) {
        if (!filling_ && tab >= 0) {
            click();
            selectTab(tab);
        }
    });
    connect(layoutTabs_, &QTabBar::tabBarClicked, this, [this](int tab) {
        if (tab >= 0)
            setLibraryLayout(tab);
    });
    connect(typeTabs_, &QTabBar::tabBarClicked, this, [this](int tab) {
        if (tab >= 0)
            setProgramType(tab);
    });
    connect(tagButton_, &QPushButton::clicked, this, [this] { showTagSelector(); });
    connect(cancel_, &QPushButton::clicked, this, [this] { cancel(); });
    connect(back_, &QPushButton::clicked, this, [this] { notesShown_ ? popNotes() : popHelp(); });
    connect(notesModes_, &QTabBar::tabBarClicked, this, [this](int segment) {
        if (segment >= 0)
            userNoteDoEdit(segment);
    });
    connect(listing_, &QPushButton::clicked, this, [this] {
        if (notesPage_)
            printListing(notesPage_->programName());
    });
    connect(share_, &QPushButton::clicked, this, [this] { help_->share(helpFolder); });
    connect(add_, &QPushButton::clicked, this, [this] { openAddForm(); });
    connect(send_, &QPushButton::clicked, this, [this] { sendItems(); });
    connect(table_, &QTreeWidget::customContextMenuRequested, this, &MenuScreen::showContextMenu);
    help_->failed = [this](const QString& message) { tellUser(message); };
    help_->shared = [this](const QString& path) {
        if (!presentShare)
            return;
        ShareRequest request;
        request.files << path;
        // A menu's page says whose it is; the catalogue's is named by its function alone.
        request.subject = QStringLiteral("Orvenda: %1").arg(help_->functionName());
        presentShare(request);
    };
}

MenuScreen::~MenuScreen()
{
    // The picker calls back into this menu, and its shade tells it of taps: they go first.
    delete tagSelector_;
    tagSelector_ = nullptr;
    delete tagShade_;
}

void MenuScreen::setDelegate(std::unique_ptr<MenuViewDelegate> delegate)
{
    ownDelegate_ = std::move(delegate);
    delegate_ = ownDelegate_.get();
}

void MenuScreen::click() { shell_.keys().doKeyClick(); }

void MenuScreen::tellUser(const QString& message) const
{
    if (tell)
        tell(message);
    else
        qWarning("%s", qPrintable(message));
}

void MenuScreen::focus(bool gained)
{
    ScreenController::focus(gained);
    if (!gained)
        help_->clear();
}

// ---- Showing a menu ----

void MenuScreen::showMenu(int id)
{
    if (id < 0 || id >= MenuTables::kMenuCount)
        return;
    calc().clickMute = true;
    if (notesShown_)
        popNotes();
    filling_ = true;
    helpShown_ = false;
    pages_->close();
    aboutShown_ = false;
    if (about_)
        about_->hide();
    back_->hide();
    cancel_->show();
    share_->hide();
    while (tabs_->count() > 0)
        tabs_->removeTab(0);
    const bool editor = calc().currentScreen() == 2;
    if (id == MenuTables::kProgramMenu && !editor) {
        tabs_->addTab(QStringLiteral("EXEC"));
        tabs_->addTab(QStringLiteral("EDIT"));
    } else if (id == MenuTables::kUserMenu) {
        for (int i = 1; i <= 4; ++i)
            tabs_->addTab(QString::number(i));
    } else if (id != 17 || editor) {
        for (const MenuTables::Tab& tab : MenuTables::tabs(id))
            if (!tab.title.empty())
                tabs_->addTab(QString::fromUtf8(tab.title.data(), static_cast<qsizetype>(tab.title.size())));
    }
    tabs_->setCurrentIndex(0);
    // A menu of one list has no tabs: the bar draws none.
    tabs_->setVisible(tabs_->count() > 0);
    filling_ = false;
    currentMenu_ = id;
    tab_ = 0;
    // Menu 26 has no tabs of its own and keeps the list shown before.
    setCurrentArray();
    // A menu opens at its first row, wherever the list shown before was scrolled to.
    table_->scrollToTop();
    // The list in place, whatever page was over it when the menu last closed.
    layoutViews();
    calc().clickMute = false;
    show();
}

void MenuScreen::selectTab(int tab)
{
    if (tab < 0 || tab >= tabs_->count())
        return;
    tab_ = tab;
    tabs_->setCurrentIndex(tab);
    if (helpShown_)
        popHelp();
    setCurrentArray();
}

bool MenuScreen::showsLibrary() const
{
    return currentMenu_ == MenuTables::kProgramMenu && calc().currentScreen() != 2;
}

QStringList MenuScreen::tabTitles() const
{
    QStringList titles;
    for (int i = 0; i < tabs_->count(); ++i)
        titles << tabs_->tabText(i);
    return titles;
}

QString MenuScreen::barTitle() const { return titleText_; }

QString MenuScreen::shareBarTitle() const
{
    const std::string_view share = MenuTables::shareTitle(currentMenu_);
    return QString::fromUtf8(share.data(), static_cast<qsizetype>(share.size()));
}

void MenuScreen::setBarTitle(const QString& title)
{
    titleText_ = title;
    fitTabs();
}

void MenuScreen::setCurrentArray()
{
    const int menu = currentMenu_;
    const auto tabs = MenuTables::tabs(menu);
    if (showsLibrary())
        list_ = L::ProgramNames;
    else if (menu == MenuTables::kUserMenu)
        list_ = L::UserMenu;
    else if (!tabs.empty())
        list_ = tabs[static_cast<std::size_t>(std::clamp(tab_, 0, static_cast<int>(tabs.size()) - 1))].list;
    setBarTitle(shareBarTitle());
    const bool library = showsLibrary();
    filterBar_->setVisible(library);
    updateAddButton();
    layoutTabs_->setCurrentIndex(libraryLayout_);
    if (!library)
        closeTagSelector();
    table_->setSelectionMode(isShareMenu() ? QAbstractItemView::MultiSelection : QAbstractItemView::SingleSelection);
    send_->setVisible(isShareMenu());
    shareOrder_.clear();
    buildRows();
    fillTable();
}

void MenuScreen::addTokenRows(std::span<const std::uint32_t> tokens, bool keyed)
{
    Calculator& c = calc();
    if (sections_.empty())
        sections_.push_back({});
    Section& section = sections_.back();
    const bool fractions = list_ == L::Number || list_ == L::PrettyFrac;
    const bool values = MenuTables::valueList(list_);
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const std::uint32_t token = tokens[i];
        Row row;
        row.token = token;
        if (values) {
            row.title = QString::fromStdString(c.getVariable(token));
        } else if (list_ == L::Str) {
            row.title = QString::fromStdString(c.getStringVariable(token));
        } else if (list_ == L::YVars || list_ == L::PrettyYVars) {
            row.title = QString::fromStdString(token >= 0x5E10 && token <= 0x5EA9 ? c.getYEqVariable(token)
                                                                                 : c.nameForOpcode(token));
        } else if (fractions && (token == kFraction || token == kMixedFraction)) {
            row.title = row.detail = token == kFraction ? QStringLiteral("n/d") : QStringLiteral("Un/d");
        } else {
            row.title = QString::fromStdString(c.nameForOpcode(token));
            row.detail = QString::fromStdString(c.descriptionForOpcode(token));
        }
        if (keyed && !values) {
            const std::string_view key = MenuTables::keyLabel(static_cast<int>(i));
            row.key = QString::fromLatin1(key.data(), static_cast<qsizetype>(key.size()));
        }
        if (list_ == L::Color && i < std::size(kColours)) {
            row.fill = kColours[i].fill;
            row.ink = kColours[i].ink;
        }
        section.rows.push_back(std::move(row));
    }
}

void MenuScreen::addNameSections(const std::vector<std::string>& names, bool hashSection)
{
    for (NameLists::Section& s : NameLists::letterSections(names, hashSection)) {
        Section section{s.title, {}};
        for (std::string& name : s.names) {
            Row row;
            row.title = QString::fromStdString(name);
            row.name = std::move(name);
            section.rows.push_back(std::move(row));
        }
        sections_.push_back(std::move(section));
    }
}

void MenuScreen::buildRows()
{
    sections_.clear();
    selected_ = {};
    Calculator& c = calc();
    switch (list_) {
    case L::ListNames:
        addNameSections(shell_.evaluator().listNames(), true);
        break;
    case L::MatrixNames:
    case L::MatrixEdit: {
        sections_.push_back({});
        for (std::string& name : NameLists::matrixNames(c)) {
            Row row;
            row.title = QString::fromStdString(name);
            row.name = std::move(name);
            sections_.back().rows.push_back(std::move(row));
        }
        break;
    }
    case L::GdbNames: {
        const bool defaults = currentMenu_ == 27 && tab_ == 0;
        addNameSections(GDBManager::gdbNames(defaults), false);
        break;
    }
    case L::ProgramNames: {
        updateProgramNames();
        const auto describe = [this](Row& row) {
            if (!showsLibrary())
                return;
            const auto found = prgmDescs_.find(row.name);
            row.detail = QString::fromStdString(found == prgmDescs_.end() ? std::string() : found->second);
            // Every program has a notes page: its row carries the accessory.
            if (row.detail.isEmpty() && makeNotesPage)
                row.detail = QStringLiteral(" ");
        };
        if (showsLibrary() && libraryLayout_ == 1) {
            for (const auto& [tag, programs] : topics_) {
                Section section{tag, {}};
                for (const std::string& name : programs) {
                    Row row;
                    row.name = name;
                    row.title = QString::fromStdString(name);
                    describe(row);
                    section.rows.push_back(std::move(row));
                }
                sections_.push_back(std::move(section));
            }
            if (sections_.empty())
                sections_.push_back({QStringLiteral("Empty"), {}});
        } else {
            addNameSections(prgmNames_, true);
            for (Section& section : sections_)
                for (Row& row : section.rows)
                    describe(row);
        }
        break;
    }
    case L::PrettyYVars:
        addTokenRows(NameLists::yVarsForMode(c.graphMode()), true);
        break;
    case L::UserMenu: {
        sections_.push_back({});
        const auto& names = NameLists::userNames(c, tab_);
        const auto& ops = NameLists::userOps(c, tab_);
        for (std::size_t i = 0; i < ops.size(); ++i) {
            Row row;
            for (const std::uint32_t op : ops[i])
                row.title += QString::fromStdString(c.nameForOpcode(op));
            row.name = i < names.size() ? names[i] : std::string();
            row.detail = QString::fromStdString(row.name);
            sections_.back().rows.push_back(std::move(row));
        }
        break;
    }
    default:
        if (MenuTables::textList(list_)) {
            sections_.push_back({});
            for (const std::string_view text : MenuTables::texts(list_)) {
                Row row;
                row.name = std::string(text);
                row.title = QString::fromStdString(row.name);
                sections_.back().rows.push_back(std::move(row));
            }
        } else {
            addTokenRows(MenuTables::tokens(list_), true);
        }
        break;
    }
    // A table with no titles still has one (empty) section.
    if (sections_.empty())
        sections_.push_back({});
}

void MenuScreen::fillTable()
{
    filling_ = true;
    table_->clear();
    for (std::size_t s = 0; s < sections_.size(); ++s) {
        const Section& section = sections_[s];
        if (!section.title.isEmpty())
            table_->addHeader(static_cast<int>(s), section.title);
        for (std::size_t r = 0; r < section.rows.size(); ++r) {
            const Row& row = section.rows[r];
            QTreeWidgetItem* it = table_->addRow({static_cast<int>(s), static_cast<int>(r)}, row.title, row.detail);
            it->setData(0, MenuRowDelegate::KeyRole, row.key);
            if (row.fill) {
                it->setData(0, MenuRowDelegate::FillRole, *row.fill);
                it->setData(0, MenuRowDelegate::InkRole, row.ink);
            }
        }
    }
    filling_ = false;
    table_->setIndexTitles(indexTitles());
    layoutViews();
}

QStringList MenuScreen::indexTitles() const
{
    if (list_ == L::ProgramNames && showsLibrary() && libraryLayout_ == 1) {
        QStringList tags;
        for (const Section& section : sections_)
            tags << section.title.left(4);
        return tags;
    }
    if (list_ != L::ListNames && list_ != L::GdbNames && list_ != L::ProgramNames)
        return {};
    QStringList letters;
    for (char letter = 'A'; letter <= 'Z'; ++letter)
        letters << QString(QLatin1Char(letter));
    return letters;
}

void MenuScreen::jumpToIndex(int entry)
{
    const QStringList titles = indexTitles();
    if (entry < 0 || entry >= titles.size() || sections_.empty())
        return;
    const QString& title = titles[entry];
    int target = static_cast<int>(sections_.size()) - 1;
    for (std::size_t s = 0; s < sections_.size(); ++s) {
        const QString& section = sections_[s].title;
        // The tag whose short form it is; else the first letter section not before it.
        const bool found = libraryLayout_ == 1 && showsLibrary() ? section.left(4) == title
                                                                 : section.compare(title, Qt::CaseInsensitive) >= 0;
        if (found) {
            target = static_cast<int>(s);
            break;
        }
    }
    table_->showSection(target);
}

QRect MenuScreen::indexEntryRect(int entry) const
{
    const SideIndex& index = table_->sideIndex();
    const QRect r = index.entryRect(entry);
    if (r.isEmpty() || !index.isVisible())
        return {};
    return QRect(index.mapTo(this, r.topLeft()), r.size());
}

QString MenuScreen::topSectionTitle() const
{
    const int section = table_->topSection();
    return section >= 0 && section < static_cast<int>(sections_.size()) ? sections_[static_cast<std::size_t>(section)].title
                                                                         : QString();
}

// ---- Layout ----

void MenuScreen::resizeEvent(QResizeEvent*) { layoutViews(); }

QRect MenuScreen::listArea() const
{
    // The library's filter bar sits under the tab bar, as high as it; a program's notes
    // page, where it filters nothing, goes without it.
    const int top = bar_->height() * (showsLibrary() && !notesShown_ ? 2 : 1);
    return {0, top, width(), std::max(0, height() - top)};
}

void MenuScreen::layoutViews()
{
    const int barHeight = 40;
    bar_->setGeometry(0, 0, width(), barHeight);
    filterBar_->setGeometry(0, barHeight, width(), barHeight);
    fitTabs();
    const QRect below = listArea();
    // The pages wait right of the list; the one slid in, or sliding, stands where its
    // slide has it at this size.
    help_->setGeometry(below.translated(width(), 0));
    if (notesPage_)
        notesPage_->setGeometry(below.translated(width(), 0));
    pages_->place();
    if (about_)
        about_->setGeometry(below);
}

// ---- Selection ----

void MenuScreen::select(Place p)
{
    if (!p.valid() || p.section >= static_cast<int>(sections_.size())
        || p.row >= static_cast<int>(sections_[static_cast<std::size_t>(p.section)].rows.size()))
        return;
    selected_ = p;
    table_->showRow(p, QAbstractItemView::PositionAtCenter);
}

MenuScreen::Place MenuScreen::step(Place from, int by) const
{
    Place p = from;
    if (by > 0) {
        if (p.row + 1 < static_cast<int>(sections_[static_cast<std::size_t>(p.section)].rows.size()))
            return {p.section, p.row + 1};
        for (int s = p.section + 1; s < static_cast<int>(sections_.size()); ++s)
            if (!sections_[static_cast<std::size_t>(s)].rows.empty())
                return {s, 0};
        return from;
    }
    if (p.row > 0)
        return {p.section, p.row - 1};
    for (int s = p.section - 1; s >= 0; --s)
        if (!sections_[static_cast<std::size_t>(s)].rows.empty())
            return {s, static_cast<int>(sections_[static_cast<std::size_t>(s)].rows.size()) - 1};
    return from;
}

// ---- Picking ----

void MenuScreen::pickRow(Place p)
{
    if (!p.valid() || p.section >= static_cast<int>(sections_.size()))
        return;
    const Section& section = sections_[static_cast<std::size_t>(p.section)];
    if (p.row >= static_cast<int>(section.rows.size()))
        return;
    const Row row = section.rows[static_cast<std::size_t>(p.row)];
    click();
    calc().secondShift = false;
    const int r = p.row;
    // Sharing menus only collect a selection.
    if (isShareMenu()) {
        select(p);
        toggleShared(p);
        return;
    }
    MenuViewDelegate* d = delegate_;
    auto done = [this] { hideMenu(); };
    switch (list_) {
    case L::ListNames:
        done();
        if (d)
            d->didPickVariable(row.name);
        return;
    case L::GdbNames:
        done();
        if (d)
            tab_ == 0 ? d->saveGDB(row.name) : d->recallGDB(row.name);
        return;
    case L::MatrixNames:
    case L::MatrixEdit:
        done();
        if (d)
            d->didPickMatrix(r, list_ == L::MatrixEdit);
        return;
    case L::ProgramNames:
        if (showsLibrary() && tab_ == 1) {
            if (calc().prgmManager && calc().prgmManager->flagsFor(row.name) == ProgramManager::kProtected) {
                calc().showError({{"errorNum", kLockedError}});
                return;
            }
            done();
            if (d)
                d->editProgram(row.name);
            return;
        }
        done();
        if (d)
            d->executeProgram(row.name);
        return;
    case L::Vars: {
        static constexpr int kDrill[] = {9, 34, 10, 11, 12};
        showMenu(kDrill[r]);
        return;
    }
    case L::Apps: {
        static constexpr int kDrill[] = {13, 14, 18, 35};
        showMenu(kDrill[r]);
        return;
    }
    case L::Send:
        if (r < 6) {
            showMenu(20 + r);
        } else if (d) {
            showShare(r == 6 ? d->shareHistory() : d->shareLastCalculation());
        }
        return;
    case L::Mem:
        if (r == 0) {
            showAbout();
        } else if (r == 3) {
            showMenu(30);
        } else if (r == 1 || r == 2) {
            done();
            if (d)
                d->didPickOp(r == 1 ? kClearEntries : kClearAllLists);
        }
        return;
    case L::Reset:
        r == 0 ? clearAllMemory() : clearToDefaults();
        return;
    case L::DrawSto:
        if (calc().testMode == 1)
            return;
        if (r == 1)
            showMenu(27);
        else if (r == 2)
            pickPhoto();
        return;
    case L::UserMenu: {
        const auto& ops = NameLists::userOps(calc(), tab_);
        done();
        if (d && static_cast<std::size_t>(r) < ops.size())
            d->pasteOps(ops[static_cast<std::size_t>(r)]);
        return;
    }
    default:
        break;
    }
    done();
    if (!d)
        return;
    const std::uint32_t token = row.token;
    if (list_ == L::Chem && r == 0)
        d->showPeriodicTable();
    else if (list_ == L::PlySmlt)
        r == 0 ? d->showPolySolver() : d->showSimulEqSolver();
    else if (list_ == L::Geometry && token != kTriSolve)
        d->showGeometry(static_cast<int>(token));
    else if ((list_ == L::StatTest && token != kAnova) || (list_ == L::StatCalc && token == kRegression))
        d->showStatTest(static_cast<int>(token));
    else if (list_ == L::Abc)
        d->didPickOp(r < 27 ? 0x41 + static_cast<std::uint32_t>(r) : kEta);
    else
        d->didPickOp(token);
}

bool MenuScreen::isShareMenu() const
{
    return currentMenu_ != 19 && !MenuTables::shareTitle(currentMenu_).empty();
}

void MenuScreen::toggleShared(Place p)
{
    const auto found = std::ranges::find_if(shareOrder_, [p](Place q) { return q.section == p.section && q.row == p.row; });
    const bool picked = found == shareOrder_.end();
    if (picked)
        shareOrder_.push_back(p);
    else
        shareOrder_.erase(found);
    if (QTreeWidgetItem* it = table_->item(p))
        it->setSelected(picked);
}

void MenuScreen::sendItems()
{
    MenuViewDelegate* d = delegate_;
    if (shareOrder_.empty() || !d) {
        showShare(std::nullopt);
        return;
    }
    std::vector<std::string> names;
    std::vector<std::uint32_t> tokens;
    for (const Place p : shareOrder_) {
        const Row& row = sections_[static_cast<std::size_t>(p.section)].rows[static_cast<std::size_t>(p.row)];
        if (currentMenu_ == 20 && calc().prgmManager
            && calc().prgmManager->flagsFor(row.name) == ProgramManager::kProtected) {
            // The programs before the locked one are still shared.
            calc().showError({{"errorNum", kLockedError}});
            break;
        }
        if (currentMenu_ == 22)
            tokens.push_back(0x5C00 + static_cast<std::uint32_t>(p.row));
        else if (row.token)
            tokens.push_back(row.token);
        names.push_back(row.name);
    }
    std::optional<ShareRequest> request;
    switch (currentMenu_) {
    case 20:
        if (!names.empty())
            request = d->sharePrograms(names, tab_ == 1 ? 1 : 0);
        break;
    case 21: request = d->shareLists(names, tab_ == 1 ? 2 : 0); break;
    case 22: request = d->shareMatrices(tokens, tab_ == 1 ? 2 : 0); break;
    case 23: request = d->shareVars(tokens); break;
    case 24: request = d->shareEquations(tokens); break;
    case 25: request = d->shareStrings(tokens); break;
    case 28: request = d->shareGDBs(names); break;
    default: break;
    }
    showShare(request);
}

void MenuScreen::showShare(const std::optional<ShareRequest>& request)
{
    // With nothing to share (an empty history) the menu closes all the same, giving the
    // screen under it back.
    if (request && presentShare)
        presentShare(*request);
    hideMenu();
    if (delegate_)
        delegate_->completedActionDialog();
}

void MenuScreen::pickPhoto()
{
    const QString file = choosePicture ? choosePicture(window()) : QString();
    const auto close = [this] {
        hideMenu();
        if (delegate_)
            delegate_->menuCanceled();
    };
    if (file.isEmpty()) {
        // A cancelled pick leaves a tablet's menu open, as its popover does.
        if (calc().device != 1)
            close();
        return;
    }
    close();
    const QRect frame = pictureFrame ? pictureFrame() : QRect(QPoint(), BackgroundPicture::graphSize(calc()));
    BackgroundPicture::Refusal refusal;
    const auto picture = BackgroundPicture::read(file, frame.size(), &refusal);
    // A picture too large to decode says what can be.
    if (refusal.tooLarge) {
        const QString text = QStringLiteral("File cannot be read: the picture is too large (%1 × %2 pixels). A picture "
                                            "like it can be read up to %3 × %4 pixels.")
                                 .arg(refusal.size.width())
                                 .arg(refusal.size.height())
                                 .arg(refusal.largest.width())
                                 .arg(refusal.largest.height());
        calc().showError({{"errorNum", ErrFileData}, {"message", text.toStdString()}});
        return;
    }
    // A file that is no picture, and a picture that cannot be made to cover the graph.
    if (!picture || !BackgroundPicture::saveBackgroundImage(calc(), *picture, frame)) {
        calc().showError({{"errorNum", ErrFileData}});
        return;
    }
    if (calc().viewDelegate)
        calc().viewDelegate->VCGraphChanged();
}

void MenuScreen::hideMenu()
{
    if (notesShown_)
        popNotes();
    if (QTreeWidgetItem* it = table_->currentItem())
        it->setSelected(false);
    selected_ = {};
    shareOrder_.clear();
    hide();
}

void MenuScreen::doEscape()
{
    if (aboutShown_)
        closeAbout();
    else if (notesShown_)
        popNotes();
    else if (helpShown_)
        popHelp();
    else
        cancel();
}

void MenuScreen::cancel()
{
    click();
    const int menu = currentMenu_;
    if (menu == 9 || menu == 10 || menu == 11 || menu == 12 || menu == 34) {
        showMenu(7);
        return;
    }
    calc().secondShift = false;
    hideMenu();
    if (delegate_)
        delegate_->menuCanceled();
}

QRect MenuScreen::rowRect(Place p) const
{
    const QTreeWidgetItem* row = table_->item({p.section, p.row});
    if (!row || !table_->isVisible())
        return {};
    const QRect r = table_->visualItemRect(row);
    return r.isEmpty() ? QRect() : QRect(table_->viewport()->mapTo(this, r.topLeft()), r.size());
}

// ---- Keys ----

void MenuScreen::processKeyOp(std::uint32_t op)
{
    // The rows under the notes page or a help page (sliding in or shown) are out of reach:
    // LEFT leaves the help page, ON still stops a run.
    if (notesShown_ && op != KeyTables::kOn)
        return;
    if (helpShown_ && op != KeyTables::kOn) {
        if (op == KeyRouter::kLeft)
            popHelp();
        return;
    }
    if (tagSelectorTakes(op))
        return;
    const int index = MenuTables::rowForKeyOp(op);
    if (index >= 0) {
        // The row at that index, as a touch on it would pick it; none past the end.
        int n = index;
        for (std::size_t s = 0; s < sections_.size(); ++s) {
            const int count = static_cast<int>(sections_[s].rows.size());
            if (n < count) {
                pickRow({static_cast<int>(s), n});
                return;
            }
            n -= count;
        }
        return;
    }
    switch (op) {
    case Calculator::kEnterKey:
        pickRow(selected_.valid() ? selected_ : Place{0, 0});
        return;
    case KeyTables::kOn:
        // ON stops a running program or entry from under the menu too.
        calc().parser().stopProgramThread();
        return;
    case kHelpKey:
        if (selected_.valid())
            openHelp(selected_);
        return;
    case KeyRouter::kLeft:
        selectTab(tab_ - 1);
        return;
    case KeyRouter::kRight:
        selectTab(tab_ + 1);
        return;
    case KeyRouter::kUp:
    case KeyRouter::kDown: {
        if (!selected_.valid()) {
            select({0, 0});
            return;
        }
        const int row = selected_.row + (op == KeyRouter::kUp ? -1 : 1);
        select({selected_.section, row});
        return;
    }
    default:
        return;
    }
}

void MenuScreen::hardwareRow(int code)
{
    if (list_ == L::ProgramNames) {
        // To the section of that letter, else the last one before it.
        const QString key = code <= 10 ? QString::number(code % 10) : QString(QChar(static_cast<char16_t>('A' + code - 11)));
        int target = 0;
        for (std::size_t s = 0; s < sections_.size(); ++s)
            if (sections_[s].title.compare(key, Qt::CaseInsensitive) <= 0)
                target = static_cast<int>(s);
        if (!sections_[static_cast<std::size_t>(target)].rows.empty())
            select({target, 0});
        return;
    }
    // A key past the end of the list picks its last row.
    const int rows = static_cast<int>(sections_.front().rows.size());
    if (rows > 0)
        pickRow({0, std::min(code, rows) - 1});
}

void MenuScreen::keyPressEvent(QKeyEvent* event)
{
    // ON stays in reach while the menu covers the keyboard.
    static const KeyCommands commands;
    if (commands.opFor(*event) == KeyTables::kOn) {
        calc().parser().stopProgramThread();
        return;
    }
    // Over the notes page the keys are its editors'; Escape goes back to the list.
    if (notesShown_) {
        if (event->key() == Qt::Key_Escape)
            popNotes();
        return;
    }
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    if (tagSelector_ && tagSelector_->isVisible()) {
        static const std::map<int, std::uint32_t> kPickerKeys{{Qt::Key_Up, KeyRouter::kUp}, {Qt::Key_Down, KeyRouter::kDown},
            {Qt::Key_Left, KeyRouter::kLeft}, {Qt::Key_Right, KeyRouter::kRight}, {Qt::Key_Return, Calculator::kEnterKey},
            {Qt::Key_Enter, Calculator::kEnterKey}, {Qt::Key_Escape, KeyRouter::kClear}};
        const auto key = kPickerKeys.find(event->key());
        if (mods == Qt::NoModifier && key != kPickerKeys.end())
            tagSelectorTakes(key->second);
        return;
    }
    if (mods == Qt::ControlModifier) {
        if (event->key() == Qt::Key_I && !helpShown_)
            openHelp(selected_.valid() ? selected_ : Place{0, 0});
        return;
    }
    if (mods != Qt::NoModifier && mods != Qt::ShiftModifier)
        return;
    if (helpShown_) {
        if (event->key() == Qt::Key_Left || event->key() == Qt::Key_Escape)
            doEscape();
        return;
    }
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down: {
        const int by = event->key() == Qt::Key_Up ? -1 : 1;
        if (!selected_.valid()) {
            const Place first = step({0, -1}, 1);
            if (first.valid())
                select(first);
        } else {
            select(step(selected_, by));
        }
        return;
    }
    case Qt::Key_Left:
        if (helpShown_)
            popHelp();
        else
            selectTab(std::max(0, tab_ - 1));
        return;
    case Qt::Key_Right:
        if (!helpShown_)
            selectTab(std::min(tabs_->count() - 1, tab_ + 1));
        return;
    case Qt::Key_Escape:
        doEscape();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        pickRow(selected_.valid() ? selected_ : Place{0, 0});
        return;
    case Qt::Key_Plus:
        if (showsLibrary() || list_ == L::UserMenu)
            openAddForm();
        return;
    default:
        break;
    }
    const QString text = event->text().toUpper();
    if (text.size() != 1)
        return;
    const QChar c = text.at(0);
    if (c >= QLatin1Char('1') && c <= QLatin1Char('9'))
        hardwareRow(c.unicode() - '0');
    else if (c == QLatin1Char('0'))
        hardwareRow(10);
    else if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
        hardwareRow(c.unicode() - 'A' + 11);
}

// ---- Help page ----

void MenuScreen::openHelp(Place p)
{
    if (!p.valid() || p.section >= static_cast<int>(sections_.size())
        || p.row >= static_cast<int>(sections_[static_cast<std::size_t>(p.section)].rows.size()))
        return;
    // A program's accessory is its notes page.
    if (showsLibrary() && makeNotesPage) {
        openNotes(p);
        return;
    }
    const Row& row = sections_[static_cast<std::size_t>(p.section)].rows[static_cast<std::size_t>(p.row)];
    if (row.detail.isEmpty())
        return;
    click();
    select(p);
    // A user's item goes by its name, the entry it keeps under it.
    const bool user = list_ == L::UserMenu;
    const QString name = row.token ? QString::fromStdString(calc().nameForOpcode(row.token)) : user ? row.detail : row.title;
    help_->showFunction(name, user ? row.title : row.detail);
    helpShown_ = true;
    cancel_->hide();
    back_->show();
    share_->show();
    tabs_->hide();
    // The page's bar says what it helps with: the token's name or the row's text.
    setBarTitle(row.token ? QString::fromStdString(calc().nameForOpcode(row.token)) : row.title);
    pages_->push(*help_);
}

void MenuScreen::popHelp()
{
    if (!helpShown_)
        return;
    helpShown_ = false;
    back_->hide();
    share_->hide();
    cancel_->show();
    tabs_->setVisible(tabs_->count() > 0);
    fitTabs();
    setBarTitle(shareBarTitle());
    pages_->pop();
}

// ---- Program library and deleting ----

void MenuScreen::openNotes(Place p)
{
    if (!makeNotesPage || !showsLibrary() || !p.valid() || p.section >= static_cast<int>(sections_.size())
        || p.row >= static_cast<int>(sections_[static_cast<std::size_t>(p.section)].rows.size()))
        return;
    const std::string name = sections_[static_cast<std::size_t>(p.section)].rows[static_cast<std::size_t>(p.row)].name;
    click();
    select(p);
    if (!notesPage_)
        notesPage_ = makeNotesPage(this);
    if (!notesPage_)
        return;
    const bool editing = tab_ == 1;
    notesShown_ = true;
    filterBar_->hide();
    notesPage_->setProgramName(name);
    notesPage_->allowEditing(editing, false);
    cancel_->hide();
    tabs_->hide();
    add_->hide();
    back_->show();
    notesModes_->setCurrentIndex(1);
    notesModes_->setVisible(editing);
    listing_->setVisible(!editing && exportListing);
    // The title takes the room the bar's buttons leave now.
    setBarTitle(QString::fromStdString(name));
    pages_->push(*notesPage_);
}

void MenuScreen::popNotes()
{
    if (!notesShown_)
        return;
    notesShown_ = false;
    if (notesPage_)
        notesPage_->done();
    back_->hide();
    notesModes_->hide();
    listing_->hide();
    cancel_->show();
    tabs_->setVisible(tabs_->count() > 0);
    filterBar_->setVisible(showsLibrary());
    setBarTitle(shareBarTitle());
    updateAddButton();
    if (notesPage_)
        pages_->pop();
    if (tab_ == 1 && showsLibrary()) {
        buildRows();
        fillTable();
    }
}

void MenuScreen::userNoteDoEdit(int segment)
{
    if (!notesShown_ || !notesPage_)
        return;
    notesModes_->setCurrentIndex(segment);
    notesPage_->allowEditing(segment != 0, true);
}

void MenuScreen::printListing(const std::string& name)
{
    click();
    if (calc().prgmManager && calc().prgmManager->flagsFor(name) == ProgramManager::kProtected) {
        calc().showError({{"errorNum", kLockedError}});
        return;
    }
    if (exportListing)
        exportListing(name);
}

void MenuScreen::setLibraryLayout(int layout)
{
    libraryLayout_ = layout == 1 ? 1 : 0;
    layoutTabs_->setCurrentIndex(libraryLayout_);
    if (showsLibrary()) {
        buildRows();
        fillTable();
    }
}

void MenuScreen::updateProgramNames()
{
    const auto byName = [](const std::string& a, const std::string& b) {
        return lessIgnoringCase(QString::fromStdString(a), QString::fromStdString(b));
    };
    prgmNames_.clear();
    prgmTags_.clear();
    std::map<QString, std::vector<std::string>> byTag;
    const std::shared_ptr<ProgramManager> programs = calc().prgmManager;
    const std::vector<std::string> names = programs ? programs->programListOf(prgmType_) : std::vector<std::string>{};
    prgmDescs_.clear();
    for (const std::string& name : names) {
        ProgramManager::LibraryEntry entry = programs->libraryEntry(name);
        const std::vector<std::string> tags = entry.tags.value_or(std::vector<std::string>{});
        prgmDescs_[name] = std::move(entry.desc);
        if (prgmSelectedTag_.empty() || std::ranges::find(tags, prgmSelectedTag_) != tags.end())
            prgmNames_.push_back(name);
        for (const std::string& tag : tags) {
            if (std::ranges::find(prgmTags_, tag) == prgmTags_.end())
                prgmTags_.push_back(tag);
            byTag[QString::fromStdString(tag)].push_back(name);
        }
        if (tags.empty())
            byTag[QStringLiteral("––––")].push_back(name);
    }
    std::stable_sort(prgmTags_.begin(), prgmTags_.end(), byName);
    prgmTags_.insert(prgmTags_.begin(), "Show All");
    std::stable_sort(prgmNames_.begin(), prgmNames_.end(), byName);
    topics_.clear();
    for (auto& [tag, programs] : byTag) {
        std::stable_sort(programs.begin(), programs.end(), byName);
        topics_.emplace_back(tag, std::move(programs));
    }
    std::stable_sort(topics_.begin(), topics_.end(),
        [](const auto& a, const auto& b) { return lessIgnoringCase(a.first, b.first); });
    tagButton_->setText(tagButtonTitle());
    const VColor bar = calc().interfaceColorIndex(7);
    const QColor fill = QColor::fromRgbF(bar.r, bar.g, bar.b, 1);
    QPalette palette = filterBar_->palette();
    palette.setColor(QPalette::Window, fill);
    filterBar_->setPalette(palette);
    // The filters are tinted to read on the bar's colour: outlined tabs in the tint, the
    // selected one filled with it.
    const QString tint = fill.lightnessF() < 0.5 ? QStringLiteral("white") : QStringLiteral("black");
    const QString sheet = QStringLiteral("QTabBar::tab { color: %1; background: transparent; border: 1px solid %1;"
                                         " padding: 3px 5px; }"
                                         "QTabBar::tab:selected { color: %2; background: %1; }")
                              .arg(tint, fill.name());
    for (QTabBar* filters : {layoutTabs_, typeTabs_})
        if (filters->styleSheet() != sheet)
            filters->setStyleSheet(sheet);
    const QString button = QStringLiteral("QPushButton { color: %1; background: transparent; border: 1px solid %1;"
                                          " padding: 3px 5px; text-align: left; }")
                               .arg(tint);
    if (tagButton_->styleSheet() != button)
        tagButton_->setStyleSheet(button);
}

QString MenuScreen::tagButtonTitle() const
{
    static const char* const prefixes[] = {"All:", "User:", "Lumbrix:"};
    const std::string& tag = prgmSelectedTag_.empty() && !prgmTags_.empty() ? prgmTags_.front() : prgmSelectedTag_;
    return QString::fromLatin1(prefixes[std::clamp(prgmType_, 0, 2)]) + QString::fromStdString(tag);
}

void MenuScreen::setProgramType(int type)
{
    if (type < 0 || type > 2)
        return;
    prgmType_ = type;
    typeTabs_->setCurrentIndex(type);
    if (showsLibrary()) {
        buildRows();
        fillTable();
    } else {
        updateProgramNames();
    }
}

void MenuScreen::showTagSelector()
{
    click();
    if (!tagSelector_) {
        tagShade_ = new QWidget(this);
        tagShade_->hide();
        tagShade_->installEventFilter(this);
        tagSelector_ = new TagSelector(*this, this);
        tagSelector_->installEventFilter(this);
        OverlayPlacement::attach(*tagSelector_, [this] { placeTagSelector(); });
    }
    // A tablet's panel stands in its shade; a phone's covers the menu.
    if (QWidget* holder = calc().device == 1 ? tagShade_ : this; tagSelector_->parentWidget() != holder)
        tagSelector_->setParent(holder);
    tagSelector_->startWithTag(prgmSelectedTag_, prgmType_);
    if (calc().device == 1) {
        placeTagSelector();
        tagShade_->show();
        tagShade_->raise();
        tagSelector_->show();
    } else {
        tagSelector_->showView(true);
    }
}

void MenuScreen::placeTagSelector()
{
    if (calc().device != 1) {
        tagSelector_->placeView();
        return;
    }
    // A panel below the tag button, kept inside the menu (the shade covers it all).
    tagShade_->setGeometry(rect());
    tagShade_->raise();
    const QSize size = tagSelector_->viewSize().boundedTo(this->size());
    const QPoint below = tagButton_->mapTo(this, QPoint(tagButton_->width(), tagButton_->height()));
    tagSelector_->setGeometry(std::clamp(below.x() - size.width(), 0, std::max(0, width() - size.width())),
        std::clamp(below.y(), 0, std::max(0, height() - size.height())), size.width(), size.height());
}

void MenuScreen::closeTagSelector()
{
    if (!tagSelector_ || !tagSelector_->isVisible())
        return;
    if (calc().device == 1)
        tagSelector_->hide();
    else
        tagSelector_->showView(false);
}

void MenuScreen::didSelectTag(const std::string& tag, int type)
{
    // A change of source keeps the picker open: it shows that source's tags next.
    if (!tagSelector_ || !tagSelector_->switchingSource())
        closeTagSelector();
    prgmSelectedTag_ = tag;
    setProgramType(std::clamp(type, 0, 2));
}

void MenuScreen::tagSelectorDidCancel() { closeTagSelector(); }

bool MenuScreen::eventFilter(QObject* watched, QEvent* event)
{
    // The shade goes with the picker it holds.
    if (watched == tagSelector_ && tagShade_ && event->type() == QEvent::Hide)
        tagShade_->hide();
    if (watched == tagShade_ && event->type() == QEvent::MouseButtonPress) {
        tagSelector_->cancel();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

bool MenuScreen::tagSelectorTakes(std::uint32_t op)
{
    if (!tagSelector_ || !tagSelector_->isVisible() || op == KeyTables::kOn)
        return false;
    // What is in front takes the keys: the list under the picker is out of reach.
    switch (op) {
    case KeyRouter::kUp:
    case KeyRouter::kDown: tagSelector_->moveRow(op == KeyRouter::kUp ? -1 : 1); break;
    case KeyRouter::kLeft:
    case KeyRouter::kRight: tagSelector_->moveSource(op == KeyRouter::kLeft ? -1 : 1); break;
    case Calculator::kEnterKey: tagSelector_->pickCurrent(); break;
    case KeyRouter::kClear: tagSelector_->cancel(); break;
    default: break;
    }
    return true;
}

ProgramManager::Added MenuScreen::addProgram(const std::string& name, const std::string& desc,
    const std::string& notes, const std::string& tags)
{
    using Added = ProgramManager::Added;
    const std::shared_ptr<ProgramManager> programs = calc().prgmManager;
    const Added result = programs ? programs->addFileNamed(name, desc, notes, tags) : Added::CouldNotSave;
    if (const QString text = message(result, name); !text.isEmpty())
        tellUser(text);
    if (result != Added::Added)
        return result;
    buildRows();
    fillTable();
    hideMenu();
    if (delegate_)
        delegate_->editProgram(name);
    return result;
}

void MenuScreen::openAddForm()
{
    if (list_ == L::UserMenu) {
        openUserFnForm();
        return;
    }
    if (!addForm_) {
        addForm_ = new AddProgramForm(this);
        addForm_->addFileNamed = [this](const std::string& name, const std::string& desc, const std::string& notes,
                                     const std::string& tags) { addProgram(name, desc, notes, tags); };
    }
    addForm_->showSave();
}

QString MenuScreen::message(ProgramManager::Added result, const std::string& name)
{
    using Added = ProgramManager::Added;
    const QString quoted = QStringLiteral("\"%1\"").arg(QString::fromStdString(name));
    switch (result) {
    case Added::Added:
    case Added::EmptyName:
        return {};
    case Added::BadName:
        return QStringLiteral("The name %1 cannot be used: a program name is 1 to 8 letters and digits.").arg(quoted);
    case Added::NameInUse:
        return QStringLiteral("The name %1 is in use by another program.").arg(quoted);
    case Added::CouldNotSave:
        return QStringLiteral("The program %1 could not be saved.").arg(quoted);
    }
    return {};
}

bool MenuScreen::canDelete(Place p) const
{
    if (!p.valid() || p.section >= static_cast<int>(sections_.size())
        || p.row >= static_cast<int>(sections_[static_cast<std::size_t>(p.section)].rows.size()))
        return false;
    const std::string& name = sections_[static_cast<std::size_t>(p.section)].rows[static_cast<std::size_t>(p.row)].name;
    switch (list_) {
    case L::ListNames:
    case L::MatrixNames:
    case L::MatrixEdit:
        return true;
    case L::GdbNames:
        // The ten standard databases stay.
        return !(name.size() == 4 && name.starts_with("GDB") && name[3] >= '0' && name[3] <= '9');
    case L::ProgramNames:
        return QString::fromStdString(name).toUcs4().size() <= static_cast<qsizetype>(kDeletableLength);
    case L::UserMenu:
        return true;
    default:
        return false;
    }
}

bool MenuScreen::deleteRow(Place p)
{
    if (!canDelete(p))
        return false;
    const std::string name = sections_[static_cast<std::size_t>(p.section)].rows[static_cast<std::size_t>(p.row)].name;
    switch (list_) {
    case L::ListNames:
        shell_.evaluator().deleteList(name);
        break;
    case L::MatrixNames:
    case L::MatrixEdit:
        calc().clearMatrix(p.row);
        break;
    case L::GdbNames:
        GDBManager::deleteGDB(name);
        break;
    case L::ProgramNames:
        if (!calc().prgmManager || !calc().prgmManager->deleteProgramNamed(name))
            return false;
        break;
    case L::UserMenu:
        UserMenus::userDeleteMenu(calc(), tab_, p.row);
        break;
    default:
        return false;
    }
    buildRows();
    fillTable();
    return true;
}

void MenuScreen::showContextMenu(const QPoint& at)
{
    const Place p = SectionTable::place(table_->itemAt(at));
    if (!canDelete(p))
        return;
    QMenu menu(this);
    QAction* remove = menu.addAction(QStringLiteral("Delete"));
    if (menu.exec(table_->viewport()->mapToGlobal(at)) == remove)
        deleteRow(p);
}

QWidget* MenuScreen::leaveControl() const
{
    // A page pushed over the list is left by its Back, MEM's about page by its Done.
    if (helpShown_ || notesShown_)
        return back_;
    if (aboutShown_ && about_)
        return const_cast<QPushButton*>(&about_->doneButton());
    return cancel_;
}

// ---- MEM actions ----

void MenuScreen::showAbout()
{
    if (!about_) {
        about_ = new AboutPage(this);
        about_->closed = [this] { closeAbout(); };
        // Forwarded as they are, then the menu closes.
        about_->support = [this](int action) {
            if (MenuViewDelegate* d = delegate_)
                action == 0 ? d->askQuestion() : action == 1 ? d->reportBug() : d->leaveReview();
            aboutShown_ = false;
            about_->hide();
            table_->show();
            cancel();
        };
    }
    about_->setVersion(QString::fromStdString(calc().versionString()));
    // The list's colours, its text colour for the labels (the window text colour of the
    // list's palette is the background's in the dark list).
    QPalette colours = table_->palette();
    colours.setColor(QPalette::Window, colours.color(QPalette::Base));
    colours.setColor(QPalette::WindowText, colours.color(QPalette::Text));
    about_->setPalette(colours);
    about_->setGeometry(listArea());
    aboutShown_ = true;
    about_->show();
    about_->raise();
    // The page stands in the list's place: the list under it is out of sight and reach.
    table_->hide();
}

void MenuScreen::closeAbout()
{
    if (!aboutShown_)
        return;
    click();
    aboutShown_ = false;
    about_->hide();
    table_->show();
}

void MenuScreen::clearAllMemory()
{
    confirmReset(QStringLiteral("Clear All Memory"),
        QStringLiteral("All lists, matrices, strings, y= equations will be cleared and the calculator will be "
                       "returned to default settings. Do you want to proceed?"),
        [this] { calc().resetAll(); });
}

void MenuScreen::clearToDefaults()
{
    confirmReset(QStringLiteral("Set Defaults"),
        QStringLiteral("Calculator MODES and graphing will be returned to default settings. Do you want to proceed?"),
        [this] { calc().resetDefaults(); });
}

// OK resets and closes the menu; Cancel, also Escape's button, changes nothing.
void MenuScreen::confirmReset(const QString& title, const QString& message, std::function<void()> reset)
{
    if (!ask)
        return;
    ask({title, message,
        {{QStringLiteral("OK"),
             [this, reset = std::move(reset)] {
                 reset();
                 hideMenu();
                 if (delegate_)
                     delegate_->menuCanceled();
             }},
            {QStringLiteral("Cancel"), nullptr}},
        1});
}

// ---- User menus ----

bool MenuScreen::lineToAdd() const
{
    const auto* entry = dynamic_cast<const EntryModel*>(calc().entryManager.get());
    return entry && !entry->entryOps().empty();
}

void MenuScreen::updateAddButton()
{
    const bool user = currentMenu_ == MenuTables::kUserMenu;
    add_->setVisible(showsLibrary() || user);
    // A user menu adds the entry line: with nothing typed there is nothing to add.
    add_->setEnabled(!user || showsLibrary() || lineToAdd());
}

void MenuScreen::openUserFnForm()
{
    if (!lineToAdd())
        return;
    click();
    if (!userFnForm_) {
        userFnForm_ = new AddUserFnDialog(calc(), this);
        userFnForm_->addUserFnNamed = [this](const std::string& name) { addUserFnNamed(name); };
    }
    const auto* entry = dynamic_cast<const EntryModel*>(calc().entryManager.get());
    userFnForm_->showSave(entry ? entry->entryOps() : std::vector<std::uint32_t>{});
}

void MenuScreen::addUserFnNamed(const std::string& name)
{
    const auto* entry = dynamic_cast<const EntryModel*>(calc().entryManager.get());
    if (!entry)
        return;
    UserMenus::userAddMenu(calc(), tab_, entry->entryOps(), name);
    if (list_ == L::UserMenu) {
        buildRows();
        fillTable();
    }
}

// ---- Layout ----

void MenuScreen::fitTabs()
{
    if (bar_->width() <= 0)
        return;
    const int spacing = bar_->layout()->spacing();
    // What the bar's buttons leave for the tabs and the title.
    int room = bar_->width() - 8;
    for (QWidget* w : std::initializer_list<QWidget*>{cancel_, back_, add_, share_, notesModes_, listing_, send_})
        if (!w->isHidden())
            room -= w->sizeHint().width() + spacing;
    room = std::max(0, room);
    // A lone tab that says what the title says is title enough; hidden tabs (a help or
    // notes page over the list) leave the title their room.
    const bool tabsShown = !tabs_->isHidden() && tabs_->count() > 0;
    const bool repeated = tabsShown && tabs_->count() == 1 && tabs_->tabText(0) == titleText_;
    const QString title = repeated ? QString() : titleText_;
    const QFontMetrics titleMetrics(title_->font());
    const int titleWidth = title.isEmpty() ? 0 : titleMetrics.horizontalAdvance(title) + spacing;
    QFont font = tabFont_;
    tabs_->setRoom(0);
    tabs_->setFont(font);
    int tabsWidth = 0;
    if (tabsShown) {
        // Every tab whole: one point at a time down to a size still read at arm's length.
        while (tabs_->sizeHint().width() + titleWidth > room && font.pointSizeF() > 8) {
            font.setPointSizeF(font.pointSizeF() - 1);
            tabs_->setFont(font);
        }
        tabsWidth = std::min(tabs_->sizeHint().width(), room);
    }
    // Too many for the bar even at that size (DRAW's four on the least phone): they share the
    // room, the longest shortened with an ellipsis, rather than one running off the window.
    tabs_->setRoom(tabsShown ? room : 0);
    tabsWidth = tabsShown ? std::min(tabs_->sizeHint().width(), room) : 0;
    tabs_->setMinimumWidth(tabsWidth);
    // The title takes what the tabs leave, shortened with an ellipsis when that is too little.
    title_->setText(titleMetrics.elidedText(title, Qt::ElideRight, std::max(0, room - tabsWidth - spacing)));
    // Nor is a title without text drawn.
    title_->setVisible(!title_->text().isEmpty());
}

} // namespace orvenda
