#include "core/UserKeySet.h"

namespace orvenda {

namespace {

bool validKey(int key)
{
    return key >= 0 && key < UserKeySet::kKeyCount;
}

nlohmann::json encodeSlots(const std::array<std::optional<UserKeySet::Ops>, UserKeySet::kKeyCount>& slots)
{
    nlohmann::json out = nlohmann::json::array();
    for (const auto& slot : slots)
        out.push_back(slot ? nlohmann::json(*slot) : nlohmann::json());
    return out;
}

// A damaged slot (not an array of op numbers) reads as empty rather than failing the set.
void decodeSlots(const nlohmann::json& in, std::array<std::optional<UserKeySet::Ops>, UserKeySet::kKeyCount>& slots)
{
    if (!in.is_array())
        return;
    for (std::size_t k = 0; k < in.size() && k < slots.size(); ++k) {
        const auto& slot = in[k];
        if (!slot.is_array())
            continue;
        UserKeySet::Ops ops;
        ops.reserve(slot.size());
        bool ok = true;
        for (const auto& op : slot) {
            if (!op.is_number_integer()) {
                ok = false;
                break;
            }
            ops.push_back(static_cast<std::uint32_t>(op.get<std::int64_t>()));
        }
        if (ok)
            slots[k] = std::move(ops);
    }
}

} // namespace

UserKeySet::UserKeySet(std::string title, unsigned type)
    : title_(std::move(title))
    , type_(type)
{
}

const UserKeySet::Ops* UserKeySet::nameForKey(int key) const
{
    if (!validKey(key) || !keyNames_[key])
        return nullptr;
    return &*keyNames_[key];
}

const UserKeySet::Ops* UserKeySet::opsForKey(int key) const
{
    if (!validKey(key) || !keyOps_[key])
        return nullptr;
    return &*keyOps_[key];
}

void UserKeySet::setName(const Ops& name, int key)
{
    if (validKey(key))
        keyNames_[key] = name;
}

void UserKeySet::setOps(const Ops& ops, int key)
{
    if (validKey(key))
        keyOps_[key] = ops;
}

nlohmann::json UserKeySet::encode() const
{
    return {
        {"title", title_},
        {"type", type_},
        {"names", encodeSlots(keyNames_)},
        {"ops", encodeSlots(keyOps_)},
    };
}

UserKeySet UserKeySet::decode(const nlohmann::json& archive)
{
    UserKeySet set;
    if (!archive.is_object())
        return set;
    if (auto it = archive.find("title"); it != archive.end() && it->is_string())
        set.title_ = it->get<std::string>();
    if (auto it = archive.find("type"); it != archive.end() && it->is_number_integer())
        set.type_ = static_cast<unsigned>(it->get<std::int64_t>());
    if (auto it = archive.find("names"); it != archive.end())
        decodeSlots(*it, set.keyNames_);
    if (auto it = archive.find("ops"); it != archive.end())
        decodeSlots(*it, set.keyOps_);
    return set;
}

} // namespace orvenda
