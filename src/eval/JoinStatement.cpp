#include "eval/JoinStatement.h"

#include "core/Calculator.h"
#include "core/VQList.h"
#include "core/VQStack.h"
#include "eval/ProgramTokens.h"
#include "eval/StoreHandler.h"
#include "language/VariableSlots.h"

#include <array>
#include <cmath>

namespace orvenda {

namespace {

constexpr std::uint32_t kJoinStore = 0x04;
constexpr std::uint32_t kJoinListOpen = 0x08;
constexpr std::uint32_t kJoinAugment = 0x14;
constexpr std::uint32_t kJoinPlus = 0x70;
constexpr int kJoinFirstString = 0xAA00;
// Elements joined at once without taking storage for them.
constexpr std::size_t kJoinMaxElements = 8;

// Str1..Str0 as 0..9, or -1 for any other record.
int joinedString(const Operand& r)
{
    const int n = r.var.index - kJoinFirstString;
    return r.kind == KindVariable && r.var.subKind == VarString && n >= 0 && n < Calculator::kStringCount ? n : -1;
}

bool isJoinOpcode(const Operand& r, std::uint32_t t)
{
    return r.kind == KindOpcode && ProgramTokens::token(r.opcode) == t;
}

bool isJoinCount(const Operand& r, double n) { return r.kind == KindReal && r.re() == n && r.im() == 0; }

bool isJoinedList(const Operand& r) { return r.kind == KindVariable && r.var.subKind == VarList && !r.var.name.empty(); }

} // namespace

std::unique_ptr<JoinStatement> JoinStatement::compile(const VQStack& rpn)
{
    auto s = compileString(rpn);
    return s ? std::move(s) : compileList(rpn);
}

// The variable, the joined string, +, the variable again, ➞.
std::unique_ptr<JoinStatement> JoinStatement::compileString(const VQStack& rpn)
{
    if (rpn.count() != 5)
        return nullptr;
    const Operand& joined = *rpn.opAtIndex(1);
    const int target = joinedString(*rpn.opAtIndex(0));
    if (target < 0 || !isJoinOpcode(*rpn.opAtIndex(2), kJoinPlus) || joinedString(*rpn.opAtIndex(3)) != target
        || !isJoinOpcode(*rpn.opAtIndex(4), kJoinStore))
        return nullptr;
    std::unique_ptr<JoinStatement> s(new JoinStatement);
    s->target_ = target;
    if (joined.kind == KindString && joined.string)
        s->literal_ = *joined.string;
    else if ((s->source_ = joinedString(joined)) < 0)
        return nullptr;
    return s;
}

// The list, the m elements, m, {, 2 (augment('s argument count), augment(, the list
// again, ➞.
std::unique_ptr<JoinStatement> JoinStatement::compileList(const VQStack& rpn)
{
    const int m = rpn.count() - 7;
    if (m < 1 || m > static_cast<int>(kJoinMaxElements))
        return nullptr;
    const Operand& list = *rpn.opAtIndex(0);
    if (!isJoinedList(list) || !isJoinCount(*rpn.opAtIndex(m + 1), m) || !isJoinOpcode(*rpn.opAtIndex(m + 2), kJoinListOpen)
        || !isJoinCount(*rpn.opAtIndex(m + 3), 2) || !isJoinOpcode(*rpn.opAtIndex(m + 4), kJoinAugment)
        || !isJoinedList(*rpn.opAtIndex(m + 5)) || rpn.opAtIndex(m + 5)->var.name != list.var.name
        || !isJoinOpcode(*rpn.opAtIndex(m + 6), kJoinStore))
        return nullptr;
    std::unique_ptr<JoinStatement> s(new JoinStatement);
    s->list_ = list.var.name;
    for (int i = 1; i <= m; ++i) {
        const Operand& r = *rpn.opAtIndex(i);
        Element e;
        if (r.kind == KindReal && r.error == 0 && r.im() == 0 && std::isfinite(r.re()))
            e.value = r.re();
        else if (r.kind == KindVariable && r.var.subKind == VarReal && r.var.index >= 0
                 && r.var.index < Calculator::kVarCount && r.var.index != kSlotTblInput)
            e.slot = r.var.index;
        else
            return nullptr;
        s->elements_.push_back(e);
    }
    return s;
}

void JoinStatement::learn(const Operand& result, int errorToken)
{
    record_ = result;
    record_.string.reset();
    record_.list.reset();
    errorToken_ = errorToken;
    ready_ = true;
}

bool JoinStatement::run(Calculator& calc) const
{
    if (target_ < 0)
        return runList(calc);
    auto& strings = calc.state().strings;
    const VQString& joined = source_ < 0 ? literal_ : strings[static_cast<std::size_t>(source_)];
    // A string past what a save keeps is refused by the general path, with its error.
    if (!calc.roomToGrowString(static_cast<std::size_t>(target_), joined.size()))
        return false;
    strings[static_cast<std::size_t>(target_)].append(joined);
    return true;
}

bool JoinStatement::runList(Calculator& calc) const
{
    Calculator::State& state = calc.state();
    const auto found = state.lists.find(list_);
    // A list past its longest is refused by the general path, with its error.
    if (found == state.lists.end() || found->second.count() + static_cast<int>(elements_.size()) > StoreHandler::kMaxListLength)
        return false;
    std::array<VQNumber, kJoinMaxElements> tail;
    for (std::size_t i = 0; i < elements_.size(); ++i) {
        const Element& e = elements_[i];
        std::complex<double> z = e.value;
        if (e.slot >= 0) {
            z = state.vars[static_cast<std::size_t>(e.slot)];
            if (z.imag() != 0 || !std::isfinite(z.real()))
                return false;
        }
        tail[i] = VQNumber(z, 15, -15);
    }
    VQList* stored = calc.listToGrow(list_, static_cast<int>(elements_.size()));
    if (!stored)
        return false;
    *stored = stored->joinedFull(std::span<const VQNumber>(tail.data(), elements_.size()));
    return true;
}

void JoinStatement::result(const Calculator& calc, Operand& into) const
{
    into = record_;
    const Calculator::State& state = calc.state();
    if (target_ >= 0) {
        into.string = state.strings[static_cast<std::size_t>(target_)];
        return;
    }
    const auto found = state.lists.find(list_);
    if (found != state.lists.end())
        into.list = std::make_shared<VQList>(found->second);
}

} // namespace orvenda
