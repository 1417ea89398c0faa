#include "stats/StatPlotModel.h"

#include "core/ArchiveValues.h"
#include "core/Calculator.h"
#include "core/DrawObject.h"
#include "language/VariableSlots.h"
#include "numeric/VQStatistics.h"
#include "stats/HistogramBins.h"
#include "stats/PlotBox.h"
#include "stats/PlotDistribution.h"
#include "stats/PlotHistogram.h"
#include "stats/PlotModBox.h"
#include "stats/PlotNormProb.h"
#include "stats/PlotRegression.h"
#include "stats/PlotScatter.h"
#include "stats/PlotXYLine.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace orvenda {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr int kBadFrequencyList = 25;
constexpr int kTypeCount = 6;
// Box plots stack this many points apart; over a histogram the first sits below the axis.
constexpr double kBoxSpacing = 50, kBoxUnderHistogram = -35;
// The slider variable number of a stat plot's data index.
constexpr int kDataIndexVar = -3, kBarVar = -2;
const char* const kFirstList = "L\xE2\x82\x81";  // L₁

bool isPaired(int type) { return type == StatGraphManager::Scatter || type == StatGraphManager::XYLine; }
bool isBox(int type) { return type == StatGraphManager::ModBoxplot || type == StatGraphManager::Boxplot; }

} // namespace

StatPlotModel::StatPlotModel(Calculator& calc) : calc_(calc), histogramXOrigin_(kNaN)
{
    clearAll();
}

StatPlotModel* StatPlotModel::of(const Calculator& calc)
{
    return dynamic_cast<StatPlotModel*>(calc.statGraphManager.get());
}

std::shared_ptr<VQStatistics> StatPlotModel::statsOf(const Calculator& calc, int plot)
{
    const StatPlotModel* model = of(calc);
    return model ? model->stats(plot) : nullptr;
}

std::shared_ptr<VQStatistics> StatPlotModel::freshStats()
{
    auto s = std::make_shared<VQStatistics>();
    s->listXName = kFirstList;
    s->listYName = kFirstList;
    return s;
}

VQColor StatPlotModel::factoryColor()
{
    return VQColor::colorR(1, 0, 0, 1);
}

void StatPlotModel::clearAll()
{
    for (int n = 0; n < kPlotCount; ++n) {
        statInfo_[n] = freshStats();
        statColors_[n] = factoryColor();
        statFlags_[n] = 0;
        varInfo_[n].reset();
    }
    histogramXOrigin_ = kNaN;
    histogramBarOffset_ = 0;
    currentPlot_ = 0;
}

// ---- Queries ----

int StatPlotModel::flags(int plot) const
{
    return inRange(plot) ? statFlags_[plot] : 0;
}

bool StatPlotModel::plotVisible(int plot) const
{
    return (flags(plot) & kVisibleBit) != 0;
}

int StatPlotModel::plotType(int plot) const
{
    return (flags(plot) >> kTypeShift) & 7;
}

int StatPlotModel::plotMark(int plot) const
{
    return (flags(plot) >> kMarkShift) & 7;
}

int StatPlotModel::plotDataAxis(int plot) const
{
    return (flags(plot) & kAxisBit) != 0 ? 1 : 0;
}

VQColor StatPlotModel::plotColor(int plot) const
{
    return inRange(plot) ? statColors_[plot] : factoryColor();
}

std::shared_ptr<VQStatistics> StatPlotModel::stats(int plot) const
{
    return inRange(plot) ? statInfo_[plot] : nullptr;
}

std::optional<std::vector<YEqVarInfo>> StatPlotModel::varInfo(int plot) const
{
    return inRange(plot) ? varInfo_[plot] : std::nullopt;
}

std::vector<std::shared_ptr<VQStatistics>> StatPlotModel::statInfo() const
{
    return {statInfo_.begin(), statInfo_.end()};
}

// ---- Setters ----

void StatPlotModel::setPlotVisible(int plot, bool visible)
{
    if (inRange(plot))
        statFlags_[plot] = (statFlags_[plot] & ~kVisibleBit) | (visible ? kVisibleBit : 0);
}

void StatPlotModel::setPlotType(int plot, int type)
{
    if (inRange(plot) && type >= 0 && type < kTypeCount)
        statFlags_[plot] = (statFlags_[plot] & ~(7 << kTypeShift)) | (type << kTypeShift);
}

