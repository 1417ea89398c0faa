#include "docs/HelpMenuScreen.h"

#include "app/CurrentRowKeeper.h"
#include "app/NamedColors.h"
#include "apps/FourFunctionPanel.h"
#include "core/Calculator.h"
#include "docs/ContactScreen.h"
#include "docs/FunctionHelpScreen.h"
#include "docs/GuideKeyboardScreen.h"
#include "docs/HTMLPageScreen.h"
#include "language/Localization.h"
#include "pretty/FontMap.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStackedWidget>

namespace orvenda {

namespace {
constexpr int kBarHeight = 40;
// The index's width beside the page on a tablet.
constexpr int kIndexWidth = 260;

bool darkAppearance() { return QGuiApplication::palette().color(QPalette::Window).lightnessF() < 0.5; }

// A bar button as wide as its caption: the narrowest window keeps the title between them.
void setCaption(QPushButton& button, const QString& caption)
{
    constexpr int kPadding = 20;
    button.setText(caption);
    button.setFixedWidth(button.fontMetrics().horizontalAdvance(caption) + kPadding);
}
} // namespace

const std::array<HelpMenuScreen::Topic, HelpMenuScreen::kTopicCount>& HelpMenuScreen::topics()
{
    using O = Opens;
    static constexpr std::array<Topic, kTopicCount> kTopics{{
        {"HELP_MENU_CONTACT", O::Contact, "", 0},
        {"HELP_MENU_INTRO", O::Html, "Introduction", 0},
        {"HELP_MENU_NEW_FEATURES", O::Function, "New Features", 0},
        {"HELP_MENU_FAQ", O::Function, "FAQ", 0},
        {"HELP_MENU_KEYBOARD", O::Keyboard, "", 0},
        {"HELP_MENU_MODE", O::FunctionOp, "", 1029},
        {"HELP_MENU_HOME_SCREEN", O::FunctionOp, "", 4117},
        {"HELP_MENU_MENUS", O::FunctionOp, "", 4134},
        {"HELP_MENU_CATALOG", O::FunctionOp, "", 1056},
        {"HELP_MENU_GRAPH_SCREEN", O::FunctionOp, "", 1028},
        {"HELP_MENU_ZOOM", O::FunctionOp, "", 1026},
        {"HELP_MENU_TABLE", O::FunctionOp, "", 1049},
        {"HELP_MENU_LISTS", O::Function, "Lists", 0},
        {"HELP_MENU_ARRAYS", O::Function, "Arrays", 0},
        {"HELP_MENU_PROGRAMS", O::Function, "PRGM", 0},
        {"HELP_MENU_SHARING", O::Function, "Sharing Data and Programs", 0},
        {"HELP_MENU_1984_CALC", O::Calculator, "", 0},
    }};
    return kTopics;
}

QString HelpMenuScreen::title(int row)
{
    if (row < 0 || row >= kTopicCount)
        return {};
    return QString::fromStdString(Localization::shared().text(topics()[static_cast<std::size_t>(row)].key, ""));
}

HelpMenuScreen::HelpMenuScreen(Calculator& calc, bool tablet, QWidget* parent)
    : ScreenController(calc, parent), tablet_(tablet), bar_(new QWidget(this)),
      backButton_(new QPushButton(QStringLiteral("‹ Help"), bar_)), title_(new QLabel(QStringLiteral("Help"), bar_)),
      done_(new QPushButton(QStringLiteral("Done"), bar_)), share_(new QPushButton(QStringLiteral("Share"), bar_)),
      index_(new QListWidget(this)),
      topicView_(new QStackedWidget(this))
{
    CurrentRowKeeper::keep(*index_);
    setFocusPolicy(Qt::StrongFocus);
    setAutoFillBackground(true);
    paintAsBar(bar_);
    auto* row = new QHBoxLayout(bar_);
    row->setContentsMargins(4, 2, 4, 2);
    row->addWidget(backButton_);
    row->addWidget(title_, 1);
    row->addWidget(share_);
    row->addWidget(done_);
    title_->setAlignment(Qt::AlignCenter);
    title_->setFont(FontMap::shared().font("Helvetica-Bold", 16));
    backButton_->hide();
    share_->hide();
    for (QPushButton* b : {backButton_, done_, share_}) {
        b->setFocusPolicy(Qt::NoFocus);
        setCaption(*b, b->text());
    }
    index_->setFont(FontMap::shared().font("Helvetica-Bold", tablet ? 18 : 16));
    index_->setFrameShape(QFrame::NoFrame);
    for (int r = 0; r < kTopicCount; ++r) {
        auto* item = new QListWidgetItem(title(r), index_);
        item->setData(Qt::UserRole, r);
        item->setSizeHint(QSize(0, tablet ? 52 : 44));
    }
    connect(index_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) { showPage(item->data(Qt::UserRole).toInt()); });
    connect(index_, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) { showPage(item->data(Qt::UserRole).toInt()); });
    connect(backButton_, &QPushButton::clicked, this, [this] { back(); });
    connect(done_, &QPushButton::clicked, this, [this] { done(); });
    connect(share_, &QPushButton::clicked, this, [this] {
        if (FunctionHelpScreen* help = helpInFront())
            help->print();
    });
    topicView_->setVisible(tablet_);
    layoutViews();
    // A tablet shows the introduction beside the index from the start.
    if (tablet_)
        showPage(1);
}

