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
    case 0x66: c.numFormat = 0; break;
    case 0x67: c.numFormat = 1; break;
    case 0x68: c.numFormat = 2; break;
    case 0x69: c.numDigits = -1; break;
    case 0x75: c.screenSplit = 0; break;
    case 0x76: c.setGraphMode(0); break;
    case 0x77: c.setGraphMode(1); break;
    case 0x78: c.setGraphMode(2); break;
    case 0x79: c.setGraphMode(3); break;
    case 0x7A: c.tableMode = 1; break;
    case 0x7B: c.tableMode = 0; break;
    // Graph format tokens.
    case 0x7E02: c.graphCoordFormat = 1; break;
    case 0x7E03: c.graphCoordFormat = 0; break;
    case 0x7E04: c.drawCoord = true; break;
    case 0x7E05: c.drawCoord = false; break;
    case 0x7E09:
        c.drawAxes = false;
        c.drawLabel = false;
        break;
    case 0x7E0A: c.drawGrid = true; break;
    case 0x7E0B: c.drawGrid = false; break;
    case 0x7E0C: c.drawLabel = true; break;
    case 0x7E0D: c.drawLabel = false; break;
    case 0x7E0E: c.graphSequenceFormat = 1; break;
    case 0x7E0F: c.graphSequenceFormat = 0; break;
    case 0x7E10: c.graphSequenceFormat = 2; break;
    case 0x7E11: c.graphSequenceFormat = 3; break;
    case 0x7E12: c.graphSequenceFormat = 4; break;
    // Payment timing is written straight into the slot; its pair stays.
    case 0xBB4B: c.vars[kSlotPaymentTiming] = {1.0, 0.0}; break;
    case 0xBB4C: c.vars[kSlotPaymentTiming] = {0.0, 0.0}; break;
    case 0xBB4D:
    case 0xBB4E:
    case 0xBB4F: c.setRealCplxMode(complexModeFor(token)); break;
    case 0xBB50: c.drawExpr = true; break;
    case 0xBB51: c.drawExpr = false; break;
    case 0xBB64: c.screenSplit = 1; break;
    case 0xBB66: c.regressionDiagnostic = true; break;
    case 0xBB67: c.regressionDiagnostic = false; break;
    case 0xEF36: c.mathPrint = true; break;
    case 0xEF37: c.mathPrint = false; break;
    case 0xEF3A: c.answerFormat = 0; break;
    case 0xEF3B: c.answerFormat = 1; break;
    case 0xEF3C: c.answerFormat = 2; break;
    case 0xEF64: c.backgroundColor = VQColor::colorR(1, 1, 1, 1); break;
    case 0x5C57:
        c.fractionFormat = 3;
        c.answerFormat = 2;
        break;
    case 0x5C5F: c.setGraphMode(4); break;
    case 0x5C66: c.answerFormat = 3; break;
    default:
        // Horiz, DependAuto, DependAsk, Sequential, Simul, Connected and Dot change nothing.
        break;
    }
}

} // namespace orvenda
