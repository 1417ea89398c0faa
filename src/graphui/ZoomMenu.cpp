#include "graphui/ZoomMenu.h"

#include "app/CurrentRowKeeper.h"
#include "app/KeyRouter.h"
#include "core/Calculator.h"
#include "drawing/VImageDraw.h"
#include "pretty/FontMap.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace orvenda {

namespace {

constexpr std::array<const char*, 4> kKeySpecs{
    "UIKeyInputEscape,,,cancelZoom:", "UIKeyInputDownArrow,,,kChar:", "UIKeyInputUpArrow,,,kChar:", "\r,,,kChar:"};
// The selector's segments: both axes, horizontal, vertical.
constexpr std::array<const char*, 3> kSegmentImages{"scalePlus", "hScalePlus", "vScalePlus"};
constexpr std::array<const char*, 3> kSegmentNames{"Both Axes", "Horizontal", "Vertical"};

} // namespace

ZoomMenu::ZoomMenu(Calculator& calc, KeyRouter& keys, bool tablet, QWidget* parent)
    : QWidget(parent), calc_(calc), keys_(keys), cancel_(new QPushButton(QStringLiteral("Cancel"), this)), list_(new QListWidget(this)), selector_(new QWidget(this)),
      segments_(new QButtonGroup(this))
{
    CurrentRowKeeper::keep(*list_);
    for (const char* spec : kKeySpecs)
        if (auto command = KeyCommandSpec::parse(QString::fromUtf8(spec)))
            keyCmds_.push_back(*command);
    setAutoFillBackground(true);
    // Dark grey, the selector's bar black: the library's images are white.
    setObjectName(QStringLiteral("zoomMenu"));
    selector_->setObjectName(QStringLiteral("zoomSelector"));
    selector_->setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(QStringLiteral("#zoomMenu, QListWidget { background: rgb(48, 48, 48); color: white; }"
                                 "#zoomSelector { background: black; }"
                                 "QListWidget::item:selected { background: rgb(90, 90, 140); }"
                                 "QPushButton { color: white; background: black; border: 1px solid white;"
                                 " border-radius: 4px; padding: 4px 12px; }"
                                 "QToolButton { background: black; border: 1px solid white; }"
                                 // The images are white: the chosen segment is a lighter ground.
                                 "QToolButton:checked { background: rgb(40, 110, 220); }"));
    list_->setFont(FontMap::shared().font("CourierNewPS-BoldMT", 22));
    list_->setFocusPolicy(Qt::NoFocus);
    for (int token : kZoomItems)
        list_->addItem(QString::fromStdString(calc_.nameForOpcode(static_cast<std::uint32_t>(token))));
    connect(list_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) { pickRow(list_->row(item)); });
    cancel_->setFont(FontMap::shared().font("Helvetica-Bold", 16));
    cancel_->setFocusPolicy(Qt::NoFocus);
    connect(cancel_, &QPushButton::clicked, this, [this] { cancelZoom(); });
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    auto* top = new QHBoxLayout;
    top->setContentsMargins(8, 6, 8, 6);
    top->addWidget(cancel_);
    top->addStretch();
    column->addLayout(top);
    column->addWidget(list_, 1);
    column->addWidget(selector_);
    auto* row = new QHBoxLayout(selector_);
    row->setContentsMargins(8, 6, 8, 6);
    for (int i = 0; i < static_cast<int>(kSegmentImages.size()); ++i) {
        auto* button = new QToolButton(selector_);
        const QImage image = VImageDraw::vImageDraw().getImage(kSegmentImages[static_cast<std::size_t>(i)], 1);
        button->setIcon(QIcon(QPixmap::fromImage(image)));
        button->setIconSize(image.deviceIndependentSize().toSize());
        button->setAccessibleName(QString::fromUtf8(kSegmentNames[static_cast<std::size_t>(i)]));
        button->setCheckable(true);
        button->setChecked(i == 0);
        button->setFocusPolicy(Qt::NoFocus);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        segments_->addButton(button, i);
        row->addWidget(button);
    }
    segments_->setExclusive(true);
    connect(segments_, &QButtonGroup::idClicked, this, [this](int id) { zoomButtons(id); });
    // A tablet's menu is a popover with neither Cancel nor the axis selector: a tap outside
    // closes it, and the screen's fixed-direction zoom buttons choose the axes.
    selector_->setVisible(!tablet);
    cancel_->setVisible(!tablet);
    if (tablet) {
        top->setContentsMargins(0, 0, 0, 0);
        setWindowFlags(Qt::Popup);
    }
    setFocusPolicy(Qt::StrongFocus);
}

QAbstractButton& ZoomMenu::segment(int index) const { return *segments_->button(index); }

void ZoomMenu::respondToKeyboard() { selectRow(kStandardRow); }

void ZoomMenu::cancelZoom()
{
    if (delegate_)
        delegate_->zoomCanceled();
}

void ZoomMenu::zoomButtons(int segment)
{
    if (delegate_)
        delegate_->didPickZoomButton(segment == 2 ? 2 : segment == 1 ? 1 : 0);
}

void ZoomMenu::pickRow(int row)
{
    if (row < 0 || row >= static_cast<int>(kZoomItems.size()))
        return;
    keys_.doKeyClick();
    list_->clearSelection();
    list_->setCurrentRow(-1);
    if (delegate_)
        delegate_->didPickOp(kZoomItems[static_cast<std::size_t>(row)]);
}

int ZoomMenu::selectedRow() const
{
    const auto selected = list_->selectedItems();
    return selected.isEmpty() ? -1 : list_->row(selected.front());
}

void ZoomMenu::selectRow(int row)
{
    list_->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
}

void ZoomMenu::keyPressEvent(QKeyEvent* event)
{
    const QKeyCombination pressed = event->keyCombination();
    for (const KeyCommandSpec& command : keyCmds_) {
        // The keypad's Enter is the same key as Return here.
        const bool matches = command.key == pressed
            || (command.key.key() == Qt::Key_Return && pressed.key() == Qt::Key_Enter
                && command.key.keyboardModifiers() == (pressed.keyboardModifiers() & ~Qt::KeypadModifier));
        if (!matches)
            continue;
        if (command.action == QStringLiteral("cancelZoom:")) {
            cancelZoom();
        } else {
            const int row = selectedRow();
            const int last = static_cast<int>(kZoomItems.size()) - 1;
            if (command.key.key() == Qt::Key_Down)
                selectRow(row < 0 ? 1 : std::min(row + 1, last));
            else if (command.key.key() == Qt::Key_Up)
                selectRow(std::max(row - 1, 0));
            else
                pickRow(std::max(row, 0));
        }
        return;
    }
    // Over the graph (a phone's menu) a plain key acts on nothing: + and − would zoom the
    // graph out of sight. The chords (ON, the screens' keys) still go on.
    if (!isWindow() && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace orvenda
