#include "eval/ProgramTokenHandlers.h"

#include "core/Calculator.h"
#include "core/VQMenu.h"
#include "eval/ArgumentFetcher.h"
#include "eval/MenuObject.h"
#include "eval/Parser.h"
#include "eval/ProgramObject.h"
#include "eval/ProgramTokens.h"
#include "language/ErrorNumbers.h"
#include "numeric/ElementaryFunctions.h"

#include <cmath>

namespace orvenda {

using namespace ProgramTokens;
using Ops = std::vector<std::uint32_t>;

namespace {

bool isString(const Operand& v) { return v.kind == KindString && v.string; }

// A real whole number from lo to hi.
bool wholeIn(const Operand& v, int lo, int hi)
{
    return v.kind == KindReal && ArgumentFetcher::wholeIn(v.re(), lo, hi);
}

Operand branch(const EvalRun& run, bool flag)
{
    Operand r = run.R;
    r.kind = KindBranch;
    r.opcode = run.opcode;
    r.ints = {target(run.opcode), run.token, flag ? 1 : 0, 0};
    return r;
}

} // namespace

bool ProgramTokenHandlers::handles(int t)
{
    switch (static_cast<std::uint32_t>(t)) {
    case kInput: case kPrompt: case kDisp: case kOutput: case kMenu: case kPause: case kIf: case kWhile:
    case kRepeat: case kFor: case kForNext: case kIncrementSkip: case kDecrementSkip: case kProgram: case kFix:
        return true;
    default:
        return false;
    }
}

void ProgramTokenHandlers::handle(EvalRun& run)
{
    switch (static_cast<std::uint32_t>(run.token)) {
    case kInput: input(run); break;
    case kPrompt: prompt(run); break;
    case kDisp: disp(run); break;
    case kOutput: output(run); break;
    case kMenu: menu(run); break;
    case kPause: pause(run); break;
    case kIf: case kWhile: case kRepeat: condition(run); break;
    case kFor: case kForNext: forLoop(run); break;
    case kIncrementSkip: case kDecrementSkip: incrementSkip(run); break;
    case kProgram: program(run); break;
    case kFix: fix(run); break;
    default: break;
    }
}

void ProgramTokenHandlers::fail(int error, int location)
{
    p_.ctx().error = error;
    p_.ctx().errorToken = location;
}

// The one argument of a token that also stands without a count: X itself, or, when X is
// the count, the value under it. Nothing when fetching it failed.
std::optional<Operand> ProgramTokenHandlers::onlyArgument(EvalRun& run)
{
    if (run.stack.count() == 0)
        return run.X;
    ArgumentFetcher args(p_);
    if (args.validateArgsMin(1, 1, static_cast<int>(run.number), run.stack) == 0)
        return std::nullopt;
    Operand value = args.popValueFromStack(&run.stack);
    if (p_.ctx().error)
        return std::nullopt;
    return value;
}

// The next argument when `accepts` takes it; otherwise `error` at its place, and nothing
// (nothing too when the pop itself failed).
template <class Accepts>
std::optional<Operand> ProgramTokenHandlers::popArgument(EvalRun& run, Accepts accepts, int error)
{
    Operand value = ArgumentFetcher(p_).popValueFromStack(&run.stack);
    if (p_.ctx().error)
        return std::nullopt;
    if (!accepts(value)) {
        fail(error, value.location);
        return std::nullopt;
    }
    return value;
}

// The loop variable, taken raw: a real variable, else `error` and nothing.
std::optional<Operand> ProgramTokenHandlers::popRealVariable(EvalRun& run, int error)
{
    std::optional<Operand> var = run.stack.pop();
    if (!var || var->kind != KindVariable || var->var.subKind != VarReal) {
        fail(error, var ? var->location : run.R.location);
        return std::nullopt;
    }
    return var;
}

void ProgramTokenHandlers::input(EvalRun& run)
{
    ArgumentFetcher args(p_);
    const int count = args.validateArgsMin(1, 2, static_cast<int>(run.number), run.stack);
    if (count == 0)
        return;
    const Operand var = *run.stack.pop();
    if (var.kind != KindVariable) {
        fail(ErrArgument, var.location);
        return;
    }
    VQString prompt{kQuestionMark};
    if (count == 2) {
        const Operand text = *run.stack.pop();
        if (text.kind == KindString && text.string) {
            prompt = *text.string;
        } else if (text.kind == KindVariable && text.var.subKind == VarString && text.var.index >= 0xAA00
                   && text.var.index <= 0xAA09) {
            prompt = p_.calc.state().strings[static_cast<std::size_t>(text.var.index - 0xAA00)];
        } else {
            fail(ErrArgument, text.location);
            return;
        }
    }
    run.stack.pushIO(std::move(prompt), var.var, run.R.location);
    run.stack.peek()->kind = KindInputRequest;
}

void ProgramTokenHandlers::prompt(EvalRun& run)
{
    const int count = ArgumentFetcher(p_).validateArgsMin(1, 100, static_cast<int>(run.number), run.stack);
    if (count == 0)
        return;
    run.stack.pushPrompt(count, run.R.location);
}

void ProgramTokenHandlers::disp(EvalRun& run)
{
    const int count = static_cast<int>(run.number);
    if (count == 0) {
        run.stack.pushResults(0, run.R.location);
        return;
    }
    if (ArgumentFetcher(p_).validateArgsMin(0, 99, count, run.stack) == 0)
        return;
    run.stack.pushResults(count, run.R.location);
}

bool ProgramTokenHandlers::takeShownValue(Operand& r, const Operand& value)
{
    switch (value.kind) {
    case KindReal:
    case KindComplex:
    case KindRealList:
    case KindComplexList:
    case KindMatrix:
    case KindString:
    case KindOneVarStats:
    case KindTwoVarStats:
        break;
    default:
        fail(ErrArgument, value.location);
        return false;
    }
    r.ints[2] = value.kind;
    r.value = value.value;
    r.sigFig = value.sigFig;
    r.sigDec = value.sigDec;
    r.displayMod = value.displayMod;
    r.list = value.list;
    r.matrix = value.matrix;
    r.string = value.string;
    r.object = value.object;
    return true;
}

void ProgramTokenHandlers::output(EvalRun& run)
{
    ArgumentFetcher args(p_);
    const int count = args.validateArgsMin(3, 4, static_cast<int>(run.number), run.stack);
    if (count == 0)
        return;
    int align = 0;
    if (count == 4) {
        const Operand letter = *run.stack.pop();
        const int t = letter.kind == KindVariable ? letter.var.token : -1;
        if (t == 'C')
            align = 1;
        else if (t == 'R')
            align = 2;
        else if (t != 'L') {
            fail(ErrArgument, letter.location);
            return;
        }
    }
    const Operand value = args.popValueFromStack(&run.stack);
    if (p_.ctx().error)
        return;
    const auto column = popArgument(run, [](const Operand& v) { return wholeIn(v, 1, 32); }, ErrDomain);
    if (!column)
        return;
    const auto row = popArgument(run, [](const Operand& v) { return wholeIn(v, 1, 10); }, ErrDomain);
    if (!row)
        return;
    Operand r = run.R;
    if (!takeShownValue(r, value))
        return;
    r.kind = KindOutput;
    r.ints[0] = ArgumentFetcher::clampedInt(column->re());
    r.ints[1] = ArgumentFetcher::clampedInt(row->re());
    r.ints[3] = align;
    run.R = std::move(r);
}

void ProgramTokenHandlers::menu(EvalRun& run)
{
    const int count = static_cast<int>(run.number);
    if ((count - 1) % 2 != 0 || count < 3) {
        fail(count > 15 ? ErrTooManyArguments : ErrMissingArgument, run.R.location);
        return;
    }
    ArgumentFetcher args(p_);
    if (args.validateArgsMin(3, 15, count, run.stack) == 0)
        return;
    auto m = std::make_shared<VQMenu>();
    const std::size_t pairs = static_cast<std::size_t>((count - 1) / 2);
    m->prompts.assign(pairs, std::string());
    m->labels.assign(pairs, 0);
    for (std::size_t k = pairs; k-- > 0;) {
        const auto label = popArgument(run, isReal, ErrArgument);
        if (!label)
            return;
        m->labels[k] = ArgumentFetcher::clampedInt(label->re());
        const auto text = popArgument(run, isString, ErrArgument);
        if (!text)
            return;
        m->prompts[k] = p_.calc.stringFromOps(*text->string);
    }
    const auto title = popArgument(run, isString, ErrArgument);
    if (!title)
        return;
    m->title = p_.calc.stringFromOps(*title->string);
    run.R.kind = KindMenu;
    run.R.object = std::make_shared<MenuObject>(std::move(m));
}

void ProgramTokenHandlers::pause(EvalRun& run)
{
    const int count = static_cast<int>(run.number);
    if (count > 1) {
        fail(ErrTooManyArguments, run.R.location);
        return;
    }
    Operand r = run.R;
    r.flag = true;
    r.ints[2] = KindPause;
    if (count == 1) {
        const Operand value = ArgumentFetcher(p_).popValueFromStack(&run.stack);
        if (p_.ctx().error)
            return;
        if (!takeShownValue(r, value))
            return;
    }
    r.kind = KindPause;
    run.R = std::move(r);
}

void ProgramTokenHandlers::condition(EvalRun& run)
{
    const std::optional<Operand> c = onlyArgument(run);
    if (!c)
        return;
    const bool zero = c->value == std::complex<double>(0.0, 0.0);
    const bool flag = static_cast<std::uint32_t>(run.token) == kRepeat ? zero : !zero;
    run.R = branch(run, flag);
}

void ProgramTokenHandlers::forLoop(EvalRun& run)
{
    ArgumentFetcher args(p_);
    const int count = args.validateArgsMin(3, 4, static_cast<int>(run.number), run.stack);
    if (count == 0)
        return;
    double step = 1;
    if (count == 4) {
        const auto s = popArgument(run, isReal, ErrSyntax);
        if (!s)
            return;
        if (s->re() == 0) {
            fail(ErrIncrement, s->location);
            return;
        }
        step = s->re();
    }
    const Operand end = args.popValueFromStack(&run.stack);
    if (p_.ctx().error)
        return;
    const Operand begin = args.popValueFromStack(&run.stack);
    if (p_.ctx().error)
        return;
    if (end.kind != KindReal || begin.kind != KindReal) {
        fail(ErrSyntax, end.kind != KindReal ? end.location : begin.location);
        return;
    }
    const std::optional<Operand> var = popRealVariable(run, ErrSyntax);
    if (!var)
        return;
    Calculator& calc = p_.calc;
    double now = begin.re();
    if (static_cast<std::uint32_t>(run.token) == kForNext) {
        VariableRecord v = calc.getVar(var->var.index);
        now = v.value.real() + step;
        v.value = {now, v.value.imag()};
        calc.setVar(var->var.index, v);
    } else {
        calc.setVar(var->var.index, {{now, 0.0}, static_cast<std::int8_t>(begin.sigFig),
                                     static_cast<std::int8_t>(begin.sigDec)});
    }
    const bool goesOn = step > 0 ? now <= end.re() : now >= end.re();
    run.R = branch(run, goesOn);
}

void ProgramTokenHandlers::incrementSkip(EvalRun& run)
{
    ArgumentFetcher args(p_);
    if (args.validateArgsMin(2, 2, static_cast<int>(run.number), run.stack) == 0)
        return;
    const auto value = popArgument(run, isReal, ErrArgument);
    if (!value)
        return;
    const std::optional<Operand> var = popRealVariable(run, ErrArgument);
    if (!var)
        return;
    Calculator& calc = p_.calc;
    const VariableRecord v = calc.getVar(var->var.index);
    if (v.value.imag() != 0) {
        fail(ErrNonReal, var->location);
        return;
    }
    const bool up = static_cast<std::uint32_t>(run.token) == kIncrementSkip;
    const double now = v.value.real() + (up ? 1 : -1);
    calc.setVar(var->var.index, {{now, 0.0}, 15, -15});
    run.R = branch(run, up ? now > value->re() : now < value->re());
}

void ProgramTokenHandlers::program(EvalRun& run)
{
    const Operand& name = run.X;
    if (name.kind != KindString || !name.string) {
        fail(ErrArgument, name.location);
        return;
    }
    // A program runs as a statement of its own, never from inside a value (expr(, an
    // equation): the statement it stands in would go on with no value.
    if (p_.ctx().evalDepth > 1) {
        fail(ErrInvalid, name.location);
        return;
    }
    const std::string text = name.var.name.empty() ? p_.calc.stringFromOps(*name.string) : name.var.name;
    std::optional<Ops> ops = ArgumentFetcher(p_).getProgram(text);
    if (!ops)
        return;
    run.R.kind = KindProgramCall;
    run.R.string = name.string;
    run.R.object = std::make_shared<ProgramObject>(text, std::move(*ops));
}

void ProgramTokenHandlers::fix(EvalRun& run)
{
    const std::optional<Operand> digits = onlyArgument(run);
    if (!digits)
        return;
    if (!wholeIn(*digits, 0, 9)) {
        fail(ErrDomain, digits->location);
        return;
    }
    p_.calc.state().numDigits = ArgumentFetcher::clampedInt(digits->re());
    p_.calc.state().numFormat = 0;
    run.R.kind = KindDone;
    run.R.opcode = static_cast<std::uint32_t>(run.token);
}

} // namespace orvenda
