#include "core/ArchiveValues.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

using namespace orvenda;

namespace {

// A key that counts how often keys are compared, to measure the work of building an object.
long keyComparisons = 0;

struct CountedKey : std::string {
    using std::string::string;
    CountedKey() = default;
    CountedKey(const std::string& s)
        : std::string(s)
    {
    }
    friend bool operator==(const CountedKey& a, const CountedKey& b)
    {
        ++keyComparisons;
        return static_cast<const std::string&>(a) == static_cast<const std::string&>(b);
    }
};

using CountedJson = nlohmann::basic_json<nlohmann::ordered_map, std::vector, CountedKey>;

TEST(ArchiveValues, ObjectOfAMapComparesNoKeys)
{
    // Saving lists: one member per list, whatever their number, with no search per member
    // (a search each makes n members n²/2 comparisons, 5·10⁹ for 100 000 lists).
    for (const int n : {10, 1000, 20000}) {
        std::map<std::string, int> map;
        for (int k = 0; k < n; ++k)
            map.emplace("L" + std::to_string(k), k);
        keyComparisons = 0;
        const CountedJson object = ArchiveValues::objectOf<CountedJson>(map, [](int x) { return CountedJson(x * 2); });
        EXPECT_EQ(keyComparisons, 0) << n;
        ASSERT_EQ(object.size(), map.size());
        auto member = object.items().begin();
        for (const auto& [key, value] : map) {
            // Key to key: against a string clang finds the key's own == and the string's
            // equally good.
            EXPECT_EQ(member.key(), CountedKey(key));
            EXPECT_EQ(member.value().get<int>(), value * 2);
            ++member;
        }
    }
}

} // namespace
