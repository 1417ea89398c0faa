#include "eval/ModeTokenHandlers.h"

#include "core/Calculator.h"
#include "core/VQColor.h"
#include "eval/EvalRun.h"
#include "language/VariableSlots.h"

namespace orvenda {

bool ModeTokenHandlers::isModeToken(int t)
{
    return (t >= 0x64 && t <= 0x69) || (t >= 0x74 && t <= 0x7D) || (t >= 0x7E00 && t <= 0x7E12 && t != 0x7E08)
        || (t >= 0xBB4B && t <= 0xBB51) || t == 0xBB64 || t == 0xBB66 || t == 0xBB67 || t == 0xEF36 || t == 0xEF37
        || (t >= 0xEF3A && t <= 0xEF3C) || t == 0xEF64 || t == 0x5C57 || t == 0x5C5F || t == 0x5C66;
}

int ModeTokenHandlers::complexModeFor(int token)
{
    switch (token) {
    case 0xBB4D: return 0;
    case 0xBB4E: return 2;
    case 0xBB4F: return 1;
    default: return -1;
    }
}

bool ModeTokenHandlers::handle(int token, Operand& R)
{
    if (!isModeToken(token))
        return false;
    apply(token);
    R.kind = KindDone;
    R.opcode = static_cast<std::uint32_t>(token);
    return true;
}

bool ModeTokenHandlers::handle(EvalRun& run)
{
    if (!handle(run.token, run.R))
        return false;
    if (complexModeFor(run.token) >= 0)
        run.savedComplexSwitch = -1;
    return true;
}

void ModeTokenHandlers::apply(int token)
{
    Calculator& c = calc_;
    switch (token) {
    // One-byte mode tokens.
    case 0x64: c.setAngleFormat(1); break;
    case 0x65: c.setAngleFormat(0); break;
    case 0x66: c.state().numFormat = 0; break;
    case 0x67: c.state().numFormat = 1; break;
    case 0x68: c.state().numFormat = 2; break;
    case 0x69: c.state().numDigits = -1; break;
    case 0x75: c.state().screenSplit = 0; break;
    case 0x76: c.setGraphMode(0); break;
    case 0x77: c.setGraphMode(1); break;
    case 0x78: c.setGraphMode(2); break;
    case 0x79: c.setGraphMode(3); break;
    case 0x7A: c.state().tableMode = 1; break;
    case 0x7B: c.state().tableMode = 0; break;
    // Graph format tokens.
    case 0x7E02: c.state().graphCoordFormat = 1; break;
    case 0x7E03: c.state().graphCoordFormat = 0; break;
    case 0x7E04: c.state().drawCoord = true; break;
    case 0x7E05: c.state().drawCoord = false; break;
    case 0x7E09:
        c.state().drawAxes = false;
        c.state().drawLabel = false;
        break;
    case 0x7E0A: c.state().drawGrid = true; break;
    case 0x7E0B: c.state().drawGrid = false; break;
    case 0x7E0C: c.state().drawLabel = true; break;
    case 0x7E0D: c.state().drawLabel = false; break;
    case 0x7E0E: c.state().graphSequenceFormat = 1; break;
    case 0x7E0F: c.state().graphSequenceFormat = 0; break;
    case 0x7E10: c.state().graphSequenceFormat = 2; break;
    case 0x7E11: c.state().graphSequenceFormat = 3; break;
    case 0x7E12: c.state().graphSequenceFormat = 4; break;
    // Payment timing is written straight into the slot; its pair stays.
    case 0xBB4B: c.state().vars[kSlotPaymentTiming] = {1.0, 0.0}; break;
    case 0xBB4C: c.state().vars[kSlotPaymentTiming] = {0.0, 0.0}; break;
    case 0xBB4D:
    case 0xBB4E:
    case 0xBB4F: c.setRealCplxMode(complexModeFor(token)); break;
    case 0xBB50: c.state().drawExpr = true; break;
    case 0xBB51: c.state().drawExpr = false; break;
    case 0xBB64: c.state().screenSplit = 1; break;
    case 0xBB66: c.state().regressionDiagnostic = true; break;
    case 0xBB67: c.state().regressionDiagnostic = false; break;
    case 0xEF36: c.state().mathPrint = true; break;
    case 0xEF37: c.state().mathPrint = false; break;
    case 0xEF3A: c.state().answerFormat = 0; break;
    case 0xEF3B: c.state().answerFormat = 1; break;
    case 0xEF3C: c.state().answerFormat = 2; break;
    case 0xEF64: c.state().backgroundColor = VQColor::colorR(1, 1, 1, 1); break;
    case 0x5C57:
        c.state().fractionFormat = 3;
        c.state().answerFormat = 2;
        break;
    case 0x5C5F: c.setGraphMode(4); break;
    case 0x5C66: c.state().answerFormat = 3; break;
    default:
        // Horiz, DependAuto, DependAsk, Sequential, Simul, Connected and Dot change nothing.
        break;
    }
}

} // namespace orvenda
