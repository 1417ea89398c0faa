#include "programs/VarsView.h"

#include "core/Calculator.h"
#include "pretty/FontMap.h"
#include "programs/ProgramModel.h"

#include <QPainter>

namespace orvenda {

namespace {

constexpr std::uint32_t kStringFirst = 0xAA00;
constexpr std::uint32_t kStringLast = 0xAA09;
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
        const std::string listing = t >= kStringFirst && t <= kStringLast ? calc_.getStringVariable(token)
            : t >= kEquationFirst && t <= kEquationLast                     ? calc_.getYEqVariable(token)
                                                                            : calc_.getVariable(token);
        // The listing is the name, blanks and the value: the panel keeps one blank.
        std::string value = listing.starts_with(name) ? listing.substr(name.size()) : listing;
        value.erase(0, std::min(value.size(), value.find_first_not_of(' ')));
        if (value.find('\n') == std::string::npos) {
            out.push_back(name + " " + value);
            continue;
        }
        // A matrix shows one row a line, indented.
        out.push_back(name + " ");
        std::size_t from = 0;
        for (;;) {
            const std::size_t end = value.find('\n', from);
            out.push_back("    " + value.substr(from, end == std::string::npos ? std::string::npos : end - from));
            if (end == std::string::npos)
                break;
            from = end + 1;
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
