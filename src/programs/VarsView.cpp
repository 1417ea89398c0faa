#include "programs/VarsView.h"

#include "core/Calculator.h"
#include "core/NumberFormatter.h"
#include "core/ValueText.h"
#include "language/VariableSlots.h"
#include "pretty/FontMap.h"
#include "programs/ProgramModel.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>

namespace orvenda {

namespace {

constexpr std::uint32_t kStringFirst = 0xAA00;
constexpr std::uint32_t kStringLast = 0xAA09;
constexpr std::uint32_t kEquationFirst = 0x5E00;
constexpr std::uint32_t kEquationLast = 0x5EFF;
constexpr std::uint32_t kMatrixFirst = 0x5C00;
constexpr std::uint32_t kMatrixLast = 0x5C09;
constexpr std::uint32_t kListFirst = 0x5D00; // L₁
constexpr std::uint32_t kListLast = 0x5D05;  // L₆
// Values are formatted narrower than on the home screen, to fit the panel.
constexpr int kValueWidth = 8;
constexpr int kSigFigFormat = 3;
constexpr int kPolarMode = 2;

// A listing of the name, blanks and the text, as "name text".
std::string afterName(const std::string& listing, const std::string& name)
{
    std::string value = listing.starts_with(name) ? listing.substr(name.size()) : listing;
    value.erase(0, std::min(value.size(), value.find_first_not_of(' ')));
    return name + " " + value;
}

} // namespace

VarsView::VarsView(Calculator& calc, const ProgramModel& model, QWidget* parent)
    : QWidget(parent), calc_(calc), model_(model), fontSize_(calc.device == 1 ? 16 : 12),
      leading_(calc.device == 1 ? 18 : 13)
{
}

std::vector<std::string> VarsView::lines() const
{
    std::vector<std::string> out{"ANS " + calc_.getAns()};
    // The panel's own copy of the formatter: narrow values, and the shared settings untouched.
    NumberFormatter format = calc_.numberFormatter();
    format.settings.maxWidth = kValueWidth;
    const Calculator::Settings settings = calc_.settings();
    const bool sigFigures = settings.answerFormat == kSigFigFormat;
    const bool polar = calc_.realCplxMode() == kPolarMode;
    // A list by its name, built-in or the user's; nothing for one the calculator lacks.
    const auto listValue = [&](const std::string& list) {
        auto state = calc_.locked();
        const auto found = state->lists.find(list);
        return found == state->lists.end() ? std::string() : format.formatList(&found->second);
    };
    const auto rows = [&out](const std::string& text) {
        std::size_t from = 0;
        for (;;) {
            const std::size_t end = text.find('\n', from);
            out.push_back("    " + text.substr(from, end == std::string::npos ? std::string::npos : end - from));
            if (end == std::string::npos)
                break;
            from = end + 1;
        }
    };
    for (const std::uint32_t token : model_.programVars()) {
        const std::string name = calc_.nameForOpcode(token);
        const std::uint32_t t = token & 0xFFFF;
        if (t >= kStringFirst && t <= kStringLast) {
            out.push_back(afterName(calc_.getStringVariable(token), name));
            continue;
        }
        if (t >= kEquationFirst && t <= kEquationLast) {
            out.push_back(afterName(calc_.getYEqVariable(token), name));
            continue;
        }
        if (t >= kListFirst && t <= kListLast) {
            out.push_back(name + " " + listValue(name));
            continue;
        }
        // A list, an equation or a word, as the variables menu lists it.
        if (!ValueText::showsNumber(t)) {
            out.push_back(afterName(calc_.getVariable(token), name));
            continue;
        }
        if (t >= kMatrixFirst && t <= kMatrixLast) {
            std::string text;
            {
                auto state = calc_.locked();
                text = format.formatMatrix(&state->matrices[t - kMatrixFirst]);
            }
            out.push_back(name + " ");
            rows(text);
            continue;
        }
        const VariableRecord record = calc_.getVar(VariableSlots::varNumFromOpcode(t));
        std::string line = name + " " + format.formatComplex(record.value.real(), record.value.imag(), polar);
        if (sigFigures)
            line += " [" + std::to_string(record.sigFig) + ":" + std::to_string(record.sigDec) + "]";
        out.push_back(std::move(line));
    }
    for (const std::string& list : model_.programLists())
        out.push_back("\u029F" + list + " " + listValue(list));
    return out;
}

std::vector<QString> VarsView::shownLines(int w) const
{
    // A line starts 4 points in; the font's cells are all as wide.
    constexpr int kIndent = 2;
    const double cell = QFontMetricsF(FontMap::shared().font("CourierNewPS-BoldMT", fontSize_)).horizontalAdvance(QLatin1Char('0'));
    const int columns = std::max(kIndent + 1, static_cast<int>((w - 8) / std::max(1.0, cell)));
    std::vector<QString> shown;
    for (const std::string& line : lines()) {
        const std::u32string text = QString::fromStdString(line).toStdU32String();
        std::size_t at = std::min<std::size_t>(text.size(), static_cast<std::size_t>(columns));
        shown.push_back(QString::fromStdU32String(text.substr(0, at)));
        for (const auto rest = static_cast<std::size_t>(columns - kIndent); at < text.size(); at += rest)
            shown.push_back(QString(kIndent, QLatin1Char(' ')) + QString::fromStdU32String(text.substr(at, rest)));
    }
    return shown;
}

double VarsView::linesHeight(int n) const
{
    return n * leading_ + QFontMetricsF(FontMap::shared().font("CourierNewPS-BoldMT", fontSize_)).descent();
}

void VarsView::paintEvent(QPaintEvent*)
{
    if (width() <= 0 || height() <= 0)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setFont(FontMap::shared().font("CourierNewPS-BoldMT", fontSize_));
    painter.setPen(Qt::black);
    double y = leading_;
    for (const QString& line : shownLines(width())) {
        if (y - leading_ > height())
            break;
        painter.drawText(QPointF(4, y), line);
        y += leading_;
    }
}

} // namespace orvenda
