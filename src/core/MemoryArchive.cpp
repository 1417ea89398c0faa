#include "core/MemoryArchive.h"

#include "core/ArchiveValues.h"
#include "core/Calculator.h"
#include "core/ColorTables.h"
#include "core/services/EntryManager.h"
#include "core/services/HistoryManager.h"
#include "core/services/ProgramManager.h"
#include "core/services/StatGraphManager.h"
#include "core/services/YEqManager.h"

#include "core/VQList.h"
#include "core/VQMatrix.h"
#include "core/VQValue.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <new>
#include <ostream>
#include <streambuf>
#include <string>
#include <string_view>

namespace orvenda {

namespace {

using json = nlohmann::json;
using ordered = nlohmann::ordered_json;
using Ops = Calculator::Ops;

constexpr int kIntMax = std::numeric_limits<int>::max();
constexpr int kIntMin = std::numeric_limits<int>::min();
// Archives written by versions up to this one hold programs in the old token numbering.
constexpr int kLastOldProgramVersion = 24;
// The unit-conversion memory: the remembered units of the first 11 classes column by
// column, the current and last conversion, then the classes added since, row by row.
constexpr int kToFromRows = 11;
constexpr int kToFromCount = 2 * Calculator::kUnitClassCount + 6;
// The ranges of the numbers that size and place things: the font sizes the keys can set on
// either device and a split far below the tallest screen.
constexpr double kMinFontSize = 10;
constexpr double kMaxFontSize = 72;
constexpr double kMaxSplit = 10000;

// What reading builds, counted against the bounds as it goes; writing counts its archive
// the same way, so that what it writes is read.
class Budget {
public:
    explicit Budget(const MemoryArchive::Bounds& bounds)
        : bounds_(bounds)
    {
    }

    bool value() { return ++values_ <= bounds_.values; }
    bool container() { return value() && ++containers_ <= bounds_.containers && ++depth_ <= bounds_.depth; }
    void leave() { --depth_; }

    // The archive, counted whole.
    bool takes(const ordered& v)
    {
        if (!v.is_structured())
            return value();
        if (!container())
            return false;
        for (const ordered& child : v)
            if (!takes(child))
                return false;
        leave();
        return true;
    }

private:
    const MemoryArchive::Bounds& bounds_;
    std::size_t values_ = 0;
    std::size_t containers_ = 0;
    int depth_ = 0;
};

// Builds the document like the library's own DOM reader, but stops at the bounds: a few
// bytes each may ask for a value, a list or a map (an empty list costs some 80 bytes of
// memory for one byte of file).
class BoundedReader {
public:
    BoundedReader(json& result, const MemoryArchive::Bounds& bounds)
        : dom_(result, false), budget_(bounds)
    {
    }

    bool null() { return value() && dom_.null(); }
    bool boolean(bool v) { return value() && dom_.boolean(v); }
    bool number_integer(json::number_integer_t v) { return value() && dom_.number_integer(v); }
    bool number_unsigned(json::number_unsigned_t v) { return value() && dom_.number_unsigned(v); }
    bool number_float(json::number_float_t v, const json::string_t& text)
    {
        return value() && dom_.number_float(v, text);
    }
    bool string(json::string_t& v) { return value() && dom_.string(v); }
    bool binary(json::binary_t& v) { return value() && dom_.binary(v); }
    bool start_object(std::size_t elements) { return container() && dom_.start_object(elements); }
    bool key(json::string_t& v) { return dom_.key(v); }
    bool end_object()
    {
        budget_.leave();
        return dom_.end_object();
    }
    bool start_array(std::size_t elements) { return container() && dom_.start_array(elements); }
    bool end_array()
    {
        budget_.leave();
        return dom_.end_array();
    }
    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) { return false; }

private:
    bool value() { return budget_.value(); }
    bool container() { return budget_.container(); }

    nlohmann::detail::json_sax_dom_parser<json> dom_;
    Budget budget_;
};

ordered opsArchive(const Ops& ops)
{
    return ordered(ops);
}

double archivedTime(Calculator::TimePoint time)
{
    return std::chrono::duration<double>(time.time_since_epoch()).count();
}

std::optional<Calculator::TimePoint> timeFromArchive(double seconds)
{
    // Beyond about ±292 years from 1970 the clock's ticks overflow.
    if (!std::isfinite(seconds) || std::fabs(seconds) > 9e9)
        return std::nullopt;
    const auto since = std::chrono::duration_cast<Calculator::TimePoint::duration>(std::chrono::duration<double>(seconds));
    return Calculator::TimePoint(since);
}

// The archive's values by key, each read only when it has the type and range it is
// written with.
class Reader {
public:
    explicit Reader(const json& archive)
        : archive_(archive)
    {
    }

