#include "input/KeyCatalogScreen.h"

#include "app/NamedColors.h"
#include "app/WindowFit.h"
#include "core/Calculator.h"
#include "core/KeySets.h"
#include "core/VColor.h"
#include "core/services/EntryManager.h"
#include "input/SectionTable.h"
#include "input/SegmentedControl.h"
#include "pretty/FontMap.h"

#include <QHBoxLayout>
#include <QInputDialog>
#include <QKeyEvent>
#include <QPushButton>

namespace orvenda {

namespace {

constexpr int kCatalogBarHeight = 44;

} // namespace

KeyCatalogScreen::KeyCatalogScreen(Calculator& calc, QWidget* parent)
    : ScreenController(calc, parent), bar_(new QWidget(this)),
      done_(new QPushButton(QStringLiteral("Done"), bar_)),
      mode_(new SegmentedControl({QStringLiteral("Pick"), QStringLiteral("Edit")}, bar_)),
      add_(new QPushButton(QStringLiteral("+"), bar_)), table_(new SectionTable(calc.device == 1, this))
{
    setFocusPolicy(Qt::StrongFocus);
    setAutoFillBackground(true);
    bar_->setAttribute(Qt::WA_StyledBackground);
    auto* row = new QHBoxLayout(bar_);
    row->setContentsMargins(6, 4, 6, 4);
    row->addWidget(done_);
    row->addStretch();
    row->addWidget(mode_);
    row->addStretch();
    row->addWidget(add_);
    for (QWidget* w : std::initializer_list<QWidget*>{done_, add_})
        w->setFocusPolicy(Qt::NoFocus);
    mode_->changed = [this](int segment) { setEditing(segment == 1); };
    connect(done_, &QPushButton::clicked, this, [this] { done(); });
    connect(add_, &QPushButton::clicked, this, [this] { add(); });
    table_->clicked = [this](TablePlace p, bool) { pick(p.section, p.row); };
}

void KeyCatalogScreen::resizeEvent(QResizeEvent*)
{
    bar_->setGeometry(0, 0, width(), kCatalogBarHeight);
    table_->setGeometry(0, kCatalogBarHeight, width(), std::max(0, height() - kCatalogBarHeight));
}

void KeyCatalogScreen::updateDisplay()
{
    const VColor bar = calc().interfaceColorIndex(7);
    SegmentedControl::styleBar(*bar_, QColor::fromRgbF(bar.r, bar.g, bar.b));
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, namedColor("docBackgroundColor"));
    setPalette(palette);
    table_->clear();
    table_->addHeader(0, QStringLiteral("Char Sets"));
    const auto system = KeySets::keySetNames(calc());
    for (std::size_t i = 0; i < system.size(); ++i)
        table_->addRow({0, static_cast<int>(i)}, QString::fromStdString(system[i]), {});
    table_->addHeader(1, QStringLiteral("User Char Sets"));
    const auto user = KeySets::userKeySetNames(calc());
    for (std::size_t i = 0; i < user.size(); ++i)
        table_->addRow({1, static_cast<int>(i)}, QString::fromStdString(user[i]), {});
    mode_->setSelected(editing_ ? 1 : 0);
}

void KeyCatalogScreen::pick(int section, int row)
{
    const auto names = section == 0 ? KeySets::keySetNames(calc()) : KeySets::userKeySetNames(calc());
    if (row < 0 || static_cast<std::size_t>(row) >= names.size())
        return;
    if (keyClick)
        keyClick();
    if (didPickSet)
        didPickSet(names[static_cast<std::size_t>(row)], section == 1 && editing_);
}

void KeyCatalogScreen::setEditing(bool on)
{
    editing_ = on;
    mode_->setSelected(on ? 1 : 0);
}

void KeyCatalogScreen::add()
{
    if (!addForm_) {
        addForm_ = new QInputDialog(this);
        addForm_->setWindowTitle(QStringLiteral("New Key Set"));
        addForm_->setLabelText(QStringLiteral("Name"));
        addForm_->setOkButtonText(QStringLiteral("Save"));
        connect(addForm_, &QInputDialog::textValueSelected, this,
            [this](const QString& name) { addKeySet(name.trimmed().toStdString()); });
        WindowFit::keep(*addForm_);
    }
    addForm_->setTextValue(QString());
    addForm_->open();
}

void KeyCatalogScreen::addKeySet(const std::string& name)
{
    // A blank name would make a set no one can pick by name.
    if (name.empty())
        return;
    KeySets::userKeySetAdd(calc(), name);
    updateDisplay();
}

void KeyCatalogScreen::done()
{
    if (calc().entryManager)
        calc().entryManager->clear();
    hide();
    if (keyCatalogDone)
        keyCatalogDone();
}

void KeyCatalogScreen::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape)
        done();
    else
        ScreenController::keyPressEvent(event);
}

QWidget* KeyCatalogScreen::leaveControl() const { return done_; }

} // namespace orvenda
