#include "core/TypedKeys.h"

#include <algorithm>

namespace orvenda {

TypedKeys::Id TypedKeys::push(int code)
{
    std::lock_guard lock(mutex_);
    keys_.push_back({++next_, code});
    return next_;
}

int TypedKeys::take()
{
    std::lock_guard lock(mutex_);
    const auto key = std::find_if(keys_.begin(), keys_.end(), [](const Key& k) { return k.code != 0; });
    if (key == keys_.end())
        return 0;
    const int code = key->code;
    keys_.erase(key);
    return code;
}

bool TypedKeys::claim(Id id)
{
    std::lock_guard lock(mutex_);
    const auto key = std::find_if(keys_.begin(), keys_.end(), [id](const Key& k) { return k.id == id; });
    if (key == keys_.end())
        return false;
    keys_.erase(key);
    return true;
}

bool TypedKeys::empty() const
{
    std::lock_guard lock(mutex_);
    return keys_.empty();
}

} // namespace orvenda
