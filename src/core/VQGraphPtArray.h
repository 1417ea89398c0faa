#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace orvenda {

// The point marks drawn on the graph by Pt-On(, Pt-Change( and Pt-Off(, one 16-byte record
// per point in one buffer that grows 800 records at a time. The buffer is cut by position
// into buckets of 800 records, each kept in order of its records' key (the two coordinates
// as one double); a new record goes into the last bucket. Used on the main thread only.
class VQGraphPtArray {
public:
    struct Record {
        float x = 0;
        float y = 0;
        std::uint8_t r = 0;
        std::uint8_t g = 0;
        std::uint8_t b = 0;
        std::uint8_t mark = 0;
        // Whether the point shows. An erased point keeps its record; black is a colour
        // like any other, not the erased state.
        bool on = false;
        std::uint8_t unused[3] = {};
    };
    static_assert(sizeof(Record) == 16);

    static constexpr std::size_t kBucket = 800;

    VQGraphPtArray();

    const Record* points() const { return pts_.data(); }
    std::size_t count() const { return count_; }
    std::size_t allocated() const { return allocated_; }

    // The record whose key equals key, with its position in index; else null, with the
    // insertion position within the last bucket searched in index (0 when empty).
    Record* bucketIndexOf(double key, std::size_t& index);
    // Opens a record at position (growing the buffer when count + 1 reaches the capacity)
    // and returns it with its old contents for the caller to fill.
    Record& insertAt(std::size_t position);
    // Erases the point: colour 0, 0, 0 and off; the record stays.
    void deleteAt(std::size_t position);

    // Coordinates are kept in single precision, so points closer than that are one point.
    // A point that is not finite in single precision is refused. Colour components 0..1.
    void ptOnAtX(double x, double y, int mark, double r, double g, double b);
    void ptOffAtX(double x, double y);
    // Adds the point when there is none or it is erased; erases it when it shows.
    void ptChangeAtX(double x, double y, int mark, double r, double g, double b);
    // Empties the array; the buffer keeps its capacity.
    void clear() { count_ = 0; }

    // The key of a point: its two single-precision coordinates read as one double.
    static double keyOf(float x, float y);

private:
    // Where a point is: its record (null when there is none yet), that record's position
    // or the insertion position, and its coordinates as kept.
    struct Spot {
        Record* record = nullptr;
        std::size_t index = 0;
        float x = 0, y = 0;
    };
    // Nothing for a point that is refused.
    std::optional<Spot> find(double x, double y);
    // The spot's record, inserted when there is none.
    Record& recordAt(const Spot& spot);
    static void paint(Record& record, int mark, double r, double g, double b);

    std::vector<Record> pts_;
    std::size_t allocated_ = kBucket;
    std::size_t count_ = 0;
};

} // namespace orvenda
