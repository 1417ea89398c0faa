#pragma once

#include "core/Operand.h"

#include <cstdint>
#include <string>
#include <vector>

namespace orvenda {

// A stored program carried by a program-call record.
class ProgramObject : public OperandObject {
public:
    ProgramObject(std::string name, std::vector<std::uint32_t> ops) : name(std::move(name)), ops(std::move(ops)) {}
    std::string name;
    std::vector<std::uint32_t> ops;
};

} // namespace orvenda