void StatPlotModel::setPlotMark(int plot, int mark)
{
    if (inRange(plot) && mark >= 0 && mark < kMarkCount)
        statFlags_[plot] = (statFlags_[plot] & ~(7 << kMarkShift)) | (mark << kMarkShift);
}

void StatPlotModel::setPlotAxis(int plot, int axis)
{
    if (inRange(plot))
        statFlags_[plot] = (statFlags_[plot] & ~kAxisBit) | (axis == 1 ? kAxisBit : 0);
}

void StatPlotModel::setPlotColor(int plot, const VQColor& color)
{
    if (inRange(plot))
        statColors_[plot].setR(color.r(), color.g(), color.b(), color.a());
}

void StatPlotModel::hideAllPlots()
{
    for (int n = 0; n < kPlotCount; ++n)
        setPlotVisible(n, false);
}

// ---- Statistics ----

const VQList* StatPlotModel::list(const std::optional<std::string>& name) const
{
    if (!name)
        return nullptr;
    const auto it = calc_.state().lists.find(*name);
    return it == calc_.state().lists.end() ? nullptr : &it->second;
}

void StatPlotModel::updateStatsFor(int plot)
{
    if (!inRange(plot))
        return;
    // The lists are read in place.
    const auto hold = calc_.lockState();
    const std::shared_ptr<VQStatistics> s = statInfo_[plot];
    const int type = plotType(plot);
    std::shared_ptr<VQStatistics> fresh;
    if (isPaired(type)) {
        const VQList* x = list(s->listXName);
        const VQList* y = list(s->listYName);
        // Lists of unequal length or complex ones have no statistics (the plot draws nothing).
        if (!x || !y || x->count() != y->count() || x->type() != 0 || y->type() != 0)
            return;
        fresh = VQStatistics::twoVar(*x, *y, nullptr);
    } else {
        const VQList* x = list(s->listXName);
        if (!x || x->type() != 0)
            return;
        const VQList* freq = list(s->freqName);
        if (freq && freq->count() != x->count()) {
            calc_.showError({{"errorNum", kBadFrequencyList}});
            freq = nullptr;
        }
        fresh = VQStatistics::oneVar(*x, freq);
    }
    fresh->listXName = s->listXName;
    fresh->listYName = s->listYName;
    fresh->freqName = s->freqName;
    statInfo_[plot] = std::move(fresh);
}

// ---- Histogram helpers ----

double StatPlotModel::xscl() const
{
    return calc_.getVar(kSlotXscl).value.real();
}

int StatPlotModel::numSamples(int plot)
{
    if (!inRange(plot))
        return 0;
    const auto hold = calc_.lockState();
    VQStatistics& s = *statInfo_[plot];
    const VQList* x = list(s.listXName);
    s.listX = x ? *x : VQList();
    return x ? x->count() : 0;
}

double StatPlotModel::maxBarWidth(int plot) const
{
    if (!inRange(plot))
        return kNaN;
    const VQStatistics& s = *statInfo_[plot];
    return (s.maxX - s.minX) * 1.00001;
}

double StatPlotModel::leftEdge()
{
    if (!std::isfinite(histogramXOrigin_)) {
        histogramXOrigin_ = calc_.getVar(kSlotXmin).value.real();
        histogramBarOffset_ = 0;
    }
    return histogramXOrigin_ + histogramBarOffset_;
}

int StatPlotModel::tiBarsForSampleSize(int n)
{
    static constexpr std::array<int, 9> statBarCountTable{3, 6, 12, 23, 46, 91, 182, 363, 725};
    for (std::size_t i = 0; i < statBarCountTable.size(); ++i)
        if (statBarCountTable[i] >= n)
            return static_cast<int>(i) + 3;
    return 12;
}

double StatPlotModel::binWidthWithin(double limit) const
{
    const double x = xscl();
    return x > 0 && x <= limit ? x : limit / 5;
}

double StatPlotModel::numBars(int plot) const
{
    if (!inRange(plot))
        return 0;
    const double maxX = statInfo_[plot]->maxX;
    const double d = maxX - histogramXOrigin_;
    if (!(d > 0))
        return 0;
    const HistogramBins bins(histogramXOrigin_, maxX, binWidthWithin(d));
    const double w = bins.width();
    return std::floor((d + 1.5 * w) / w);
}

