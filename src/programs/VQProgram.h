#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace orvenda {

// One program's opcodes in memory: the open program of the editor, an undo snapshot, a
// program read from a file. At most kMaxOps opcodes: an append or insert past that is
// dropped (the editor checks first and reports error 93). The buffer starts with room for
// 2000 opcodes and grows by 1000 at a time; it never shrinks.
class VQProgram {
public:
    using Ops = std::vector<std::uint32_t>;

    static constexpr int kMaxOps = 65535;
    static constexpr int kInitialCapacity = 2000;
    static constexpr int kGrowth = 1000;

    VQProgram();
    // A copy of the opcodes (an integer's low 32 bits each).
    static VQProgram programWithOps(std::span<const std::uint32_t> ops);

    // The opcode at index; 0 at or past the end (the cursor's end position reads there).
    std::uint32_t opcodeAtIndex(int index) const
    {
        return index >= 0 && index < length() ? ops_[static_cast<std::size_t>(index)] : 0;
    }
    // Appends unless the program is full.
    void appendOpcode(std::uint32_t op);
    // Inserts at the index, clamped to the program; nothing when the program is full.
    void insertOpcode(std::uint32_t op, int index);
    // Inserts the opcodes in order at min(index, length). Callers keep the total within
    // kMaxOps; an insert that would pass it is dropped whole.
    void insertOpcodes(std::span<const std::uint32_t> ops, int index);
    // The opcodes of the range cut at the end; nothing when it starts at or past the end.
    std::optional<Ops> cpyRange(int location, int count) const;
    // Replaces the opcode at an index inside the program.
    void setOpcode(std::uint32_t op, int index);
    // Removes a non-empty range that ends inside the program; otherwise nothing.
    void deleteRange(int location, int count);
    void deleteOpcodeAt(int index) { deleteRange(index, 1); }
    int length() const { return static_cast<int>(ops_.size()); }
    int allocatedSize() const { return static_cast<int>(ops_.capacity()); }
    void clear() { ops_.clear(); }
    // Every opcode (the form stored under "prgm", each as a signed 32-bit number there).
    const Ops& array() const { return ops_; }
    // For debugging: "<empty>", else "%4d¦NAME\n" for each opcode ("newline" for a line
    // break, "␠" for a blank).
    std::string description() const;

    bool operator==(const VQProgram& other) const { return ops_ == other.ops_; }

private:
    // Room for n more opcodes: the growth rule above.
    void reserveFor(std::size_t n);

    Ops ops_;
};

} // namespace orvenda
