#include "core/AnsValue.h"

namespace orvenda {

AnsValue::AnsValue() : value_(std::make_shared<const VQValue>(0.0)) {}

AnsValue& AnsValue::operator=(VQValue value)
{
    value_.store(std::make_shared<const VQValue>(std::move(value)));
    return *this;
}

template <class Change>
void AnsValue::change(Change&& change)
{
    VQValue next = *snapshot();
    change(next);
    *this = std::move(next);
}

void AnsValue::setANS(const Operand& op, int defaultDisplay)
{
    change([&](VQValue& v) { v.setANS(op, defaultDisplay); });
}

void AnsValue::setDisplayMod(int mod)
{
    change([&](VQValue& v) { v.setDisplayMod(mod); });
}

void AnsValue::setSigFigures(int sigFig)
{
    change([&](VQValue& v) { v.setSigFigures(sigFig); });
}

void AnsValue::setSigDecPlace(int sigDec)
{
    change([&](VQValue& v) { v.setSigDecPlace(sigDec); });
}

} // namespace orvenda