void HelpMenuScreen::showPage(int row)
{
    if (row >= 0 && row < kTopicCount) {
        const Topic& topic = topics()[static_cast<std::size_t>(row)];
        const QString page = QString::fromUtf8(topic.page.data(), static_cast<qsizetype>(topic.page.size()));
        switch (topic.opens) {
        case Opens::Html: showHTMLPage(page); break;
        case Opens::Function: showFunction(page); break;
        case Opens::FunctionOp: showFunctionPage(topic.op); break;
        case Opens::Keyboard: showKeyboardView(); break;
        case Opens::Contact: showContactPage(); break;
        case Opens::Calculator: showCalculator(); break;
        }
    }
    currentTopic_ = row;
    // The index marks the topic shown.
    for (int i = 0; i < index_->count(); ++i)
        if (index_->item(i)->data(Qt::UserRole).toInt() == row)
            index_->setCurrentRow(i);
}

void HelpMenuScreen::showFunction(const QString& name)
{
    if (!functionHelp_) {
        functionHelp_ = new FunctionHelpScreen(calc(), topicView_);
        // The index's bar names the page and leads back.
        functionHelp_->setBarShown(false);
        functionHelp_->closed = [this] { back(); };
        if (prepareHelp)
            prepareHelp(*functionHelp_);
        topicView_->addWidget(functionHelp_);
    }
    functionHelp_->showFunction(name);
    present(functionHelp_, name.trimmed());
}

void HelpMenuScreen::showFunctionPage(std::uint32_t op) { showFunction(QString::fromStdString(calc().nameForOpcode(op))); }

void HelpMenuScreen::showHTMLPage(const QString& name)
{
    if (!htmlPage_) {
        htmlPage_ = new HTMLPageScreen(calc(), tablet_, topicView_);
        htmlPage_->openFunction = [this](const QString& page) { showFunction(page); };
        htmlPage_->closed = [this] { back(); };
        topicView_->addWidget(htmlPage_);
    }
    htmlPage_->loadPage(name);
    present(htmlPage_, name);
    htmlPage_->appear(darkAppearance());
}

void HelpMenuScreen::showKeyboardView()
{
    if (!keyboard_) {
        keyboard_ = new GuideKeyboardScreen(calc(), tablet_, topicView_);
        keyboard_->closed = [this] { back(); };
        keyboard_->prepareHelp = prepareHelp;
        keyboard_->helpChanged = [this] {
            showGuideBar();
            updateShare();
        };
        // A phone pushes the key's page: the index's bar names it and leads back to the
        // guide, where the page's own bar would make a second one.
        if (!tablet_)
            keyboard_->setHelpBarShown(false);
        topicView_->addWidget(keyboard_);
    }
    present(keyboard_, QStringLiteral("Keyboard"));
    showGuideBar();
}

void HelpMenuScreen::setSupport(SupportActions* support)
{
    support_ = support;
    if (contact_)
        contact_->setSupport(support);
}

void HelpMenuScreen::showContactPage()
{
    if (!contact_) {
        contact_ = new ContactScreen(calc(), tablet_, topicView_);
        contact_->setSupport(support_);
        contact_->closed = [this] { back(); };
        topicView_->addWidget(contact_);
    }
    present(contact_, ContactScreen::title());
}

