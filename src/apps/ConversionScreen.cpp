#include "apps/ConversionScreen.h"

#include "app/CurrentRowKeeper.h"
#include "app/NamedColors.h"
#include "core/Calculator.h"
#include "core/VColor.h"
#include "core/services/EntryManager.h"
#include "input/SegmentedControl.h"
#include "language/UnitNames.h"
#include "language/Vocabulary.h"
#include "numeric/UnitConverter.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include <algorithm>
#include <charconv>
#include <string>

namespace orvenda {

namespace {

constexpr int kBarHeight = 44;
constexpr int kLabelHeight = 26;

QString text(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// The number typed on the entry line, or 1: only a plain number, so that nothing is run on
// the main thread to show a label.
double entryValue(const Calculator& calc)
{
    if (!calc.entryManager)
        return 1;
    std::string s = calc.entryManager->text();
    std::string plain;
    plain.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        if (s.compare(i, 3, "ᴱ") == 0) {
            plain += 'e';
            i += 3;
        } else if (s[i] != ' ') {
            plain += s[i++];
        } else {
            ++i;
        }
    }
    double x = 1;
    const char* end = plain.data() + plain.size();
    const auto [at, error] = std::from_chars(plain.data(), end, x);
    return plain.empty() || error != std::errc() || at != end ? 1 : x;
}

} // namespace

ConversionScreen::ConversionScreen(Calculator& calc, QWidget* parent)
    : ScreenController(calc, parent), bar_(new QWidget(this)), done_(new QPushButton(QStringLiteral("Done"), bar_)),
      display_(new SegmentedControl({QStringLiteral("Units"), QStringLiteral("Constants")}, bar_)),
      swap_(new QPushButton(QStringLiteral("Swap"), bar_)), select_(new QPushButton(QStringLiteral("Select"), bar_)),
      selection_(new QLabel(this)), fullSelection_(new QLabel(this)),
      columns_{new QListWidget(this), new QListWidget(this), new QListWidget(this)}
{
    for (QListWidget* column : columns_)
        CurrentRowKeeper::keep(*column);
    setFocusPolicy(Qt::StrongFocus);
    setAutoFillBackground(true);
    bar_->setAttribute(Qt::WA_StyledBackground);
    auto* row = new QHBoxLayout(bar_);
    row->setContentsMargins(6, 4, 6, 4);
    row->addWidget(done_);
    row->addStretch();
    row->addWidget(display_);
    row->addStretch();
    row->addWidget(swap_);
    row->addWidget(select_);
    for (QWidget* w : std::initializer_list<QWidget*>{done_, swap_, select_})
        w->setFocusPolicy(Qt::NoFocus);
    for (QLabel* label : {selection_, fullSelection_})
        label->setAlignment(Qt::AlignCenter);
    display_->changed = [this](int segment) { setMode(segment); };
    connect(done_, &QPushButton::clicked, this, [this] { leave(); });
    connect(swap_, &QPushButton::clicked, this, [this] { swap(); });
    connect(select_, &QPushButton::clicked, this, [this] { select(); });
    for (int k = 0; k < 3; ++k) {
        QListWidget* list = columns_[k];
        list->setFocusPolicy(Qt::NoFocus);
        list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        connect(list, &QListWidget::currentRowChanged, this, [this, k](int row) {
            if (filling_ || row < 0)
                return;
            column_ = k;
            if (mode_ == Constants)
                pickConstant(row);
            else if (k == 0)
                pickClass(row);
            else
                pickUnits(k == 1 ? row : from_, k == 2 ? row : to_);
        });
    }
    const unsigned last = calc.m_lastClass;
    class_ = last < UnitNames::kClassCount ? static_cast<int>(last) : 0;
    from_ = static_cast<int>(calc.m_lastFrom);
    to_ = static_cast<int>(calc.m_lastTo);
    fillUnits();
}

void ConversionScreen::resizeEvent(QResizeEvent*)
{
    const double k = textScale();
    if (k != appliedScale_) {
        // The screen's own font, which its lists, labels and buttons take.
        QFont font = QWidget::font();
        if (baseFontSize_ <= 0)
            baseFontSize_ = font.pointSizeF() > 0 ? font.pointSizeF() : 10;
        font.setPointSizeF(baseFontSize_ * k);
        setFont(font);
        appliedScale_ = k;
    }
    const int barHeight = static_cast<int>(kBarHeight * k), labelHeight = static_cast<int>(kLabelHeight * k);
    bar_->setGeometry(0, 0, width(), barHeight);
    selection_->setGeometry(0, barHeight, width(), labelHeight);
    fullSelection_->setGeometry(0, barHeight + labelHeight, width(), labelHeight);
    const int top = barHeight + 2 * labelHeight;
    const int h = std::max(0, height() - top);
    if (mode_ == Constants) {
        columns_[0]->setGeometry(0, top, width(), h);
        return;
    }
    // The class column and two unit columns, in the proportions of the phone's 110, 96, 96
    // (a tablet's 126, 106, 106).
    const bool tablet = calc().device == 1;
    const double classPart = tablet ? 126.0 / 338 : 110.0 / 302;
    const int classWidth = static_cast<int>(width() * classPart);
    const int unitWidth = (width() - classWidth) / 2;
    columns_[0]->setGeometry(0, top, classWidth, h);
    columns_[1]->setGeometry(classWidth, top, unitWidth, h);
    columns_[2]->setGeometry(classWidth + unitWidth, top, width() - classWidth - unitWidth, h);
}

void ConversionScreen::updateDisplay()
{
    const VColor bar = calc().interfaceColorIndex(7);
    const QColor barColour = QColor::fromRgbF(bar.r, bar.g, bar.b);
    SegmentedControl::styleBar(*bar_, barColour);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, barColour);
    setPalette(palette);
    // The conversion's lines over the bar: light on a dark bar, dark on a light one.
    for (QLabel* label : {selection_, fullSelection_}) {
        QPalette p = label->palette();
        p.setColor(QPalette::WindowText, barColour.lightnessF() < 0.5 ? QColor(Qt::white) : QColor(Qt::black));
        label->setPalette(p);
    }
    for (QListWidget* list : columns_) {
        QPalette p = list->palette();
        p.setColor(QPalette::Base, namedColor("docBackgroundColor"));
        list->setPalette(p);
    }
    convertValue_ = entryValue(calc());
    convert();
}

