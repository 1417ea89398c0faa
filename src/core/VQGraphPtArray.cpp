#include "core/VQGraphPtArray.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>

namespace orvenda {

VQGraphPtArray::VQGraphPtArray() : pts_(kBucket) {}

double VQGraphPtArray::keyOf(float x, float y)
{
    return std::bit_cast<double>(std::array<float, 2>{x, y});
}

VQGraphPtArray::Record* VQGraphPtArray::bucketIndexOf(double key, std::size_t& index)
{
    index = 0;
    for (std::size_t first = 0; first < count_; first += kBucket) {
        const auto begin = pts_.begin() + static_cast<std::ptrdiff_t>(first);
        const auto end = pts_.begin() + static_cast<std::ptrdiff_t>(std::min(first + kBucket, count_));
        const auto at = std::lower_bound(begin, end, key,
                                         [](const Record& r, double k) { return keyOf(r.x, r.y) < k; });
        index = static_cast<std::size_t>(at - pts_.begin());
        if (at != end && keyOf(at->x, at->y) == key)
            return &*at;
    }
    return nullptr;
}

VQGraphPtArray::Record& VQGraphPtArray::insertAt(std::size_t position)
{
    if (count_ + 1 >= allocated_) {
        allocated_ += kBucket;
        pts_.resize(allocated_);
    }
    const auto at = pts_.begin() + static_cast<std::ptrdiff_t>(position);
    std::move_backward(at, pts_.begin() + static_cast<std::ptrdiff_t>(count_), pts_.begin() + static_cast<std::ptrdiff_t>(count_ + 1));
    ++count_;
    return *at;
}

void VQGraphPtArray::deleteAt(std::size_t position)
{
    Record& record = pts_[position];
    record.r = record.g = record.b = 0;
    record.on = false;
}

bool VQGraphPtArray::find(double x, double y, Record*& found, std::size_t& index, float& fx, float& fy)
{
    fx = static_cast<float>(x);
    fy = static_cast<float>(y);
    // A NaN key would break the ordering every lookup relies on.
    if (!std::isfinite(fx) || !std::isfinite(fy))
        return false;
    found = bucketIndexOf(keyOf(fx, fy), index);
    return true;
}

void VQGraphPtArray::paint(Record& record, int mark, double r, double g, double b)
{
    const auto byte = [](double c) {
        const double v = c * 255;
        return static_cast<std::uint8_t>(v >= 0 && v <= 255 ? v : v > 255 ? 255 : 0);
    };
    record.mark = static_cast<std::uint8_t>(std::clamp(mark, 0, 255));
    record.r = byte(r);
    record.g = byte(g);
    record.b = byte(b);
    record.on = true;
}

void VQGraphPtArray::ptOnAtX(double x, double y, int mark, double r, double g, double b)
{
    Record* record = nullptr;
    std::size_t index = 0;
    float fx = 0, fy = 0;
    if (!find(x, y, record, index, fx, fy))
        return;
    if (!record) {
        record = &insertAt(index);
        record->x = fx;
        record->y = fy;
    }
    paint(*record, mark, r, g, b);
}

void VQGraphPtArray::ptOffAtX(double x, double y)
{
    Record* record = nullptr;
    std::size_t index = 0;
    float fx = 0, fy = 0;
    if (find(x, y, record, index, fx, fy) && record)
        deleteAt(index);
}

void VQGraphPtArray::ptChangeAtX(double x, double y, int mark, double r, double g, double b)
{
    Record* record = nullptr;
    std::size_t index = 0;
    float fx = 0, fy = 0;
    if (!find(x, y, record, index, fx, fy))
        return;
    if (record && record->on)
        deleteAt(index);
    else
        ptOnAtX(x, y, mark, r, g, b);
}

} // namespace orvenda