StatPlotModel::Bounds StatPlotModel::computeHistogramBounds(int plot) const
{
    if (!inRange(plot))
        return {};
    const VQStatistics& s = *statInfo_[plot];
    const HistogramBins bins(histogramXOrigin_, s.maxX, binWidthWithin(maxBarWidth(plot)));
    const double w = bins.width();
    Bounds b{s.minX - w, s.maxX + w, 0, 0};
    if (!(w + b.xMin <= b.xMax)) {
        b.yMax = s.listX.count();
        return b;
    }
    const std::vector<double> values = s.listX.realList();
    const std::vector<double> freq = s.freq ? s.freq->realList() : std::vector<double>();
    double best = 0;
    const HistogramBins::Last last = bins.pass(values, freq, [&best](double, double total) { best = std::max(best, total); });
    const double run = last.total;
    b.yMax = std::max(run, best);
    return b;
}

std::optional<std::vector<YEqVarInfo>> StatPlotModel::varInfoForPlot(int plot)
{
    if (!inRange(plot))
        return std::nullopt;
    if (plotType(plot) != Histogram)
        return varInfo_[plot];
    const int n = numSamples(plot);
    double m = maxBarWidth(plot);
    // Without data there is no width to offer: Xscl and the sliders stay.
    if (n == 0 || !std::isfinite(m))
        return varInfo_[plot];
    // One value, or many equal ones, have no range: a unit bin.
    if (m <= 0)
        m = 1;
    double width = xscl();
    if (!(width > 0) || width > m) {
        width = m / std::min(n, 7);
        calc_.setVar(kSlotXscl, {{width, 0.0}});
    }
    auto& entry = varInfo_[plot];
    if (!entry)
        entry.emplace();
    entry->resize(std::max<std::size_t>(entry->size(), 2));
    YEqVarInfo& bin = (*entry)[0];
    bin.name = "width";
    bin.varNum = kWidthVar;
    bin.min = m / n;
    bin.max = m + m / 100;
    bin.value = width;
    bin.step = 0;
    YEqVarInfo& offset = (*entry)[1];
    offset.name = "\xE2\x89\xAA\xE2\x89\xAB";  // ≪≫
    offset.varNum = kOffsetVar;
    offset.min = 0;
    offset.max = width;
    offset.value = histogramBarOffset_;
    offset.step = 0;
    return entry;
}

StatPlotModel::Bounds StatPlotModel::bounds(int plot) const
{
    if (!inRange(plot))
        return {};
    const VQStatistics& s = *statInfo_[plot];
    const int type = plotType(plot);
    if (isPaired(type))
        return {s.minX, s.maxX, s.minY, s.maxY};
    if (type == Histogram)
        return computeHistogramBounds(plot);
    return {s.minX, s.maxX, 0, 1};
}

// ---- Archive ----

nlohmann::json StatPlotModel::encode() const
{
    nlohmann::json info = nlohmann::json::array(), f = nlohmann::json::array(), cl = nlohmann::json::array(),
                   vi = nlohmann::json::array();
    for (int n = 0; n < kPlotCount; ++n) {
        info.push_back(statInfo_[n]->encode());
        f.push_back(statFlags_[n]);
        cl.push_back(statColors_[n].encode());
        if (!varInfo_[n]) {
            vi.push_back(nullptr);
            continue;
        }
        nlohmann::json records = nlohmann::json::array();
        for (const YEqVarInfo& record : *varInfo_[n])
            records.push_back(record.encode());
        vi.push_back(std::move(records));
    }
    return {{"cp", currentPlot_}, {"info", std::move(info)}, {"f", std::move(f)}, {"cl", std::move(cl)},
            {"vi", std::move(vi)}, {"x0", histogramXOrigin_}, {"b0", histogramBarOffset_}};
}

