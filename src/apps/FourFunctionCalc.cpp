#include "apps/FourFunctionCalc.h"

#include <cmath>
#include <limits>

namespace orvenda {

FourFunctionCalc::FourFunctionCalc(const NumberFormatter::Settings& settings) : format_(settings)
{
    format_.settings.numFormat = 0;
    format_.settings.numDigits = -1;
    format_.settings.maxWidth = 12;
    format_.settings.numBase = 0;
    format_.settings.thousandSeperator = u' ';
    text_.reserve(16);
}

void FourFunctionCalc::startEntryIfNeeded()
{
    if (!startEntry_)
        return;
    y_ = x_;
    x_ = 0;
    text_.clear();
    startEntry_ = false;
}

void FourFunctionCalc::key(int code)
{
    if (code >= 0 && code <= 9) {
        startEntryIfNeeded();
        if (text_.size() < kMaxDigits) {
            text_ += static_cast<char>('0' + code);
            if (decimal_) {
                x_ += code / divisor_;
                divisor_ *= 10;
            } else {
                x_ = x_ * 10 + code;
            }
        }
        return;
    }
    switch (code) {
    case Point:
        startEntryIfNeeded();
        if (!decimal_ && text_.size() < kMaxDigits) {
            decimal_ = true;
            divisor_ = 10;
            text_ += '.';
        }
        break;
    case Clear:
        x_ = y_ = 0;
        sign_ = 1;
        startEntry_ = true;
        decimal_ = false;
        op_ = NoOp;
        text_ = "0";
        break;
    case Equals: equal(); break;
    case Divide: case Times: case Plus: processOp(code); break;
    case Minus:
        if (startEntry_)
            sign_ = -1;
        else
            processOp(Minus);
        break;
    default: break;
    }
}

void FourFunctionCalc::processOp(int code)
{
    equal();
    op_ = code;
    startEntry_ = true;
    decimal_ = false;
    sign_ = 1;
}

void FourFunctionCalc::equal()
{
    constexpr double kInf = std::numeric_limits<double>::infinity();
    x_ *= sign_;
    switch (op_) {
    case Divide:
        // 0 ÷ 0 has no value: it is an error, not an infinity.
        if (x_ == 0)
            x_ = y_ == 0 ? std::numeric_limits<double>::quiet_NaN() : y_ < 0 ? -kInf : kInf;
        else
            x_ = y_ / x_;
        break;
    case Times: x_ = y_ * x_; break;
    case Plus: x_ = y_ + x_; break;
    case Minus: x_ = y_ - x_; break;
    default:
        if (sign_ < 0)
            x_ = x_ + y_;
        break;
    }
    op_ = NoOp;
    startEntry_ = true;
    decimal_ = false;
    sign_ = 1;
    y_ = 0;
    if (std::isnan(x_))
        text_ = kErrorText;
    else if (std::isinf(x_))
        text_ = x_ > 0 ? "infinity" : "-infinity";
    else
        text_ = format_.formatReal(x_);
}

} // namespace orvenda
