#include "app/YEqModel.h"

#include "core/ArchiveValues.h"
#include "core/Calculator.h"
#include "core/NotificationCenter.h"
#include "core/NotificationNames.h"
#include "core/VQList.h"
#include "core/VQStack.h"
#include "core/services/EntryManager.h"
#include "eval/Parser.h"
#include "eval/ScalarOperators.h"
#include "language/ErrorNumbers.h"
#include "language/Utf8.h"
#include "numeric/VQStatistics.h"
#include "pretty/InsertMode.h"
#include "pretty/PrettyPrint.h"

#include <algorithm>
#include <utility>

namespace orvenda {

namespace {

using Ops = YEqManager::Ops;

// Tokens the model reads or writes.
constexpr std::uint32_t kListOpen = 0x08, kListClose = 0x09, kParenOpen = 0x10, kParenClose = 0x11;
constexpr std::uint32_t kQuote = 0x2A, kComma = 0x2B, kZero = 0x30, kOne = 0x31;
constexpr std::uint32_t kT = 0x54, kX = 0x58, kY = 0x59, kTheta = 0x5B;
constexpr std::uint32_t kEqual = 0x6A, kLess = 0x6B, kGreater = 0x6C, kLessEqual = 0x6D, kGreaterEqual = 0x6E;
constexpr std::uint32_t kMinus = 0x71, kListName = 0xEB, kRegEq = 0x6201;
constexpr std::uint32_t kEta = 0xBBAA, kUnitConversion = 0xBB5D, kSeqAlias = 0xBBC5;
constexpr int kFirstList = 0x5D00;
constexpr int kSeqToken = 0x5E80, kSeqInitToken = 0x5E83;
constexpr int kXSlot = 23, kEtaSlot = 27;

// Slot indexes of the families.
constexpr int kSolverIndex = 10, kFirstParametric = 11, kLastParametric = 22, kFirstPolar = 23;
constexpr int kFirstSeq = 29, kLastSeq = 31, kFirstSeqInit = 32, kLastSeqInit = 34, kFirstImplicit = 35;

// Variable slots of the first and second initial values of u, v, w, and the slots of their
// previous terms in compiled forms.
constexpr int kFirstStart[3] = {32, 33, 78};
constexpr int kSecondStart[3] = {36, 37, 79};
constexpr int kPreviousTermSlot[3] = {212, 214, 216};
constexpr const char* kStartNames[3] = {"u0", "v0", "w0"};

constexpr int kGraphModeSequence = 3, kGraphModeImplicit = 4;

std::uint32_t token(std::uint32_t op) { return op & 0xFFFF; }
bool isRelation(std::uint32_t t) { return t >= kEqual && t <= kGreaterEqual; }
bool isSeqIndex(int index) { return index >= kFirstSeq && index <= kLastSeq; }
bool isSeqInitIndex(int index) { return index >= kFirstSeqInit && index <= kLastSeqInit; }
bool isParametricIndex(int index) { return index >= kFirstParametric && index <= kLastParametric; }
bool isSlot(int index) { return index >= 0 && index < YEqModel::kSlotCount; }
// The other member of a parametric pair (X on the even token).
int partnerOf(int index) { return (index - kFirstParametric) % 2 == 0 ? index + 1 : index - 1; }

// Style bits of a relation: = 2, < 16, > 8, ≤ 18, ≥ 10.
int relationStyle(std::uint32_t t)
{
    switch (t) {
    case kEqual: return 2;
    case kLess: return 16;
    case kGreater: return 8;
    case kLessEqual: return 18;
    case kGreaterEqual: return 10;
    default: return 0;
    }
}

std::uint32_t styleRelation(int style)
{
    switch (style) {
    case 8: return kGreater;
    case 10: return kGreaterEqual;
    case 16: return kLess;
    case 18: return kLessEqual;
    default: return kEqual;
    }
}

bool containsToken(const Ops& ops, int t)
{
    return std::any_of(ops.begin(), ops.end(), [t](std::uint32_t op) { return static_cast<int>(token(op)) == t; });
}

// The tokens an initial value shows: one number, or {n1,n2}.
Ops initialValueOps(const Calculator& calc, int count, double n1, double n2)
{
    Ops ops;
    if (count == 1)
        return ScalarOperators::numToOps(calc, n1);
    if (count == 2) {
        ops.push_back(kListOpen);
        for (std::uint32_t op : ScalarOperators::numToOps(calc, n1))
            ops.push_back(op);
        ops.push_back(kComma);
        for (std::uint32_t op : ScalarOperators::numToOps(calc, n2))
            ops.push_back(op);
        ops.push_back(kListClose);
    }
    return ops;
}

// Decodes UTF-8 one code point at a time (a broken sequence yields its lead byte).
char32_t nextCodePoint(std::string_view s, std::size_t& i)
{
    const auto lead = static_cast<unsigned char>(s[i++]);
    int more = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
    char32_t c = more == 3 ? lead & 0x07 : more == 2 ? lead & 0x0F : more == 1 ? lead & 0x1F : lead;
    for (; more > 0 && i < s.size() && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80; --more)
        c = (c << 6) | (static_cast<unsigned char>(s[i++]) & 0x3F);
    return c;
}

} // namespace

// Holds the lock; on leaving, releases it and then delivers what the operation queued.
class YEqModel::Guard {
public:
    explicit Guard(YEqModel& model) : model_(model), lock_(model) {}
    ~Guard()
    {
        std::vector<Outgoing> out;
        out.swap(model_.outbox_);
        lock_.unlock();
        for (const Outgoing& o : out) {
            if (!o.notification.empty())
                model_.calc_.notificationCenter().post(o.notification, &model_);
            else if (!o.message.empty())
                model_.calc_.showError(nlohmann::json{{"errorNum", o.error}, {"message", o.message}});
            else
                model_.calc_.showError(nlohmann::json{{"errorNum", o.error}});
        }
    }
    Guard(const Guard&) = delete;
    Guard& operator=(const Guard&) = delete;

private:
    YEqModel& model_;
    Lock lock_;
};

YEqModel::YEqModel(Calculator& calc) : calc_(calc), stateMutex_(calc.stateMutex()), mainThread_(std::this_thread::get_id())
{
    for (int i = 0; i < kSlotCount; ++i)
        resetSlot(i);
}

YEqModel::~YEqModel() = default;

// ---- Slots ----

YEqModel* YEqModel::of(const Calculator& calc)
{
    return dynamic_cast<YEqModel*>(calc.yEqManager.get());
}

int YEqModel::indexForEquation(int t)
{
    if (t >= 0x5E10 && t <= 0x5E1A)
        return t - 0x5E10;
    if (t >= 0x5E20 && t <= 0x5E2B)
        return kFirstParametric + (t - 0x5E20);
    if (t >= 0x5E40 && t <= 0x5E45)
        return kFirstPolar + (t - 0x5E40);
    if (t >= kSeqToken && t <= 0x5E85)
        return kFirstSeq + (t - kSeqToken);
    if (t >= 0x5EA0 && t <= 0x5EA9)
        return kFirstImplicit + (t - 0x5EA0);
    return -1;
}

int YEqModel::equationForIndex(int index)
{
    if (index < 0 || index >= kSlotCount)
        return -1;
    if (index <= kSolverIndex)
        return 0x5E10 | index;
    if (index <= kLastParametric)
        return 0x5E20 + (index - kFirstParametric);
    if (index < kFirstSeq)
        return 0x5E40 + (index - kFirstPolar);
    if (index < kFirstImplicit)
        return kSeqToken + (index - kFirstSeq);
    return 0x5EA0 + (index - kFirstImplicit);
}

int YEqModel::functionType(int t)
{
    const int index = indexForEquation(t);
    if (index <= kSolverIndex)
        return 0;
    if (index <= kLastParametric)
        return 1;
    if (index < kFirstSeq)
        return 2;
    return index < kFirstImplicit ? 3 : 4;
}

int YEqModel::firstIndexForMode(int graphMode)
{
    switch (graphMode) {
    case 1: return kFirstParametric;
    case 2: return kFirstPolar;
    case 3: return kFirstSeq;
    case 4: return kFirstImplicit;
    default: return 0;
    }
}

int YEqModel::lastIndexForMode(int graphMode)
{
    switch (graphMode) {
    case 1: return kLastParametric;
    case 2: return kFirstSeq - 1;
    case 3: return kLastSeqInit;
    case 4: return kSlotCount - 1;
    default: return 9;
    }
}

void YEqModel::resetSlot(int index)
{
    Slot& s = slots_[static_cast<std::size_t>(index)];
    s.ops.clear();
    s.ops.reserve(10);
    s.rpn.reset();
    s.color = VQColor::colorR(0, 1, 0, 1);
    s.flags = kDefaultFlags;
    s.vars.reset();
    ++s.generation;
}

void YEqModel::buildSeqInitOps() const
{
    if (seqInitOps_)
        return;
    seqInitOps_.emplace();
    for (int i = 0; i < 3; ++i)
        (*seqInitOps_)[static_cast<std::size_t>(i)] = initialValueOps(calc_, seqInitializer_[static_cast<std::size_t>(i)],
            calc_.state().vars[kFirstStart[i]].real(), calc_.state().vars[kSecondStart[i]].real());
}

const Ops* YEqModel::readableOps(int index) const
{
    if (!isSlot(index))
        return nullptr;
    if (isSeqInitIndex(index)) {
        buildSeqInitOps();
        return &(*seqInitOps_)[static_cast<std::size_t>(index - kFirstSeqInit)];
    }
    return &slots_[static_cast<std::size_t>(index)].ops;
}

Ops* YEqModel::editableOps(int index)
{
    // What is typed on an initial value's row is taken once the row or the editor is left.
    if (isSeqInitIndex(index))
        seqInitTyped_[static_cast<std::size_t>(index - kFirstSeqInit)] = true;
    return const_cast<Ops*>(readableOps(index));
}

void YEqModel::invalidate(int index, bool withVars)
{
    if (!isSlot(index))
        return;
    Slot& s = slots_[static_cast<std::size_t>(index)];
    s.rpn.reset();
    ++s.generation;
    if (withVars) {
        s.vars.reset();
        // A pair's slider list is built from both members.
        if (isParametricIndex(index))
            slots_[static_cast<std::size_t>(partnerOf(index))].vars.reset();
    }
    if (index < kIntegralCount)
        integrals_[static_cast<std::size_t>(index)].reset();
}

void YEqModel::post(std::string_view notification)
{
    outbox_.push_back({notification, 0, {}});
}

void YEqModel::report(int error)
{
    outbox_.push_back({{}, error, {}});
}

// ---- Reading ----

std::optional<Ops> YEqModel::equationOps(int t) const
{
    const Lock lock(*this);
    const Ops* ops = readableOps(indexForEquation(t));
    return ops ? std::optional<Ops>(*ops) : std::nullopt;
}

std::optional<Ops> YEqModel::equationOpsWithIndex(int index) const
{
    const Lock lock(*this);
    const Ops* ops = readableOps(index);
    return ops ? std::optional<Ops>(*ops) : std::nullopt;
}

std::optional<Ops> YEqModel::getYEqFuncOps(int t) const
{
    return fromSlot(t, [](const Slot& s) { return s.ops; });
}

std::optional<Ops> YEqModel::plotForFunction(int t) const
{
    return getYEqFuncOps(t);
}

Ops YEqModel::currentYEqOps() const
{
    const Lock lock(*this);
    return *readableOps(currentFunction_);
}

int YEqModel::selectedEqNum() const
{
    const Lock lock(*this);
    return equationForIndex(currentFunction_);
}

std::string YEqModel::eqString(int t) const
{
    const std::optional<Ops> ops = equationOps(t);
    return ops ? calc_.stringFromOps(*ops) : std::string();
}

bool YEqModel::isSelected(int t) const
{
    const Lock lock(*this);
    return indexForEquation(t) == currentFunction_;
}

int YEqModel::cursorPositionForFunction(int t) const
{
    const Lock lock(*this);
    return indexForEquation(t) == currentFunction_ ? entryCursor_ : -1;
}

bool YEqModel::shouldPlotFunction(int t) const
{
    const int index = indexForEquation(t);
    if (index < 0)
        return false;
    const Lock lock(*this);
    if (isParametricIndex(index)) {
        const int x = index - (index - kFirstParametric) % 2;
        return (slots_[static_cast<std::size_t>(x)].flags & kSelected) != 0
            && (slots_[static_cast<std::size_t>(x + 1)].flags & kSelected) != 0;
    }
    return (slots_[static_cast<std::size_t>(index)].flags & kSelected) != 0;
}

int YEqModel::styleForFunction(int t) const
{
    const std::optional<int> flags = fromSlot(t, [](const Slot& s) { return s.flags; });
    if (!flags)
        return 0;
    const int style = *flags & kStyleMask;
    switch (style) {
    case 2: case 4: case 8: case 10: case 16: case 18: case 32:
        return style;
    default:
        return 2;
    }
}

std::optional<VQColor> YEqModel::colorForFunction(int t) const
{
    return fromSlot(t, [](const Slot& s) { return s.color; });
}

std::optional<YEqIntegrate> YEqModel::integrationLimitsForFunction(int t) const
{
    const int index = indexForEquation(t);
    if (index < 0 || index >= kIntegralCount)
        return std::nullopt;
    const Lock lock(*this);
    return integrals_[static_cast<std::size_t>(index)];
}

void YEqModel::setIntegrationLimits(int t, const YEqIntegrate& limits)
{
    const int index = indexForEquation(t);
    if (index < 0 || index >= kIntegralCount)
        return;
    const Lock lock(*this);
    integrals_[static_cast<std::size_t>(index)] = limits;
}

int YEqModel::numSeqInitializersFor(int t) const
{
    if (t < kSeqToken || t > kSeqToken + 2)
        return 0;
    const Lock lock(*this);
    return seqInitializer_[static_cast<std::size_t>(t - kSeqToken)];
}

int YEqModel::seqFlagsFor(int t)
{
    if (t < kSeqToken || t > kSeqToken + 2)
        return 0;
    rpnForFunction(t);
    const Lock lock(*this);
    return seqFlags_[static_cast<std::size_t>(t - kSeqToken)];
}

int YEqModel::entryCursor() const
{
    return locked(entryCursor_);
}

void YEqModel::setEntryCursor(int cursor)
{
    const Lock lock(*this);
    entryCursor_ = cursor;
}

int YEqModel::currentFunction() const
{
    return locked(currentFunction_);
}

void YEqModel::setCurrentFunction(int index)
{
    const Lock lock(*this);
    if (isSlot(index))
        currentFunction_ = index;
}

// ---- Selection, style and colour ----

void YEqModel::setFunctionIndexLocked(int index, bool plotVisible)
{
    if (isSeqInitIndex(index))
        index -= kFirstSeqInit - kFirstSeq;
    if (!isSlot(index))
        return;
    Slot& s = slots_[static_cast<std::size_t>(index)];
    s.flags = plotVisible && !s.ops.empty() ? s.flags | kSelected : s.flags & ~kSelected;
    if (isParametricIndex(index))
        slots_[static_cast<std::size_t>(partnerOf(index))].flags = s.flags;
}

void YEqModel::setFunctionIndex(int index, bool plotVisible)
{
    const Lock lock(*this);
    setFunctionIndexLocked(index, plotVisible);
}

void YEqModel::setFunction(int t, bool plotVisible)
{
    const int index = indexForEquation(t);
    if (index >= 0)
        setFunctionIndex(index, plotVisible);
}

void YEqModel::hideAllFunctions()
{
    const Lock lock(*this);
    for (Slot& s : slots_)
        s.flags &= ~kSelected;
}

void YEqModel::changeFlagAt(int index, int flags)
{
    Guard guard(*this);
    if (!isSlot(index) || slots_[static_cast<std::size_t>(index)].flags == flags)
        return;
    saveUndoLocked();
    slots_[static_cast<std::size_t>(index)].flags = flags;
}

void YEqModel::setStyle(int style, int forFunction)
{
    const int index = indexForEquation(forFunction);
    if (index < 0)
        return;
    Guard guard(*this);
    // One undo step for the style and the relation it brings.
    saveUndoLocked();
    Slot& s = slots_[static_cast<std::size_t>(index)];
    s.flags = (s.flags & ~kStyleMask) | (style & kStyleMask);
    if (index < kFirstImplicit || calc_.graphMode() != kGraphModeImplicit)
        return;
    const std::uint32_t relation = styleRelation(style & kStyleMask);
    auto it = std::find_if(s.ops.begin(), s.ops.end(), [](std::uint32_t op) { return isRelation(token(op)); });
    if (it != s.ops.end()) {
        *it = relation;
    } else {
        s.ops.push_back(relation);
        s.ops.push_back(kZero);
    }
    invalidate(index, true);
}

void YEqModel::setColor(const VQColor& color, int forFunction)
{
    const int index = indexForEquation(forFunction);
    if (index < 0)
        return;
    Guard guard(*this);
    saveUndoLocked();
    slots_[static_cast<std::size_t>(index)].color.setR(color.r(), color.g(), color.b(), color.a());
}

void YEqModel::setStyleColorLocked(int style, const VQColor& color, int index)
{
    Slot& s = slots_[static_cast<std::size_t>(index)];
    const int flags = (s.flags & ~kStyleMask) | style;
    if (flags == s.flags && color.r() == s.color.r() && color.g() == s.color.g() && color.b() == s.color.b())
        return;
    const VQColor copy = color;
    saveUndoLocked();
    s.color.setR(copy.r(), copy.g(), copy.b(), copy.a());
    s.flags = flags;
}

void YEqModel::setStyle(int style, const VQColor& color, int forFunction)
{
    const int index = indexForEquation(forFunction);
    if (index < 0)
        return;
    Guard guard(*this);
    setStyleColorLocked(style, color, index);
}

void YEqModel::updateStyleLocked()
{
    if (calc_.graphMode() != kGraphModeImplicit || !isSlot(currentFunction_))
        return;
    int style = 2;
    for (std::uint32_t op : *readableOps(currentFunction_))
        if (const int s = relationStyle(token(op)))
            style = s;
    // Follows the text the edit already recorded for undo, so it takes no step of its own.
    Slot& slot = slots_[static_cast<std::size_t>(currentFunction_)];
    slot.flags = (slot.flags & ~kStyleMask) | style;
}

void YEqModel::updateStyle()
{
    const Lock lock(*this);
    updateStyleLocked();
}

void YEqModel::changeMode(int graphMode)
{
    const Lock lock(*this);
    entryCursor_ = 0;
    currentFunction_ = firstIndexForMode(graphMode);
}

// ---- Whole equations ----

int YEqModel::setYEqFunc(int t, const Ops& written)
{
    const int index = indexForEquation(t);
    if (index < 0)
        return 0;
    // An equation is a line: a string longer than a line takes is never kept (no save
    // could hold 45 of them).
    if (written.size() > EntryManager::kMaxOps)
        return ErrMemory;
    if (isSeqInitIndex(index)) {
        const Lock lock(*this);
        *editableOps(index) = written;
        return 0;
    }
    // A sequence's own name stands for its earlier terms; anything else would never end.
    if (!isSeqIndex(index) && containsToken(written, t))
        return ErrEqSelfReference;
    // Shown with its templates in the two-dimensional display.
    const Ops ops = calc_.locked()->mathPrint ? PrettyPrint::beautifyOps(written) : written;
    Guard guard(*this);
    Slot& s = slots_[static_cast<std::size_t>(index)];
    s.ops = ops;
    invalidate(index, true);
    if (ops.empty())
        return 0;
    int style = 2;
    if (index >= kFirstImplicit) {
        style = 0;
        for (std::uint32_t op : ops)
            style |= relationStyle(token(op));
        if (style == 0)
            style = 2;
    }
    setStyleColorLocked(style | kSelected, s.color, index);
    return 0;
}

void YEqModel::setYEqFunc(int t, int flags, int red, int green, int blue)
{
    const int index = indexForEquation(t);
    if (index < 0)
        return;
    Guard guard(*this);
    setStyleColorLocked(flags, VQColor::colorR(red / 255.0, green / 255.0, blue / 255.0, 1), index);
}

void YEqModel::setYEqFunc(int t, int varNum, double value, double step, double max, double min)
{
    const int index = indexForEquation(t);
    if (index < 0 || !varInforForFunction(t))
        return;
    const Lock lock(*this);
    bool found = false;
    // A pair shares its sliders.
    for (int i : {index, isParametricIndex(index) ? partnerOf(index) : index}) {
        auto& vars = slots_[static_cast<std::size_t>(i)].vars;
        if (!vars)
            continue;
        for (YEqVarInfo& info : *vars) {
            if (info.varNum != varNum)
                continue;
            info.min = min;
            info.max = max;
            info.value = value;
            info.step = step;
            found = true;
        }
    }
    if (found && varNum >= 0 && varNum < Calculator::kVarCount)
        calc_.state().vars[static_cast<std::size_t>(varNum)] = {value, 0};
}

void YEqModel::deleteEquation(int t)
{
    const int index = indexForEquation(t);
    if (index < 0)
        return;
    const Lock lock(*this);
    editableOps(index)->clear();
    invalidate(index, true);
}

void YEqModel::clearAllLocked()
{
    for (int i = 0; i < kSlotCount; ++i)
        resetSlot(i);
    integrals_.fill(YEqIntegrate());
    seqInitializer_.fill(0);
    seqInitTyped_.fill(false);
    seqFlags_.fill(0);
    seqInitOps_.reset();
    undo_.clear();
    redo_.clear();
    entryCursor_ = 0;
}

void YEqModel::clearAll()
{
    const Lock lock(*this);
    clearAllLocked();
}

// ---- Sequence initial values ----

std::optional<Ops> YEqModel::seqInitOps(int t) const
{
    const int index = indexForEquation(t);
    if (!isSeqInitIndex(index))
        return std::nullopt;
    return equationOpsWithIndex(index);
}

void YEqModel::setSeqInitOpsLocked(int seq, int numValues, double n1, double n2)
{
    buildSeqInitOps();
    const auto i = static_cast<std::size_t>(seq);
    if (numValues == 2)
        calc_.state().vars[static_cast<std::size_t>(kSecondStart[seq])] = {n2, 0};
    if (numValues == 1 || numValues == 2)
        calc_.state().vars[static_cast<std::size_t>(kFirstStart[seq])] = {n1, 0};
    else
        numValues = 0;
    (*seqInitOps_)[i] = initialValueOps(calc_, numValues, n1, n2);
    seqInitializer_[i] = numValues;
    seqInitTyped_[i] = false;
}

bool YEqModel::typedInitialValueLocked(int seq) const
{
    const auto i = static_cast<std::size_t>(seq);
    if (!seqInitOps_ || !seqInitTyped_[i])
        return false;
    return (*seqInitOps_)[i] != initialValueOps(calc_, seqInitializer_[i], calc_.state().vars[kFirstStart[seq]].real(),
                                    calc_.state().vars[kSecondStart[seq]].real());
}

void YEqModel::setSeqInitOpsForEq(int t, int numValues, double n1, double n2)
{
    const int index = indexForEquation(t);
    if (!isSeqInitIndex(index))
        return;
    const Lock lock(*this);
    setSeqInitOpsLocked(index - kFirstSeqInit, numValues, n1, n2);
}

int YEqModel::initSeq(int t, const VQList* list)
{
    if (!list || (list->count() != 1 && list->count() != 2))
        return ErrDimMismatch;
    if (list->type() != 0)
        return ErrNonReal;
    setSeqInitOpsForEq(t, list->count(), list->realAtIndex(0), list->count() == 2 ? list->realAtIndex(1) : 0);
    return 0;
}

bool YEqModel::getSeqInitValue()
{
    int seq = -1;
    {
        const Lock lock(*this);
        if (isSeqInitIndex(currentFunction_))
            seq = currentFunction_ - kFirstSeqInit;
    }
    return seq < 0 || enterInitialValue(seq, true);
}

bool YEqModel::enterTypedInitialValues(bool tell)
{
    bool taken = true;
    for (int seq = 0; seq < 3; ++seq)
        // One error at a time: the rows after a failing one are taken all the same.
        taken = enterInitialValue(seq, tell && taken) && taken;
    return taken;
}

bool YEqModel::enterInitialValue(int seq, bool tell)
{
    const auto i = static_cast<std::size_t>(seq);
    Ops ops;
    {
        const Lock lock(*this);
        // Typed back to what its values show: nothing to take, and values a slider or a
        // program sets later are not undone until the row is typed on again.
        if (!typedInitialValueLocked(seq)) {
            seqInitTyped_[i] = false;
            return true;
        }
        ops = (*seqInitOps_)[i];
    }
    int error = 0;
    int at = -1;
    Operand value;
    if (!ops.empty()) {
        // An expression, evaluated as such: a paused program's frames are no business of it.
        Parser& parser = calc_.parser();
        VQStack rpn = parser.getRPNfor(ops);
        if (parser.error() != 0) {
            error = parser.error();
            at = parser.errorToken();
        } else {
            value = parser.evalRPN(rpn, true, false);
            error = parser.error();
        }
        parser.setError(0);
        if (error == 0 && value.kind == KindError)
            error = value.error != 0 ? value.error : int{ErrDataType};
        else if (error == 0 && (value.kind == KindComplex || value.kind == KindComplexList))
            error = ErrNonReal;
        else if (error == 0 && value.kind == KindRealList && (!value.list || value.list->count() > 2))
            error = ErrDimMismatch;
        else if (error == 0 && value.kind != KindReal && value.kind != KindRealList)
            error = ErrDataType;
    }
    Guard guard(*this);
    if (error != 0) {
        // The row keeps what was typed, the cursor on the fault.
        if (tell) {
            if (currentFunction_ == kFirstSeqInit + seq && at >= 0)
                entryCursor_ = std::clamp(at, 0, static_cast<int>((*seqInitOps_)[i].size()));
            report(error);
            updateScreenLocked();
        }
        return false;
    }
    if (ops.empty()) {
        seqInitializer_[i] = 0;
        seqInitTyped_[i] = false;
    } else if (value.kind == KindReal) {
        setSeqInitOpsLocked(seq, 1, value.re(), 0);
    } else {
        const VQList& l = *value.list;
        setSeqInitOpsLocked(seq, l.count(), l.count() > 0 ? l.realAtIndex(0) : 0, l.count() > 1 ? l.realAtIndex(1) : 0);
    }
    updateScreenLocked();
    return true;
}

// ---- Undo ----

YEqModel::Snapshot YEqModel::stateLocked() const
{
    Snapshot s;
    s.ops = *readableOps(currentFunction_);
    s.cursor = entryCursor_;
    s.function = currentFunction_;
    const Slot& slot = slots_[static_cast<std::size_t>(currentFunction_)];
    s.color = slot.color;
    s.flags = slot.flags;
    s.vars.emplace();
    s.vars->reserve(kSlotCount);
    for (const Slot& each : slots_)
        s.vars->push_back(each.vars);
    return s;
}

YEqModel::Snapshot YEqModel::getState() const
{
    const Lock lock(*this);
    return stateLocked();
}

void YEqModel::setStateLocked(const Snapshot& state)
{
    if (!isSlot(state.function))
        return;
    entryCursor_ = state.cursor;
    currentFunction_ = state.function;
    *editableOps(currentFunction_) = state.ops;
    if (state.vars)
        for (std::size_t i = 0; i < slots_.size() && i < state.vars->size(); ++i)
            slots_[i].vars = (*state.vars)[i];
    Slot& slot = slots_[static_cast<std::size_t>(currentFunction_)];
    slot.rpn.reset();
    ++slot.generation;
    slot.color = state.color;
    slot.flags = state.flags;
}

void YEqModel::setState(const Snapshot& state)
{
    const Lock lock(*this);
    setStateLocked(state);
}

void YEqModel::saveUndoLocked()
{
    while (undo_.size() >= kMaxUndo)
        undo_.pop_front();
    undo_.push_back(stateLocked());
    redo_.clear();
    if (std::this_thread::get_id() == mainThread_)
        post(VQRedrawKeyboard);
}

void YEqModel::saveUndo()
{
    Guard guard(*this);
    saveUndoLocked();
}

void YEqModel::step(std::deque<Snapshot>& from, std::deque<Snapshot>& to)
{
    Guard guard(*this);
    if (from.empty())
        return;
    to.push_back(stateLocked());
    const Snapshot back = std::move(from.back());
    from.pop_back();
    setStateLocked(back);
    updateScreenLocked();
    post(VQRedrawKeyboard);
}

void YEqModel::undo()
{
    step(undo_, redo_);
}

void YEqModel::redo()
{
    step(redo_, undo_);
}

bool YEqModel::canUndo() const
{
    const Lock lock(*this);
    return !undo_.empty();
}

bool YEqModel::canRedo() const
{
    const Lock lock(*this);
    return !redo_.empty();
}

void YEqModel::clearUndo()
{
    Guard guard(*this);
    undo_.clear();
    redo_.clear();
    post(VQRedrawKeyboard);
}

void YEqModel::updateScreenLocked()
{
    if (screenDeferred_ > 0)
        return;
    updateStyleLocked();
    post(VQUpdateEquations);
}

void YEqModel::updateScreen()
{
    Guard guard(*this);
    updateScreenLocked();
}

// ---- Editing ----

bool YEqModel::refusesLocked(std::uint32_t op) const
{
    const int t = static_cast<int>(token(op));
    return indexForEquation(t) == currentFunction_ && !(t >= kSeqToken && t < kSeqInitToken);
}

void YEqModel::addOpcodeLocked(std::uint32_t op, bool insert)
{
    const Ops added = op != kRegEq ? Ops{op} : calc_.regressionEquation();
    Ops& ops = *editableOps(currentFunction_);
    const auto size = static_cast<int>(ops.size());
    entryCursor_ = std::max(entryCursor_, 0);
    if (entryCursor_ >= size) {
        ops.insert(ops.end(), added.begin(), added.end());
        entryCursor_ = static_cast<int>(ops.size());
    } else {
        const std::uint32_t at = ops[static_cast<std::size_t>(entryCursor_)];
        // A template is never overwritten piece by piece.
        const bool inserting = insert || (calc_.state().mathPrint && (at >> 16) != 0 && token(at) != kUnitConversion);
        for (std::uint32_t each : added) {
            const auto i = static_cast<std::size_t>(entryCursor_);
            if (inserting)
                ops.insert(ops.begin() + entryCursor_, each);
            else if (i < ops.size())
                ops[i] = each;
            else
                ops.push_back(each);
            ++entryCursor_;
        }
    }
    setFunctionIndexLocked(currentFunction_, true);
    invalidate(currentFunction_, true);
}

void YEqModel::addOpcode(std::uint32_t op, bool insert, bool enableUndo)
{
    Guard guard(*this);
    if (refusesLocked(op)) {
        report(ErrEqSelfReference);
        return;
    }
    if (enableUndo && !fitsLocked(1))
        return;
    if (enableUndo)
        saveUndoLocked();
    addOpcodeLocked(op, insert);
    if (enableUndo)
        updateScreenLocked();
    else
        updateStyleLocked();
}

void YEqModel::pasteOps(const Ops& ops)
{
    bool inTurn = false;
    {
        Guard guard(*this);
        // What would make the equation longer than a line runs is refused before anything
        // is built from it.
        if (!fitsLocked(ops.size()))
            return;
        inTurn = calc_.state().mathPrint && !PrettyPrint::strayClosers(ops).empty();
        if (inTurn) {
            if (std::any_of(ops.begin(), ops.end(), [this](std::uint32_t op) { return refusesLocked(op); })) {
                report(ErrEqSelfReference);
                return;
            }
            saveUndoLocked();
        }
    }
    if (!inTurn) {
        addOps(ops, calc_.insert != 0, true);
        return;
    }
    // A ")" or "," closing nothing of the paste's own does at the cursor what its key does.
    // The screen is told once, when the whole paste is in.
    ++screenDeferred_;
    PrettyPrint::pasteInTurn(
        ops, [this](const Ops& run, bool first) { addOps(run, first ? calc_.insert != 0 : true, false); },
        [this](std::uint32_t op) { enterPretty(op); });
    --screenDeferred_;
    updateScreen();
}

bool YEqModel::fitsLocked(std::size_t more)
{
    const Ops* now = readableOps(currentFunction_);
    if (!now || now->size() + more <= EntryManager::kMaxOps)
        return true;
    const nlohmann::json refusal = EntryManager::tooLongReport();
    outbox_.push_back({{}, refusal["errorNum"].get<int>(), refusal["message"].get<std::string>()});
    return false;
}

void YEqModel::addOps(const Ops& ops, bool insert, bool enableUndo)
{
    Guard guard(*this);
    // A paste holding the equation's own name is refused whole.
    if (std::any_of(ops.begin(), ops.end(), [this](std::uint32_t op) { return refusesLocked(op); })) {
        report(ErrEqSelfReference);
        return;
    }
    if (!fitsLocked(ops.size()))
        return;
    // The paste is one undo step.
    if (enableUndo)
        saveUndoLocked();
    // After the first op the others are inserted; each run of them between regression
    // equations goes in at once, so a long paste moves the equation's tail once.
    std::size_t k = 0;
    if (!ops.empty())
        addOpcodeLocked(ops[k++], insert);
    while (k < ops.size()) {
        std::size_t end = k;
        while (end < ops.size() && ops[end] != kRegEq)
            ++end;
        if (end == k) {
            addOpcodeLocked(ops[k++], true);
            continue;
        }
        Ops& line = *editableOps(currentFunction_);
        const int at = std::clamp(entryCursor_, 0, static_cast<int>(line.size()));
        line.insert(line.begin() + at, ops.begin() + static_cast<std::ptrdiff_t>(k), ops.begin() + static_cast<std::ptrdiff_t>(end));
        entryCursor_ = at + static_cast<int>(end - k);
        setFunctionIndexLocked(currentFunction_, true);
        invalidate(currentFunction_, true);
        k = end;
    }
    const Ops& now = *readableOps(currentFunction_);
    if (calc_.state().mathPrint && entryCursor_ >= 0 && entryCursor_ < static_cast<int>(now.size())) {
        const std::uint32_t at = now[static_cast<std::size_t>(entryCursor_)];
        if ((at >> 16) != 0 && token(at) != kUnitConversion)
            InsertMode::atTemplate(calc_.insert);
    }
    updateScreenLocked();
}

void YEqModel::addVariable(std::string_view name, bool insert)
{
    Guard guard(*this);
    saveUndoLocked();
    invalidate(currentFunction_, true);
    setFunctionIndexLocked(currentFunction_, true);
    Ops added;
    for (int i = 0; i < 6 && Utf8::codePointCount(name) == 2 && name.starts_with('L'); ++i)
        if (name == calc_.nameForOpcode(static_cast<std::uint32_t>(kFirstList + i)))
            added = {static_cast<std::uint32_t>(kFirstList + i)};
    if (added.empty()) {
        added.push_back(kListName);
        for (std::size_t i = 0; i < name.size();) {
            const char32_t c = nextCodePoint(name, i);
            if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
                added.push_back(static_cast<std::uint32_t>(c));
            else if (c == U'θ')
                added.push_back(kTheta);
        }
    }
    // The name is one undo step.
    for (std::uint32_t op : added)
        addOpcodeLocked(op, insert);
    updateScreenLocked();
}

void YEqModel::deletedLocked()
{
    invalidate(currentFunction_, true);
    setFunctionIndexLocked(currentFunction_, true);
    updateScreenLocked();
}

void YEqModel::deleteOpcode()
{
    Guard guard(*this);
    Ops& ops = *editableOps(currentFunction_);
    if (!ops.empty() && entryCursor_ >= 0 && entryCursor_ < static_cast<int>(ops.size())) {
        saveUndoLocked();
        ops.erase(ops.begin() + entryCursor_);
    }
    deletedLocked();
}

PrettyPrint& YEqModel::loadPrinterLocked()
{
    if (!printer_)
        printer_ = std::make_unique<PrettyPrint>();
    printer_->setMutableOps(*readableOps(currentFunction_), entryCursor_, calc_.insert, calc_.baseFontSize);
    return *printer_;
}

void YEqModel::prettyDeleteOpcode()
{
    Guard guard(*this);
    Ops& ops = *editableOps(currentFunction_);
    if (entryCursor_ >= 0 && entryCursor_ < static_cast<int>(ops.size())) {
        PrettyPrint& printer = loadPrinterLocked();
        int mode = calc_.insert;
        const int cursor = printer.deleteAt(entryCursor_, mode);
        // A DEL that takes nothing (at a part's end) leaves no step for UNDO to spend.
        if (printer.inputOps() != ops)
            saveUndoLocked();
        calc_.insert = mode;
        ops = printer.inputOps();
        entryCursor_ = std::clamp(cursor, 0, static_cast<int>(ops.size()));
    }
    deletedLocked();
}

void YEqModel::prettyAddOp(std::uint32_t op)
{
    {
        Guard guard(*this);
        // Refused before the undo step, so a refusal leaves no step behind.
        if (refusesLocked(op)) {
            report(ErrEqSelfReference);
            return;
        }
        saveUndoLocked();
    }
    enterPretty(op);
}

void YEqModel::enterPretty(std::uint32_t op)
{
    Ops added;
    int at = 0;
    int adjust = 0;
    int taken = 0;
    {
        Guard guard(*this);
        Ops& ops = *editableOps(currentFunction_);
        at = entryCursor_;
        added = PrettyPrint::enterOp(op, at, ops, adjust, calc_.insert, taken);
        // Refused before the ops it takes go.
        if (added.size() > static_cast<std::size_t>(taken) && !fitsLocked(added.size() - static_cast<std::size_t>(taken)))
            return;
        if (taken > 0) {
            const auto from = ops.begin() + std::clamp(at, 0, static_cast<int>(ops.size()));
            ops.erase(from, from + std::min(taken, static_cast<int>(ops.end() - from)));
        }
        entryCursor_ = at;
    }
    addOps(added, calc_.insert != 0, false);
    if (adjust == 0)
        return;
    // The adjustment counts from where the added ops start.
    Guard guard(*this);
    entryCursor_ = std::clamp(at + (adjust == PrettyPrint::kNoAdjustment ? 0 : adjust), 0,
        static_cast<int>(readableOps(currentFunction_)->size()));
    // In the template the cursor overwrites its box; INS's own insert mode stays on.
    InsertMode::endTemplate(calc_.insert);
    updateScreenLocked();
}

void YEqModel::clear()
{
    Guard guard(*this);
    Ops& ops = *editableOps(currentFunction_);
    if (!ops.empty())
        saveUndoLocked();
    ops.clear();
    invalidate(currentFunction_, true);
    setFunctionIndexLocked(currentFunction_, false);
    entryCursor_ = 0;
    updateScreenLocked();
}

void YEqModel::enter()
{
    if (!validateFunction(selectedEqNum()) || !getSeqInitValue())
        return;
    updateScreen();
}

std::uint32_t YEqModel::getOpAt(int index) const
{
    const Lock lock(*this);
    const Ops& ops = *readableOps(currentFunction_);
    return index < 0 || index >= static_cast<int>(ops.size()) ? kNoOp : ops[static_cast<std::size_t>(index)];
}

bool YEqModel::isQuoting()
{
    {
        const Lock lock(*this);
        entryCursor_ = std::clamp(entryCursor_, 0, static_cast<int>(readableOps(currentFunction_)->size()));
    }
    return std::as_const(*this).isQuoting();
}

bool YEqModel::isQuoting() const
{
    const Lock lock(*this);
    const Ops& ops = *readableOps(currentFunction_);
    const int cursor = std::clamp(entryCursor_, 0, static_cast<int>(ops.size()));
    const auto quotes = std::count_if(ops.begin(), ops.begin() + cursor,
        [](std::uint32_t op) { return token(op) == kQuote; });
    return quotes % 2 == 1;
}

// ---- Cursor ----

void YEqModel::cursorStepLocked(int delta)
{
    const int size = static_cast<int>(readableOps(currentFunction_)->size());
    entryCursor_ = std::clamp(entryCursor_ + delta, 0, size);
}

void YEqModel::cursorLeft()
{
    Guard guard(*this);
    cursorStepLocked(-1);
    updateScreenLocked();
}

void YEqModel::cursorRight()
{
    Guard guard(*this);
    cursorStepLocked(1);
    updateScreenLocked();
}

void YEqModel::prettyCursorLeft()
{
    Guard guard(*this);
    entryCursor_ = std::clamp(loadPrinterLocked().cursorLeftAt(entryCursor_), 0,
        static_cast<int>(readableOps(currentFunction_)->size()));
    updateScreenLocked();
}

void YEqModel::prettyCursorRight()
{
    Guard guard(*this);
    entryCursor_ = std::clamp(loadPrinterLocked().cursorRightAt(entryCursor_), 0,
        static_cast<int>(readableOps(currentFunction_)->size()));
    updateScreenLocked();
}

void YEqModel::cursorHome()
{
    Guard guard(*this);
    entryCursor_ = 0;
    updateScreenLocked();
}

void YEqModel::cursorEnd()
{
    Guard guard(*this);
    entryCursor_ = static_cast<int>(readableOps(currentFunction_)->size());
    updateScreenLocked();
}

void YEqModel::moveRow(int step)
{
    const int mode = calc_.graphMode();
    const int first = firstIndexForMode(mode);
    const int last = lastIndexForMode(mode);
    {
        const Lock lock(*this);
        // Coming from outside the mode's rows, the move starts at its end.
        if ((step < 0 && currentFunction_ < first) || (step > 0 && currentFunction_ > last)) {
            currentFunction_ = step < 0 ? first : last;
            entryCursor_ = 0;
        }
    }
    if (!validateFunction(selectedEqNum()) || !getSeqInitValue())
        return;
    Guard guard(*this);
    int next = currentFunction_ + step;
    if (mode == kGraphModeSequence) {
        // Each sequence's row is followed by its initial value's.
        constexpr int kRows[] = {29, 32, 30, 33, 31, 34};
        const auto row = std::find(std::begin(kRows), std::end(kRows), currentFunction_);
        if (row != std::end(kRows))
            next = kRows[std::clamp(static_cast<int>(row - std::begin(kRows)) + step, 0, 5)];
    }
    currentFunction_ = std::clamp(next, first, last);
    entryCursor_ = 0;
    updateScreenLocked();
}

void YEqModel::cursorUp()
{
    moveRow(-1);
}

void YEqModel::cursorDown()
{
    moveRow(1);
}

void YEqModel::setCursorOnFunction(int t, int position)
{
    if (!validateFunction(selectedEqNum()) || !getSeqInitValue())
        return;
    Guard guard(*this);
    if (const int index = indexForEquation(t); index >= 0)
        currentFunction_ = index;
    entryCursor_ = std::clamp(position, 0, static_cast<int>(readableOps(currentFunction_)->size()));
    updateScreenLocked();
}

std::string YEqModel::equationString(int t, int& cursorPosition)
{
    Ops ops;
    bool current = false;
    int cursor = 0;
    {
        const Lock lock(*this);
        const int index = indexForEquation(t);
        if (const Ops* list = readableOps(index))
            ops = *list;
        current = index >= 0 && index == currentFunction_;
        cursor = entryCursor_;
    }
    const std::string prefix = calc_.nameForOpcode(static_cast<std::uint32_t>(t)) + "=";
    std::int32_t position = current ? cursor : 0;
    std::string text = calc_.stringFromOps(ops, position);
    cursorPosition = current ? static_cast<int>(Utf8::codePointCount(prefix)) + position : -99;
    return prefix + text;
}

// ---- Compilation ----

namespace {

// The parser's form of a faulty equation is its beginning (X²/—4 would be X²): the cached
// form fails with the error instead, wherever it is evaluated, so nothing is drawn for it.
std::shared_ptr<VQStack> failingForm(int error, int errorToken)
{
    Operand failing;
    failing.kind = KindError;
    failing.error = error;
    failing.location = errorToken;
    auto form = std::make_shared<VQStack>();
    form->pushOperand(std::move(failing), errorToken);
    return form;
}

} // namespace

YEqModel::Compiled YEqModel::compile(int index, Ops ops)
{
    Parser& parser = calc_.parser();
    Compiled c;
    if (isSeqIndex(index)) {
        parser.setError(0);
        int flags = 0;
        std::optional<VQStack> form = parser.getSeqRPNfor(ops, &flags);
        if (!form) {
            // A term reference other than u(η-1) or u(η-2).
            c.error = ErrSyntax;
            c.errorToken = -1;
            return c;
        }
        c.seqFlags = flags;
        c.rpn = std::make_shared<VQStack>(std::move(*form));
    } else {
        c.rpn = std::make_shared<VQStack>(parser.getRPNfor(ops));
    }
    c.error = parser.error();
    c.errorToken = parser.errorToken();
    if (c.error != 0)
        c.rpn = failingForm(c.error, c.errorToken);
    return c;
}

std::shared_ptr<VQStack> YEqModel::rpnForFunction(int t)
{
    const int index = indexForEquation(t);
    if (index < 0 || isSeqInitIndex(index))
        return nullptr;
    Ops ops;
    unsigned generation = 0;
    {
        const Lock lock(*this);
        const Slot& s = slots_[static_cast<std::size_t>(index)];
        if (s.rpn)
            return s.rpn;
        if (s.ops.empty())
            return nullptr;
        ops = s.ops;
        generation = s.generation;
    }
    // Compiled outside the lock; a syntax error shows only in the parser's error and the
    // faulty form fails when it is evaluated.
    Compiled c = compile(index, std::move(ops));
    if (!c.rpn)
        return nullptr;
    const Lock lock(*this);
    Slot& s = slots_[static_cast<std::size_t>(index)];
    if (s.generation == generation) {
        s.rpn = c.rpn;
        if (isSeqIndex(index))
            seqFlags_[static_cast<std::size_t>(index - kFirstSeq)] = c.seqFlags;
    }
    return c.rpn;
}

std::shared_ptr<VQStack> YEqModel::rpnForImplicitFunction(int t, bool& isEquality)
{
    isEquality = false;
    const int index = indexForEquation(t);
    if (index < 0)
        return nullptr;
    Ops ops;
    unsigned generation = 0;
    {
        const Lock lock(*this);
        ops = *readableOps(index);
        generation = slots_[static_cast<std::size_t>(index)].generation;
    }
    if (ops.empty())
        return nullptr;
    const auto relations = std::count_if(ops.begin(), ops.end(), [](std::uint32_t op) { return isRelation(token(op)); });
    if (relations > 1)
        return nullptr;
    if (relations == 1) {
        // L rel R becomes L-(R).
        const auto at = std::find_if(ops.begin(), ops.end(), [](std::uint32_t op) { return isRelation(token(op)); });
        isEquality = token(*at) == kEqual;
        *at = kMinus;
        ops.insert(at + 1, kParenOpen);
        ops.push_back(kParenClose);
    }
    Parser& parser = calc_.parser();
    auto rpn = std::make_shared<VQStack>(parser.getRPNfor(ops));
    if (parser.error() != 0)
        rpn = failingForm(parser.error(), parser.errorToken());
    const Lock lock(*this);
    Slot& s = slots_[static_cast<std::size_t>(index)];
    if (s.generation == generation)
        s.rpn = rpn;
    return rpn;
}

bool YEqModel::reportFaultySelected()
{
    nlohmann::json fault;
    {
        // The parser compiles: a program may be using it between its statements.
        const auto hold = calc_.lockState();
        const int mode = calc_.graphMode();
        for (int i = firstIndexForMode(mode); i <= lastIndexForMode(mode) && fault.is_null(); ++i) {
            const int token = equationForIndex(i);
            if (!shouldPlotFunction(token))
                continue;
            bool equality = false;
            const std::shared_ptr<VQStack> rpn
                = functionType(token) == 4 ? rpnForImplicitFunction(token, equality) : rpnForFunction(token);
            // A faulty equation's form is the one failing record (a relation compiles as one).
            const Operand* only = rpn && rpn->count() == 1 ? rpn->opAtIndex(0) : nullptr;
            if (only && only->kind == KindError && only->error != 0)
                fault = {{"errorNum", only->error}, {"equation", token}, {"tokenLocation", only->location}};
        }
    }
    if (fault.is_null())
        return false;
    calc_.showError(fault);
    return true;
}

bool YEqModel::validateFunction(int t)
{
    const int index = indexForEquation(t);
    if (index < 0)
        return false;
    Ops ops;
    {
        const Lock lock(*this);
        ops = *readableOps(index);
    }
    // Initial values are checked when they are evaluated.
    if (ops.empty() || isSeqInitIndex(index))
        return true;
    // Compiling tells every syntax fault, "2+" included: nothing the line names is run.
    const Compiled c = compile(index, std::move(ops));
    Guard guard(*this);
    if (isSeqIndex(index) && c.rpn)
        seqFlags_[static_cast<std::size_t>(index - kFirstSeq)] = c.seqFlags;
    if (c.error == 0)
        return true;
    if (c.errorToken >= 0)
        entryCursor_ = c.errorToken;
    report(c.error);
    return false;
}

std::optional<Ops> YEqModel::webTraceForFunction(int t)
{
    const std::optional<Ops> source = getYEqFuncOps(t);
    if (!source || source->empty())
        return std::nullopt;
    const Ops& ops = *source;
    const auto own = [t](std::uint32_t op) {
        const auto k = static_cast<int>(token(op));
        return k == t || (t >= kSeqToken && t < kSeqInitToken && k == static_cast<int>(kSeqAlias) + (t - kSeqToken));
    };
    static constexpr std::uint32_t kPrevious[] = {kParenOpen, kEta, kMinus, kOne, kParenClose};
    Ops out;
    out.reserve(ops.size());
    for (std::size_t i = 0; i < ops.size(); ++i) {
        bool previous = own(ops[i]);
        for (std::size_t k = 0; previous && k < 5; ++k)
            previous = i + 1 + k < ops.size() && token(ops[i + 1 + k]) == kPrevious[k];
        if (previous) {
            out.push_back(kX);
            i += 5;
        } else {
            out.push_back(ops[i]);
        }
    }
    return out;
}

std::shared_ptr<VQStack> YEqModel::webTraceRPNForFunction(int t)
{
    std::shared_ptr<VQStack> rpn = rpnForFunction(t);
    if (!rpn)
        return nullptr;
    auto trace = std::make_shared<VQStack>(*rpn);
    const int seq = t - kSeqToken;
    const int previous = seq >= 0 && seq < 3 ? kPreviousTermSlot[seq] : -1;
    for (Operand& op : trace->stack()) {
        if (op.kind == KindVariable && op.var.subKind == VarReal && op.var.index == previous) {
            op.var.token = static_cast<int>(kX);
            op.var.index = kXSlot;
        }
    }
    return trace;
}

// ---- Slider variables ----

std::vector<YEqVarInfo> YEqModel::buildVarInfo(int index, int partner) const
{
    std::set<std::uint32_t> excluded;
    if (index <= kSolverIndex)
        excluded = {kX};
    else if (isParametricIndex(index))
        excluded = {kT};
    else if (index < kFirstSeq)
        excluded = {kTheta};
    else if (isSeqIndex(index))
        excluded = {kEta};
    else if (index >= kFirstImplicit)
        excluded = {kX, kY};

    std::set<std::uint32_t> candidates;
    for (int i : {index, partner}) {
        if (const Ops* ops = readableOps(i)) {
            for (std::uint32_t op : *ops) {
                const std::uint32_t k = token(op);
                if (((k >= 0x41 && k <= kTheta) || k == kEta) && !excluded.count(k))
                    candidates.insert(k);
            }
        }
    }

    std::vector<YEqVarInfo> list;
    if (isSeqIndex(index)) {
        const int seq = index - kFirstSeq;
        const double v = calc_.state().vars[static_cast<std::size_t>(kFirstStart[seq])].real();
        list.push_back(YEqVarInfo{kFirstStart[seq], -2 * v, 4 * v, 0, v, kStartNames[seq]});
    }
    for (std::uint32_t k : candidates) {
        const int slot = k == kEta ? kEtaSlot : static_cast<int>(k - 0x41);
        const double value = calc_.state().vars[static_cast<std::size_t>(slot)].real();
        const double v = value == 0 ? 1 : value;
        list.push_back(YEqVarInfo{slot, -2 * v, 4 * v, 0, value, calc_.nameForOpcode(k)});
    }
    return list;
}

std::optional<std::vector<YEqVarInfo>> YEqModel::varInforForFunction(int t)
{
    const int index = indexForEquation(t);
    if (index < 0)
        return std::nullopt;
    const Lock lock(*this);
    Slot& s = slots_[static_cast<std::size_t>(index)];
    if (s.vars)
        return s.vars;
    if (isParametricIndex(index)) {
        const int partner = partnerOf(index);
        auto& partnerVars = slots_[static_cast<std::size_t>(partner)].vars;
        s.vars = buildVarInfo(index, partner);
        if (!partnerVars)
            partnerVars = s.vars;
    } else {
        s.vars = buildVarInfo(index, -1);
    }
    return s.vars;
}

void YEqModel::addVarsForFn(const VQStack& fn, int baseToken, std::set<int>& into)
{
    for (const Operand& op : fn.stack()) {
        if (op.kind != KindVariable)
            continue;
        const int k = op.var.token;
        if (((k >= 0x41 && k <= static_cast<int>(kTheta)) || k == static_cast<int>(kEta)) && k != baseToken)
            into.insert(k);
    }
}

// ---- Archive ----

namespace {

nlohmann::json opsArchive(const Ops& ops)
{
    return nlohmann::json(ops);
}

nlohmann::json varsArchive(const std::optional<std::vector<YEqVarInfo>>& vars)
{
    if (!vars)
        return nullptr;
    nlohmann::json list = nlohmann::json::array();
    for (const YEqVarInfo& info : *vars)
        list.push_back(info.encode());
    return list;
}

std::optional<std::vector<YEqVarInfo>> varsFromArchive(const nlohmann::json& archive)
{
    if (!archive.is_array())
        return std::nullopt;
    std::vector<YEqVarInfo> vars;
    for (const nlohmann::json& info : archive)
        vars.push_back(YEqVarInfo::decode(info));
    return vars;
}

// The elements of an archived array, at most `limit` of them; none when it is no array.
template <class Read>
void readArray(const nlohmann::json& archive, const char* key, std::size_t limit, Read read)
{
    const nlohmann::json* array = ArchiveValues::member(archive, key);
    if (!array || !array->is_array())
        return;
    for (std::size_t i = 0; i < array->size() && i < limit; ++i)
        read(i, (*array)[i]);
}

} // namespace

nlohmann::json YEqModel::encodeSnapshot(const Snapshot& state)
{
    nlohmann::json archive{{"ops", opsArchive(state.ops)}, {"cu", state.cursor}, {"fu", state.function},
        {"cl", state.color.encode()}, {"fl", state.flags}};
    if (state.vars) {
        nlohmann::json vars = nlohmann::json::array();
        for (const auto& each : *state.vars)
            vars.push_back(varsArchive(each));
        archive["cv"] = std::move(vars);
    }
    return archive;
}

std::optional<YEqModel::Snapshot> YEqModel::decodeSnapshot(const nlohmann::json& archive)
{
    const int function = ArchiveValues::whole(archive, "fu", -1);
    if (!isSlot(function))
        return std::nullopt;
    Snapshot state;
    state.function = function;
    state.cursor = std::max(ArchiveValues::whole(archive, "cu", 0), 0);
    if (const nlohmann::json* ops = ArchiveValues::member(archive, "ops"))
        state.ops = ArchiveValues::ops(*ops).value_or(Ops());
    if (const nlohmann::json* color = ArchiveValues::member(archive, "cl"))
        state.color = VQColor::decode(*color);
    state.flags = ArchiveValues::whole(archive, "fl", kDefaultFlags);
    if (const nlohmann::json* vars = ArchiveValues::member(archive, "cv"); vars && vars->is_array()) {
        state.vars.emplace(kSlotCount);
        for (std::size_t i = 0; i < vars->size() && i < kSlotCount; ++i)
            (*state.vars)[i] = varsFromArchive((*vars)[i]);
    }
    return state;
}

nlohmann::json YEqModel::encode() const
{
    const Lock lock(*this);
    nlohmann::json pf = nlohmann::json::array(), vi = nlohmann::json::array(), pF = nlohmann::json::array(),
                   cl = nlohmann::json::array(), pi = nlohmann::json::array(), un = nlohmann::json::array(),
                   re = nlohmann::json::array();
    for (const Slot& s : slots_) {
        pf.push_back(opsArchive(s.ops));
        vi.push_back(varsArchive(s.vars));
        pF.push_back(s.flags);
        cl.push_back(s.color.encode());
    }
    for (const YEqIntegrate& integral : integrals_)
        pi.push_back(integral.encode());
    for (const Snapshot& state : undo_)
        un.push_back(encodeSnapshot(state));
    for (const Snapshot& state : redo_)
        re.push_back(encodeSnapshot(state));
    nlohmann::json archive{{"ec", entryCursor_}, {"cf", currentFunction_}, {"pf", std::move(pf)}, {"vi", std::move(vi)},
        {"pF", std::move(pF)}, {"cl", std::move(cl)}, {"pi", std::move(pi)}, {"un", std::move(un)},
        {"re", std::move(re)}, {"seq", seqInitializer_}};
    // An initial value's row typed and not taken (it failed, or the save came first) comes
    // back as typed.
    nlohmann::json typed = nlohmann::json::array();
    bool any = false;
    for (int seq = 0; seq < 3; ++seq) {
        const bool held = typedInitialValueLocked(seq);
        typed.push_back(held ? opsArchive((*seqInitOps_)[static_cast<std::size_t>(seq)]) : nlohmann::json());
        any = any || held;
    }
    if (any)
        archive["si"] = std::move(typed);
    return archive;
}

void YEqModel::decode(const nlohmann::json& archive)
{
    const Lock lock(*this);
    // What the archive lacks keeps the state of a fresh model.
    clearAllLocked();
    entryCursor_ = std::max(ArchiveValues::whole(archive, "ec", 0), 0);
    currentFunction_ = std::clamp(ArchiveValues::whole(archive, "cf", 0), 0, kSlotCount - 1);
    // Every per-slot array is padded or cut to the 45 slots on its own.
    readArray(archive, "pf", kSlotCount, [this](std::size_t i, const nlohmann::json& ops) {
        slots_[i].ops = ArchiveValues::ops(ops).value_or(Ops());
    });
    readArray(archive, "vi", kSlotCount, [this](std::size_t i, const nlohmann::json& vars) {
        slots_[i].vars = varsFromArchive(vars);
    });
    readArray(archive, "pF", kSlotCount, [this](std::size_t i, const nlohmann::json& flags) {
        if (auto word = ArchiveValues::integer(flags, 0, 0xFFFF))
            slots_[i].flags = static_cast<int>(*word);
    });
    readArray(archive, "cl", kSlotCount, [this](std::size_t i, const nlohmann::json& color) {
        if (color.is_object())
            slots_[i].color = VQColor::decode(color);
    });
    readArray(archive, "pi", kIntegralCount, [this](std::size_t i, const nlohmann::json& integral) {
        integrals_[i] = YEqIntegrate::decode(integral);
    });
    readArray(archive, "seq", 3, [this](std::size_t i, const nlohmann::json& count) {
        seqInitializer_[i] = static_cast<int>(ArchiveValues::integer(count, 0, 2).value_or(0));
    });
    readArray(archive, "si", 3, [this](std::size_t i, const nlohmann::json& ops) {
        std::optional<Ops> typed = ops.is_null() ? std::nullopt : ArchiveValues::ops(ops);
        if (!typed)
            return;
        buildSeqInitOps();
        (*seqInitOps_)[i] = std::move(*typed);
        seqInitTyped_[i] = true;
    });
    // At most the newest kMaxUndo steps of each.
    for (auto [key, steps] : {std::pair{"un", &undo_}, std::pair{"re", &redo_}}) {
        readArray(archive, key, SIZE_MAX, [steps = steps](std::size_t, const nlohmann::json& state) {
            if (auto snapshot = decodeSnapshot(state)) {
                steps->push_back(std::move(*snapshot));
                if (steps->size() > kMaxUndo)
                    steps->pop_front();
            }
        });
    }
}

} // namespace orvenda
