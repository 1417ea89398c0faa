#include "core/ArchiveCost.h"

#include "core/Calculator.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace orvenda;
using namespace orvenda::test;
using json = nlohmann::json;

namespace {

ArchiveCost archiveCostOf(const json& v)
{
    ArchiveCost cost{1, 0, 0};
    if (v.is_structured()) {
        cost.containers = 1;
        for (const json& child : v)
            cost += archiveCostOf(child);
    }
    return cost;
}

} // namespace

// What a list, a string and a matrix are counted is what their archive holds: the values
// and the lists and maps to the one, the bytes never fewer (numbers, tokens and pairs of
// every length, and the names' keys).
TEST(ArchiveCost, CountsAsTheArchiveIsWritten)
{
    Calculator calc(kUS);
    VQList list;
    for (int k = 0; k < 999; ++k)
        k % 3 ? list.addReal(k / 7.0, k % 2 ? 2'000'000'000 : -128, -k) : list.addComplex({1e300 * k, -0.1});
    Ops ops;
    for (std::uint32_t k = 0; k < 70000; ++k)
        ops.push_back(k * 61001u);
    {
        auto s = calc.locked();
        s->lists["ABCDE"] = list;
        s->strings[3] = ops;
        s->matrices[2] = *VQMatrix::matrixWithRow(99, 98);
        s->tableList = list;
    }
    const json archive = *MemoryArchive::parse(MemoryArchive::save(calc));
    const struct {
        const char* name;
        const json& archived;
        ArchiveCost counted;
        std::size_t keyBytes;
    } parts[] = {
        {"list", archive["lists"]["ABCDE"], ArchiveCost::ofList("ABCDE", 999), 6},
        {"empty list", archive["lists"]["L₁"], ArchiveCost::ofList("L₁", 0), 5},
        {"string", archive["strings"][3], ArchiveCost::ofString(ops.size()), 0},
        {"empty string", archive["strings"][0], ArchiveCost::ofString(0), 0},
        {"matrix", archive["matrices"][2], ArchiveCost::ofMatrix(99, 98), 0},
        {"empty matrix", archive["matrices"][0], ArchiveCost::ofMatrix(0, 0), 0},
        {"table list", archive["tblLst"], ArchiveCost::ofTableList(999), 0},
    };
    for (const auto& p : parts) {
        SCOPED_TRACE(p.name);
        const ArchiveCost written = archiveCostOf(p.archived);
        EXPECT_EQ(p.counted.values, written.values);
        EXPECT_EQ(p.counted.containers, written.containers);
        EXPECT_GE(p.counted.bytes, static_cast<std::int64_t>(json::to_cbor(p.archived).size() + p.keyBytes));
    }
}
