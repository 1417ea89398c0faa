#include "eval/RealStatement.h"

#include "core/Calculator.h"
#include "core/RandomSource.h"
#include "core/VQList.h"
#include "core/VQStack.h"
#include "eval/ProgramTokens.h"
#include "eval/QuickEvaluator.h"
#include "eval/ScalarOperators.h"
#include "eval/StoreHandler.h"
#include "language/VariableSlots.h"
#include "language/Vocabulary.h"
#include "numeric/ElementaryFunctions.h"
#include "numeric/RandomDeviates.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <string>

namespace orvenda {

using namespace ProgramTokens;
using namespace Significance;

enum class RealStatement::Kind : std::uint8_t {
    // The value of the first input.
    Push,
    // An operator of one input (a) or two (a the left value, b the right one).
    Unary,
    Binary,
    // The element of L₁-L₆ at index a.
    ListElement,
    // dim( of L₁-L₆: its element count.
    ListCount,
    // randInt( from a to b.
    RandInt,
};

namespace {

using Op = QuickEvaluator::Op;
using Kind = RealStatement::Kind;
using Input = RealStatement::Input;
using Source = RealStatement::Source;

// At most this many values are on the stack at once; a deeper statement is not taken.
constexpr int kMaxDepth = 16;
constexpr std::uint32_t kRandInt = 0xBB0A;
constexpr std::uint32_t kFirstListElement = 0x1002;  // L₁( .. L₆( as 0x1002..0x1007
constexpr std::uint32_t kFirstList = 0x5D00;
constexpr std::uint32_t kDim = 0xB5;
constexpr int kListCount = 6;
// randInt('s bounds: whole numbers beyond this have gaps as doubles.
constexpr double kMaxBound = 9007199254740992.0;

// The operators taken, as the fast real evaluator names them.
bool isBinary(Op op)
{
    switch (op) {
    case Op::Add: case Op::Subtract: case Op::Multiply: case Op::Divide: case Op::Equal: case Op::NotEqual:
    case Op::Less: case Op::Greater: case Op::LessEqual: case Op::GreaterEqual: case Op::And: case Op::Or:
    case Op::Xor:
        return true;
    default:
        return false;
    }
}

bool isUnary(Op op)
{
    switch (op) {
    case Op::Negate: case Op::FPart: case Op::IPart: case Op::Int: case Op::Abs: case Op::Square: case Op::Not:
        return true;
    default:
        return false;
    }
}

const std::string& listName(int list)
{
    static const std::array<std::string, kListCount> names = [] {
        std::array<std::string, kListCount> n;
        for (int k = 0; k < kListCount; ++k)
            n[static_cast<std::size_t>(k)] = Vocabulary::shared().nameForOpcode(kFirstList + static_cast<std::uint32_t>(k));
        return n;
    }();
    return names[static_cast<std::size_t>(list)];
}

// A variable the general evaluator reads straight from its slot (the table input slot
// reads as a list).
bool isSlotVariable(const Operand& r)
{
    return r.kind == KindVariable && r.var.subKind == VarReal && r.var.index >= 0 && r.var.index < Calculator::kVarCount
        && r.var.index != kSlotTblInput;
}

// A store into it is a plain store into its slot.
bool isLetterVariable(const Operand& r)
{
    return isSlotVariable(r) && r.var.index <= kSlotTheta && r.var.token >= 0x41 && r.var.token <= 0x5B;
}

// L₁-L₆ named as a whole list.
bool isWholeList(const Operand& r)
{
    return r.kind == KindVariable && r.var.subKind == VarList && r.var.token >= static_cast<int>(kFirstList)
        && r.var.token < static_cast<int>(kFirstList) + kListCount;
}

bool isListElement(const Operand& r)
{
    return r.kind == KindOpcode && token(r.opcode) >= kFirstListElement
        && token(r.opcode) < kFirstListElement + kListCount;
}

// A slot's value as the general evaluator reads it, when it is a plain real (a negative
// zero imaginary part included: it would travel on with the value).
[[gnu::always_inline]] inline bool readSlot(const Calculator& calc, int slot, PairedReal& into)
{
    const std::complex<double>& z = calc.state().vars[static_cast<std::size_t>(slot)];
    if (z.imag() != 0.0 || std::signbit(z.imag()) || !std::isfinite(z.real()))
        return false;
    into.value = z.real();
    into.sigFig = calc.state().varsSigFig[static_cast<std::size_t>(slot)];
    into.sigDec = calc.state().varsSigDec[static_cast<std::size_t>(slot)];
    return true;
}

// As the store writes a variable record: the pair kept in a byte each.
[[gnu::always_inline]] inline void writeSlot(Calculator& calc, int slot, double value, int sigFig, int sigDec)
{
    const auto s = static_cast<std::size_t>(slot);
    calc.state().vars[s] = {value, 0.0};
    calc.state().varsSigFig[s] = static_cast<std::int8_t>(sigFig);
    calc.state().varsSigDec[s] = static_cast<std::int8_t>(sigDec);
}

// The value an input gives: the top of the stack, a constant or a variable.
[[gnu::always_inline]] inline bool take(const Calculator& calc, const Input& in, PairedReal* values, int& top, PairedReal& into)
{
    switch (in.source) {
    case Source::Stack:
        into = values[--top];
        return true;
    case Source::Constant:
        into = in.constant;
        return true;
    case Source::Variable:
        return readSlot(calc, in.slot, into);
    }
    return false;
}

// The operators on reals, with the general operators' rules and significance pairs.
[[gnu::always_inline]] inline bool binary(Op op, const PairedReal& L, const PairedReal& R, PairedReal& r)
{
    auto boolean = [&r](bool b) {
        r.value = b ? 1.0 : 0.0;
        ruleExact(r);
        return true;
    };
    switch (op) {
    case Op::Add:
        r.value = L.value + R.value;
        ruleSum(r, L, R);
        break;
    case Op::Subtract:
        r.value = L.value - R.value;
        ruleSum(r, L, R);
        break;
    case Op::Multiply:
        r.value = L.value * R.value;
        ruleProduct(r, L, R);
        break;
    case Op::Divide:
        if (R.value == 0.0)
            return false;
        r.value = L.value / R.value;
        ruleProduct(r, L, R);
        break;
    case Op::Equal: return boolean(ScalarOperators::tolerantEqual(L.value, R.value));
    case Op::NotEqual: return boolean(!ScalarOperators::tolerantEqual(L.value, R.value));
    case Op::Less: return boolean(L.value < R.value);
    case Op::Greater: return boolean(L.value > R.value);
    case Op::LessEqual: return boolean(L.value <= R.value);
    case Op::GreaterEqual: return boolean(L.value >= R.value);
    case Op::And: return boolean(L.value != 0.0 && R.value != 0.0);
    case Op::Or: return boolean(L.value != 0.0 || R.value != 0.0);
    case Op::Xor: return boolean((L.value != 0.0) != (R.value != 0.0));
    default: return false;
    }
    return std::isfinite(r.value);
}

[[gnu::always_inline]] inline bool unary(Op op, const PairedReal& x, PairedReal& r)
{
    switch (op) {
    case Op::Negate:
        r.value = -x.value;
        ruleKept(r, x);
        break;
    case Op::FPart:
        r.value = x.value - std::trunc(x.value);
        ruleFraction(r, x);
        break;
    case Op::IPart:
        r.value = std::trunc(x.value);
        ruleInteger(r, x);
        break;
    case Op::Int:
        r.value = std::floor(x.value);
        ruleInteger(r, x);
        break;
    case Op::Abs:
        r.value = std::fabs(x.value);
        ruleKept(r, x);
        break;
    case Op::Square:
        r.value = x.value * x.value;
        ruleFigures(r, x);
        break;
    case Op::Not:
        r.value = x.value == 0.0 ? 1.0 : 0.0;
        ruleExact(r);
        break;
    default:
        return false;
    }
    return std::isfinite(r.value);
}

// Element `index` (1-based) of L₁-L₆ as the general evaluator reads it, when the list is
// real and holds it.
bool readElement(const Calculator& calc, int list, double index, PairedReal& into)
{
    if (!ElementaryFunctions::isWhole(index))
        return false;
    const auto found = calc.state().lists.find(listName(list));
    if (found == calc.state().lists.end() || found->second.type() != 0)
        return false;
    const VQList& values = found->second;
    if (!(index >= 1 && index <= values.count()))
        return false;
    const VQNumber& n = values.v()[static_cast<std::size_t>(index) - 1];
    into.value = n.r();
    into.sigFig = n.sigFig();
    into.sigDec = n.sigDec();
    return std::isfinite(into.value);
}

// dim( of L₁-L₆ as the general evaluator gives it, when the list is stored.
bool readCount(const Calculator& calc, int list, PairedReal& into)
{
    const auto& lists = calc.state().lists;
    const auto found = lists.find(listName(list));
    if (found == lists.end())
        return false;
    into = {static_cast<double>(found->second.count()), 15, -15};
    return true;
}

// randInt( from `lower` to `upper`, as the general handler draws it.
bool draw(const PairedReal& lower, const PairedReal& upper, PairedReal& into)
{
    const double low = std::trunc(lower.value);
    const double high = std::trunc(upper.value);
    if (!(std::fabs(low) < kMaxBound && std::fabs(high) < kMaxBound))
        return false;
    into = {RandomDeviates(RandomSource::shared()).randInt(low, high), 15, -15};
    return true;
}

} // namespace

// ---- Compiling ----

std::unique_ptr<RealStatement> RealStatement::compile(const VQStack& rpn)
{
    const int n = rpn.count();
    if (n == 0)
        return nullptr;
    std::unique_ptr<RealStatement> s(new RealStatement);
    const Operand& last = *rpn.opAtIndex(n - 1);
    const std::uint32_t t = last.kind == KindOpcode ? token(last.opcode) : 0xFFFFFFFFu;
    s->opcode_ = last.opcode;
    if (n == 1 && (t == kEnd || t == kElse || t == kGoto || t == kGosub)) {
        s->shape_ = Shape::Jump;
        s->location_ = last.location;
        return s;
    }
    const bool taken = t == kStore                               ? s->compileStore(rpn)
                       : t == kIf || t == kWhile || t == kRepeat ? s->compileCondition(rpn)
                       : t == kFor || t == kForNext              ? s->compileFor(rpn)
                                                                 : s->compileValue(rpn);
    return taken ? std::move(s) : nullptr;
}

bool RealStatement::compileValue(const VQStack& rpn)
{
    std::vector<int> locations;
    if (!compileValues(rpn, 0, rpn.count(), locations) || locations.size() != 1)
        return false;
    shape_ = Shape::Value;
    location_ = locations[0];
    return true;
}

bool RealStatement::compileStore(const VQStack& rpn)
{
    const int n = rpn.count();
    if (n < 3)
        return false;
    const Operand& target = *rpn.opAtIndex(n - 2);
    std::vector<int> locations;
    if (isLetterVariable(target)) {
        if (!compileValues(rpn, 0, n - 2, locations) || locations.size() != 1)
            return false;
        shape_ = Shape::StoreVariable;
        slot_ = target.var.index;
        location_ = target.location;
        return true;
    }
    if (isListElement(target) && compileAppend(rpn))
        return true;
    if (isListElement(target)) {
        if (!compileValues(rpn, 0, n - 2, locations) || locations.size() != 2)
            return false;
        shape_ = Shape::StoreElement;
        slot_ = static_cast<int>(token(target.opcode) - kFirstListElement);
        // The element reference, and so the store, has the index's location.
        location_ = locations[1];
        return true;
    }
    return false;
}

// value➞Lₖ(dim(Lₖ)+1), the way a program grows a list: the element one past the end is
// stored without reading the count as a number and adding to it.
bool RealStatement::compileAppend(const VQStack& rpn)
{
    const int n = rpn.count();
    if (n < 7)
        return false;
    const Operand& target = *rpn.opAtIndex(n - 2);
    const Operand& list = *rpn.opAtIndex(n - 6);
    const Operand& dim = *rpn.opAtIndex(n - 5);
    const Operand& one = *rpn.opAtIndex(n - 4);
    const Operand& plus = *rpn.opAtIndex(n - 3);
    const int k = static_cast<int>(token(target.opcode) - kFirstListElement);
    if (!isWholeList(list) || list.var.token - static_cast<int>(kFirstList) != k || dim.kind != KindOpcode
        || token(dim.opcode) != kDim || one.kind != KindReal || one.error != 0 || one.value != std::complex<double>(1.0)
        || plus.kind != KindOpcode || QuickEvaluator::opFor(static_cast<int>(token(plus.opcode))) != Op::Add)
        return false;
    std::vector<int> locations;
    if (!compileValues(rpn, 0, n - 6, locations) || locations.size() != 1) {
        code_.clear();
        return false;
    }
    shape_ = Shape::AppendElement;
    slot_ = k;
    // The index, placed at the nearer of the count and the 1, gives the store its location.
    location_ = std::min(list.location, one.location);
    return true;
}

bool RealStatement::compileCondition(const VQStack& rpn)
{
    std::vector<int> locations;
    if (!compileValues(rpn, 0, rpn.count() - 1, locations) || locations.size() != 1)
        return false;
    shape_ = Shape::Condition;
    repeat_ = token(opcode_) == kRepeat;
    location_ = locations[0];
    return true;
}

// The loop variable, begin, end and the step when given, then the argument count.
bool RealStatement::compileFor(const VQStack& rpn)
{
    const int n = rpn.count();
    if (n < 5)
        return false;
    const Operand& variable = *rpn.opAtIndex(0);
    const Operand& count = *rpn.opAtIndex(n - 2);
    if (!isSlotVariable(variable) || count.kind != KindReal || (count.re() != 3 && count.re() != 4))
        return false;
    const auto given = static_cast<std::size_t>(count.re()) - 1;
    std::vector<int> locations;
    if (!compileValues(rpn, 1, n - 2, locations) || locations.size() != given)
        return false;
    shape_ = Shape::For;
    slot_ = variable.var.index;
    hasStep_ = given == 3;
    stepping_ = token(opcode_) == kForNext;
    // The decision is made at the count's place.
    location_ = count.location;
    // Bounds written as numbers are kept as they are, to be used without running code.
    constantBounds_ = std::all_of(code_.begin(), code_.end(), [](const Instruction& in) {
        return in.kind == Kind::Push && in.a.source == Source::Constant;
    });
    if (constantBounds_) {
        for (std::size_t i = 0; i < code_.size(); ++i)
            bounds_[i] = code_[i].a.constant;
        code_.clear();
    }
    return true;
}

bool RealStatement::compileValues(const VQStack& rpn, int from, int to, std::vector<int>& locations)
{
    int depth = 0;
    for (int i = from; i < to; ++i) {
        const Operand& r = *rpn.opAtIndex(i);
        Instruction in;
        in.kind = Kind::Push;
        if (r.kind == KindReal) {
            if (r.error != 0 || r.value.imag() != 0.0 || !std::isfinite(r.value.real()))
                return false;
            in.a.source = Source::Constant;
            in.a.constant = {r.value.real(), r.sigFig, r.sigDec};
            locations.push_back(r.location);
        } else if (isSlotVariable(r)) {
            in.a.source = Source::Variable;
            in.a.slot = r.var.index;
            locations.push_back(r.location);
        } else if (isWholeList(r) && i + 1 < to && rpn.opAtIndex(i + 1)->kind == KindOpcode
                   && token(rpn.opAtIndex(i + 1)->opcode) == kDim) {
            // The count keeps the list's location.
            in.kind = Kind::ListCount;
            in.list = static_cast<std::uint8_t>(r.var.token - static_cast<int>(kFirstList));
            locations.push_back(r.location);
            ++i;
        } else if (r.kind != KindOpcode) {
            return false;
        } else {
            // Pushes folded into the operator never reach the stack at run time.
            const std::size_t before = code_.size();
            if (!compileOperator(r, in, locations))
                return false;
            depth -= static_cast<int>(before - code_.size());
        }
        code_.push_back(in);
        depth += stackEffect(in);
        if (depth > kMaxDepth)
            return false;
    }
    return true;
}

bool RealStatement::compileOperator(const Operand& r, Instruction& in, std::vector<int>& locations)
{
    const std::uint32_t t = token(r.opcode);
    const std::optional<Op> op = QuickEvaluator::opFor(static_cast<int>(t));
    if (op && isBinary(*op)) {
        if (locations.size() < 2)
            return false;
        // The result is placed at the nearer of its operands.
        const int right = locations.back();
        locations.pop_back();
        locations.back() = std::min(locations.back(), right);
        in.kind = Kind::Binary;
        in.op = *op;
        foldInputs(in, 2);
        return true;
    }
    if (op && isUnary(*op)) {
        in.kind = Kind::Unary;
        in.op = *op;
        foldInputs(in, 1);
        return !locations.empty();
    }
    if (isListElement(r)) {
        // The element keeps its index's location.
        in.kind = Kind::ListElement;
        in.list = static_cast<std::uint8_t>(t - kFirstListElement);
        foldInputs(in, 1);
        return !locations.empty();
    }
    if (t == kRandInt) {
        // One draw: two bounds, then the argument count 2 written before the token.
        if (locations.size() < 3 || code_.back().kind != Kind::Push || code_.back().a.source != Source::Constant
            || code_.back().a.constant.value != 2)
            return false;
        code_.pop_back();
        locations.resize(locations.size() - 2);
        // A draw belongs to the function token.
        locations.back() = r.location;
        in.kind = Kind::RandInt;
        foldInputs(in, 2);
        draws_ = true;
        return true;
    }
    return false;
}

// Values pushed just before an operator become its inputs: the last one its last input,
// and the one before its first when both were pushed.
void RealStatement::foldInputs(Instruction& in, int inputs)
{
    Input* last = inputs == 2 ? &in.b : &in.a;
    if (code_.empty() || code_.back().kind != Kind::Push)
        return;
    *last = code_.back().a;
    code_.pop_back();
    if (inputs == 2 && !code_.empty() && code_.back().kind == Kind::Push) {
        in.a = code_.back().a;
        code_.pop_back();
    }
}

int RealStatement::stackEffect(const Instruction& in)
{
    if (in.kind == Kind::Push || in.kind == Kind::ListCount)
        return 1;
    const int taken = (in.a.source == Source::Stack ? 1 : 0)
                      + (in.kind == Kind::Binary || in.kind == Kind::RandInt ? (in.b.source == Source::Stack ? 1 : 0) : 0);
    return 1 - taken;
}

// ---- Running ----

RealStatement::Outcome RealStatement::runDrawing(Calculator& calc, PairedReal& value, bool& condition) const
{
    RandomSource& random = RandomSource::shared();
    const std::mt19937_64 before = random.engineState();
    const Outcome outcome = runCode(calc, value, condition);
    if (outcome == Outcome::General)
        random.restoreEngineState(before);
    return outcome;
}

RealStatement::Outcome RealStatement::runCode(Calculator& calc, PairedReal& value, bool& condition) const
{
    if (constantBounds_)
        return step(calc, bounds_, condition);
    PairedReal values[kMaxDepth];
    int top = 0;
    for (const Instruction& in : code_) {
        PairedReal a;
        PairedReal b;
        PairedReal r = kFreshReal;
        switch (in.kind) {
        case Kind::Push:
            if (in.a.source == Source::Constant)
                values[top++] = in.a.constant;
            else if (!readSlot(calc, in.a.slot, values[top++]))
                return Outcome::General;
            continue;
        case Kind::Binary:
            // The right value first: on the stack it is the top one.
            if (!take(calc, in.b, values, top, b) || !take(calc, in.a, values, top, a) || !binary(in.op, a, b, r))
                return Outcome::General;
            break;
        case Kind::Unary:
            if (!take(calc, in.a, values, top, a) || !unary(in.op, a, r))
                return Outcome::General;
            break;
        case Kind::ListElement:
            if (!take(calc, in.a, values, top, a) || !readElement(calc, in.list, a.value, r))
                return Outcome::General;
            break;
        case Kind::ListCount:
            if (!readCount(calc, in.list, r))
                return Outcome::General;
            break;
        case Kind::RandInt:
            if (!take(calc, in.b, values, top, b) || !take(calc, in.a, values, top, a) || !draw(a, b, r))
                return Outcome::General;
            break;
        }
        values[top++] = r;
    }
    return finish(calc, values, value, condition);
}

[[gnu::always_inline]] inline RealStatement::Outcome RealStatement::finish(Calculator& calc,
                                                                         const PairedReal* values,
                                                                         PairedReal& value, bool& condition) const
{
    switch (shape_) {
    case Shape::Value:
        value = values[0];
        return Outcome::Value;
    case Shape::StoreVariable:
        value = values[0];
        writeSlot(calc, slot_, value.value, value.sigFig, value.sigDec);
        return Outcome::Value;
    case Shape::StoreElement: {
        const double index = values[1].value;
        if (!ElementaryFunctions::isWhole(index))
            return Outcome::General;
        const int position = index >= 1 && index <= 2e9 ? static_cast<int>(index) - 1 : -1;
        VQList* list = StoreHandler::listForElement(calc, listName(slot_), position);
        if (!list)
            return Outcome::General;
        value = values[0];
        list->setReal(value.value, value.sigFig, value.sigDec, position);
        return Outcome::Value;
    }
    case Shape::AppendElement: {
        auto& lists = calc.state().lists;
        const auto found = lists.find(listName(slot_));
        if (found == lists.end() || found->second.count() >= StoreHandler::kMaxListLength)
            return Outcome::General;
        // The general path refuses an element past what a save keeps, with its error.
        VQList* list = calc.listToGrow(found->first, 1);
        if (!list)
            return Outcome::General;
        value = values[0];
        list->setReal(value.value, value.sigFig, value.sigDec, list->count());
        return Outcome::Value;
    }
    case Shape::Condition: {
        const bool zero = values[0].value == 0.0;
        condition = repeat_ ? zero : !zero;
        return Outcome::Branch;
    }
    case Shape::For:
        return step(calc, values, condition);
    case Shape::Jump:
        condition = true;
        return Outcome::Branch;
    }
    return Outcome::General;
}

// For( sets its variable to the begin value; the For( its End runs again steps it. The
// loop goes on while the variable has not passed the end.
[[gnu::always_inline]] inline RealStatement::Outcome RealStatement::step(Calculator& calc, const PairedReal* values,
                                                                       bool& condition) const
{
    double by = 1;
    if (hasStep_) {
        by = values[2].value;
        if (by == 0.0)
            return Outcome::General;
    }
    const double end = values[1].value;
    double now = values[0].value;
    if (stepping_) {
        PairedReal current;
        if (!readSlot(calc, slot_, current))
            return Outcome::General;
        now = current.value + by;
        if (!std::isfinite(now))
            return Outcome::General;
        // The variable keeps its pair.
        writeSlot(calc, slot_, now, current.sigFig, current.sigDec);
    } else {
        writeSlot(calc, slot_, now, values[0].sigFig, values[0].sigDec);
    }
    condition = by > 0 ? now <= end : now >= end;
    return Outcome::Branch;
}

} // namespace orvenda