void ConversionScreen::fillUnits()
{
    filling_ = true;
    if (mode_ == Constants) {
        columns_[0]->clear();
        for (std::string_view name : UnitNames::constFullNames())
            columns_[0]->addItem(text(name));
        columns_[0]->setCurrentRow(constant_);
        columns_[1]->hide();
        columns_[2]->hide();
    } else {
        if (columns_[0]->count() != static_cast<int>(UnitNames::kClassCount)) {
            columns_[0]->clear();
            for (std::string_view name : UnitNames::conversionType())
                columns_[0]->addItem(text(name));
        }
        const int units = static_cast<int>(UnitNames::unitCount(static_cast<std::uint32_t>(class_)));
        // A file may have brought any pair: only the class's own units.
        if (from_ >= units)
            from_ = 0;
        if (to_ >= units)
            to_ = 0;
        for (int k = 1; k < 3; ++k) {
            columns_[k]->clear();
            for (std::string_view name : UnitNames::conversionList()[static_cast<std::size_t>(class_)])
                columns_[k]->addItem(text(name));
            columns_[k]->show();
        }
        columns_[0]->setCurrentRow(class_);
        columns_[1]->setCurrentRow(from_);
        columns_[2]->setCurrentRow(to_);
    }
    filling_ = false;
    swap_->setVisible(mode_ == Conversions);
    display_->setSelected(mode_);
    resizeEvent(nullptr);
    convert();
}

