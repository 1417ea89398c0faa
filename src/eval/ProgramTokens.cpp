#include "eval/ProgramTokens.h"

#include "core/Operand.h"

#include <memory>
#include <vector>

namespace orvenda::ProgramTokens {

Operand promptRecord(const Operand& variable)
{
    Operand r;
    r.kind = KindInputRequest;
    r.var = variable.var;
    r.location = variable.location;
    r.string = VQString{static_cast<std::uint32_t>(variable.var.token), kEqual, kQuestionMark};
    return r;
}

} // namespace orvenda::ProgramTokens
