#pragma once

// The home screen's models and result handling on a calculator of its own, as the case
// runner and the entry-line fuzzer drive them: ENTER through the key router, the program
// queue reporting to a main queue pumped by hand.

#include "app/CursorBlink.h"
#include "app/EntryEvaluator.h"
#include "app/EntryModel.h"
#include "app/HistoryModel.h"
#include "app/KeyRouter.h"
#include "core/Calculator.h"
#include "core/NotificationCenter.h"
#include "eval/Parser.h"
#include "pretty/PrettyPrint.h"

#include "EquationSupport.h"
#include "ProgramSupport.h"
#include "TestSupport.h"

#include <chrono>
#include <memory>

namespace orvenda::cases {

class Home {
public:
    // The case files write lines in one-line form; on the MathPrint home screen those
    // lines are entered as they are.
    explicit Home(bool mathPrint) : calc(test::kUS, notifications)
    {
        calc.locked()->mathPrint = mathPrint;
        calc.prettyPrint = std::make_shared<PrettyPrint>();
        calc.historyManager = history;
        calc.entryManager = entry;
        calc.viewDelegate = view;
        calc.prgmManager = programs;
        calc.prgmOutputMgr = output;
        calc.yEqManager = std::make_shared<testing::CompilingYEq>(calc.parser());
        ProgramQueue& queue = calc.parser().programQueue();
        queue.setMainQueue(&main);
        queue.setResultHandler([this](const Operand& r) { evaluator.showResult(r); });
    }
    ~Home()
    {
        calc.parser().programQueue().setResultHandler(nullptr);
        calc.parser().programQueue().setMainQueue(nullptr);
    }

    // Every run finished and its reports handled within the limit.
    bool settle(std::chrono::milliseconds limit)
    {
        return main.pumpUntil([this] { return calc.parser().programQueueCount() == 0 && main.idle(); }, limit);
    }

    NotificationCenter notifications;
    Calculator calc;
    testing::ManualMainQueue main;
    std::shared_ptr<HistoryModel> history = std::make_shared<HistoryModel>(calc);
    std::shared_ptr<EntryModel> entry = std::make_shared<EntryModel>(calc);
    std::shared_ptr<test::FakeView> view = std::make_shared<test::FakeView>();
    std::shared_ptr<testing::MemoryProgramManager> programs = std::make_shared<testing::MemoryProgramManager>();
    std::shared_ptr<testing::RecordingOutput> output = std::make_shared<testing::RecordingOutput>(calc);
    CursorBlink blink{calc};
    EntryEvaluator evaluator{calc, blink};
    KeyRouter keys{calc, evaluator, blink};
};

} // namespace orvenda::cases
