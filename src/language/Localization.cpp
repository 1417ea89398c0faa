#include "language/Localization.h"

namespace orvenda {

const Localization& Localization::shared()
{
    static const Localization instance;
    return instance;
}

Localization::Localization()
{
    for (auto family : {errorTexts(), opcodeTexts(), descriptionTexts(), interfaceTexts()}) {
        table_.reserve(table_.size() + family.size());
        for (const Entry& e : family)
            table_.emplace(e.key, e.text);
    }
}

std::string Localization::text(std::string_view key) const
{
    auto it = table_.find(key);
    return std::string(it == table_.end() ? key : it->second);
}

std::string Localization::text(std::string_view key, std::string_view fallback) const
{
    auto it = table_.find(key);
    return std::string(it == table_.end() ? fallback : it->second);
}

} // namespace orvenda
