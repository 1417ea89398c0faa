#include "eval/EvalContext.h"

namespace orvenda {

namespace {

// Innermost binding of the calling thread; each binding links to the one it covers.
thread_local EvalContext::Binding* innermost = nullptr;

} // namespace

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
    : parser_(&parser), context_(&context), outer_(innermost)
{
    innermost = this;
}

EvalContext::Binding::~Binding()
{
    innermost = outer_;
}

EvalContext* EvalContext::bound(const Parser& parser)
{
    for (Binding* b = innermost; b; b = b->outer_)
        if (b->parser_ == &parser)
            return b->context_;
    return nullptr;
}

} // namespace orvenda
