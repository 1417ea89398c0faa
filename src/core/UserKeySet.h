#pragma once

#include <nlohmann/json.hpp>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orvenda {

// A named page of programmable keys. Slots 0..4 are the plain layer of the five keys,
// 5..9 their 2nd layer; 10..14 are kept and archived but not shown. Each slot holds a
// label and the ops the key enters, either of which may be absent.
class UserKeySet {
public:
    static constexpr int kKeyCount = 15;
    using Ops = std::vector<std::uint32_t>;

    UserKeySet() = default;
    explicit UserKeySet(std::string title, unsigned type = 0);

    const std::string& title() const { return title_; }
    void setTitle(std::string title) { title_ = std::move(title); }
    // 0 a set that comes with the system, 1 one the user added.
    unsigned type() const { return type_; }
    void setType(unsigned type) { type_ = type; }

    // Nothing for an empty slot or a slot outside 0..14.
    const Ops* nameForKey(int key) const;
    const Ops* opsForKey(int key) const;
    // Store a copy; slots outside 0..14 are ignored.
    void setName(const Ops& name, int key);
    void setOps(const Ops& ops, int key);

    const std::array<std::optional<Ops>, kKeyCount>& keyNames() const { return keyNames_; }
    const std::array<std::optional<Ops>, kKeyCount>& keyOps() const { return keyOps_; }

    nlohmann::json encode() const;
    static UserKeySet decode(const nlohmann::json& archive);

    bool operator==(const UserKeySet&) const = default;

private:
    std::string title_;
    unsigned type_ = 0;
    std::array<std::optional<Ops>, kKeyCount> keyNames_;
    std::array<std::optional<Ops>, kKeyCount> keyOps_;
};

} // namespace orvenda
