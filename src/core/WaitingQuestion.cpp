#include "core/WaitingQuestion.h"

#include "core/Calculator.h"
#include "core/services/ProgramManager.h"
#include "eval/Parser.h"
#include "eval/ProgramQueue.h"

namespace orvenda {

namespace {

constexpr int kProgramEditor = 2;
constexpr int kProgramOutput = 11;
constexpr int kGraph = 8;

} // namespace

bool WaitingQuestion::asks() const { return calc_.parser().programQueue().prompting(); }

bool WaitingQuestion::picks() const { return calc_.menuRunning; }

bool WaitingQuestion::waitsForUser() const { return asks() || picks() || calc_.pauseRunning; }

bool WaitingQuestion::waits() const { return waitsForUser() || calc_.parser().programQueue().programQueued(); }

bool WaitingQuestion::debugged() const { return calc_.prgmManager && calc_.prgmManager->debug(); }

int WaitingQuestion::screen() const { return debugged() ? kProgramEditor : kProgramOutput; }

bool WaitingQuestion::inSight() const { return calc_.currentScreen() == screen(); }

bool WaitingQuestion::pausedInSight() const
{
    return calc_.pauseRunning && (inSight() || calc_.currentScreen() == kGraph);
}

} // namespace orvenda