void ConversionScreen::setMode(int mode)
{
    mode_ = mode == Constants ? Constants : Conversions;
    column_ = 0;
    fillUnits();
}

void ConversionScreen::pickClass(int unitClass)
{
    if (unitClass < 0 || unitClass >= static_cast<int>(UnitNames::kClassCount))
        return;
    class_ = unitClass;
    const auto& pair = calc().toFrom[static_cast<std::size_t>(unitClass)];
    from_ = static_cast<int>(pair[0]);
    to_ = static_cast<int>(pair[1]);
    fillUnits();
    pickUnits(from_, to_);
}

void ConversionScreen::pickUnits(int from, int to)
{
    const int units = static_cast<int>(UnitNames::unitCount(static_cast<std::uint32_t>(class_)));
    if (from < 0 || from >= units || to < 0 || to >= units)
        return;
    from_ = from;
    to_ = to;
    Calculator& c = calc();
    c.toFrom[static_cast<std::size_t>(class_)] = {static_cast<unsigned>(from), static_cast<unsigned>(to)};
    c.m_lastClass = static_cast<unsigned>(class_);
    c.m_lastFrom = static_cast<unsigned>(from);
    c.m_lastTo = static_cast<unsigned>(to);
    filling_ = true;
    columns_[1]->setCurrentRow(from_);
    columns_[2]->setCurrentRow(to_);
    filling_ = false;
    convert();
}

void ConversionScreen::pickConstant(int index)
{
    if (index < 0 || index >= static_cast<int>(UnitNames::kConstantCount))
        return;
    constant_ = index;
    filling_ = true;
    columns_[0]->setCurrentRow(index);
    filling_ = false;
    convert();
}

void ConversionScreen::swap()
{
    if (mode_ == Conversions)
        pickUnits(to_, from_);
}

std::uint32_t ConversionScreen::op() const
{
    if (mode_ == Constants)
        return UnitNames::kConstantToken | (static_cast<std::uint32_t>(constant_) << 16);
    return UnitNames::opcodeForClass(static_cast<std::uint32_t>(class_), static_cast<std::uint32_t>(from_),
                                     static_cast<std::uint32_t>(to_));
}

QString ConversionScreen::resultText() const
{
    if (mode_ == Constants)
        return text(UnitNames::constDescription()[static_cast<std::size_t>(constant_)]);
    const std::uint32_t conversion = op();
    const double y = UnitConverter::convert(convertValue_, conversion >> 16).value_or(0);
    const NumberFormatter format = calc().numberFormatter();
    return text(format.formatReal(convertValue_) + UnitNames::nameForOp(conversion) + " = " + format.formatReal(y));
}

QString ConversionScreen::fullText() const
{
    return mode_ == Constants ? QString() : text(UnitNames::expandedNameForOp(op()));
}

void ConversionScreen::convert()
{
    selection_->setText(resultText());
    fullSelection_->setText(fullText());
}

void ConversionScreen::select()
{
    if (keyClick)
        keyClick();
    if (picked)
        picked(op());
}

void ConversionScreen::moveRow(int by)
{
    QListWidget* list = columns_[column_];
    const int row = std::clamp(list->currentRow() + by, 0, std::max(0, list->count() - 1));
    list->setCurrentRow(row);
}

void ConversionScreen::keyPressEvent(QKeyEvent* event)
{
    const int columns = mode_ == Constants ? 1 : 3;
    switch (event->key()) {
    case Qt::Key_Escape: leave(); break;
    case Qt::Key_Return: case Qt::Key_Enter: select(); break;
    case Qt::Key_Left: column_ = std::max(0, column_ - 1); break;
    case Qt::Key_Right: column_ = std::min(columns - 1, column_ + 1); break;
    case Qt::Key_Up: moveRow(-1); break;
    case Qt::Key_Down: moveRow(1); break;
    default: ScreenController::keyPressEvent(event); break;
    }
}

QWidget* ConversionScreen::leaveControl() const { return done_; }

} // namespace orvenda