    // The value under key; nothing when missing or null.
    const json* find(const char* key) const
    {
        auto it = archive_.find(key);
        return it == archive_.end() || it->is_null() ? nullptr : &*it;
    }

    std::optional<std::int64_t> integer(const char* key, std::int64_t min = kIntMin, std::int64_t max = kIntMax) const
    {
        const json* value = find(key);
        return value ? ArchiveValues::integer(*value, min, max) : std::nullopt;
    }
    std::optional<int> small(const char* key, int min = kIntMin, int max = kIntMax) const
    {
        auto x = integer(key, min, max);
        return x ? std::optional<int>(static_cast<int>(*x)) : std::nullopt;
    }
    std::optional<bool> boolean(const char* key) const
    {
        auto x = integer(key, 0, 1);
        return x ? std::optional<bool>(*x != 0) : std::nullopt;
    }
    std::optional<double> number(const char* key) const
    {
        const json* value = find(key);
        if (!value || !value->is_number())
            return std::nullopt;
        const double x = value->get<double>();
        return std::isfinite(x) ? std::optional<double>(x) : std::nullopt;
    }
    // A number within [min, max]; nothing otherwise, so the setting keeps its factory value.
    std::optional<double> number(const char* key, double min, double max) const
    {
        auto x = number(key);
        return x && *x >= min && *x <= max ? x : std::nullopt;
    }
    std::optional<std::string> text(const char* key) const
    {
        const json* value = find(key);
        return value && value->is_string() ? std::optional<std::string>(value->get<std::string>()) : std::nullopt;
    }
    const json* array(const char* key) const
    {
        const json* value = find(key);
        return value && value->is_array() ? value : nullptr;
    }
    const json* object(const char* key) const
    {
        const json* value = find(key);
        return value && value->is_object() ? value : nullptr;
    }

