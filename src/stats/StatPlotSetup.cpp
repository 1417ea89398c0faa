#include "stats/StatPlotSetup.h"

#include "app/AppShell.h"
#include "app/EntryEvaluator.h"
#include "app/KeyRouter.h"
#include "app/NamedColors.h"
#include "app/ScreenRouter.h"
#include "core/Calculator.h"
#include "drawing/VImageDraw.h"
#include "numeric/VQStatistics.h"
#include "pretty/FontMap.h"
#include "stats/ColumnPicker.h"
#include "stats/StatEqView.h"
#include "stats/StatPlotModel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include <algorithm>
#include <cmath>

namespace orvenda {

namespace {

constexpr int kCaptionHeight = 26;
constexpr int kPickerHeight = 5 * ColumnPicker::kRowHeight;
constexpr std::array<int, 4> kWidths{60, 58, 90, 90};
// The colour picker's least height: its mode row, a wheel and its three sliders.
constexpr int kLeastColorHeight = 240;
constexpr std::array<const char*, 3> kMarks{"boxDot", "plusDot", "dotDot"};
constexpr std::array<const char*, 6> kTitles{"Scatter", "XYLine", "Histogram", "ModBoxPlot", "BoxPlot", "NormProbPlot"};
constexpr std::array<const char*, 6> kTypeNames{"Scatter", "xyLine", "Histogram", "ModBoxplot", "Boxplot", "NormProbPlot"};
constexpr std::array<const char*, 2> kAxisNames{"X Axis", "Y Axis"};

bool takesFrequency(int type) { return type >= 2 && type <= 4; }

int indexOf(const std::vector<std::string>& names, const std::optional<std::string>& name)
{
    if (!name)
        return -1;
    const auto found = std::find(names.begin(), names.end(), *name);
    return found == names.end() ? -1 : static_cast<int>(found - names.begin());
}

} // namespace

StatPlotSetup::StatPlotSetup(Calculator& calc, AppShell& shell, ScreenRouter& router, QWidget* parent)
    : ScreenController(calc, parent), shell_(shell), router_(router), navBar_(new QWidget(this)), title_(new QLabel(navBar_)),
      done_(new QPushButton(QStringLiteral("Done"), navBar_)), picker_(new ColumnPicker(this)), colorView_(new QWidget(this)),
      colorPicker_(new VQColorPicker(colorView_))
{
    setAttribute(Qt::WA_StyledBackground);
    setObjectName(QStringLiteral("statPlotSetup"));
    setStyleSheet(QStringLiteral("#statPlotSetup { background: rgb(50, 50, 56); } QLabel { color: white; }"));
    navBar_->setAttribute(Qt::WA_StyledBackground);
    navBar_->setStyleSheet(QStringLiteral("background: rgb(40, 80, 150);"));
    auto* nav = new QHBoxLayout(navBar_);
    nav->setContentsMargins(12, 4, 8, 4);
    title_->setFont(FontMap::shared().font("Helvetica-Bold", 17));
    nav->addWidget(title_, 1);
    QPushButton* doneButton = done_;
    doneButton->setFont(FontMap::shared().font("Helvetica-Bold", 17));
    doneButton->setFlat(true);
    doneButton->setFocusPolicy(Qt::NoFocus);
    doneButton->setStyleSheet(QStringLiteral("color: white;"));
    nav->addWidget(doneButton);
    connect(doneButton, &QPushButton::clicked, this, [this] { done(); });

    static constexpr std::array<const char*, 3> kCaptions{"Type", "Mark", "X List"};
    for (std::size_t i = 0; i < captions_.size(); ++i) {
        captions_[i] = new QLabel(i < kCaptions.size() ? QString::fromLatin1(kCaptions[i]) : QString(), this);
        captions_[i]->setFont(FontMap::shared().font("Helvetica-Bold", 14));
        captions_[i]->setAlignment(Qt::AlignCenter);
    }
    picker_->setOnSelect([this](int column, int row) { pick(column, row); });
    // The marks and the icons' axes are drawn in black: the picker is light.
    picker_->setColors(namedColor("statPickerBackColor"), Qt::black);

    colorPicker_->setDelegate(this);
    colorPicker_->setKeyClick([this] { shell_.keys().doKeyClick(); });
}

void StatPlotSetup::resizeEvent(QResizeEvent*)
{
    navBar_->setGeometry(0, 0, width(), kNavHeight);
    int total = 0;
    for (int w : kWidths)
        total += w;
    const int pickerTop = kNavHeight + 4 + kCaptionHeight;
    // A window too short for the colours under the wheels (a phone on its side) has them
    // beside the wheels, on the right half.
    const bool beside = width() > height() && height() - pickerTop - kPickerHeight < kLeastColorHeight;
    const int wheels = beside ? width() / 2 : width();
    int x = std::max(0, (wheels - total) / 2);
    for (std::size_t i = 0; i < captions_.size(); ++i) {
        captions_[i]->setGeometry(x, kNavHeight + 4, kWidths[i], kCaptionHeight);
        x += kWidths[i];
    }
    // Upright but short (the least window, 320 × 390), the wheels show three rows, not five,
    // to leave the colours their mode row, a wheel and sliders.
    const bool cramped = !beside && height() - pickerTop - kPickerHeight < kLeastColorHeight;
    const int pickerHeight = cramped ? 3 * ColumnPicker::kRowHeight : kPickerHeight;
    picker_->setGeometry(0, pickerTop, wheels, pickerHeight);
    if (beside)
        colorView_->setGeometry(wheels, kNavHeight, width() - wheels, std::max(0, height() - kNavHeight));
    else
        colorView_->setGeometry(0, pickerTop + pickerHeight, width(), std::max(0, height() - pickerTop - pickerHeight));
    colorPicker_->setGeometry(colorView_->rect());
}

QString StatPlotSetup::title() const { return title_->text(); }

QString StatPlotSetup::fourthCaption() const { return captions_[FourthColumn]->text(); }

std::vector<std::string> StatPlotSetup::fourthNames() const
{
    if (graphType_ == StatGraphManager::NormProbPlot)
        return {kAxisNames[0], kAxisNames[1]};
    if (!takesFrequency(graphType_))
        return listNames_;
    std::vector<std::string> names{"1"};
    names.insert(names.end(), listNames_.begin(), listNames_.end());
    return names;
}

void StatPlotSetup::reloadColumns()
{
    const QColor stroke = QColor::fromRgbF(color_.r(), color_.g(), color_.b(), 1);
    std::vector<ColumnPicker::Row> types;
    for (const char* image : StatEqView::kTypeImages)
        types.push_back({QString(), VImageDraw::vImageDraw().getImage(image, 1, VColor{stroke.redF(), stroke.greenF(), stroke.blueF(), 1},
                                                                      VColor{0, 0, 0, 1})});
    picker_->setColumn(TypeColumn, std::move(types), kWidths[TypeColumn]);
    if (picker_->rowCount(MarkColumn) == 0) {
        std::vector<ColumnPicker::Row> marks;
        for (const char* image : kMarks)
            marks.push_back({QString(), VImageDraw::vImageDraw().getImage(image, 1)});
        picker_->setColumn(MarkColumn, std::move(marks), kWidths[MarkColumn]);
    }
    auto texts = [](const std::vector<std::string>& names) {
        std::vector<ColumnPicker::Row> rows;
        rows.reserve(names.size());
        for (const std::string& name : names)
            rows.push_back({QString::fromStdString(name), QImage()});
        return rows;
    };
    picker_->setColumn(XListColumn, texts(listNames_), kWidths[XListColumn]);
    picker_->setColumn(FourthColumn, texts(fourthNames()), kWidths[FourthColumn]);
}

void StatPlotSetup::updateLabels()
{
    captions_[FourthColumn]->setText(takesFrequency(graphType_) ? QStringLiteral("Freq")
                                     : graphType_ == StatGraphManager::NormProbPlot ? QStringLiteral("Axis")
                                                                                    : QStringLiteral("Y List"));
    if (graphType_ >= 0 && graphType_ < static_cast<int>(kTitles.size()))
        title_->setText(QString::fromLatin1(kTitles[static_cast<std::size_t>(graphType_)]));
}

void StatPlotSetup::setStatEqNum(int n)
{
    statEqNum_ = std::clamp(n, 0, StatPlotModel::kPlotCount - 1);
    listNames_ = shell_.evaluator().listNames();
    int mark = 0, axis = 0, xRow = 0, yRow = 0;
    {
        const auto state = calc().locked();
        const StatPlotModel* model = StatPlotModel::of(calc());
        if (!model)
            return;
        color_ = model->plotColor(statEqNum_);
        mark = model->plotMark(statEqNum_);
        graphType_ = model->plotType(statEqNum_);
        axis = model->plotDataAxis(statEqNum_);
        const auto stats = model->stats(statEqNum_);
        xRow = std::max(0, indexOf(listNames_, stats->listXName));
        if (takesFrequency(graphType_))
            yRow = indexOf(listNames_, stats->freqName) + 1;
        else if (graphType_ == StatGraphManager::NormProbPlot)
            yRow = axis == 1 ? 1 : 0;
        else
            yRow = std::max(0, indexOf(listNames_, stats->listYName));
    }
    colorPicker_->initColor(color_);
    updateLabels();
    reloadColumns();
    picker_->selectRow(TypeColumn, graphType_);
    picker_->selectRow(MarkColumn, mark);
    picker_->selectRow(XListColumn, xRow);
    picker_->selectRow(FourthColumn, yRow);
}

void StatPlotSetup::pick(int column, int row)
{
    if (column == TypeColumn) {
        graphType_ = row;
        // The fourth column takes the type's meaning at once.
        reloadColumns();
        updateLabels();
    }
    picker_->selectRow(column, row);
}

void StatPlotSetup::changeColor(const VQColor& color)
{
    color_ = VQColor::colorR(color.r(), color.g(), color.b(), color.a());
    reloadColumns();
}

std::vector<std::string> StatPlotSetup::selection() const
{
    std::vector<std::string> shown;
    const int type = picker_->selectedRow(TypeColumn);
    shown.emplace_back(type >= 0 ? kTypeNames[static_cast<std::size_t>(type)] : "");
    const int mark = picker_->selectedRow(MarkColumn);
    shown.emplace_back(mark >= 0 ? kMarks[static_cast<std::size_t>(mark)] : "");
    for (const int column : {int{XListColumn}, int{FourthColumn}}) {
        const ColumnPicker::Row* row = picker_->row(column, picker_->selectedRow(column));
        shown.push_back(row ? row->text.toStdString() : std::string());
    }
    return shown;
}

void StatPlotSetup::done()
{
    {
        const auto state = calc().locked();
        if (StatPlotModel* model = StatPlotModel::of(calc())) {
            const int n = statEqNum_;
            model->setPlotVisible(n, true);
            model->setPlotColor(n, color_);
            model->setPlotType(n, picker_->selectedRow(TypeColumn));
            model->setPlotMark(n, picker_->selectedRow(MarkColumn));
            const auto stats = model->stats(n);
            // Without any list the list columns are empty and the names stay as they are.
            if (const int x = picker_->selectedRow(XListColumn); x >= 0 && x < static_cast<int>(listNames_.size()))
                stats->listXName = listNames_[static_cast<std::size_t>(x)];
            const int fourth = picker_->selectedRow(FourthColumn);
            if (takesFrequency(graphType_)) {
                if (fourth == 0)
                    stats->freqName.reset();
                else if (fourth > 0 && fourth <= static_cast<int>(listNames_.size()))
                    stats->freqName = listNames_[static_cast<std::size_t>(fourth - 1)];
            } else if (graphType_ == StatGraphManager::NormProbPlot) {
                model->setPlotAxis(n, fourth == 1 ? 1 : 0);
            } else if (fourth >= 0 && fourth < static_cast<int>(listNames_.size())) {
                stats->listYName = listNames_[static_cast<std::size_t>(fourth)];
            }
        }
    }
    hide();
    router_.overlayDone();
}

QWidget* StatPlotSetup::leaveControl() const { return done_; }

} // namespace orvenda
