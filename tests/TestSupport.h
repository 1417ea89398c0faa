#pragma once

// Builders and service doubles shared by the engine tests.

#include "core/Calculator.h"
#include "core/Operand.h"
#include "core/VQList.h"
#include "core/VQMatrix.h"
#include "core/VQStack.h"
#include "core/services/GDBManager.h"
#include "core/services/HistoryManager.h"
#include "core/services/ProgramManager.h"
#include "core/services/TIFileIO.h"
#include "core/services/ViewControlDelegate.h"
#include "core/services/YEqManager.h"

#include <complex>
#include <cstdint>
#include <initializer_list>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <vector>

namespace orvenda::test {

using Ops = std::vector<std::uint32_t>;

inline const LocaleFormats kUS{"h a", "MMMM d, y"};
inline const std::string kE = "\xE1\xB4\xB1";     // ᴱ
inline const std::string kI = "\xC9\xA9\xCC\x87"; // ɩ̇
inline const std::string kMark = "\xCC\xB2";      // combining low line

inline VQList reals(std::initializer_list<double> xs, int sigFig = 15, int sigDec = -15)
{
    VQList l;
    for (double x : xs)
        l.addReal(x, sigFig, sigDec);
    return l;
}

// Reals each with its own significance pair.
struct Fig {
    double value;
    int sigFig, sigDec;
};
inline VQList figures(std::initializer_list<Fig> xs)
{
    VQList l;
    for (const Fig& f : xs)
        l.addReal(f.value, f.sigFig, f.sigDec);
    return l;
}

inline VQList complexes(std::initializer_list<std::complex<double>> zs)
{
    VQList l;
    for (auto z : zs)
        l.addComplex(z);
    return l;
}

inline VQMatrix matrixOf(std::initializer_list<std::initializer_list<double>> rows)
{
    VQMatrix m = *VQMatrix::matrixWithRow(rows.size(), rows.size() ? rows.begin()->size() : 0);
    std::size_t i = 0;
    for (const auto& row : rows) {
        std::size_t j = 0;
        for (double v : row)
            m.set(v, i, j++);
        ++i;
    }
    return m;
}

inline Operand operandOf(int kind)
{
    Operand op;
    op.kind = kind;
    return op;
}

// Graph databases saved by name.
class FakeGDBs : public GDBManager {
public:
    std::set<std::string> saved;
    // A full disk: nothing can be written.
    bool full = false;

protected:
    bool isSaved(const std::string& name) override { return saved.count(name) != 0; }
    bool save(const std::string& name) override
    {
        if (full)
            return false;
        saved.insert(name);
        return true;
    }
    void remove(const std::string& name) override { saved.erase(name); }
    int recall(const std::string& name) override { return saved.count(name) != 0 ? 0 : 69; }

public:
    // The bytes of databases stored as they are.
    std::map<std::string, std::vector<std::uint8_t>> bodies;

protected:
    bool saveData(const std::string& name, std::span<const std::uint8_t> data) override
    {
        if (full)
            return false;
        saved.insert(name);
        bodies[name].assign(data.begin(), data.end());
        return true;
    }
    std::optional<std::vector<std::uint8_t>> storedData(const std::string& name) const override
    {
        const auto found = bodies.find(name);
        return found == bodies.end() ? std::nullopt : std::optional(found->second);
    }
};

// A history whose archive is whatever was last decoded into it.
class FakeHistory : public HistoryManager {
public:
    int clears = 0;
    nlohmann::json state = nlohmann::json::object();
    void clearAll() override { ++clears; }
    nlohmann::json encode() const override { return state; }
    void decode(const nlohmann::json& archive) override { state = archive; }
};

// Counts saves of the open program and conversions of the stored ones.
class FakePrograms : public ProgramManager {
public:
    bool debugging = false;
    int saves = 0;
    int updates = 0;
    void saveProgram() override { ++saves; }
    void updatePrograms() override { ++updates; }
    bool debug() const override { return debugging; }
    void setPrgmEditCursor(int) override {}
    void setPrgmCursor(int, const std::string&) override {}
    void showStepPC(int, const std::string&) override {}
    std::string programName() const override { return {}; }
    std::optional<Ops> opsFor(const std::string&) const override { return std::nullopt; }
};

// A TI file reader whose import answers the given result.
class FakeTIFile : public TIFileIO {
public:
    explicit FakeTIFile(int result) : result_(result) {}
    int loadVars() override { return result_; }

private:
    int result_;
};

// The root controller: counts the graph, table and display requests, notes whether a
// program runs and keeps the reported errors.
class FakeView : public ViewControlDelegate {
public:
    int graphShown = 0;
    int graphChanged = 0;
    int tablesShown = 0;
    int displayUpdates = 0;
    bool running = false;
    int programStarts = 0;
    std::vector<nlohmann::json> errors;
    void VCUpdateDisplay() override { ++displayUpdates; }
    void VCShowGraph(bool show) override { graphShown += show; }
    void VCGraphChanged() override { ++graphChanged; }
    void VCProgramRunning(bool on) override
    {
        running = on;
        programStarts += on;
    }
    void VCPauseProgram() override {}
    void VCShowProgramOutput() override {}
    void VCShowDebugger(bool) override {}
    void VCSuspendDebugger() override {}
    void VCShowError(const nlohmann::json& error) override { errors.push_back(error); }
    void VCShowPeriodicTable() override {}
    void VCShowStatTest(int) override {}
    void VCShowGeometry(int) override {}
    void VCShowSolverPlot(const nlohmann::json&) override {}
    void VCShowTable() override { ++tablesShown; }
};

// Equations by token. The compiled form of an equation is a stack holding its tokens as
// variable references; calls that change the editor are counted.
class FakeYEq : public YEqManager {
public:
    std::map<int, Ops> equations;
    std::map<int, std::string> texts;
    Calculator* calc = nullptr;
    int clears = 0;
    std::vector<int> modes;
    std::set<int> hidden;

    void clearAll() override
    {
        ++clears;
        equations.clear();
    }
    std::string eqString(int token) const override
    {
        auto it = texts.find(token);
        return it == texts.end() ? std::string() : it->second;
    }
    void changeMode(int graphMode) override { modes.push_back(graphMode); }
    std::optional<Ops> plotForFunction(int token) const override
    {
        auto it = equations.find(token);
        return it == equations.end() ? std::nullopt : std::optional<Ops>(it->second);
    }
    std::shared_ptr<VQStack> rpnForFunction(int token) override
    {
        auto it = equations.find(token);
        if (it == equations.end() || it->second.empty())
            return nullptr;
        auto rpn = std::make_shared<VQStack>(calc);
        for (std::uint32_t op : it->second)
            rpn->pushVar(static_cast<int>(op), 7);
        return rpn;
    }
    int seqFlagsFor(int) override { return 0; }
    int numSeqInitializersFor(int) const override { return 0; }
    int setYEqFunc(int token, const Ops& ops) override
    {
        equations[token] = ops;
        return 0;
    }
    void setYEqFunc(int, int, double, double, double, double) override {}
    void setFunction(int token, bool plotVisible) override
    {
        if (!plotVisible)
            hidden.insert(token);
    }
    int initSeq(int, const VQList*) override { return 0; }
    void setStyle(int, const VQColor&, int) override {}
    void setColor(const VQColor&, int) override {}
    bool shouldPlotFunction(int token) const override { return hidden.count(token) == 0; }
    void deleteEquation(int token) override { equations.erase(token); }
    nlohmann::json encode() const override { return {}; }
    void decode(const nlohmann::json&) override {}
};

} // namespace orvenda::test