    // Sets the field from an int key when present and in range.
    void keep(const char* key, int& field, int min = kIntMin, int max = kIntMax) const
    {
        if (auto x = small(key, min, max))
            field = *x;
    }
    void keep(const char* key, bool& field) const
    {
        if (auto x = boolean(key))
            field = *x;
    }

private:
    const json& archive_;
};

std::vector<std::string> stringsFromArchive(const json& array)
{
    std::vector<std::string> out;
    for (const json& s : array)
        if (s.is_string())
            out.push_back(s.get<std::string>());
    return out;
}

void readColor(const Reader& in, const char* r, const char* g, const char* b, VQColor& color)
{
    const auto red = in.number(r, 0, 1), green = in.number(g, 0, 1), blue = in.number(b, 0, 1);
    if (red && green && blue)
        color = VQColor::colorR(*red, *green, *blue, 1);
}

void writeColor(ordered& out, const char* r, const char* g, const char* b, const VQColor& color)
{
    out[r] = color.r();
    out[g] = color.g();
    out[b] = color.b();
}

// A manager's member: its own archive, or what was read while it was not set.
template <class Manager>
ordered managerArchive(const std::shared_ptr<Manager>& manager, const json& detached, const char* key)
{
    if (manager)
        return ordered(manager->encode());
    auto it = detached.find(key);
    return it == detached.end() ? ordered() : ordered(*it);
}

template <class Manager>
void readManager(const Reader& in, const std::shared_ptr<Manager>& manager, json& detached, const char* key)
{
    const json* value = in.find(key);
    if (!value)
        return;
    if (manager)
        manager->decode(*value);
    else
        detached[key] = *value;
}

// The variables' values, and their significance.
void readVariables(const Reader& in, Calculator& c)
{
    // Whole pairs only, and no more than the store holds.
    if (const json* vars = in.array("vars")) {
        const std::size_t slots = std::min<std::size_t>(vars->size() / 2, Calculator::kVarCount);
        for (std::size_t k = 0; k < slots; ++k) {
            const json& re = (*vars)[2 * k];
            const json& im = (*vars)[2 * k + 1];
            if (re.is_number() && im.is_number())
                c.state().vars[k] = {re.get<double>(), im.get<double>()};
        }
    }
    // Significance members are signed bytes, as the variable record carries them.
    auto readPairs = [&](const char* key, std::array<std::int32_t, Calculator::kVarCount>& field) {
        const json* values = in.array(key);
        if (!values)
            return;
        const std::size_t slots = std::min<std::size_t>(values->size(), Calculator::kVarCount);
        for (std::size_t k = 0; k < slots; ++k)
            if (auto x = ArchiveValues::integer((*values)[k], kIntMin, kIntMax))
                field[k] = static_cast<std::int8_t>(*x);
    };
    readPairs("varsSD", c.state().varsSigDec);
    readPairs("varsSF", c.state().varsSigFig);
}

// The four user menus, item by item with their names.
void readUserMenus(const Reader& in, Calculator& c)
{
    std::vector<Ops>* userOps[] = {&c.userOps1, &c.userOps2, &c.userOps3, &c.userOps4};
    std::vector<std::string>* userNames[] = {&c.userNames1, &c.userNames2, &c.userNames3, &c.userNames4};
    for (int k = 0; k < 4; ++k) {
        const json* ops = in.array(("uops" + std::to_string(k + 1)).c_str());
        const json* names = in.array(("uname" + std::to_string(k + 1)).c_str());
        if (!ops && !names)
            continue;
        // Items and names go in pairs: only whole pairs are kept, so an archive with more
        // of one, or a damaged element, never shifts a name onto another item.
        userOps[k]->clear();
        userNames[k]->clear();
        const std::size_t pairs = ops && names ? std::min(ops->size(), names->size()) : 0;
        for (std::size_t i = 0; i < pairs; ++i) {
            auto item = ArchiveValues::ops((*ops)[i]);
            if (!item || !(*names)[i].is_string())
                continue;
            userOps[k]->push_back(std::move(*item));
            userNames[k]->push_back((*names)[i].get<std::string>());
        }
    }
}

// The unit conversions last chosen in each class, and the current and last conversion.
void readConversions(const Reader& in, Calculator& c)
{
    if (const json* toFrom = in.array("toFrom")) {
        unsigned* last[] = {&c.m_convClass, &c.m_convFrom, &c.m_convTo, &c.m_lastClass, &c.m_lastFrom, &c.m_lastTo};
        const std::size_t count = std::min<std::size_t>(toFrom->size(), kToFromCount);
        for (std::size_t k = 0; k < count; ++k) {
            const auto x = ArchiveValues::integer((*toFrom)[k], 0, std::numeric_limits<unsigned>::max());
            if (!x)
                continue;
            const unsigned v = static_cast<unsigned>(*x);
            if (k < 2 * kToFromRows)
                c.toFrom[k % kToFromRows][k / kToFromRows] = v;
            else if (k < 2 * kToFromRows + 6)
                *last[k - 2 * kToFromRows] = v;
            else
                c.toFrom[kToFromRows + (k - 2 * kToFromRows - 6) / 2][(k - 2 * kToFromRows - 6) % 2] = v;
        }
    }
}

} // namespace

