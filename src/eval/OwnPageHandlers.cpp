#include "eval/OwnPageHandlers.h"

#include "core/Calculator.h"
#include "core/DrawObject.h"
#include "core/VQList.h"
#include "core/VQStack.h"
#include "core/services/YEqManager.h"
#include "eval/Parser.h"
#include "language/ErrorNumbers.h"
#include "numeric/ElementaryFunctions.h"
#include "numeric/TriangleSolver.h"

#include <algorithm>
#include <array>

namespace orvenda {

namespace {

constexpr int kInputField = 0x5C36;
constexpr int kButton = 0x5C37;
constexpr int kSelector = 0x5C38;
constexpr int kSlider = 0x5C39;
constexpr int kTriSolve = 0x5C3C;
constexpr int kMixedNumber = 0x5C4B;
constexpr int kAtomicWeight = 0x5C53;
constexpr int kDensity = 0x5C56;
constexpr int kGraphVar = 0x5C60;
constexpr int kPolyRoots = 0x5C61;

constexpr int kElements = 118;
constexpr int kMaxCoefficients = 30;
constexpr double kMinWidgetWidth = 10;
constexpr double kNarrowWidgetWidth = 30;
constexpr double kMaxWidgetWidth = 300;

// A real whole number, at least min.
bool wholeAtLeast(const Operand& op, double min)
{
    return op.kind == KindReal && ElementaryFunctions::isWhole(op.re()) && op.re() >= min;
}

} // namespace

OwnPageHandlers::OwnPageHandlers(Parser& parser) : p_(parser), calc_(parser.calc) {}

bool OwnPageHandlers::handles(int t)
{
    return (t >= kInputField && t <= kSlider) || t == kTriSolve || t == kMixedNumber
        || (t >= kAtomicWeight && t <= kDensity) || t == kGraphVar || t == kPolyRoots;
}

void OwnPageHandlers::handle(EvalRun& run)
{
    switch (run.token) {
    case kInputField: inputField(run); break;
    case kButton: button(run); break;
    case kSelector: selector(run); break;
    case kSlider: slider(run); break;
    case kTriSolve: triSolve(run); break;
    case kMixedNumber: mixedNumber(run); break;
    case kGraphVar: graphVar(run); break;
    case kPolyRoots: polyRoots(run); break;
    default: elementProperty(run); break;
    }
}

int OwnPageHandlers::equationToken(int graphMode, int index)
{
    switch (graphMode) {
    case 1: return 0x5E20 + 2 * index;
    case 2: return 0x5E40 + index;
    case 3: return 0x5E80 + index;
    case 4: return 0x5EA0 + index;
    default: return 0x5E10 + index;
    }
}

int OwnPageHandlers::equationCount(int graphMode)
{
    switch (graphMode) {
    case 1: case 2: return 6;
    case 3: return 3;
    default: return 10;
    }
}

// ---- Arguments ----

void OwnPageHandlers::fail(int error, int location)
{
    p_.setError(error);
    p_.setErrorToken(location);
}

bool OwnPageHandlers::count(EvalRun& run, int min, int max)
{
    return p_.validateArgsMin(min, max, static_cast<int>(run.number), run.stack) != 0;
}

bool OwnPageHandlers::popReal(EvalRun& run, double& value)
{
    return p_.getReal(value, run.stack);
}

std::optional<std::string> OwnPageHandlers::popText(EvalRun& run)
{
    const Operand op = p_.popValueFromStack(&run.stack);
    if (p_.error() != 0)
        return std::nullopt;
    if (op.kind != KindString || !op.string) {
        fail(ErrArgument, op.location);
        return std::nullopt;
    }
    return calc_.stringFromOps(*op.string);
}

std::optional<Operand> OwnPageHandlers::popReference(EvalRun& run)
{
    Operand op;
    if (!run.stack.pop(op) || op.kind != KindVariable) {
        fail(ErrArgument, op.location);
        return std::nullopt;
    }
    return op;
}

// ---- Program widgets ----

void OwnPageHandlers::addControl(EvalRun& run, std::shared_ptr<DrawControl> control, bool named)
{
    if (named)
        control->prgmName = p_.currentProgramName();
    Calculator& calc = calc_;
    p_.evaluator().drawOnMain(run, [&calc, control = std::move(control)] { calc.ioControls.push_back(control); });
    run.R.kind = named ? KindWidgetAdded : KindDone;
    run.R.opcode = static_cast<std::uint32_t>(run.token);
}

bool OwnPageHandlers::popPlace(EvalRun& run, DrawControl& widget)
{
    return popReal(run, widget.width) && popReal(run, widget.y) && popReal(run, widget.x);
}

bool OwnPageHandlers::popTexts(EvalRun& run, std::string& last, std::string& before)
{
    auto text = popText(run);
    if (!text)
        return false;
    last = std::move(*text);
    text = popText(run);
    if (!text)
        return false;
    before = std::move(*text);
    return true;
}

bool OwnPageHandlers::popLabelAndVariable(EvalRun& run, std::string& label, int& varNum)
{
    auto text = popText(run);
    if (!text)
        return false;
    const auto var = popReference(run);
    if (!var)
        return false;
    label = std::move(*text);
    varNum = var->var.index;
    return true;
}

void OwnPageHandlers::inputField(EvalRun& run)
{
    if (!count(run, 5, 5))
        return;
    auto field = std::make_shared<DrawInputField>();
    if (!popLabelAndVariable(run, field->lblName, field->varNum))
        return;
    const Operand* width = run.stack.peek();
    const int at = width ? width->location : 0;
    if (!popPlace(run, *field))
        return;
    if (!(field->width >= 1 && field->width <= kMaxWidgetWidth))
        return fail(ErrInvalidDim, at);
    // Its label runs in this program once a value is typed in.
    field->prgmName = p_.currentProgramName();
    addControl(run, std::move(field), false);
}

void OwnPageHandlers::button(EvalRun& run)
{
    if (!count(run, 5, 5))
        return;
    auto widget = std::make_shared<DrawButton>();
    if (!popTexts(run, widget->lblName, widget->buttonName) || !popPlace(run, *widget))
        return;
    widget->width = std::min(widget->width < kMinWidgetWidth ? kNarrowWidgetWidth : widget->width, kMaxWidgetWidth);
    addControl(run, std::move(widget), true);
}

void OwnPageHandlers::selector(EvalRun& run)
{
    if (!count(run, 5, 5))
        return;
    auto widget = std::make_shared<DrawSelector>();
    if (!popTexts(run, widget->labels, widget->titles) || !popPlace(run, *widget))
        return;
    if (widget->width < kMinWidgetWidth)
        widget->width = kNarrowWidgetWidth;
    addControl(run, std::move(widget), true);
}

void OwnPageHandlers::slider(EvalRun& run)
{
    if (!count(run, 7, 7))
        return;
    auto widget = std::make_shared<DrawSlider>();
    if (!popLabelAndVariable(run, widget->lblName, widget->varNum) || !popReal(run, widget->max)
        || !popReal(run, widget->min) || !popPlace(run, *widget))
        return;
    addControl(run, std::move(widget), true);
}

// ---- TriSolve( ----

void OwnPageHandlers::triSolve(EvalRun& run)
{
    if (!count(run, 6, 6))
        return;
    std::array<double, TriangleSolver::kBufferSize> buffer{};
    for (int i = 5; i >= 0; --i)
        if (!popReal(run, buffer[static_cast<std::size_t>(i)]))
            return;
    // The solver works in radians; an unknown angle stays 0.
    for (int i = 0; i < 3; ++i)
        buffer[static_cast<std::size_t>(i)] = p_.toRadians(buffer[static_cast<std::size_t>(i)]);
    TriangleSolver& solver = TriangleSolver::triangleSolver();
    const int error = solver.triangleSolve(buffer);
    if (error != 0 && error != ErrGeom2Triangle)
        return fail(error, run.R.location);

    const int values = solver.triangleTwoSolution() == 2 ? 12 : 6;
    auto list = std::make_shared<VQList>();
    for (int i = 0; i < values; ++i) {
        const double x = buffer[static_cast<std::size_t>(i)];
        list->addReal(i % 6 < 3 ? p_.fromRadians(x) : x, 15, -15);
    }
    run.R.kind = KindRealList;
    run.R.list = std::move(list);
    // Two triangles: the run ends here, handing back both with the error that says so.
    if (error != 0)
        fail(error, run.R.location);
}

// ---- w␣n/d ----

void OwnPageHandlers::mixedNumber(EvalRun& run)
{
    if (run.stack.count() < 2)
        return fail(ErrSyntax, run.R.location);
    const Operand numerator = p_.popValueFromStack(&run.stack);
    if (p_.error() != 0)
        return;
    const Operand whole = p_.popValueFromStack(&run.stack);
    if (p_.error() != 0)
        return;
    const Operand& denominator = run.X;
    if (!wholeAtLeast(denominator, 0))
        return fail(ErrExprSyntax, denominator.location);
    if (!wholeAtLeast(numerator, 0))
        return fail(ErrExprSyntax, numerator.location);
    if (whole.kind != KindReal || !ElementaryFunctions::isWhole(whole.re()))
        return fail(ErrExprSyntax, whole.location);
    if (denominator.re() == 0)
        return fail(ErrDivideBy0, denominator.location);
    run.R.kind = KindReal;
    run.R.value = {whole.re() + numerator.re() / denominator.re(), 0.0};
    EvalContext& c = p_.ctx();
    c.f_und = true;
    c.f_nd = true;
}

// ---- chem_atomicWt( to chem_density( ----

void OwnPageHandlers::elementProperty(EvalRun& run)
{
    const int n = static_cast<int>(run.number);
    if (!count(run, 1, 2))
        return;
    int last = 0;
    if (!p_.getInt(last, 1, kElements, run.stack))
        return;
    int first = last;
    if (n == 2) {
        if (!p_.getInt(first, 1, kElements, run.stack))
            return;
        if (last < first)
            return p_.setError(ErrArgument);
    }
    const int location = run.R.location;
    const bool decimal = run.R.hasDecimalPoint;
    run.R = p_.chemProperty(run.token, first, last);
    run.R.location = location;
    run.R.hasDecimalPoint = decimal;
}

// ---- GraphVar( ----

void OwnPageHandlers::graphVar(EvalRun& run)
{
    if (!count(run, 6, 6))
        return;
    const int mode = calc_.graphMode();
    int number = 0;
    if (!p_.getInt(number, 1, equationCount(mode), run.stack))
        return;
    auto var = popReference(run);
    if (!var)
        return;
    if (var->var.subKind != VarReal)
        return fail(ErrArgument, var->location);
    double value = 0, step = 0, max = 0, min = 0;
    if (!popReal(run, value) || !popReal(run, step) || !popReal(run, max) || !popReal(run, min))
        return;
    if (const auto& equations = calc_.yEqManager)
        equations->setYEqFunc(equationToken(mode, number - 1), var->var.index, value, step, max, min);
    run.R.kind = KindDone;
    run.R.opcode = static_cast<std::uint32_t>(run.token);
}

// ---- PolyRoots( ----

void OwnPageHandlers::polyRoots(EvalRun& run)
{
    const int n = static_cast<int>(run.number);
    if (!count(run, 1, 2))
        return;
    int equation = -1;
    if (n == 2) {
        auto target = popReference(run);
        if (!target)
            return;
        if (target->var.subKind != VarEquation)
            return fail(ErrArgument, target->location);
        equation = target->var.token;
    }
    Operand arg;
    run.stack.pop(arg);
    std::shared_ptr<const VQList> coefficients;
    if (arg.kind == KindVariable && arg.var.subKind == VarList) {
        const auto it = calc_.state().lists.find(arg.var.name);
        if (it != calc_.state().lists.end())
            coefficients = std::make_shared<VQList>(it->second);
    } else if (arg.kind == KindRealList) {
        coefficients = arg.list;
    }
    // Real coefficients only.
    if (!coefficients || coefficients->count() == 0 || coefficients->type() != 0)
        return fail(ErrArgument, arg.location);
    if (coefficients->count() > kMaxCoefficients)
        return fail(ErrTooManyArguments, arg.location);
    int error = 0;
    auto zeros = p_.polySolve(coefficients.get(), equation, error);
    if (error != 0)
        return fail(error, arg.location);
    if (!zeros)
        return fail(ErrArgument, arg.location);
    // A complex list when a zero is not real.
    run.R.kind = zeros->type() == 0 ? KindRealList : KindComplexList;
    run.R.list = std::move(zeros);
}

} // namespace orvenda