void StatPlotModel::decode(const nlohmann::json& archive)
{
    if (!archive.is_object())
        return;
    clearAll();
    currentPlot_ = ArchiveValues::whole(archive, "cp", 0);
    // Each array reads its first six entries; a shorter one leaves the rest fresh.
    const auto entries = [&](const char* key, auto read) {
        const nlohmann::json* array = ArchiveValues::member(archive, key);
        if (!array || !array->is_array())
            return;
        for (std::size_t n = 0; n < std::min<std::size_t>(array->size(), kPlotCount); ++n)
            read(static_cast<int>(n), (*array)[n]);
    };
    entries("info", [this](int n, const nlohmann::json& j) {
        if (j.is_object())
            statInfo_[n] = VQStatistics::decode(j);
    });
    entries("f", [this](int n, const nlohmann::json& j) {
        const int word = static_cast<int>(ArchiveValues::integer(j, 0, 0xFF).value_or(0));
        // A damaged field reads as the factory one.
        setPlotVisible(n, (word & kVisibleBit) != 0);
        setPlotType(n, (word >> kTypeShift) & 7);
        setPlotMark(n, (word >> kMarkShift) & 7);
        setPlotAxis(n, (word & kAxisBit) != 0 ? 1 : 0);
    });
    entries("cl", [this](int n, const nlohmann::json& j) {
        if (j.is_object())
            statColors_[n] = VQColor::decode(j);
    });
    entries("vi", [this](int n, const nlohmann::json& j) {
        if (!j.is_array())
            return;
        std::vector<YEqVarInfo> records;
        for (const nlohmann::json& record : j)
            records.push_back(YEqVarInfo::decode(record));
        varInfo_[n] = std::move(records);
    });
    histogramXOrigin_ = ArchiveValues::number(archive, "x0", kNaN);
    histogramBarOffset_ = ArchiveValues::number(archive, "b0", 0);
    if (!std::isfinite(histogramBarOffset_))
        histogramBarOffset_ = 0;
}

// ---- The graph's plots ----

void StatPlotModel::addStatPlots(PlotObject::PlotList& plots)
{
    int boxes = 0;
    bool histogram = false;
    for (int n = 0; n < kPlotCount; ++n) {
        if (!plotVisible(n))
            continue;
        updateStatsFor(n);
        boxes += isBox(plotType(n));
        histogram = histogram || plotType(n) == Histogram;
    }
    double location = histogram ? kBoxUnderHistogram : kBoxSpacing * boxes;
    for (int n = 0; n < kPlotCount; ++n) {
        if (!plotVisible(n))
            continue;
        std::shared_ptr<PlotObject> plot;
        switch (plotType(n)) {
        case Scatter:
        case XYLine: {
            auto paired = plotType(n) == Scatter ? std::make_shared<PlotScatter>(calc_) : std::make_shared<PlotXYLine>(calc_);
            paired->eqNum = n;
            paired->stats = statInfo_[n];
            paired->setFitModel(-1);
            plot = std::move(paired);
            break;
        }
        case Histogram: {
            auto bars = std::make_shared<PlotHistogram>(calc_);
            bars->setEqNum(n);
            bars->varNum = kBarVar;
            bars->varInfoArray = varInfoForPlot(n).value_or(std::vector<YEqVarInfo>());
            plot = std::move(bars);
            break;
        }
        case ModBoxplot:
        case Boxplot: {
            auto box = plotType(n) == ModBoxplot ? std::make_shared<PlotModBox>(calc_) : std::make_shared<PlotBox>(calc_);
            box->eqNum = n;
            box->vertLocation = location;
            location -= kBoxSpacing;
            plot = std::move(box);
            break;
        }
        case NormProbPlot:
            plot = std::make_shared<PlotNormProb>(calc_);
            plot->eqNum = n;
            break;
        default:
            continue;
        }
        if (plotType(n) != Histogram)
            plot->varNum = kDataIndexVar;
        plot->setSelected(n == calc_.lockStatPlot);
        plot->color = plotColor(n);
        plots.push_back(std::move(plot));
    }
}

std::shared_ptr<PlotObject> StatPlotModel::plotForRecord(const std::shared_ptr<DrawObject>& record)
{
    if (auto distribution = std::dynamic_pointer_cast<DrawDistribution>(record))
        return PlotDistribution::forRecord(calc_, distribution);
    return nullptr;
}

void StatPlotModel::chooseRegression(PlotObject::PlotList& plots, int model)
{
    // The curve of an earlier choice goes; a drawing's or a test's regression stays.
    std::erase_if(plots, [](const std::shared_ptr<PlotObject>& p) {
        return p && p->plotType == PlotObject::PlotRegression && inRange(p->eqNum);
    });
    std::shared_ptr<PlotRegression> curve;
    for (const auto& p : plots) {
        auto* paired = dynamic_cast<PlotScatter*>(p.get());
        if (!paired)
            continue;
        paired->setFitModel(model);
        if (model >= 0 && p->selected() && !curve) {
            curve = std::make_shared<PlotRegression>(calc_);
            curve->color = p->color;
            curve->setEqNum(p->eqNum);
            curve->stats = paired->stats;
            curve->setFitModel(model);
        }
    }
    if (curve)
        plots.push_back(std::move(curve));
}

} // namespace orvenda