namespace {

// Counts the bytes written to it, keeping none.
class ByteCount : public std::streambuf {
public:
    std::int64_t count = 0;

protected:
    int_type overflow(int_type c) override
    {
        ++count;
        return traits_type::not_eof(c);
    }
    std::streamsize xsputn(const char*, std::streamsize n) override
    {
        count += n;
        return n;
    }
};

template <class Json>
std::int64_t cborBytes(const Json& v)
{
    ByteCount bytes;
    std::ostream out(&bytes);
    Json::to_cbor(v, out);
    return bytes.count;
}

template <class Json>
void countValues(const Json& v, ArchiveCost& cost)
{
    ++cost.values;
    if (!v.is_structured())
        return;
    ++cost.containers;
    for (const Json& child : v)
        countValues(child, cost);
}

// What an archive's part adds to the whole, as its bounds count it.
template <class Json>
ArchiveCost costOf(const Json& v)
{
    ArchiveCost cost;
    countValues(v, cost);
    cost.bytes = cborBytes(v);
    return cost;
}

template <class Json>
const Json* memberOf(const Json& object, const char* key)
{
    if (!object.is_object())
        return nullptr;
    auto it = object.find(key);
    return it == object.end() ? nullptr : &*it;
}

// Ans is a number, which a save always keeps (a list, matrix or string may be left out).
template <class Json>
bool ansIsNumber(const Json& ans)
{
    if (!ans.is_object())
        return true;
    const auto type = ans.find("type");
    if (type == ans.end() || !type->is_number_integer())
        return true;
    const auto t = type->template get<std::int64_t>();
    return t == VQValue::TypeReal || t == VQValue::TypeComplex;
}

// Of a whole archive, what a save keeps at the least: all but what it may leave out (the
// entry line's undo and earlier entries, the history's items, Ans when it is no number).
template <class Json>
ArchiveCost keptOf(const Json& archive, std::int64_t bytes)
{
    ArchiveCost whole;
    countValues(archive, whole);
    whole.bytes = bytes;
    ArchiveCost apart;
    if (const Json* entry = memberOf(archive, "entry")) {
        for (const char* key : {"un", "rdo", "en"})
            if (const Json* stack = memberOf(*entry, key); stack && stack->is_array())
                for (std::size_t k = 0; k < stack->size(); ++k)
                    // The line typed stays.
                    if (std::string_view(key) != "en" || k + 1 < stack->size())
                        apart += costOf((*stack)[k]);
    }
    if (const Json* history = memberOf(archive, "history"))
        if (const Json* items = memberOf(*history, "hi"); items && items->is_array())
            for (const Json& item : *items)
                apart += costOf(item);
    if (const Json* ans = memberOf(archive, "ans"); ans && !ansIsNumber(*ans))
        apart += costOf(*ans) - costOf(Json(VQValue(0.0).encode()));
    return whole - apart;
}

ordered* member(ordered* object, const char* key, bool (ordered::*is)() const noexcept)
{
    if (!object || !object->is_object())
        return nullptr;
    auto it = object->find(key);
    return it != object->end() && ((*it).*is)() ? &*it : nullptr;
}

std::string listName(const std::string& name)
{
    static constexpr std::string_view kNumbered[] = {"L₁", "L₂", "L₃", "L₄", "L₅", "L₆"};
    return std::find(std::begin(kNumbered), std::end(kNumbered), name) != std::end(kNumbered) ? name : "ʟ" + name;
}

// The archive's bytes once it is within the bounds: when it is not, parts go, least missed
// first, until it is: the entry line's undo and redo (the next launch does not read them),
// then the earlier entries oldest first (the line being typed stays), then the history's
// items oldest first, the indices into those arrays following, then Ans when it is a list,
// matrix or string (a save keeps 0), then the stored lists, strings and matrices, the
// largest first (each kept empty). Nothing when even so it is not within them. What went,
// but for the undo, is noted in leftOut.
std::optional<std::vector<std::uint8_t>> fitted(ordered& archive, std::vector<std::uint8_t> bytes,
    const MemoryArchive::Bounds& bounds, MemoryArchive::LeftOut& leftOut)
{
    if (bytes.size() <= bounds.bytes && Budget(bounds).takes(archive))
        return bytes;
    ArchiveCost total;
    countValues(archive, total);
    total.bytes = static_cast<std::int64_t>(bytes.size());
    auto fits = [&] { return total.within(bounds); };
    auto drop = [&](const ordered& part) { total -= costOf(part); };
    // Puts `by` in the part's place.
    auto replace = [&](ordered& part, ordered by) {
        drop(part);
        total += costOf(by);
        part = std::move(by);
    };
    // The oldest elements of an array, down to `keep`; how many went.
    auto dropOldest = [&](ordered& array, std::size_t keep) {
        std::size_t n = 0;
        while (!fits() && array.size() > n + keep)
            drop(array[n++]);
        array.erase(array.begin(), array.begin() + static_cast<std::ptrdiff_t>(n));
        return static_cast<std::int64_t>(n);
    };
    ordered* entry = member(&archive, "entry", &ordered::is_object);
    for (const char* undo : {"un", "rdo"})
        if (ordered* stack = member(entry, undo, &ordered::is_array); stack && !fits()) {
            for (const ordered& part : *stack)
                drop(part);
            *stack = ordered::array();
        }
    if (ordered* entries = member(entry, "en", &ordered::is_array)) {
        const std::int64_t gone = dropOldest(*entries, 1);
        leftOut.entries = static_cast<int>(gone);
        // ENTRY recalls from the newest earlier entry on when its next one went.
        if (ordered* next = member(entry, "pEntry", &ordered::is_number_integer); next && gone > 0) {
            const std::int64_t at = next->get<std::int64_t>() - gone;
            *next = at >= 0 ? at : static_cast<std::int64_t>(entries->size()) - 2;
        }
    }
    ordered* history = member(&archive, "history", &ordered::is_object);
    if (ordered* items = member(history, "hi", &ordered::is_array)) {
        const std::int64_t gone = dropOldest(*items, 0);
        leftOut.historyItems = static_cast<int>(gone);
        if (ordered* selected = member(history, "se", &ordered::is_number_integer); selected && gone > 0) {
            const std::int64_t at = selected->get<std::int64_t>() - gone;
            *selected = at >= 0 ? at : -1;
        }
    }
    if (ordered* ans = member(&archive, "ans", &ordered::is_object); ans && !fits() && !ansIsNumber(*ans)) {
        replace(*ans, ordered(VQValue(0.0).encode()));
        leftOut.ans = true;
    }
    if (!fits()) {
        // The stored values that hold anything, the largest first.
        struct Stored {
            ordered* part;
            ordered empty;
            std::string name;
            ArchiveCost cost;
        };
        std::vector<Stored> stored;
        if (ordered* lists = member(&archive, "lists", &ordered::is_object))
            for (auto it = lists->begin(); it != lists->end(); ++it)
                if (const ordered* v = memberOf(it.value(), "v"); v && v->is_array() && !v->empty())
                    stored.push_back({&it.value(), ordered(VQList().encode()), listName(it.key()), {}});
        if (ordered* strings = member(&archive, "strings", &ordered::is_array))
            for (std::size_t k = 0; k < strings->size(); ++k)
                if ((*strings)[k].is_array() && !(*strings)[k].empty())
                    stored.push_back({&(*strings)[k], ordered::array(), "Str" + std::to_string((k + 1) % 10), {}});
        if (ordered* matrices = member(&archive, "matrices", &ordered::is_array))
            for (std::size_t k = 0; k < matrices->size(); ++k)
                if (memberOf((*matrices)[k], "m"))
                    stored.push_back({&(*matrices)[k], ordered(VQMatrix().encode()),
                        std::string("[") + static_cast<char>('A' + k) + "]", {}});
        for (Stored& s : stored)
            s.cost = costOf(*s.part);
        std::stable_sort(stored.begin(), stored.end(), [](const Stored& a, const Stored& b) {
            return a.cost.values != b.cost.values ? a.cost.values > b.cost.values : a.cost.bytes > b.cost.bytes;
        });
        for (Stored& s : stored) {
            if (fits())
                break;
            replace(*s.part, std::move(s.empty));
            leftOut.values.push_back(s.name);
        }
    }
    bytes = ordered::to_cbor(archive);
    if (bytes.size() <= bounds.bytes && Budget(bounds).takes(archive))
        return bytes;
    leftOut = {};
    leftOut.everything = true;
    return std::nullopt;
}

} // namespace

