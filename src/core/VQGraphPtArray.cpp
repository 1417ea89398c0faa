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

std::optional<VQGraphPtArray::Spot> VQGraphPtArray::find(double x, double y)
{
    Spot spot{nullptr, 0, static_cast<float>(x), static_cast<float>(y)};
    // A NaN key would break the ordering every lookup relies on.
    if (!std::isfinite(spot.x) || !std::isfinite(spot.y))
        return std::nullopt;
    spot.record = bucketIndexOf(keyOf(spot.x, spot.y), spot.index);
    return spot;
}

VQGraphPtArray::Record& VQGraphPtArray::recordAt(const Spot& spot)
{
    if (spot.record)
        return *spot.record;
    Record& record = insertAt(spot.index);
    record.x = spot.x;
    record.y = spot.y;
    return record;
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
    if (const auto spot = find(x, y))
        paint(recordAt(*spot), mark, r, g, b);
}

void VQGraphPtArray::ptOffAtX(double x, double y)
{
    if (const auto spot = find(x, y); spot && spot->record)
        deleteAt(spot->index);
}

void VQGraphPtArray::ptChangeAtX(double x, double y, int mark, double r, double g, double b)
{
    const auto spot = find(x, y);
    if (!spot)
        return;
    if (spot->record && spot->record->on)
        deleteAt(spot->index);
    else
        paint(recordAt(*spot), mark, r, g, b);
}

} // namespace orvenda
