#include "core/ValueText.h"

#include "core/Calculator.h"
#include "core/NumberFormatter.h"
#include "core/Operand.h"
#include "core/StatisticsText.h"
#include "core/VQList.h"
#include "core/VQMatrix.h"
#include "core/VQValue.h"
#include "core/services/GDBManager.h"
#include "core/services/YEqManager.h"
#include "language/ErrorTable.h"
#include "language/TokenText.h"
#include "language/VariableSlots.h"
#include "numeric/VQStatistics.h"

#include <cmath>

namespace orvenda {

namespace {

constexpr std::uint32_t kTblInput = 0x632A;
constexpr std::uint32_t kRegEq = 0x6201;
constexpr std::uint32_t kFirstGDB = 0x6100;
constexpr std::uint32_t kLastGDB = 0x6109;
constexpr std::uint32_t kBeginEnd = 0x633A;
constexpr std::uint32_t kFirstString = 0xAA00;

std::string inQuotes(std::string_view text)
{
    std::string s;
    s.reserve(text.size() + 2);
    s += '"';
    s += text;
    s += '"';
    return s;
}

// name, a blank and the quoted text, or the bare name for an empty text.
std::string nameWithText(std::string name, std::string_view text)
{
    if (!text.empty()) {
        name += ' ';
        name += inQuotes(text);
    }
    return name;
}

} // namespace

std::string ValueText::formatOperand(const Operand& op) const
{
    const NumberFormatter format = calc_.numberFormatter();
    switch (op.kind) {
    case KindReal:
        return format.formatReal(op.re(), op.displayMod);
    case KindComplex:
        return format.formatComplex(op.re(), op.im(), op.displayMod);
    case KindRealList:
    case KindComplexList:
        return format.formatList(op.list.get(), op.displayMod);
    case KindMatrix:
        return format.formatMatrix(op.matrix.get(), op.displayMod);
    case KindString:
        return op.string ? TokenText::stringFromOps(*op.string) : std::string();
    case KindDone:
        return "Done";
    case KindError:
        return formatError(op.error);
    case KindWidgetAdded:
        return {};
    default:
        if (op.kind >= KindOneVarStats && op.kind <= KindStatTestLast)
            return StatisticsText(calc_).format(op);
        return "<not implemented>";
    }
}

const std::string& ValueText::formatError(int number)
{
    return ErrorTable::formatError(number);
}

std::string ValueText::getAns() const
{
    // One answer read whole, whatever a program stores meanwhile.
    const VQValue ans = calc_.ans.snapshot();
    const NumberFormatter format = calc_.numberFormatter();
    switch (ans.type()) {
    case VQValue::TypeReal:
        if (ans.displayMod() == 9)
            return format.formatSigFig(ans.r(), ans.sigFigures());
        return format.formatReal(ans.r(), ans.displayMod());
    case VQValue::TypeComplex:
        return format.formatComplex(ans.r(), ans.i(), ans.displayMod());
    case VQValue::TypeList:
    case VQValue::TypeComplexList:
        return format.formatList(ans.list().get(), ans.displayMod());
    case VQValue::TypeMatrix:
        return format.formatMatrix(ans.matrix().get(), ans.displayMod());
    case VQValue::TypeDone:
        return "Done";
    case VQValue::TypeString: {
        const auto ops = ans.string();
        return inQuotes(ops ? TokenText::stringFromOps(*ops) : std::string());
    }
    default:
        return {};
    }
}

std::string ValueText::variableValue(std::uint32_t token, const std::string& name) const
{
    const std::uint32_t t = token & 0xFFFF;
    if (t == kTblInput)
        return calc_.formatList(&calc_.state().tableList);
    if (t == kRegEq)
        return TokenText::stringFromOps(calc_.regressionEquation());
    if (t >= kFirstGDB && t <= kLastGDB)
        return GDBManager::isSavedGDB(name) ? "saved" : "-";
    // A token without a slot reads as the empty record (0) rather than past the store.
    const VariableRecord record = calc_.getVar(VariableSlots::varNumFromOpcode(t));
    if (t == kBeginEnd)
        return std::trunc(record.value.real()) != 0 ? "end" : "begin";
    return calc_.formatReal(record.value.real());
}

bool ValueText::showsNumber(std::uint32_t token)
{
    const std::uint32_t t = token & 0xFFFF;
    return t != kTblInput && t != kRegEq && !(t >= kFirstGDB && t <= kLastGDB) && t != kBeginEnd;
}

std::string ValueText::getVariable(std::uint32_t token) const
{
    auto state = calc_.lockState();
    std::string line = calc_.nameForOpcode(token);
    const std::string value = variableValue(token, line);
    // One character one column, as in a monospaced font.
    const int blanks = kListingWidth - NumberFormatter::strDisplayWidth(value)
        - NumberFormatter::strDisplayWidth(line);
    if (blanks >= 1)
        line.append(std::size_t(blanks), ' ');
    line += value;
    return line;
}

std::string ValueText::getStringVariable(std::uint32_t token) const
{
    std::string name = calc_.nameForOpcode(token);
    const std::uint32_t n = (token & 0xFFFF) - kFirstString;
    if (n >= std::uint32_t(Calculator::kStringCount))
        return name;
    auto state = calc_.lockState();
    return nameWithText(std::move(name), TokenText::stringFromOps(calc_.state().strings[n]));
}

std::string ValueText::getYEqVariable(std::uint32_t token) const
{
    std::string name = calc_.nameForOpcode(token);
    auto state = calc_.lockState();
    if (!calc_.yEqManager)
        return name;
    return nameWithText(std::move(name), calc_.yEqManager->eqString(int(token & 0xFFFF)));
}

std::optional<std::string> ValueText::nameForList(const VQList* list) const
{
    auto state = calc_.lockState();
    for (const auto& [name, stored] : calc_.state().lists)
        if (&stored == list)
            return name;
    return std::nullopt;
}

} // namespace orvenda