std::vector<std::uint8_t> MemoryArchive::save(const Calculator& c, LeftOut* leftOut)
{
    const auto hold = c.lockState();
    return save(c, c.archiveBounds(), leftOut);
}

std::vector<std::uint8_t> MemoryArchive::save(const Calculator& c, const Bounds& bounds, LeftOut* leftOut)
{
    const auto hold = c.lockState();
    ordered out = ordered::object();
    out["ver"] = kVersion;
    out["ft"] = c.firstTime;
    out["nfmt"] = c.state().numFormat;
    out["ffmt"] = c.state().fractionFormat;
    out["awfmt"] = c.state().answerFormat;
    out["ndgt"] = c.state().numDigits;
    out["tfmt"] = c.state().timeFormat;
    out["dfmt"] = c.state().dateFormat;
    out["nbase"] = c.state().numBase;
    out["cfmt"] = static_cast<int>(c.state().thousandSeperator);
    out["afmt"] = c.angleFormat();
    out["gmode"] = c.graphMode();
    out["gxaxis"] = c.state().graphXAxisLabelMode;
    out["rcplx"] = c.realCplxMode();
    out["regDiag"] = c.state().regressionDiagnostic;
    out["tMode"] = c.state().tableMode;
    out["screenSplit"] = c.state().screenSplit;
    out["whtBck"] = c.state().whiteBackground;
    writeColor(out, "rBck", "gBck", "bBck", c.state().backgroundColor);
    writeColor(out, "rGrid", "gGrid", "bGrid", c.state().gridColor);
    writeColor(out, "rAxes", "gAxes", "bAxes", c.state().axesColor);
    out["txtClr"] = c.state().textColor;
    out["ans"] = ordered(c.ans.encode());

    ordered vars = ordered::array();
    for (const auto& v : c.state().vars) {
        vars.push_back(v.real());
        vars.push_back(v.imag());
    }
    out["vars"] = std::move(vars);
    out["varsSF"] = c.state().varsSigFig;
    out["varsSD"] = c.state().varsSigDec;
    out["tblLst"] = ordered(c.state().tableList.encode());
    out["lists"] = ArchiveValues::objectOf<ordered>(c.state().lists, [](const VQList& list) { return ordered(list.encode()); });
    out["slvEq"] = opsArchive(c.state().solverEq);
    ordered matrices = ordered::array();
    for (const VQMatrix& m : c.state().matrices)
        matrices.push_back(ordered(m.encode()));
    out["matrices"] = std::move(matrices);
    ordered strings = ordered::array();
    for (const VQString& s : c.state().strings)
        strings.push_back(opsArchive(s.toVector()));
    out["strings"] = std::move(strings);
    out["entry"] = managerArchive(c.entryManager, c.detachedArchive, "entry");
    // A line typed in a screen's field, kept with it (the app's, which checks it).
    if (auto field = c.detachedArchive.find("field"); field != c.detachedArchive.end())
        out["field"] = ordered(*field);
    // The lines whose values failed as their field screens were left, each waiting for it.
    if (!c.failedLines().empty()) {
        ordered failed = ordered::array();
        for (const auto& [screen, line] : c.failedLines())
            failed.push_back(ordered{{"scrn", screen}, {"ops", opsArchive(line.ops)}, {"at", line.cursor}, {"place", ordered(line.place)}});
        out["failedFields"] = std::move(failed);
    }
    out["history"] = managerArchive(c.historyManager, c.detachedArchive, "history");
    out["yEq"] = managerArchive(c.yEqManager, c.detachedArchive, "yEq");
    out["statMgr"] = managerArchive(c.statGraphManager, c.detachedArchive, "statMgr");

    out["drwC"] = c.state().graphCoordFormat;
    out["drwS"] = c.state().graphSequenceFormat;
    out["drwG"] = c.state().drawGrid;
    out["drwA"] = c.state().drawAxes;
    out["drwL"] = c.state().drawLabel;
    out["drwE"] = c.state().drawExpr;
    out["drwCo"] = c.state().drawCoord;
    out["drwDy"] = c.state().drawDyDx;
    out["pdfSz"] = c.pdfPageSize;
    out["split"] = static_cast<double>(static_cast<float>(c.entrySplit));
    out["kbdCo"] = c.keyboardColorSet;
    out["lcdCo"] = c.lcdColorSet;
    out["bbh"] = c.bubbleHelp;
    out["lstPrgm"] = c.lastPrgmName;
    out["statEd"] = c.state().statEditList;
    out["sessions"] = c.sessions;
    out["clk"] = c.clickPref;
    out["mathPrt"] = c.state().mathPrint;
    out["baseFont"] = c.baseFontSize;
    out["testMode"] = c.testMode;
    if (c.testStart)
        out["testStart"] = archivedTime(*c.testStart);
    out["polyState"] = c.polyState;
    out["simulEqState"] = c.simulEqState;
    out["simulMatrix"] = ordered(c.simulMatrix.encode());
    const std::vector<Ops>* userOps[] = {&c.userOps1, &c.userOps2, &c.userOps3, &c.userOps4};
    const std::vector<std::string>* userNames[] = {&c.userNames1, &c.userNames2, &c.userNames3, &c.userNames4};
    for (int k = 0; k < 4; ++k)
        out["uops" + std::to_string(k + 1)] = *userOps[k];
    for (int k = 0; k < 4; ++k)
        out["uname" + std::to_string(k + 1)] = *userNames[k];

    ordered toFrom = ordered::array();
    for (int column = 0; column < 2; ++column)
        for (int row = 0; row < kToFromRows; ++row)
            toFrom.push_back(c.toFrom[row][column]);
    for (unsigned v : {c.m_convClass, c.m_convFrom, c.m_convTo, c.m_lastClass, c.m_lastFrom, c.m_lastTo})
        toFrom.push_back(v);
    for (int row = kToFromRows; row < Calculator::kUnitClassCount; ++row)
        for (unsigned v : c.toFrom[row])
            toFrom.push_back(v);
    out["toFrom"] = std::move(toFrom);
    ordered keySets = ordered::array();
    for (const UserKeySet& set : c.uKeys)
        keySets.push_back(ordered(set.encode()));
    out["uKeys"] = std::move(keySets);
    out["uKeySet"] = c.userKeySetName;
    out["uKeyShow"] = c.userKeys;
    out["statWiz"] = c.statWiz;
    std::vector<std::uint8_t> whole = ordered::to_cbor(out);
    c.measureArchive(keptOf(out, static_cast<std::int64_t>(whole.size())));
    LeftOut left;
    std::vector<std::uint8_t> bytes = fitted(out, std::move(whole), bounds, left).value_or(std::vector<std::uint8_t>());
    if (leftOut)
        *leftOut = std::move(left);
    return bytes;
}

