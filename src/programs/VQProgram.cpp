#include "programs/VQProgram.h"

#include "language/Vocabulary.h"

#include <algorithm>
#include <cstdio>

namespace orvenda {

namespace {

constexpr std::uint32_t kLineBreak = 0x3F;
constexpr std::uint32_t kSpace = 0x29;

} // namespace

VQProgram::VQProgram() { ops_.reserve(kInitialCapacity); }

VQProgram VQProgram::programWithOps(std::span<const std::uint32_t> ops)
{
    VQProgram program;
    program.insertOpcodes(ops, 0);
    return program;
}

void VQProgram::reserveFor(std::size_t n)
{
    if (ops_.size() + n <= ops_.capacity())
        return;
    // One opcode more grows by a step; a range grows by its size and a step.
    ops_.reserve(n == 1 ? ops_.capacity() + kGrowth : ops_.capacity() + n + kGrowth);
}

void VQProgram::appendOpcode(std::uint32_t op)
{
    if (length() >= kMaxOps)
        return;
    reserveFor(1);
    ops_.push_back(op);
}

void VQProgram::insertOpcode(std::uint32_t op, int index)
{
    if (length() >= kMaxOps)
        return;
    reserveFor(1);
    ops_.insert(ops_.begin() + std::clamp(index, 0, length()), op);
}

void VQProgram::insertOpcodes(std::span<const std::uint32_t> ops, int index)
{
    if (ops.empty() || ops.size() > static_cast<std::size_t>(kMaxOps - length()))
        return;
    reserveFor(ops.size());
    ops_.insert(ops_.begin() + std::clamp(index, 0, length()), ops.begin(), ops.end());
}

std::optional<VQProgram::Ops> VQProgram::cpyRange(int location, int count) const
{
    if (location < 0 || location >= length())
        return std::nullopt;
    const int end = count <= 0 ? location : std::min(length(), location + std::min(count, length()));
    return Ops(ops_.begin() + location, ops_.begin() + std::max(location, end));
}

void VQProgram::setOpcode(std::uint32_t op, int index)
{
    if (index >= 0 && index < length())
        ops_[static_cast<std::size_t>(index)] = op;
}

void VQProgram::deleteRange(int location, int count)
{
    if (count <= 0 || location < 0 || count > length() - location)
        return;
    ops_.erase(ops_.begin() + location, ops_.begin() + location + count);
}

std::string VQProgram::description() const
{
    if (ops_.empty())
        return "<empty>";
    const Vocabulary& names = Vocabulary::shared();
    std::string text;
    char index[24];
    for (std::size_t i = 0; i < ops_.size(); ++i) {
        std::snprintf(index, sizeof index, "%4zu", i);
        const std::uint32_t t = ops_[i] & 0xFFFF;
        text += index;
        text += "¦";
        text += t == kLineBreak ? std::string("newline") : t == kSpace ? std::string("␠") : names.nameForOpcode(ops_[i]);
        text += '\n';
    }
    return text;
}

} // namespace orvenda
