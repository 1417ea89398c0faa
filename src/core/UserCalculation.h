#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace orvenda {

// A named token list, kept in archivable form.
class UserCalculation {
public:
    using Ops = std::vector<std::uint32_t>;

    UserCalculation() = default;
    UserCalculation(Ops opcodes, std::string desc)
        : opcodes_(std::move(opcodes))
        , desc_(std::move(desc))
    {
    }

    static UserCalculation userCalculationOpcodes(Ops opcodes, std::string desc)
    {
        return UserCalculation(std::move(opcodes), std::move(desc));
    }

    const Ops& opcodes() const { return opcodes_; }
    void setOpcodes(Ops opcodes) { opcodes_ = std::move(opcodes); }
    const std::string& desc() const { return desc_; }
    void setDesc(std::string desc) { desc_ = std::move(desc); }

    // "ops" and "desc".
    nlohmann::json encode() const;
    static UserCalculation decode(const nlohmann::json& archive);

private:
    Ops opcodes_;
    std::string desc_;
};

} // namespace orvenda
