#pragma once

// A calculator with its own notification bus and the home screen's models installed, and a
// recorder of what is posted on the bus.

#include "TestSupport.h"
#include "app/CursorBlink.h"
#include "app/EntryEvaluator.h"
#include "app/EntryModel.h"
#include "app/HistoryModel.h"
#include "app/KeyRouter.h"
#include "cases/ProgramSupport.h"
#include "core/Calculator.h"
#include "core/NotificationCenter.h"
#include "core/NotificationNames.h"
#include "eval/Parser.h"
#include "language/EntryText.h"
#include "pretty/PrettyPrint.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace orvenda::test {

// Names posted on a bus, in order, for the names asked for.
class Posted {
public:
    Posted(NotificationCenter& bus, std::initializer_list<std::string_view> names)
        : bus_(bus)
    {
        for (std::string_view name : names)
            bus_.addObserver(this, name, [this](const Notification& n) { names_.push_back(n.name); });
    }
    ~Posted() { bus_.removeObserver(this); }

    const std::vector<std::string>& names() const { return names_; }
    int count(std::string_view name) const
    {
        return static_cast<int>(std::count(names_.begin(), names_.end(), name));
    }
    void clear() { names_.clear(); }

private:
    NotificationCenter& bus_;
    std::vector<std::string> names_;
};

// The home screen's models on a calculator of their own; one-line (classic) entry unless a
// test switches MathPrint on.
class HomeTest : public ::testing::Test {
protected:
    HomeTest()
    {
        calc.locked()->mathPrint = false;
        calc.prettyPrint = std::make_shared<PrettyPrint>();
        calc.historyManager = history;
        calc.entryManager = entry;
    }

    // Typed at the cursor, each as its key adds it.
    void type(std::initializer_list<std::uint32_t> ops)
    {
        for (std::uint32_t op : ops)
            entry->addOpcode(op, calc.insert != 0);
    }

    NotificationCenter bus;
    Calculator calc{kUS, bus};
    std::shared_ptr<HistoryModel> history = std::make_shared<HistoryModel>(calc);
    std::shared_ptr<EntryModel> entry = std::make_shared<EntryModel>(calc);
};

// The home screen's key routing and result handling over those models: the program queue
// reports to a hand-pumped main queue, and the root controller records what it is asked.
class KeysTest : public HomeTest {
protected:
    static constexpr std::uint32_t kEnter = KeyRouter::kEnter;

    KeysTest()
    {
        calc.viewDelegate = view;
        calc.prgmManager = programs;
        calc.prgmOutputMgr = output;
        ProgramQueue& queue = calc.parser().programQueue();
        queue.setMainQueue(&main);
        queue.setResultHandler([this](const Operand& r) { evaluator.showResult(r); });
    }
    ~KeysTest() override
    {
        settle();
        calc.parser().programQueue().setResultHandler(nullptr);
        calc.parser().programQueue().setMainQueue(nullptr);
    }

    void press(std::initializer_list<std::uint32_t> keyOps)
    {
        for (std::uint32_t op : keyOps)
            keys.processKeyOp(op);
    }
    // Typed as the case files write a line, key by key.
    void type(const std::string& text)
    {
        std::string bad;
        const auto ops = EntryText().toOps(text, bad);
        ASSERT_TRUE(ops) << "no token for " << bad;
        for (std::uint32_t op : *ops)
            keys.processKeyOp(op);
    }
    // Every run finished and its reports handled.
    bool settle()
    {
        return main.pumpUntil([this] { return calc.parser().programQueueCount() == 0 && main.idle(); });
    }
    void enter(const std::string& text)
    {
        type(text);
        press({kEnter});
        settle();
    }
    // The newest history item as {input text, result}.
    std::pair<std::string, std::string> newest() const
    {
        if (history->history().empty())
            return {};
        const HistoryEntry& item = history->history().back();
        return {calc.stringFromOps(item.entry), item.result};
    }

    testing::ManualMainQueue main;
    std::shared_ptr<FakeView> view = std::make_shared<FakeView>();
    std::shared_ptr<testing::MemoryProgramManager> programs = std::make_shared<testing::MemoryProgramManager>();
    std::shared_ptr<testing::RecordingOutput> output = std::make_shared<testing::RecordingOutput>(calc);
    CursorBlink blink{calc};
    EntryEvaluator evaluator{calc, blink};
    KeyRouter keys{calc, evaluator, blink};
};

} // namespace orvenda::test
