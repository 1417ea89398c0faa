#include "stats/StatWizScreen.h"

#include "app/AppShell.h"
#include "app/EntryModel.h"
#include "app/LcdView.h"
#include "app/ScreenRouter.h"
#include "core/ArchiveValues.h"
#include "core/Calculator.h"
#include "eval/ScalarOperators.h"
#include "pretty/FontMap.h"

#include <QPushButton>

#include <cmath>

namespace orvenda {

namespace {

constexpr std::uint32_t kOneVar = 0xF2, kTwoVar = 0xF3, kSinReg = 0xBB32, kComma = 0x2B;
constexpr std::uint32_t kL1 = 0x5D00, kL2 = 0x5D01, kL6 = 0x5D05, kListName = 0xEB;
// Y₁..Y₀: the equations a regression is stored in.
constexpr std::uint32_t kFirstFunction = 0x5E10, kLastFunction = 0x5E19;
constexpr int kButtonHeight = 40;

bool isRegression(std::uint32_t op)
{
    return (op >= 0xF4 && op <= 0xF9) || op == 0xFF || op == 0x2E || op == 0x2F || op == 0xBB33;
}

void append(std::vector<std::uint32_t>& out, const std::vector<std::uint32_t>& more) { out.insert(out.end(), more.begin(), more.end()); }

// A list field holds the list's name; pasted, a named list takes its "ʟ" so the command
// reads it as a list.
void appendList(std::vector<std::uint32_t>& out, const std::vector<std::uint32_t>& name)
{
    const bool builtIn = name.size() == 1 && (name[0] & 0xFFFF) >= kL1 && (name[0] & 0xFFFF) <= kL6;
    if (!name.empty() && !builtIn && (name[0] & 0xFFFF) != kListName)
        out.push_back(kListName);
    append(out, name);
}

} // namespace

StatWizScreen::StatWizScreen(Calculator& calc, AppShell& shell, ScreenRouter& router, QWidget* parent)
    : ScreenController(calc, parent), router_(router), lcd_(new LcdView(calc, this)), form_(new VQTemplateView(calc, shell, this)),
      calculate_(new QPushButton(QStringLiteral("Calculate"), this))
{
    form_->setDelegate(this);
    calculate_->setFont(FontMap::shared().font("Helvetica-Bold", 17));
    calculate_->setFocusPolicy(Qt::NoFocus);
    calculate_->setStyleSheet(QStringLiteral("QPushButton { color: white; background: rgb(40, 80, 150); border-radius: 6px; }"));
    connect(calculate_, &QPushButton::clicked, this, [this] { calculate(); });
    setOp(0);
}

void StatWizScreen::resizeEvent(QResizeEvent*) { updateDisplay(); }

void StatWizScreen::updateDisplay()
{
    lcd_->setGeometry(rect());
    // A display too short for the form (a phone on its side) has its letters smaller, so
    // that every row stands above Calculate.
    const int room = height() - kButtonHeight - 24;
    form_->setScale(1);
    QSize wanted = form_->size();
    if (wanted.height() + 8 > room && room > 8) {
        form_->setScale(static_cast<double>(room - 8) / wanted.height());
        wanted = form_->size();
    }
    const int formHeight = std::min(wanted.height() + 8, room);
    form_->setGeometry(8, 8, width() - 16, formHeight);
    calculate_->setGeometry(width() / 4, 8 + formHeight + 8, width() / 2, kButtonHeight);
    form_->setTitle(QString::fromStdString(commandName()));
    form_->update();
}

std::string StatWizScreen::commandName() const
{
    // A command's token ends in the space that separates its arguments.
    std::string name = calc().nameForOpcode(op_);
    while (!name.empty() && name.back() == ' ')
        name.pop_back();
    return name;
}

void StatWizScreen::shown(const ScreenRequest& request)
{
    setOp(static_cast<std::uint32_t>(request.number));
    // The form's line starts empty.
    if (calc().entryManager)
        calc().entryManager->clear();
}

void StatWizScreen::focus(bool gained)
{
    ScreenController::focus(gained);
    if (gained)
        lcd_->update();
    form_->focus(gained);
}

void StatWizScreen::setOp(std::uint32_t op)
{
    xList_ = {kL1};
    yList_ = {kL2};
    freqList_.clear();
    wizValues_ = {};
    wizValues_[IterationsTag] = 1;
    op_ = op;
    form_->setFields(fields());
    form_->setCurrentField(0);
    updateDisplay();
}

nlohmann::json StatWizScreen::typedPlace() const
{
    nlohmann::json place = form_->place();
    place.update({{"n", op_}, {"x", xList_}, {"y", yList_}, {"freq", freqList_}, {"values", wizValues_}});
    return place;
}

void StatWizScreen::restoreTypedPlace(const nlohmann::json& place)
{
    const auto list = [&](const char* key, Ops& into) {
        if (auto ops = place.contains(key) ? ArchiveValues::ops(place[key]) : std::nullopt)
            into = std::move(*ops);
    };
    list("x", xList_);
    list("y", yList_);
    list("freq", freqList_);
    if (const auto values = place.find("values"); values != place.end() && values->is_array())
        for (std::size_t k = 0; k < std::min(values->size(), wizValues_.size()); ++k)
            if ((*values)[k].is_number() && std::isfinite((*values)[k].get<double>()))
                wizValues_[k] = (*values)[k].get<double>();
    form_->setFields(fields());
    form_->restorePlace(place);
    updateDisplay();
}

std::vector<VQTemplateField> StatWizScreen::fields() const
{
    using F = VQTemplateField;
    auto list = [](const Ops& value, int row, const char* label, int tag) {
        return F::fieldListValue(value, F::ListName, row, 0, row, label, tag);
    };
    auto number = [this](int row, const char* label, int tag, int flags) {
        return F::fieldValue(wizValues_[static_cast<std::size_t>(tag)], flags, row, 0, row, label, tag);
    };
    if (op_ == kOneVar)
        return {list(xList_, 0, "List=", XListTag), list(freqList_, 1, "FreqList=", FreqTag)};
    if (op_ == kTwoVar)
        return {list(xList_, 0, "XList=", XListTag), list(yList_, 1, "YList=", YListTag), list(freqList_, 2, "FreqList=", FreqTag)};
    if (isRegression(op_))
        return {list(xList_, 0, "Xlist=", XListTag), list(yList_, 1, "Ylist=", YListTag), list(freqList_, 2, "FreqList=", FreqTag),
                number(3, "Store RegEQ=", RegEqTag, F::EquationVariable)};
    if (op_ == kSinReg)
        return {number(0, "Iterations=", IterationsTag, F::Number), list(xList_, 1, "Xlist=", XListTag),
                list(yList_, 2, "Ylist=", YListTag), number(3, "Period=", PeriodTag, F::Number),
                number(4, "Store RegEQ=", RegEqTag, F::EquationVariable)};
    return {};
}

void StatWizScreen::fieldDidChange(VQTemplateField& field)
{
    switch (field.tag) {
    case XListTag: xList_ = field.listValue; break;
    case YListTag: yList_ = field.listValue; break;
    case FreqTag: freqList_ = field.listValue; break;
    case RegEqTag:
    case IterationsTag:
    case PeriodTag: wizValues_[static_cast<std::size_t>(field.tag)] = field.value; break;
    default: qWarning("bad field tag"); break;
    }
}

std::optional<std::uint32_t> StatWizScreen::regEqToken(double value)
{
    // Only a Y= function's own token: any other number (negative, fractional, huge) is none.
    if (!(value >= kFirstFunction && value <= kLastFunction) || value != std::floor(value))
        return std::nullopt;
    return static_cast<std::uint32_t>(value);
}

StatWizScreen::Ops StatWizScreen::commandOps() const
{
    Ops out;
    const auto withFreq = [&] {
        if (!freqList_.empty()) {
            out.push_back(kComma);
            appendList(out, freqList_);
        }
    };
    const auto withRegEq = [&] {
        if (const auto token = regEqToken(wizValues_[RegEqTag])) {
            out.push_back(kComma);
            out.push_back(*token);
        }
    };
    if (op_ == kOneVar) {
        out.push_back(op_);
        appendList(out, xList_);
        withFreq();
    } else if (op_ == kTwoVar || isRegression(op_)) {
        out.push_back(op_);
        appendList(out, xList_);
        out.push_back(kComma);
        appendList(out, yList_);
        withFreq();
        if (op_ != kTwoVar)
            withRegEq();
    } else if (op_ == kSinReg) {
        out.push_back(op_);
        append(out, ScalarOperators::numToOps(calc(), wizValues_[IterationsTag]));
        out.push_back(kComma);
        appendList(out, xList_);
        out.push_back(kComma);
        appendList(out, yList_);
        out.push_back(kComma);
        append(out, ScalarOperators::numToOps(calc(), wizValues_[PeriodTag]));
        withRegEq();
    }
    return out;
}

void StatWizScreen::calculate()
{
    if (!form_->getEntry())
        return;
    const Ops command = commandOps();
    // Home first: leaving a form with text on its line commits that text to the current
    // field, which would evaluate (run) the pasted command in a number's or equation's field.
    if (auto* entry = dynamic_cast<EntryModel*>(calc().entryManager.get()))
        entry->clear();
    router_.returnHome();
    // While a program waits for its answer the home screen is its question: the command
    // is no answer, and the line keeps what was typed for the question.
    if (!command.empty() && !calc().question().asks())
        if (auto* entry = dynamic_cast<EntryModel*>(calc().entryManager.get()))
            entry->addOps(command, false, true);
}

} // namespace orvenda
