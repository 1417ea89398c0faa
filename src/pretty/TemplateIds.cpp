#include "pretty/TemplateIds.h"

namespace orvenda {

TemplateIds::TemplateIds(const std::vector<std::uint32_t>& ops)
{
    for (std::uint32_t op : ops)
        used_.set(op >> 16);
}

std::uint32_t TemplateIds::next(const std::vector<std::uint32_t>& ops)
{
    return TemplateIds(ops).take();
}

std::uint32_t TemplateIds::take()
{
    while (from_ < kNone && used_.test(from_))
        ++from_;
    if (from_ == kNone)
        return kNone;
    used_.set(from_);
    return from_;
}

} // namespace orvenda