void HelpMenuScreen::showCalculator()
{
    if (!calculator_) {
        calculator_ = new FourFunctionPanel(calc(), topicView_);
        // The index's bar leads back; Escape too.
        calculator_->setDoneShown(false);
        calculator_->setLeave([this] { back(); });
        calculator_->keyClick = [this] {
            if (keyClick)
                keyClick();
        };
        topicView_->addWidget(calculator_);
    }
    present(calculator_, QStringLiteral("Calculator"));
}

void HelpMenuScreen::showGuideBar()
{
    if (tablet_ || !keyboard_ || currentPage() != keyboard_)
        return;
    const bool page = keyboard_->helpShown();
    title_->setText(page ? keyboard_->functionHelp()->functionName().trimmed() : QStringLiteral("Keyboard"));
    setCaption(*backButton_, page ? QStringLiteral("‹ Keyboard") : QStringLiteral("‹ Help"));
}

void HelpMenuScreen::present(ScreenController* page, const QString& title)
{
    topicView_->setCurrentWidget(page);
    topicView_->show();
    if (!tablet_) {
        index_->hide();
        setCaption(*backButton_, QStringLiteral("‹ Help"));
        backButton_->show();
        title_->setText(title);
    }
    page->show();
    page->setFocus();
    page->update();
    updateShare();
}

FunctionHelpScreen* HelpMenuScreen::helpInFront() const
{
    QWidget* page = currentPage();
    if (page && page == functionHelp_)
        return functionHelp_;
    // A key's page over the guide (a tablet's has a bar with Share of its own).
    if (page && page == keyboard_ && keyboard_->helpShown())
        return keyboard_->functionHelp();
    return nullptr;
}

void HelpMenuScreen::updateShare()
{
    FunctionHelpScreen* help = helpInFront();
    share_->setVisible(help && !(tablet_ && help == (keyboard_ ? keyboard_->functionHelp() : nullptr)));
}

QWidget* HelpMenuScreen::currentPage() const
{
    if (topicView_->isHidden())
        return nullptr;
    return topicView_->currentWidget();
}

void HelpMenuScreen::back()
{
    if (tablet_ || topicView_->isHidden()) {
        done();
        return;
    }
    // A key's page pushed over the guide goes first.
    if (keyboard_ && currentPage() == keyboard_ && keyboard_->helpShown()) {
        keyboard_->hideHelp();
        return;
    }
    topicView_->hide();
    index_->show();
    backButton_->hide();
    title_->setText(QStringLiteral("Help"));
    updateShare();
    index_->setFocus();
}

void HelpMenuScreen::done()
{
    hide();
    focus(false);
    if (closed)
        closed();
}

void HelpMenuScreen::releasePages()
{
    for (ScreenController* page :
        std::initializer_list<ScreenController*>{functionHelp_, htmlPage_, keyboard_, contact_}) {
        if (!page)
            continue;
        topicView_->removeWidget(page);
        page->deleteLater();
    }
    functionHelp_ = nullptr;
    htmlPage_ = nullptr;
    keyboard_ = nullptr;
    contact_ = nullptr;
}

void HelpMenuScreen::focus(bool gained)
{
    const bool had = listening();
    ScreenController::focus(gained);
    if (gained == had)
        return;
    if (gained) {
        // The last topic comes back beside the index on a tablet.
        if (tablet_)
            showPage(currentTopic_);
        index_->setFocus();
        return;
    }
    if (!tablet_) {
        topicView_->hide();
        index_->show();
        backButton_->hide();
        title_->setText(QStringLiteral("Help"));
    }
    releasePages();
    share_->hide();
}

void HelpMenuScreen::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        back();
        return;
    }
    ScreenController::keyPressEvent(event);
}

void HelpMenuScreen::resizeEvent(QResizeEvent*) { layoutViews(); }

void HelpMenuScreen::layoutViews()
{
    bar_->setGeometry(0, 0, width(), kBarHeight);
    const QRect below(0, kBarHeight, width(), std::max(0, height() - kBarHeight));
    if (tablet_) {
        index_->setGeometry(below.x(), below.y(), kIndexWidth, below.height());
        topicView_->setGeometry(below.adjusted(kIndexWidth + 1, 0, 0, 0));
    } else {
        index_->setGeometry(below);
        topicView_->setGeometry(below);
    }
}

QWidget* HelpMenuScreen::leaveControl() const { return done_; }

} // namespace orvenda
