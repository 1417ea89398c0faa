#include "programs/VarsView.h"

#include "core/Calculator.h"
#include "pretty/FontMap.h"
#include "programs/ProgramModel.h"

#include <QPainter>

namespace orvenda {

namespace {

constexpr std::uint32_t kStringFirst = 0xAA00;
constexpr std::uint32_t kStringLast = 0xAA09;
constexpr std::uint32_t kMatrixFirst = 0x5C00;
constexpr std::uint32_t kMatrixLast = 0x5C09;
constexpr std::uint32_t kEquationFirst = 0x5E00;
constexpr std::uint32_t kEquationLast = 0x5EFF;

} // namespace

VarsView::VarsView(Calculator& calc, const ProgramModel& model, QWidget* parent)
    : QWidget(parent), calc_(calc), model_(model), fontSize_(calc.device == 1 ? 16 : 12),
      leading_(calc.device == 1 ? 18 : 13)
{
}

std::vector<std::string> VarsView::lines() const
{
    std::vector<std::string> out{"ANS " + calc_.getAns()};
    for (const std::uint32_t token : model_.programVars()) {
        const std::string name = calc_.nameForOpcode(token);
        const std::uint32_t t = token & 0xFFFF;
        if (t >= kStringFirst && t <= kStringLast) {
            out.push_back(name + " " + calc_.getStringVariable(token));
        } else if (t >= kMatrixFirst && t <= kMatrixLast) {
            const std::string value = calc_.getVariable(token);
            out.push_back(name + " ");
            std::size_t from = 0;
            // A matrix shows one row a line, indented.
            while (from <= value.size()) {
                const std::size_t end = value.find('\n', from);
                out.push_back("    " + value.substr(from, end == std::string::npos ? std::string::npos : end - from));
                if (end == std::string::npos)
                    break;
                from = end + 1;
            }
        } else if (t >= kEquationFirst && t <= kEquationLast) {
            out.push_back(name + " " + calc_.getYEqVariable(token));
        } else {
            out.push_back(name + " " + calc_.getVariable(token));
        }
    }
    for (const std::string& list : model_.programLists()) {
        auto state = calc_.locked();
        const auto found = state->lists.find(list);
        const std::string value = found == state->lists.end() ? std::string() : calc_.formatList(&found->second);
        out.push_back("\u029F" + list + " " + value);
    }
    return out;
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
    for (const std::string& line : lines()) {
        if (y - leading_ > height())
            break;
        painter.drawText(QPointF(4, y), QString::fromStdString(line));
        y += leading_;
    }
}

} // namespace orvenda
