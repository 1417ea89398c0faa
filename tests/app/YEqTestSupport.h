#pragma once

// A calculator with the real Y= model, a notification bus of its own and a view that
// records the errors it is asked to show.

#include "TestSupport.h"
#include "app/YEqModel.h"
#include "cases/EntryText.h"
#include "core/NotificationCenter.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace orvenda::test {

// Equation tokens.
enum : int {
    kY1 = 0x5E10, kY2 = 0x5E11, kSolverEq = 0x5E1A, kX1T = 0x5E20, kY1T = 0x5E21, kX2T = 0x5E22, kY2T = 0x5E23,
    kR1 = 0x5E40, kU = 0x5E80, kV = 0x5E81, kW = 0x5E82, kU0 = 0x5E83, kXY1 = 0x5EA0
};

class ErrorView : public FakeView {
public:
    std::vector<int> errors;
    void VCShowError(const nlohmann::json& error) override { errors.push_back(error.at("errorNum").get<int>()); }
};

// Typed text as tokens; u, v and w are the sequences.
inline Ops ops(const std::string& text)
{
    static const cases::EntryText entry;
    std::string bad;
    auto tokens = entry.toOps(text, bad);
    EXPECT_TRUE(tokens) << "no token for " << bad;
    Ops out = tokens.value_or(Ops{});
    for (std::uint32_t& op : out)
        if (op >= 0xBBC5 && op <= 0xBBC7)
            op = op - 0xBBC5 + 0x5E80;
    return out;
}

struct YEqCalc {
    NotificationCenter bus;
    Calculator calc{kUS, bus};
    std::shared_ptr<YEqModel> eq = std::make_shared<YEqModel>(calc);
    std::shared_ptr<ErrorView> view = std::make_shared<ErrorView>();

    YEqCalc()
    {
        calc.yEqManager = eq;
        calc.viewDelegate = view;
    }
    ~YEqCalc() { calc.yEqManager.reset(); }
    std::string text(int token) const { return calc.stringFromOps(eq->equationOps(token).value_or(Ops{})); }
};

} // namespace orvenda::test
