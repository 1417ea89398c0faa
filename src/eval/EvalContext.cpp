#include "eval/EvalContext.h"

namespace orvenda {

constinit thread_local EvalContext::Binding* EvalContext::innermost_ = nullptr;

EvalContext::EvalContext(Calculator* calc)
    : opStack(calc),
      openParenStack(calc),
      exprStack(calc),
      evalStack(calc),
      ownRpnStack_(calc)
{
    listCounts.reserve(100);
    functionStart.reserve(5);
}

EvalContext::Binding::Binding(const Parser& parser, EvalContext& context)
    : parser_(&parser), context_(&context), outer_(innermost_)
{
    innermost_ = this;
}

EvalContext::Binding::~Binding()
{
    innermost_ = outer_;
}

} // namespace orvenda