std::optional<nlohmann::json> MemoryArchive::parse(std::span<const std::uint8_t> bytes)
{
    return parse(bytes, Bounds{});
}

std::optional<nlohmann::json> MemoryArchive::parse(std::span<const std::uint8_t> bytes, const Bounds& bounds)
{
    if (bytes.size() > bounds.bytes)
        return std::nullopt;
    try {
        json archive;
        BoundedReader reader(archive, bounds);
        if (!json::sax_parse(bytes.begin(), bytes.end(), &reader, json::input_format_t::cbor) || !archive.is_object())
            return std::nullopt;
        return archive;
    } catch (const json::exception&) {
        // Declared lengths beyond what a container can hold.
        return std::nullopt;
    } catch (const std::bad_alloc&) {
        // Within the bounds, and still more than the memory left.
        return std::nullopt;
    }
}

bool MemoryArchive::restore(Calculator& calc, std::span<const std::uint8_t> bytes)
{
    auto archive = parse(bytes);
    if (!archive)
        return false;
    apply(calc, *archive);
    const auto hold = calc.lockState();
    calc.measureArchive(keptOf(*archive, static_cast<std::int64_t>(bytes.size())));
    return true;
}

void MemoryArchive::apply(Calculator& c, const nlohmann::json& archive)
{
    const auto hold = c.lockState();
    const Reader in(archive);

    const int version = in.small("ver").value_or(0);
    if (version <= kLastOldProgramVersion && c.prgmManager)
        c.prgmManager->updatePrograms();
    if (version != kVersion)
        c.newVersion = true;

    // Always read: a missing key gives 0.
    c.firstTime = in.boolean("ft").value_or(false);
    c.state().numFormat = in.small("nfmt", 0).value_or(0);
    c.state().numDigits = in.small("ndgt", -1, 9).value_or(0);
    c.state().numBase = in.small("nbase", 0, 2).value_or(0);
    c.state().thousandSeperator = static_cast<char16_t>(in.integer("cfmt", kIntMin, kIntMax).value_or(0) & 0xFFFF);
    c.setAngleFormat(in.small("afmt", 0, 2).value_or(0));
    c.setGraphMode(in.small("gmode", 0, 4).value_or(0));
    c.setRealCplxMode(in.small("rcplx", 0, 2).value_or(0));
    c.state().regressionDiagnostic = in.boolean("regDiag").value_or(false);
    c.statWiz = in.boolean("statWiz").value_or(false);
    c.state().tableMode = in.small("tMode", 0, 1).value_or(0);
    c.state().screenSplit = in.small("screenSplit", 0, 1).value_or(0);

    in.keep("whtBck", c.state().whiteBackground);
    readColor(in, "rBck", "gBck", "bBck", c.state().backgroundColor);
    readColor(in, "rGrid", "gGrid", "bGrid", c.state().gridColor);
    readColor(in, "rAxes", "gAxes", "bAxes", c.state().axesColor);
    in.keep("txtClr", c.state().textColor, ColorTables::firstTIColor, ColorTables::lastTIColor);

    if (const json* ans = in.object("ans"))
        c.ans = VQValue::decode(*ans);
    const json* tableList = in.object("tblLst");
    c.state().tableList = tableList ? VQList::decode(*tableList) : VQList::list();

    readVariables(in, c);

    if (const json* lists = in.object("lists")) {
        c.state().lists.clear();
        for (const auto& [name, list] : lists->items())
            c.state().lists.insert_or_assign(name, VQList::decode(list));
    }
    const json* solverEq = in.find("slvEq");
    c.state().solverEq = solverEq ? ArchiveValues::ops(*solverEq).value_or(Ops()) : Ops();
    if (const json* matrices = in.array("matrices")) {
        for (std::size_t k = 0; k < c.state().matrices.size(); ++k)
            c.state().matrices[k] = k < matrices->size() ? VQMatrix::decode((*matrices)[k]) : VQMatrix();
    }
    readManager(in, c.entryManager, c.detachedArchive, "entry");
    c.detachedArchive.erase("field");
    if (const json* field = in.object("field"))
        c.detachedArchive["field"] = *field;
    if (const json* failed = in.array("failedFields")) {
        for (const json& line : *failed) {
            const json* scrn = ArchiveValues::member(line, "scrn");
            const json* ops = ArchiveValues::member(line, "ops");
            const json* at = ArchiveValues::member(line, "at");
            const int screen = scrn ? static_cast<int>(ArchiveValues::integer(*scrn, 0, 255).value_or(-1)) : -1;
            const auto typed = ops ? ArchiveValues::ops(*ops) : std::nullopt;
            if (screen < 0 || !Calculator::fieldScreen(screen) || !typed || typed->empty())
                continue;
            // The cursor stands within the line, whatever the file says.
            const auto end = static_cast<std::int64_t>(typed->size());
            const auto cursor = at ? ArchiveValues::integer(*at, 0, end).value_or(end) : end;
            const json* place = ArchiveValues::member(line, "place");
            c.holdFailedLine(screen, {*typed, static_cast<int>(cursor), place && place->is_object() ? *place : json()});
        }
    }
    if (const json* strings = in.array("strings")) {
        for (std::size_t k = 0; k < c.state().strings.size(); ++k)
            c.state().strings[k] = k < strings->size() ? ArchiveValues::ops((*strings)[k]).value_or(Ops()) : Ops();
    }
    readManager(in, c.historyManager, c.detachedArchive, "history");
    readManager(in, c.yEqManager, c.detachedArchive, "yEq");
    readManager(in, c.statGraphManager, c.detachedArchive, "statMgr");
    if (const json* statEd = in.array("statEd"))
        c.state().statEditList = stringsFromArchive(*statEd);
    c.state().graphCoordFormat = in.small("drwC", 0, 1).value_or(0);
    c.state().graphSequenceFormat = in.small("drwS", 0, 4).value_or(0);
    c.state().drawGrid = in.boolean("drwG").value_or(false);
    c.state().drawAxes = in.boolean("drwA").value_or(false);
    c.state().drawLabel = in.boolean("drwL").value_or(false);
    c.state().drawExpr = in.boolean("drwE").value_or(false);
    c.state().drawCoord = in.boolean("drwCo").value_or(false);
    c.state().drawDyDx = in.boolean("drwDy").value_or(false);

    in.keep("pdfSz", c.pdfPageSize, 0, 2);
    // The split is a height in points on the home screen: a value no screen has is the
    // factory split, never a layout of infinite or negative height.
    if (auto split = in.number("split", 0, kMaxSplit))
        c.entrySplit = static_cast<float>(*split);
    in.keep("kbdCo", c.keyboardColorSet, 0, ColorTables::interfaceSetCount - 1);
    in.keep("lcdCo", c.lcdColorSet, 0, ColorTables::interfaceSetCount - 1);
    in.keep("dfmt", c.state().dateFormat, 0, 2);
    in.keep("tfmt", c.state().timeFormat, 0, 1);

    c.bubbleHelp = in.boolean("bbh").value_or(true);
    c.state().graphXAxisLabelMode = in.small("gxaxis", 0, 1).value_or(0);
    c.lastPrgmName = in.text("lstPrgm").value_or(std::string());

    // Each launch counts one more: the largest count read still has room for it.
    if (auto sessions = in.integer("sessions", 0, std::numeric_limits<std::int64_t>::max() - 1))
        c.sessions = *sessions;
    in.keep("clk", c.clickPref);
    if (auto mathPrint = in.boolean("mathPrt"))
        c.state().mathPrint = *mathPrint;
    else
        c.entrySplit = 0;

    if (auto baseFont = in.number("baseFont", kMinFontSize, kMaxFontSize))
        c.baseFontSize = *baseFont;
    in.keep("ffmt", c.state().fractionFormat);
    in.keep("awfmt", c.state().answerFormat, 0, 3);
    // Formats 3 and up were fraction displays before they became answer formats.
    if (c.state().numFormat >= 3) {
        c.state().numFormat = 0;
        c.state().fractionFormat = 4;
        c.state().answerFormat = 2;
    }

    in.keep("testMode", c.testMode);
    const auto testStart = in.number("testStart");
    c.testStart = testStart ? timeFromArchive(*testStart) : std::nullopt;

    in.keep("polyState", c.polyState, 0, 3);
    in.keep("simulEqState", c.simulEqState, 0, 2);
    if (const json* simulMatrix = in.object("simulMatrix"))
        c.simulMatrix = VQMatrix::decode(*simulMatrix);
    readUserMenus(in, c);
    if (const json* keySets = in.array("uKeys")) {
        c.uKeys.clear();
        for (const json& set : *keySets)
            if (set.is_object())
                c.uKeys.push_back(UserKeySet::decode(set));
    }
    readConversions(in, c);
    if (auto name = in.text("uKeySet"))
        c.userKeySetName = *name;
    in.keep("uKeyShow", c.userKeys);
    in.keep("statWiz", c.statWiz);
}

} // namespace orvenda
