#include "core/VQStack.h"

#include "core/Calculator.h"
#include "core/VQList.h"
#include "core/VQMatrix.h"
#include "core/services/EquationEvaluator.h"
#include "core/services/YEqManager.h"
#include "language/ErrorNumbers.h"
#include "language/Precedence.h"
#include "language/Vocabulary.h"

#include <algorithm>
#include <charconv>
#include <functional>
#include <cstdio>
#include <mutex>
#include <optional>
#include <utility>

namespace orvenda {

namespace {

constexpr int kTableListSlot = 70;
constexpr int kEtaSlot = 27;

// Equation variables evaluate through the evaluator, which may resolve further equations;
// a chain of equations naming each other would otherwise recurse without end.
constexpr int kMaxEquationDepth = 32;
thread_local int equationDepth = 0;

void logLine(const char* text)
{
    std::fputs(text, stderr);
    std::fputc('\n', stderr);
}

// A resolved value starts from the fresh record with the pair given to values that do not
// come from a stored pair.
void resolvedRecord(Operand& r, int location)
{
    r.reset();
    r.location = location;
    r.sigFig = 10;
    r.sigDec = -10;
}

void failure(Operand& r, int error, int location)
{
    resolvedRecord(r, location);
    r.kind = KindError;
    r.error = error;
}

Operand failure(int error, int location)
{
    Operand r;
    failure(r, error, location);
    return r;
}

// The calculator keeps its lists and matrices by value; a record gets its own copy so it
// stays valid whatever later happens to the store.
const VQList* findList(const Calculator& calc, const std::string& name)
{
    auto it = calc.state().lists.find(name);
    return it == calc.state().lists.end() ? nullptr : &it->second;
}

const VQMatrix* findMatrix(const Calculator& calc, int index)
{
    return index >= 0 && index < Calculator::kMatrixCount ? &calc.state().matrices[static_cast<std::size_t>(index)]
                                                          : nullptr;
}

// ---- Text ----

void appendInt(std::string& out, long long x)
{
    char buf[24];
    auto res = std::to_chars(buf, buf + sizeof buf, x);
    out.append(buf, res.ptr);
}

void appendPadded(std::string& out, long long x, int width)
{
    char buf[24];
    auto res = std::to_chars(buf, buf + sizeof buf, x);
    for (int n = static_cast<int>(res.ptr - buf); n < width; ++n)
        out += ' ';
    out.append(buf, res.ptr);
}

void appendDouble(std::string& out, double x, std::chars_format format)
{
    char buf[400];
    auto res = std::to_chars(buf, buf + sizeof buf, x, format, 4);
    out.append(buf, res.ptr);
}

void describeVariable(std::string& out, const VarRef& v)
{
    switch (v.subKind) {
    case VarReal:
        if (v.token == 0x5B) {
            out += "v:THETA";
        } else if (v.token >= 0x41 && v.token < 0x5B) {
            out += "v:";
            out += static_cast<char>(v.token);
        } else if (v.token == 0xBBAA) {
            out += "v:eta";
        } else if (v.token >= 0x1020 && v.token <= 0x1025) {
            static constexpr const char* names[] = {"v:u1", "v:u2", "v:v1", "v:v2", "v:w1", "v:w2"};
            out += names[v.token - 0x1020];
        } else {
            out += "v:";
            out += Vocabulary::shared().nameForOpcode(static_cast<std::uint32_t>(v.token));
        }
        break;
    case VarList:
        out += "vList:";
        out += v.name;
        break;
    case VarListElement:
        out += "vListe:";
        out += v.name;
        break;
    case VarMatrix:
        out += "vMat:[";
        out += static_cast<char>('A' + std::clamp(v.index, 0, 25));
        out += ']';
        break;
    case VarMatrixElement:
        out += "vMate:[";
        out += static_cast<char>('A' + std::clamp(v.index, 0, 25));
        out += ']';
        break;
    case VarSeed:
        out += "vSeed:";
        break;
    case VarDim:
        out += "vDim:";
        break;
    default:
        out += "vNOTYPE:";
        out += v.name.empty() ? Vocabulary::shared().nameForOpcode(static_cast<std::uint32_t>(v.token)) : v.name;
        break;
    }
}

} // namespace

// ---- Construction and copying ----

VQStack::VQStack(Calculator* calc)
    : reserve_(kGrowth)
    , calc_(calc)
{
    stack_.reserve(static_cast<std::size_t>(reserve_));
}

VQStack::VQStack(const VQStack& other)
    : reserve_(other.reserve_)
    , hasDecimalPoint_(other.hasDecimalPoint_)
    , calc_(other.calc_)
{
    stack_.reserve(static_cast<std::size_t>(reserve_));
    stack_ = other.stack_;
}

VQStack& VQStack::operator=(const VQStack& other)
{
    set(other);
    return *this;
}

VQStack::VQStack(VQStack&& other) noexcept
    : stack_(std::move(other.stack_))
    , reserve_(std::exchange(other.reserve_, 0))
    , hasDecimalPoint_(std::exchange(other.hasDecimalPoint_, false))
    , calc_(other.calc_)
{
    other.stack_.clear();
}

VQStack& VQStack::operator=(VQStack&& other) noexcept
{
    if (this != &other) {
        stack_ = std::move(other.stack_);
        other.stack_.clear();
        reserve_ = std::exchange(other.reserve_, 0);
        hasDecimalPoint_ = std::exchange(other.hasDecimalPoint_, false);
        calc_ = other.calc_;
    }
    return *this;
}

std::shared_ptr<VQStack> VQStack::stackWithStack(const VQStack& other)
{
    return std::make_shared<VQStack>(other);
}

void VQStack::set(const VQStack& other)
{
    if (this == &other)
        return;
    reserve_ = other.reserve_;
    stack_.clear();
    stack_.reserve(static_cast<std::size_t>(reserve_));
    stack_.insert(stack_.end(), other.stack_.begin(), other.stack_.end());
    hasDecimalPoint_ = other.hasDecimalPoint_;
    calc_ = other.calc_;
}

void VQStack::clear()
{
    stack_.clear();
    hasDecimalPoint_ = false;
}

void VQStack::grow()
{
    reserve_ += kGrowth;
    // The capacity reported grows by ten records; the storage under it at least doubles,
    // so a stack of n records costs O(n) to build, however long the entry.
    const auto wanted = static_cast<std::size_t>(reserve_);
    if (wanted > stack_.capacity())
        stack_.reserve(std::max(wanted, 2 * stack_.capacity()));
}

Calculator& VQStack::calc() const
{
    return calc_ ? *calc_ : Calculator::calculator();
}

// ---- Pushing ----

Operand& VQStack::pushSlot()
{
    if (count() >= reserve_)
        grow();
    return stack_.emplace_back();
}

void VQStack::pushOperand(Operand& op, int location)
{
    op.location = location;
    pushOperand(static_cast<const Operand&>(op), location);
}

bool VQStack::holds(const Operand& op) const
{
    const std::less<const Operand*> before;
    return !stack_.empty() && !before(&op, stack_.data()) && before(&op, stack_.data() + stack_.size());
}

void VQStack::pushOperand(const Operand& op, int location)
{
    if (count() >= reserve_ && holds(op)) {
        // The record lives in this stack's own storage, which growing may move.
        Operand copy(op);
        grow();
        stack_.emplace_back(std::move(copy)).location = location;
        return;
    }
    if (count() >= reserve_)
        grow();
    stack_.emplace_back(op).location = location;
}

void VQStack::pushOperand(Operand&& op, int location)
{
    if (count() >= reserve_ && holds(op)) {
        Operand moved(std::move(op));
        grow();
        stack_.emplace_back(std::move(moved)).location = location;
        return;
    }
    if (count() >= reserve_)
        grow();
    stack_.emplace_back(std::move(op)).location = location;
}

void VQStack::pushReal(double x, int sigFig, int sigDec, int location)
{
    Operand& r = pushSlot();
    r.kind = KindReal;
    r.value = {x, 0.0};
    r.sigFig = sigFig;
    r.sigDec = sigDec;
    r.location = location;
}

void VQStack::pushComplex(std::complex<double> z, int location)
{
    Operand& r = pushSlot();
    r.kind = KindComplex;
    r.value = z;
    r.location = location;
}

void VQStack::pushList(std::shared_ptr<VQList> list, int location)
{
    Operand& r = pushSlot();
    r.kind = KindRealList;
    r.list = std::move(list);
    r.location = location;
}

void VQStack::pushMatrix(std::shared_ptr<VQMatrix> matrix, int location)
{
    Operand& r = pushSlot();
    r.kind = KindMatrix;
    r.matrix = std::move(matrix);
    r.location = location;
}

void VQStack::pushString(std::shared_ptr<Ops> ops, int location)
{
    Operand& r = pushSlot();
    r.kind = KindString;
    r.string = std::move(ops);
    r.location = location;
}

void VQStack::pushOpcode(std::uint32_t opcode, int location)
{
    Operand& r = pushSlot();
    r.kind = KindOpcode;
    r.opcode = opcode;
    r.precedence = Precedence::opOrder(static_cast<std::int32_t>(opcode & 0xFFFF));
    r.location = location;
}

void VQStack::pushVar(int token, int location)
{
    VarRef v;
    v.token = token;
    const auto t = token;
    if ((t >= 0x5E10 && t <= 0x5E19) || (t >= 0x5E20 && t <= 0x5E2B) || (t >= 0x5E40 && t <= 0x5E45)
        || (t >= 0x5E80 && t <= 0x5E82) || (t >= 0x5EA0 && t <= 0x5EA9)) {
        v.subKind = VarEquation;
        v.index = t;
    } else if (t >= 0x6100 && t <= 0x6109) {
        v.subKind = VarGDB;
        v.index = t;
    } else if (t >= 0xAA00 && t <= 0xAA09) {
        v.subKind = VarString;
        v.index = t;
    } else if (t == 0xBBAA) {
        v.subKind = VarReal;
        v.index = 27;
    } else if (t >= 0x1002 && t <= 0x1007) {
        v.subKind = VarListElement;
        v.index = t - 0x1002;
        v.token = 1;
        v.name = Vocabulary::shared().nameForOpcode(static_cast<std::uint32_t>(t + 0x4CFE));
    } else if (t >= 0x1008 && t <= 0x1011) {
        v.subKind = VarMatrixElement;
        v.index = t - 0x1008;
        v.token = 1;
    } else if (t >= 0x1020 && t <= 0x1025) {
        v.subKind = VarReal;
        v.index = t - 0xF4C;
    } else if (t >= 0x5C00 && t <= 0x5C09) {
        v.subKind = VarMatrix;
        v.index = t - 0x5C00;
    } else if (t >= 0x5D00 && t <= 0x5D05) {
        v.subKind = VarList;
        v.index = t - 0x5D00;
        v.name = Vocabulary::shared().nameForOpcode(static_cast<std::uint32_t>(t));
    } else if (t >= 0x41 && t <= 0x5B) {
        v.subKind = VarReal;
        v.index = t - 0x41;
    } else if (t == 0xAB) {
        v.subKind = VarSeed;
        v.index = -1;
    } else if (t == 0xB5) {
        v.subKind = VarDim;
        v.index = -1;
    } else if (t >= 0x6200 && t <= 0x623C) {
        v.subKind = VarReal;
        v.index = t - 0x61A7;
    } else if (t >= 0x6300 && t <= 0x633C) {
        v.subKind = VarReal;
        v.index = t - 0x62E4;
    } else {
        logLine("push var error");
        Operand& r = pushSlot();
        r.kind = KindError;
        r.error = ErrUndefined;
        r.location = location;
        return;
    }
    Operand& r = pushSlot();
    r.kind = KindVariable;
    r.var = std::move(v);
    r.location = location;
}

void VQStack::pushVarName(const std::string& name, int location)
{
    Operand& r = pushSlot();
    r.kind = KindVariable;
    r.var.subKind = VarList;
    r.var.index = -1;
    r.var.name = name;
    r.location = location;
}

void VQStack::pushGDBName(const std::string& name, int location)
{
    Operand& r = pushSlot();
    r.kind = KindGDBName;
    r.var.subKind = VarGDB;
    r.var.index = -1;
    r.var.name = name;
    r.location = location;
}

void VQStack::pushIO(std::shared_ptr<Ops> prompt, const VarRef& var, int location)
{
    Operand& r = pushSlot();
    r.kind = KindInputRequest;
    r.var = var;
    r.string = std::move(prompt);
    r.location = location;
}

void VQStack::pushResults(int n, int location)
{
    auto nested = std::make_shared<VQStack>(calc_);
    for (int k = 0; k < n && !stack_.empty(); ++k) {
        Operand& top = stack_.back();
        nested->pushOperand(std::move(top), top.location);
        stack_.pop_back();
    }
    Operand& r = pushSlot();
    r.kind = KindResults;
    r.stack = std::move(nested);
    r.location = location;
}

void VQStack::pushPrompt(int n, int location)
{
    pushResults(n, location);
    stack_.back().kind = KindPrompt;
}

// ---- Reading and removing ----

std::optional<Operand> VQStack::pop()
{
    if (stack_.empty())
        return std::nullopt;
    std::optional<Operand> r(std::move(stack_.back()));
    stack_.pop_back();
    return r;
}

bool VQStack::moveTopTo(VQStack& to)
{
    if (stack_.empty())
        return false;
    if (&to != this) {
        Operand& top = stack_.back();
        to.pushOperand(std::move(top), top.location);
        stack_.pop_back();
    }
    return true;
}

void VQStack::drop()
{
    if (!stack_.empty())
        stack_.pop_back();
}

bool VQStack::pop(Operand& into)
{
    if (stack_.empty())
        return false;
    into = std::move(stack_.back());
    stack_.pop_back();
    return true;
}

Operand* VQStack::peek() { return stack_.empty() ? nullptr : &stack_.back(); }
const Operand* VQStack::peek() const { return stack_.empty() ? nullptr : &stack_.back(); }
Operand* VQStack::lastOperand() { return stack_.empty() ? nullptr : &stack_.front(); }
const Operand* VQStack::lastOperand() const { return stack_.empty() ? nullptr : &stack_.front(); }

Operand VQStack::getValueAt(int index) const
{
    const Operand* op = opAtIndex(index);
    if (!op)
        return failure(ErrUndefined, 0);
    return getValueWithOp(op);
}

Operand VQStack::popValue()
{
    Operand r;
    popValue(r);
    return r;
}

void VQStack::popValue(Operand& into)
{
    if (stack_.empty()) {
        getValueWithOp(nullptr, into);
        return;
    }
    Operand& top = stack_.back();
    if (top.kind != KindVariable) {
        into = std::move(top);
        stack_.pop_back();
        return;
    }
    // Off the stack before it is resolved: an equation evaluates on its own.
    const VarRef var = std::move(top.var);
    const int location = top.location;
    stack_.pop_back();
    resolveInto(var, location, into);
}

// ---- Resolution ----

Operand VQStack::getValueWithOp(const Operand* op) const
{
    Operand r;
    getValueWithOp(op, r);
    return r;
}

void VQStack::getValueWithOp(const Operand* op, Operand& into) const
{
    if (op == &into) {
        Operand copy(*op);
        getValueWithOp(&copy, into);
        return;
    }
    if (!op) {
        resolvedRecord(into, 0);
        into.kind = KindReal;
        return;
    }
    if (op->kind != KindVariable) {
        into = *op;
        return;
    }
    resolveInto(op->var, op->location, into);
}

void VQStack::resolveInto(const VarRef& v, int location, Operand& r) const
{
    Calculator& c = calc();
    std::lock_guard state(c.stateMutex());
    resolvedRecord(r, location);

    switch (v.subKind) {
    case VarReal: {
        if (v.index == kTableListSlot) {
            r.kind = c.state().tableList.type() == 1 ? KindComplexList : KindRealList;
            r.list = std::make_shared<VQList>(c.state().tableList);
            return;
        }
        if (v.index < 0 || v.index >= Calculator::kVarCount)
            return failure(r, ErrUndefined, location);
        const auto slot = static_cast<std::size_t>(v.index);
        r.value = c.state().vars[slot];
        r.kind = r.value.imag() == 0 ? KindReal : KindComplex;
        r.sigFig = c.state().varsSigFig[slot];
        r.sigDec = c.state().varsSigDec[slot];
        return;
    }
    case VarList: {
        // A list not stored reads as an empty one; reading never adds it to the store.
        const VQList* list = findList(c, v.name);
        r.kind = list && list->type() == 1 ? KindComplexList : KindRealList;
        r.list = list ? std::make_shared<VQList>(*list) : std::make_shared<VQList>();
        return;
    }
    case VarMatrix: {
        const VQMatrix* matrix = findMatrix(c, v.index);
        if (!matrix)
            return failure(r, ErrUndefined, location);
        r.kind = KindMatrix;
        r.matrix = std::make_shared<VQMatrix>(*matrix);
        return;
    }
    case 6:
        return failure(r, 0, location);
    case VarListElement: {
        const VQList* list = findList(c, v.name);
        if (!list)
            return failure(r, ErrUndefined, location);
        if (v.elem1 < 0 || v.elem1 >= list->count())
            return failure(r, ErrBadIndex, location);
        const VQNumber& n = list->v()[static_cast<std::size_t>(v.elem1)];
        if (list->type() == 1) {
            r.kind = KindComplex;
            r.value = n.c();
        } else {
            r.kind = KindReal;
            r.value = {n.r(), 0.0};
            r.sigFig = n.sigFig();
            r.sigDec = n.sigDec();
        }
        return;
    }
    case VarMatrixElement: {
        const VQMatrix* matrix = findMatrix(c, v.index);
        if (!matrix)
            return failure(r, ErrUndefined, location);
        const int col = v.elem1;
        const int row = v.elem2;
        if (col < 0 || static_cast<std::size_t>(col) >= matrix->dimCol() || row < 0
            || static_cast<std::size_t>(row) >= matrix->dimRow())
            return failure(r, ErrBadIndex, location);
        r.kind = KindReal;
        r.value = {matrix->row(static_cast<std::size_t>(row), static_cast<std::size_t>(col)), 0.0};
        return;
    }
    case VarString: {
        const int n = v.index - 0xAA00;
        if (n < 0 || n >= Calculator::kStringCount)
            return failure(r, ErrUndefined, location);
        r.kind = KindString;
        r.string = std::make_shared<Ops>(c.state().strings[static_cast<std::size_t>(n)]);
        return;
    }
    case VarEquation:
        r = resolveEquation(v, location);
        return;
    default:
        break;
    }
    r.kind = KindReal;
    return;
}

Operand VQStack::resolveEquation(const VarRef& v, int location) const
{
    Calculator& c = calc();
    EquationEvaluator* evaluator = c.equationEvaluator.get();
    if (equationDepth >= kMaxEquationDepth)
        return failure(ErrEqSelfReference, location);

    struct DepthGuard {
        DepthGuard() { ++equationDepth; }
        ~DepthGuard() { --equationDepth; }
    };

    Operand result;
    if (v.token >= 0x5E80 && v.token <= 0x5E82) {
        if (!evaluator)
            return failure(ErrUndefined, location);
        DepthGuard guard;
        result = evaluator->evalSeqNum(v.token, c.state().vars[kEtaSlot].real());
    } else {
        YEqManager* yEq = c.yEqManager.get();
        std::optional<Ops> ops = yEq ? yEq->plotForFunction(v.token) : std::nullopt;
        if (!ops || ops->empty())
            return failure(0, location);
        const bool selfReference = std::any_of(ops->begin(), ops->end(), [&](std::uint32_t op) {
            return static_cast<int>(op & 0xFFFF) == v.token;
        });
        if (selfReference)
            return failure(ErrEqSelfReference, location);
        std::shared_ptr<VQStack> rpn = yEq->rpnForFunction(v.token);
        if (!rpn || !evaluator)
            return failure(ErrUndefined, location);
        DepthGuard guard;
        result = evaluator->evaluate(*rpn);
    }
    // A failed evaluation keeps its error number so the caller reports it.
    if (result.kind != KindError)
        result.error = 0;
    return result;
}

// ---- Whole-stack operations ----

void VQStack::replaceVarsExcept(int token)
{
    const Calculator& c = calc();
    std::lock_guard state(c.stateMutex());
    for (Operand& op : stack_) {
        if (op.kind != KindVariable || op.var.subKind != VarReal || op.var.token == token)
            continue;
        if (op.var.index < 0 || op.var.index >= Calculator::kVarCount)
            continue;
        const auto slot = static_cast<std::size_t>(op.var.index);
        Operand value;
        value.location = op.location;
        value.value = c.state().vars[slot];
        value.kind = value.value.imag() == 0 ? KindReal : KindComplex;
        value.sigFig = c.state().varsSigFig[slot];
        value.sigDec = c.state().varsSigDec[slot];
        op = std::move(value);
    }
}

std::vector<VQStack> VQStack::expandLists() const
{
    std::vector<VQStack> result;
    result.emplace_back(*this);
    Calculator& c = calc();
    std::lock_guard state(c.stateMutex());
    for (Operand& op : result.front().stack_) {
        if (op.kind != KindVariable || op.var.subKind != VarList)
            continue;
        const VQList* list = findList(c, op.var.name);
        Operand value;
        value.location = op.location;
        value.kind = KindReal;
        value.value = {list ? list->realAtIndex(0) : VQList().realAtIndex(0), 0.0};
        op = std::move(value);
    }
    return result;
}

std::string VQStack::description() const
{
    if (stack_.empty())
        return "<empty stack>\n";
    std::string out;
    for (const Operand& op : stack_) {
        appendPadded(out, op.location, 6);
        out += "   ";
        switch (op.kind) {
        case KindOpcode:
            out += Vocabulary::shared().nameForOpcode(op.opcode);
            break;
        case KindReal:
            appendDouble(out, op.value.real(), std::chars_format::scientific);
            out += " [";
            appendInt(out, op.sigFig);
            out += ':';
            appendInt(out, op.sigDec);
            out += ']';
            break;
        case KindComplex:
            appendDouble(out, op.value.real(), std::chars_format::fixed);
            out += '+';
            appendDouble(out, op.value.imag(), std::chars_format::fixed);
            out += 'i';
            break;
        case KindRealList:
        case KindComplexList:
            out += "<list>";
            break;
        case KindMatrix:
            out += "<matrix>";
            break;
        case KindFunction:
            out += "<function>";
            break;
        case KindVariable:
            describeVariable(out, op.var);
            break;
        default:
            out += "undefined operand:";
            appendInt(out, op.kind);
            break;
        }
        out += '\n';
    }
    return out;
}

} // namespace orvenda
