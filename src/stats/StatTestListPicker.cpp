#include "stats/StatTestListPicker.h"

#include "app/NamedColors.h"
#include "core/Calculator.h"
#include "pretty/FontMap.h"
#include "stats/ColumnPicker.h"
#include "stats/StatTestCatalogue.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>

#include <algorithm>

namespace orvenda {

namespace {

using C = StatTestCatalogue;
constexpr int kBarHeight = 44;
constexpr int kCaptionHeight = 22;
constexpr int kWheelsHeight = 5 * ColumnPicker::kRowHeight;

int indexOf(const std::vector<std::string>& names, const std::string& name)
{
    const auto found = std::find(names.begin(), names.end(), name);
    return found == names.end() ? -1 : static_cast<int>(found - names.begin());
}

} // namespace

StatTestListPicker::StatTestListPicker(Calculator& calc, QWidget* parent)
    : QWidget(parent), calc_(calc), panel_(new QWidget(this)), done_(new QPushButton(QStringLiteral("Done"), panel_)),
      picker_(new ColumnPicker(panel_))
{
    panel_->setAutoFillBackground(true);
    QPalette palette = panel_->palette();
    palette.setColor(QPalette::Window, namedColor("docBackgroundColor"));
    panel_->setPalette(palette);
    done_->setFocusPolicy(Qt::NoFocus);
    done_->setFont(FontMap::shared().font("Helvetica-Bold", 16));
    connect(done_, &QPushButton::clicked, this, [this] { finish(); });
    picker_->setColors(namedColor("docBackgroundColor"), namedColor("fontColor"));
    picker_->setOnSelect([this](int, int) {
        if (onChange)
            onChange(choice(), false);
    });
    for (int i = 0; i < 4; ++i) {
        auto* label = new QLabel(panel_);
        label->setAlignment(Qt::AlignCenter);
        label->setFont(FontMap::shared().font("Helvetica-Bold", 14));
        labels_.push_back(label);
    }
}

void StatTestListPicker::setUp(std::uint32_t op, const std::vector<std::string>& names, const std::string& list1,
                               const std::string& freq1, const std::string& list2, const std::string& freq2, int matrix1,
                               int matrix2)
{
    op_ = op;
    names_ = names;
    showFreq_ = op != C::Chi2GOF;
    numLists_ = C::isThreeList(op) ? 3 : (C::isTwoSample(op) || op == C::Chi2GOF || op == C::Chi2Test) ? 2 : 1;
    delete picker_;
    picker_ = new ColumnPicker(panel_);
    picker_->setColors(namedColor("docBackgroundColor"), namedColor("fontColor"));
    picker_->setOnSelect([this](int, int) {
        if (onChange)
            onChange(choice(), false);
    });
    picker_->show();
    const auto rows = [](const std::vector<std::string>& texts) {
        std::vector<ColumnPicker::Row> out;
        out.reserve(texts.size());
        for (const std::string& t : texts)
            out.push_back({QString::fromStdString(t), QImage()});
        return out;
    };
    std::vector<std::string> freqNames{"1"};
    freqNames.insert(freqNames.end(), names.begin(), names.end());
    const auto freqRow = [&](const std::string& name) {
        if (name == "1")
            return 0;
        const int at = indexOf(names, name);
        return at < 0 ? -1 : at + 1;
    };
    if (op == C::Chi2Test) {
        std::vector<std::string> matrices;
        for (char m = 'A'; m <= 'J'; ++m)
            matrices.push_back(std::string("[") + m + "]");
        picker_->setColumn(0, rows(matrices), 160);
        picker_->setColumn(1, rows(matrices), 160);
        picker_->selectRow(0, matrix1);
        picker_->selectRow(1, matrix2);
    } else if (numLists_ == 3) {
        picker_->setColumn(0, rows(names), 107);
        picker_->setColumn(1, rows(names), 107);
        picker_->setColumn(2, rows(freqNames), 107);
        picker_->selectRow(0, indexOf(names, list1));
        picker_->selectRow(1, indexOf(names, list2));
        picker_->selectRow(2, freqRow(freq1));
    } else if (numLists_ == 2 && showFreq_) {
        picker_->setColumn(0, rows(names), 80);
        picker_->setColumn(1, rows(freqNames), 80);
        picker_->setColumn(2, rows(names), 80);
        picker_->setColumn(3, rows(freqNames), 80);
        picker_->selectRow(0, indexOf(names, list1));
        picker_->selectRow(1, freqRow(freq1));
        picker_->selectRow(2, indexOf(names, list2));
        picker_->selectRow(3, freqRow(freq2));
    } else if (numLists_ == 2) {
        picker_->setColumn(0, rows(names), 160);
        picker_->setColumn(1, rows(names), 160);
        picker_->selectRow(0, indexOf(names, list1));
        picker_->selectRow(1, indexOf(names, list2));
    } else {
        picker_->setColumn(0, rows(names), 160);
        picker_->setColumn(1, rows(freqNames), 160);
        picker_->selectRow(0, indexOf(names, list1));
        picker_->selectRow(1, freqRow(freq1));
    }
    const std::vector<std::string> captions = titles();
    for (std::size_t i = 0; i < labels_.size(); ++i) {
        labels_[i]->setVisible(i < captions.size());
        if (i < captions.size())
            labels_[i]->setText(QString::fromStdString(captions[i]));
    }
    layoutPanel();
}

std::vector<std::string> StatTestListPicker::titles() const
{
    if (op_ == C::Chi2Test)
        return {"Observed", "Expected"};
    if (numLists_ == 3)
        return {"XList", "YList", "Freq"};
    if (numLists_ == 2 && showFreq_)
        return {"List1", "Freq1", "List2", "Freq2"};
    // χ²GOF-Test's lists are titled as any two lists: "Observed" is χ²-Test's matrix alone.
    if (numLists_ == 2)
        return {"List1", "List2"};
    return {"List1", "Freq1"};
}

StatTestListPicker::Choice StatTestListPicker::choice() const
{
    Choice c;
    const auto name = [this](int col) {
        const int row = picker_->selectedRow(col);
        return row >= 0 && row < static_cast<int>(names_.size()) ? names_[static_cast<std::size_t>(row)] : std::string();
    };
    const auto freq = [this](int col) {
        const int row = picker_->selectedRow(col);
        if (row <= 0)
            return std::string("1");
        return row - 1 < static_cast<int>(names_.size()) ? names_[static_cast<std::size_t>(row - 1)] : std::string("1");
    };
    if (op_ == C::Chi2Test) {
        c.matrix1 = std::max(0, picker_->selectedRow(0));
        c.matrix2 = std::max(0, picker_->selectedRow(1));
        return c;
    }
    c.list1 = name(0);
    if (numLists_ == 3) {
        c.list2 = name(1);
        c.freq1 = freq(2);
    } else if (numLists_ == 2 && showFreq_) {
        c.freq1 = freq(1);
        c.list2 = name(2);
        c.freq2 = freq(3);
    } else if (numLists_ == 2) {
        c.list2 = name(1);
    } else {
        c.freq1 = freq(1);
    }
    return c;
}

void StatTestListPicker::finish()
{
    hide();
    if (onChange)
        onChange(choice(), true);
}

void StatTestListPicker::resizeEvent(QResizeEvent*) { layoutPanel(); }

void StatTestListPicker::layoutPanel()
{
    const int panelHeight = kBarHeight + kCaptionHeight + kWheelsHeight;
    // Just above the form, not above the top.
    const int bottom = anchorBottom_ > 0 ? anchorBottom_ : height();
    panel_->setGeometry(0, std::max(0, bottom - panelHeight), width(), panelHeight);
    done_->setGeometry(width() - 88, 0, 80, kBarHeight);
    picker_->setGeometry(0, kBarHeight + kCaptionHeight, width(), kWheelsHeight);
    const int columns = picker_->columnCount();
    // The captions over the columns as the picker centres them.
    for (int col = 0; col < columns && col < static_cast<int>(labels_.size()); ++col) {
        const QPointF centre = picker_->rowCenter(col, 0);
        const double w = static_cast<double>(width()) / columns;
        labels_[static_cast<std::size_t>(col)]->setGeometry(
            QRectF(centre.x() - w / 2, kBarHeight, w, kCaptionHeight).toRect().intersected(QRect(0, kBarHeight, width(), kCaptionHeight)));
    }
}

void StatTestListPicker::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), QColor(0, 0, 0, 128));
}

} // namespace orvenda
