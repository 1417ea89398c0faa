#include "eval/DrawingHandlers.h"

#include "core/Calculator.h"
#include "core/DrawObject.h"
#include "core/VQList.h"
#include "core/VQStack.h"
#include "core/services/GDBManager.h"
#include "eval/ArgumentFetcher.h"
#include "eval/Parser.h"
#include "language/ErrorNumbers.h"
#include "language/Utf8.h"
#include "language/Vocabulary.h"
#include "numeric/ElementaryFunctions.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

namespace orvenda {

namespace {

constexpr int kPxlTest = 0x13;
constexpr int kText = 0x93;
constexpr int kStoreGDB = 0x9A;
constexpr int kRecallGDB = 0x9B;
constexpr int kLine = 0x9C;
constexpr int kVertical = 0x9D;
constexpr int kPtOn = 0x9E;
constexpr int kPtOff = 0x9F;
constexpr int kPtChange = 0xA0;
constexpr int kPxlOn = 0xA1;
constexpr int kPxlOff = 0xA2;
constexpr int kPxlChange = 0xA3;
constexpr int kShade = 0xA4;
constexpr int kCircle = 0xA5;
constexpr int kHorizontal = 0xA6;
constexpr int kTangent = 0xA7;
constexpr int kDrawInv = 0xA8;
constexpr int kDrawF = 0xA9;

// Drawn functions keep X (its token) as their variable.
constexpr int kVariableX = 0x58;
constexpr double kMaxWidth = 20;
constexpr int kMaxGDBName = 20;
constexpr int kColorMarker = -1;

// A coordinate as a pixel index; far-off values stay far off instead of wrapping.
int pixelIndex(double x)
{
    if (std::isnan(x))
        return -1;
    return ArgumentFetcher::clampedInt(x, -1000000000, 1000000000);
}

int colorByte(double component)
{
    return static_cast<int>(component * 255);
}

// Text at the place and alignment of text already drawn takes that text's place.
bool replaceText(Calculator& calc, const DrawObject& record)
{
    const auto* text = dynamic_cast<const DrawText*>(&record);
    if (!text)
        return false;
    for (auto& drawn : calc.drawing) {
        auto* old = dynamic_cast<DrawText*>(drawn.get());
        if (old && old->x == text->x && old->y == text->y && old->alignment == text->alignment) {
            old->tiTextColor = text->tiTextColor;
            old->text = text->text;
            old->r = text->r;
            old->g = text->g;
            old->b = text->b;
            return true;
        }
    }
    return false;
}

} // namespace

DrawingHandlers::DrawingHandlers(Parser& parser) : p_(parser), calc_(parser.calc) {}

bool DrawingHandlers::handles(int t)
{
    return t == kPxlTest || t == kText || (t >= kStoreGDB && t <= kDrawF);
}

void DrawingHandlers::handle(EvalRun& run)
{
    switch (run.token) {
    case kLine: line(run); break;
    case kHorizontal: case kVertical: horizontalOrVertical(run); break;
    case kCircle: circle(run); break;
    case kTangent: tangent(run); break;
    case kDrawF: case kDrawInv: drawFunction(run); break;
    case kShade: shade(run); break;
    case kText: text(run); break;
    case kPtOn: case kPtOff: case kPtChange: point(run); break;
    case kPxlOn: case kPxlOff: case kPxlChange: pixel(run); break;
    case kPxlTest: pixelTest(run); break;
    case kStoreGDB: case kRecallGDB: graphDatabase(run); break;
    default: break;
    }
}

// ---- Arguments ----

void DrawingHandlers::fail(int error)
{
    p_.setError(error);
}

int DrawingHandlers::count(EvalRun& run, int min, int max)
{
    return p_.validateArgsMin(min, max, static_cast<int>(run.number), run.stack);
}

bool DrawingHandlers::popReal(EvalRun& run, double& value)
{
    return p_.getReal(value, run.stack);
}

bool DrawingHandlers::popColor(EvalRun& run, Look& look)
{
    const auto color = p_.getColorFromStack(run.stack);
    if (!color) {
        if (p_.error() == 0)
            fail(ErrArgument);
        return false;
    }
    look.r = color->realAtIndex(0);
    look.g = color->realAtIndex(1);
    look.b = color->realAtIndex(2);
    return true;
}

bool DrawingHandlers::popColorAndWidth(EvalRun& run, int n, int colorAt, Look& look, bool zeroWidthFallsBack)
{
    if (n > colorAt) {
        double width = 0;
        if (!popReal(run, width))
            return false;
        const bool bad = !(width >= 0 && width <= kMaxWidth) || (zeroWidthFallsBack && width == 0);
        look.width = bad ? 2 : width;
    }
    return n < colorAt || popColor(run, look);
}

std::shared_ptr<VQStack> DrawingHandlers::popFunction(EvalRun& run, std::vector<std::uint32_t>* expression)
{
    const Operand op = p_.popValueFromStack(&run.stack);
    if (p_.error() != 0)
        return nullptr;
    if (op.kind != KindFunction || !op.stack) {
        fail(ErrSyntax);
        return nullptr;
    }
    if (expression && op.string)
        expression->assign(op.string->begin(), op.string->end());
    auto fn = std::make_shared<VQStack>(*op.stack);
    fn->replaceVarsExcept(kVariableX);
    return fn;
}

void DrawingHandlers::done(EvalRun& run)
{
    run.R.kind = KindDone;
    run.R.opcode = static_cast<std::uint32_t>(run.token);
}

void DrawingHandlers::addRecord(EvalRun& run, std::shared_ptr<DrawObject> record, const Look& look)
{
    record->r = static_cast<float>(look.r);
    record->g = static_cast<float>(look.g);
    record->b = static_cast<float>(look.b);
    record->lineWidth = static_cast<float>(look.width);
    record->style = look.style;
    post(run, std::move(record));
}

void DrawingHandlers::post(EvalRun& run, std::shared_ptr<DrawObject> record)
{
    Calculator& calc = calc_;
    p_.evaluator().drawOnMain(run, [&calc, record = std::move(record)] {
        if (!replaceText(calc, *record))
            calc.drawing.push_back(record);
        calc.showGraphView(true);
    });
    done(run);
}

// ---- Records ----

void DrawingHandlers::line(EvalRun& run)
{
    const int n = count(run, 4, 7);
    if (n == 0)
        return;
    Look look;
    if (n == 7) {
        double style = 0;
        if (!popReal(run, style))
            return;
        if (!ElementaryFunctions::isWhole(style) || style < 0 || style > 3)
            return fail(ErrArgument);
        look.style = static_cast<int>(style);
    }
    if (!popColorAndWidth(run, n, 5, look))
        return;
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    if (!popReal(run, y2) || !popReal(run, x2) || !popReal(run, y1) || !popReal(run, x1))
        return;
    auto record = std::make_shared<DrawLine>();
    record->p1 = {x1, y1};
    record->p2 = {x2, y2};
    addRecord(run, std::move(record), look);
}

void DrawingHandlers::horizontalOrVertical(EvalRun& run)
{
    const int n = count(run, 1, 3);
    if (n == 0)
        return;
    Look look;
    if (!popColorAndWidth(run, n, 2, look, true))
        return;
    double at = 0;
    if (!popReal(run, at))
        return;
    constexpr double far = std::numeric_limits<double>::infinity();
    const DrawPoint point = run.token == kHorizontal ? DrawPoint{far, at} : DrawPoint{at, far};
    auto record = std::make_shared<DrawLine>();
    record->p1 = point;
    record->p2 = point;
    addRecord(run, std::move(record), look);
}

void DrawingHandlers::circle(EvalRun& run)
{
    const int n = count(run, 3, 6);
    if (n == 0)
        return;
    Look look;
    if (n == 6) {
        if (!popReal(run, look.fill))
            return;
        look.fill = std::isnan(look.fill) ? 0 : std::clamp(look.fill, 0.0, 1.0);
    }
    if (!popColorAndWidth(run, n, 4, look))
        return;
    double x = 0, y = 0, radius = 0;
    if (!popReal(run, radius) || !popReal(run, y) || !popReal(run, x))
        return;
    auto record = std::make_shared<DrawCircle>();
    record->center = {x, y};
    record->radius = radius;
    record->fillPercent = look.fill;
    addRecord(run, std::move(record), look);
}

void DrawingHandlers::tangent(EvalRun& run)
{
    const int n = count(run, 2, 4);
    if (n == 0)
        return;
    Look look;
    if (!popColorAndWidth(run, n, 3, look))
        return;
    const Operand at = p_.popValueFromStack(&run.stack);
    if (p_.error() != 0)
        return;
    if (at.kind != KindReal)
        return fail(ErrSyntax);
    std::vector<std::uint32_t> expression;
    auto fn = popFunction(run, &expression);
    if (!fn)
        return;
    auto record = std::make_shared<DrawFunc>();
    record->fn = std::move(fn);
    record->expression = std::move(expression);
    record->showTangent = true;
    record->tangentX = at.re();
    look.style = 2;
    addRecord(run, std::move(record), look);
}

void DrawingHandlers::drawFunction(EvalRun& run)
{
    const int n = count(run, 1, 3);
    if (n == 0)
        return;
    Look look;
    if (!popColorAndWidth(run, n, 2, look))
        return;
    std::vector<std::uint32_t> expression;
    auto fn = popFunction(run, &expression);
    if (!fn)
        return;
    if (run.token == kDrawInv) {
        auto record = std::make_shared<DrawInv>();
        record->fn = std::move(fn);
        record->expression = std::move(expression);
        addRecord(run, std::move(record), look);
    } else {
        auto record = std::make_shared<DrawFunc>();
        record->fn = std::move(fn);
        record->expression = std::move(expression);
        addRecord(run, std::move(record), look);
    }
}

void DrawingHandlers::shade(EvalRun& run)
{
    const int n = static_cast<int>(run.number);
    if (n == 3)
        return fail(ErrMissingArgument);
    if (count(run, 2, 5) == 0)
        return;
    Look look;
    if (n == 5 && !popColor(run, look))
        return;
    double left = -1e99;
    double right = 1e99;
    if (n >= 4 && (!popReal(run, right) || !popReal(run, left)))
        return;
    std::vector<std::uint32_t> upperText, lowerText;
    auto upper = popFunction(run, &upperText);
    if (!upper)
        return;
    auto lower = popFunction(run, &lowerText);
    if (!lower)
        return;
    auto record = std::make_shared<DrawShadeFn>();
    record->fnLower = std::move(lower);
    record->fnUpper = std::move(upper);
    record->expressionLower = std::move(lowerText);
    record->expressionUpper = std::move(upperText);
    record->xLeft = left;
    record->xRight = right;
    addRecord(run, std::move(record), look);
}

void DrawingHandlers::text(EvalRun& run)
{
    const int n = count(run, 3, 20);
    if (n == 0)
        return;
    VQStack& stack = run.stack;
    auto record = std::make_shared<DrawText>();
    record->tiTextColor = -1;
    double r = 0, g = 0, b = 0;
    int items = n - 2;
    // A colour last: a colour-command colour, or a colour after an alignment 1..9; any
    // other colour also stays a text item.
    const Operand last = stack.getValueAt(stack.count() - 1);
    if (p_.getColorR(r, g, b, last)) {
        if (last.kind == KindReal && last.sigFig == kColorMarker) {
            stack.drop();
            --items;
            record->tiTextColor = calc_.state().textColor;
        } else if (items >= 2) {
            const Operand before = stack.getValueAt(stack.count() - 2);
            const double a = before.re();
            if (before.kind == KindReal && ElementaryFunctions::isWhole(a) && a >= 1 && a <= 9) {
                stack.drop();
                stack.drop();
                items -= 2;
                record->alignment = static_cast<int>(a);
            }
        }
    } else {
        r = g = b = 0;
    }
    std::string text;
    for (int i = 0; i < items; ++i) {
        const Operand item = p_.popValueFromStack(&stack);
        if (p_.error() != 0)
            return;
        if (item.kind == KindString && item.string)
            text.insert(0, calc_.stringFromOps(*item.string));
        else if (item.kind == KindReal)
            text.insert(0, calc_.formatReal(item.re()));
    }
    double x = 0, y = 0;
    if (!popReal(run, y) || !popReal(run, x))
        return;
    record->x = x;
    record->y = y;
    record->text = std::move(text);
    record->r = static_cast<float>(r);
    record->g = static_cast<float>(g);
    record->b = static_cast<float>(b);

    post(run, std::move(record));
}

// ---- Points and pixels ----

void DrawingHandlers::point(EvalRun& run)
{
    const int n = count(run, 2, 4);
    if (n == 0)
        return;
    Look look;
    if (n == 4 && !popColor(run, look))
        return;
    double mark = 1;
    if (n >= 3 && !popReal(run, mark))
        return;
    double x = 0, y = 0;
    if (!popReal(run, y) || !popReal(run, x))
        return;
    const int t = run.token;
    const int m = pixelIndex(mark);
    Calculator& calc = calc_;
    p_.evaluator().drawOnMain(run, [&calc, t, x, y, m, look] {
        if (t == kPtOn)
            calc.ptOnAtX(x, y, m, look.r, look.g, look.b);
        else if (t == kPtChange)
            calc.ptChangeAtX(x, y, m, look.r, look.g, look.b);
        else
            calc.ptOffAtX(x, y);
        calc.showGraphView(true);
    });
    done(run);
}

void DrawingHandlers::pixel(EvalRun& run)
{
    const int t = run.token;
    const int n = t == kPxlOff ? count(run, 2, 2) : count(run, 2, 3);
    if (n == 0)
        return;
    Look look;
    if (n == 3 && !popColor(run, look))
        return;
    double row = 0, col = 0;
    if (!popReal(run, col) || !popReal(run, row))
        return;
    const int c = pixelIndex(col);
    const int r = pixelIndex(row);
    const int red = colorByte(look.r), green = colorByte(look.g), blue = colorByte(look.b);
    Calculator& calc = calc_;
    p_.evaluator().drawOnMain(run, [&calc, t, c, r, red, green, blue] {
        if (t == kPxlOff) {
            calc.pixelOffCol(c, r);
            return;
        }
        if (t == kPxlOn)
            calc.pixelOnCol(c, r, red, green, blue);
        else
            calc.pixelChangeCol(c, r, red, green, blue);
        calc.showGraphView(true);
    });
    done(run);
}

void DrawingHandlers::pixelTest(EvalRun& run)
{
    if (count(run, 2, 2) == 0)
        return;
    double row = 0, col = 0;
    if (!popReal(run, col) || !popReal(run, row))
        return;
    const int c = pixelIndex(col);
    const int r = pixelIndex(row);
    double set = 0;
    Calculator& calc = calc_;
    p_.evaluator().onMainSync(run, [&calc, &set, c, r] { set = calc.pixelTestCol(c, r); });
    run.R.kind = KindReal;
    run.R.value = {set, 0.0};
}

// ---- Graph databases ----

void DrawingHandlers::graphDatabase(EvalRun& run)
{
    Operand arg = run.X;
    std::string name;
    if (arg.kind == KindVariable && arg.var.subKind == VarGDB) {
        name = Vocabulary::shared().nameForOpcode(static_cast<std::uint32_t>(arg.var.index));
    } else {
        if (arg.kind == KindVariable)
            arg = run.stack.getValueWithOp(&run.X);
        if (arg.kind == KindString && arg.string) {
            name = calc_.stringFromOps(*arg.string);
            const std::size_t length = Utf8::codePointCount(name);
            if (length < 1 || length > kMaxGDBName || name[0] < 'A' || name[0] > 'Z')
                return fail(ErrArgument);
        } else if (arg.kind == KindGDBName) {
            name = arg.var.name;
        } else if (arg.kind == KindReal) {
            const double number = arg.re();
            if (!ElementaryFunctions::isWhole(number))
                return fail(ErrArgument);
            if (number < 0 || number > 9)
                return fail(ErrBound);
            name = "GDB" + std::to_string(static_cast<int>(number));
        } else {
            return fail(ErrArgument);
        }
    }

    if (run.token == kStoreGDB) {
        bool saved = false;
        p_.evaluator().onMainSync(run, [&saved, &name] { saved = GDBManager::saveGDB(name); });
        if (!saved)
            return fail(ErrMemory);
        return done(run);
    }
    if (!GDBManager::isSavedGDB(name))
        return fail(ErrGdbNotFound);
    run.R.kind = KindGDBRecall;
    run.R.var.subKind = VarGDB;
    run.R.var.index = -1;
    run.R.var.name = std::move(name);
}

// ---- The own page's drawing ----

void DrawingHandlers::polyline(EvalRun& run)
{
    const int n = count(run, 1, 4);
    if (n == 0)
        return;
    Look look;
    if (n == 4 && !popReal(run, look.fill))
        return;
    if (!popColorAndWidth(run, n, 2, look))
        return;
    const Operand points = p_.popValueFromStack(&run.stack);
    if (p_.error() != 0)
        return;
    if (points.kind != KindRealList || !points.list || points.list->type() != 0 || points.list->count() < 2
        || points.list->count() % 2 != 0)
        return fail(ErrArgument);
    auto record = std::make_shared<DrawPolyline>();
    record->points = points.list->realList();
    record->fillPercent = look.fill;
    addRecord(run, std::move(record), look);
}

} // namespace orvenda
