#include "eval/ListMatrixCommands.h"

#include "core/Calculator.h"
#include "core/VQList.h"
#include "core/VQMatrix.h"
#include "core/VQStack.h"
#include "eval/ArgumentFetcher.h"
#include "eval/EvalRun.h"
#include "eval/Parser.h"
#include "language/ErrorNumbers.h"

#include <array>
#include <cmath>
#include <vector>

namespace orvenda {

namespace {

bool isMatrix(const Operand& op) { return op.kind == KindMatrix && op.matrix; }

std::int8_t pairByte(int x) { return static_cast<std::int8_t>(x < -128 ? -128 : x > 127 ? 127 : x); }

} // namespace

ListMatrixCommands::ListMatrixCommands(Parser& parser) : p_(parser), calc_(parser.calc) {}

bool ListMatrixCommands::handles(int t)
{
    switch (t) {
    case 0x06: case 0x07: case 0x08: case 0xFA: case 0xE2: case 0xE3: case 0xE4: case 0xB6: case 0xB7:
    case 0x15: case 0x16: case 0x17: case 0x18:
        return true;
    default:
        return false;
    }
}

bool ListMatrixCommands::fail(int error, int location, EvalRun& run)
{
    p_.setError(error, location, run.R);
    return false;
}

// The next argument when `accepts` takes it; otherwise `error` at its place, and nothing
// (nothing too when the pop itself failed).
std::optional<Operand> ListMatrixCommands::popArgument(EvalRun& run, bool (*accepts)(const Operand&), int error)
{
    Operand value = p_.popValueFromStack(&run.stack);
    if (p_.error() != 0)
        return std::nullopt;
    if (!accepts(value)) {
        fail(error, value.location, run);
        return std::nullopt;
    }
    return value;
}

// Whether the operator work on a target failed; if so its error becomes the command's.
bool ListMatrixCommands::opFailed(const Operand& result, EvalRun& run)
{
    if (p_.error() == 0 && (result.kind != KindError || result.error == 0))
        return false;
    fail(p_.error() ? p_.error() : result.error, p_.error() ? p_.errorToken() : result.location, run);
    return true;
}

bool ListMatrixCommands::handle(EvalRun& run)
{
    switch (run.token) {
    case 0x08: buildList(run, 99); break;
    case 0x06: buildList(run, 999); break;
    case 0x07: buildMatrix(run); break;
    case 0xFA: clearLists(run); break;
    case 0xE3:
    case 0xE4: sort(run); break;
    case 0xE2: fill(run); break;
    case 0xB6:
    case 0xB7: sumOrProduct(run); break;
    case 0x15:
    case 0x16:
    case 0x17:
    case 0x18: rowOperation(run); break;
    default: return false;
    }
    return true;
}

void ListMatrixCommands::buildList(EvalRun& run, int maxCount)
{
    Parser& args = p_;
    const int count = args.validateArgsMin(1, maxCount, static_cast<int>(run.number), run.stack);
    if (count == 0)
        return;
    // Popped last first; kept in a buffer so the list is built in source order.
    std::vector<VQNumber> elements(static_cast<std::size_t>(count));
    for (int k = count - 1; k >= 0; --k) {
        const std::optional<Operand> e = popArgument(run, isNumber, ErrDataType);
        if (!e)
            return;
        elements[static_cast<std::size_t>(k)] = VQNumber(e->value, e->sigFig, e->sigDec);
    }
    auto list = std::make_shared<VQList>();
    for (const VQNumber& n : elements)
        list->addNumber(n);
    run.R.kind = KindRealList;
    run.R.list = std::move(list);
}

void ListMatrixCommands::buildMatrix(EvalRun& run)
{
    Parser& args = p_;
    const int count = args.validateArgsMin(1, 99, static_cast<int>(run.number), run.stack);
    if (count == 0)
        return;
    std::optional<VQMatrix> m;
    for (int row = count - 1; row >= 0; --row) {
        const std::optional<Operand> r = popArgument(run, isList, ErrSyntax);
        if (!r)
            return;
        const VQList& list = *r->list;
        if (!m) {
            m = VQMatrix::matrixWithRow(static_cast<std::size_t>(count), static_cast<std::size_t>(list.count()));
            if (!m) {
                fail(ErrMemory, r->location, run);
                return;
            }
        }
        if (static_cast<std::size_t>(list.count()) != m->dimCol()) {
            fail(ErrDimMismatch, r->location, run);
            return;
        }
        // Matrices hold reals only; a complex element would lose its imaginary part.
        if (list.type() != 0) {
            fail(ErrDataType, r->location, run);
            return;
        }
        m->setRow(static_cast<std::size_t>(row), list);
    }
    run.R.kind = KindMatrix;
    run.R.matrix = std::make_shared<VQMatrix>(std::move(*m));
}

void ListMatrixCommands::clearLists(EvalRun& run)
{
    Parser& args = p_;
    const int count = args.validateArgsMin(1, 99, static_cast<int>(run.number), run.stack);
    if (count == 0)
        return;
    // Every argument is checked before any list is emptied.
    std::vector<std::string> names;
    for (int k = 0; k < count; ++k) {
        std::optional<Operand> raw = run.stack.pop();
        if (!raw)
            return;
        const Operand value = run.stack.getValueWithOp(&*raw);
        if (value.kind == KindError && value.error != 0) {
            fail(value.error, value.location, run);
            return;
        }
        if (!isList(value)) {
            fail(ErrExprSyntax, raw->location, run);
            return;
        }
        if (raw->kind == KindVariable && raw->var.subKind == VarList && !raw->var.name.empty())
            names.push_back(raw->var.name);
    }
    for (const std::string& name : names)
        calc_.storeList(name, VQList());
    run.R.kind = KindDone;
    run.R.opcode = static_cast<std::uint32_t>(run.token);
}

std::optional<Operand> ListMatrixCommands::popTarget(EvalRun& run, Operand& raw)
{
    std::optional<Operand> top = run.stack.pop();
    if (!top)
        return std::nullopt;
    raw = std::move(*top);
    Operand value = run.stack.getValueWithOp(&raw);
    p_.setError(value.error);
    p_.setErrorToken(value.location);
    if (value.error != 0)
        return std::nullopt;
    if (raw.kind != KindVariable) {
        if (isList(value))
            value.list = std::make_shared<VQList>(*value.list);
        if (value.kind == KindMatrix && value.matrix)
            value.matrix = std::make_shared<VQMatrix>(*value.matrix);
    }
    return value;
}

bool ListMatrixCommands::writeBack(const Operand& raw, const Operand& value, EvalRun& run)
{
    if (raw.kind != KindVariable)
        return true;
    bool stored = true;
    if (raw.var.subKind == VarList && !raw.var.name.empty() && isList(value))
        stored = calc_.storeList(raw.var.name, *value.list);
    else if (raw.var.subKind == VarMatrix && raw.var.index >= 0 && raw.var.index < Calculator::kMatrixCount
             && value.kind == KindMatrix && value.matrix)
        stored = calc_.storeMatrix(static_cast<std::size_t>(raw.var.index), *value.matrix);
    return stored || fail(ErrMemory, raw.location, run);
}

void ListMatrixCommands::fill(EvalRun& run)
{
    if (p_.validateArgsMin(2, 2, static_cast<int>(run.number), run.stack) == 0)
        return;
    Operand rawX;
    std::optional<Operand> X = popTarget(run, rawX);
    if (!X)
        return;
    const Operand Y = p_.popValueFromStack(&run.stack);
    if (p_.error() != 0)
        return;
    const int location = run.R.location;
    run.R = p_.binaryOp(run.token, *X, Y);
    if (p_.error() != 0 || (run.R.kind == KindError && run.R.error != 0))
        return;
    run.R.location = location;
    writeBack(rawX, *X, run);
}

void ListMatrixCommands::sort(EvalRun& run)
{
    Parser& args = p_;
    const int count = args.validateArgsMin(1, 101, static_cast<int>(run.number), run.stack);
    if (count == 0)
        return;
    if (count >= 3 && count % 2 == 1) {
        fail(ErrMissingArgument, run.R.location, run);
        return;
    }
    Operand rawX, rawY;
    if (count == 1) {
        std::optional<Operand> X = popTarget(run, rawX);
        if (!X)
            return;
        if (opFailed(p_.unaryOp(static_cast<std::uint32_t>(run.token), *X), run))
            return;
        if (!writeBack(rawX, *X, run))
            return;
    } else {
        for (int k = 0; k < count; k += 2) {
            std::optional<Operand> X = popTarget(run, rawX);
            if (!X)
                return;
            std::optional<Operand> Y = popTarget(run, rawY);
            if (!Y)
                return;
            if (opFailed(p_.binaryOp(run.token, *X, *Y), run))
                return;
            if (!writeBack(rawY, *Y, run) || !writeBack(rawX, *X, run))
                return;
        }
    }
    run.R.kind = KindDone;
    run.R.opcode = static_cast<std::uint32_t>(run.token);
}

void ListMatrixCommands::sumOrProduct(EvalRun& run)
{
    Parser& args = p_;
    const int count = args.validateArgsMin(1, 3, static_cast<int>(run.number), run.stack);
    if (count == 0)
        return;
    std::array<double, 2> bounds{};
    for (int k = count - 2; k >= 0; --k) {
        const std::optional<Operand> b = popArgument(run, isReal, ErrArgument);
        if (!b)
            return;
        bounds[static_cast<std::size_t>(k)] = std::trunc(b->re());
    }
    const std::optional<Operand> list = popArgument(run, isList, ErrArgument);
    if (!list)
        return;
    const Operand& L = *list;
    const double length = L.list->count();
    const double start = count >= 2 ? bounds[0] : 1;
    const double end = count == 3 ? bounds[1] : length;
    if (!(start >= 1 && start <= length && end >= start && end <= length)) {
        fail(ErrInvalidDim, L.location, run);
        return;
    }
    const VQNumber n = run.token == 0xB6 ? L.list->sumStart(ArgumentFetcher::clampedInt(start), ArgumentFetcher::clampedInt(end))
                                         : L.list->prodStart(ArgumentFetcher::clampedInt(start),
                                                             ArgumentFetcher::clampedInt(end));
    Operand& R = run.R;
    R.value = n.c();
    R.kind = n.i() != 0 ? KindComplex : KindReal;
    R.sigFig = n.sigFig();
    R.sigDec = n.sigDec();
}

void ListMatrixCommands::rowOperation(EvalRun& run)
{
    const int t = run.token;
    const int exact = t == 0x18 ? 4 : 3;
    Parser& args = p_;
    if (args.validateArgsMin(exact, exact, static_cast<int>(run.number), run.stack) == 0)
        return;
    const int rowCount = t == 0x15 || t == 0x16 || t == 0x18 ? 2 : 1;

    // Row numbers, last first; rows[0] is the first row argument.
    std::array<int, 2> rows{};
    std::array<int, 2> rowLocations{};
    for (int k = rowCount - 1; k >= 0; --k) {
        const std::optional<Operand> r = popArgument(run, isReal, ErrArgument);
        if (!r)
            return;
        const auto index = ArgumentFetcher::wholeIn(r->re() - 1, 0, 1000000000);
        if (!index) {
            fail(ErrDimMismatch, r->location, run);
            return;
        }
        rows[static_cast<std::size_t>(k)] = *index;
        rowLocations[static_cast<std::size_t>(k)] = r->location;
    }
    const std::optional<Operand> matrix = popArgument(run, isMatrix, ErrArgument);
    if (!matrix)
        return;
    const Operand& M = *matrix;
    for (int k = 0; k < rowCount; ++k) {
        if (static_cast<std::size_t>(rows[static_cast<std::size_t>(k)]) >= M.matrix->dimRow()) {
            fail(ErrDimMismatch, rowLocations[static_cast<std::size_t>(k)], run);
            return;
        }
    }
    SNum scalar;
    if (t == 0x17 || t == 0x18) {
        const std::optional<Operand> s = popArgument(run, isReal, ErrArgument);
        if (!s)
            return;
        scalar = {pairByte(s->sigFig), pairByte(s->sigDec), s->re()};
    }

    VQMatrix& m = *M.matrix;
    const auto a = static_cast<std::size_t>(rows[0]);
    const auto b = static_cast<std::size_t>(rows[1]);
    std::optional<VQMatrix> out;
    switch (t) {
    case 0x15: out = m.swapRow(a, b); break;
    case 0x16: out = m.addRow(a, b); break;
    case 0x17: out = m.multiplyRowNumber(a, scalar, a); break;
    default: out = m.multiplyRowNumberAddTo(a, scalar, b); break;
    }
    if (!out) {
        const int error = Parser::calcMatrixError(m);
        fail(error != 0 ? error : ErrMemory, M.location, run);
        return;
    }
    run.R.kind = KindMatrix;
    run.R.matrix = std::make_shared<VQMatrix>(std::move(*out));
}

} // namespace orvenda
