// Strings, lists and matrices share their elements between the variable, the stack and
// Ans: what one owner then changes never shows in another, on the worker or the main thread.

#include "ProgramTestSupport.h"
#include "core/VQList.h"
#include "core/VQMatrix.h"
#include "core/VQValue.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace orvenda {
namespace {

using testing::ProgramHarness;
using Ops = std::vector<std::uint32_t>;

std::vector<double> reals(const Operand& r)
{
    std::vector<double> out;
    if (r.list)
        for (const VQNumber& n : r.list->v())
            out.push_back(n.r());
    return out;
}

Ops tokens(const Operand& r) { return r.string ? r.string->toVector() : Ops{}; }

TEST(SharedValues, TheVariableTheStackAndAnsShareOneString)
{
    ProgramHarness h;
    ASSERT_EQ(h.run("\"AB\"->Str1:Str1->Str2").error, 0);
    const Operand one = h.enter("Str1");
    const Operand two = h.enter("Str2");
    ASSERT_TRUE(one.string && two.string);
    EXPECT_TRUE(one.string->sharesWith(*two.string));
    EXPECT_TRUE(h.calc.ans.string()->sharesWith(*one.string));
}

TEST(SharedValues, AStoreAfterSharingLeavesTheOtherOwner)
{
    ProgramHarness h;
    // Str2 shares Str1's tokens; Str1 then grows in place and Str2 must not see it, nor
    // may Str2's own growth write over Str1's.
    ASSERT_EQ(h.run("\"AB\"->Str1:Str1->Str2:Str1+\"C\"->Str1:Str2+\"D\"->Str2").error, 0);
    EXPECT_EQ(tokens(h.enter("Str1")), (Ops{'A', 'B', 'C'}));
    EXPECT_EQ(tokens(h.enter("Str2")), (Ops{'A', 'B', 'D'}));

    // Ans taken before a join keeps its value.
    ASSERT_EQ(h.run("\"XY\"->Str3").error, 0);
    const VQValue before = h.calc.ans.snapshot();
    ASSERT_EQ(h.run("Str3+\"Z\"->Str3").error, 0);
    EXPECT_EQ(before.string()->toVector(), (Ops{'X', 'Y'}));
    EXPECT_EQ(tokens(h.enter("Str3")), (Ops{'X', 'Y', 'Z'}));
}

TEST(SharedValues, ListAliasesStayApart)
{
    ProgramHarness h;
    const struct {
        const char* program;
        std::vector<double> l1, l2;
    } cases[] = {
        {"{1,2,3}->L₁:L₁->L₂:5->L₂(1)", {1, 2, 3}, {5, 2, 3}},
        {"{1,2,3}->L₁:L₁->L₂:7->L₂(4)", {1, 2, 3}, {1, 2, 3, 7}},
        {"{1,2,3}->L₁:L₁->L₂:9->L₁(2)", {1, 9, 3}, {1, 2, 3}},
        {"{1,2,3}->L₁:L₁->L₂:SortD(L₂)", {1, 2, 3}, {3, 2, 1}},
        {"{1,2,3}->L₁:L₁->L₂:Fill(0,L₂)", {1, 2, 3}, {0, 0, 0}},
        {"{1,2,3}->L₁:L₁->L₂:2->dim(L₂)", {1, 2, 3}, {1, 2}},
        // Two joins onto the same list: the second must not write over the first's element.
        {"{1,2,3}->L₁:augment(L₁,{4})->L₂:augment(L₁,{9})->L₁", {1, 2, 3, 9}, {1, 2, 3, 4}},
        {"{1,2,3}->L₂:L₂->L₁:augment(L₂,{4})->L₂:7->L₁(4)", {1, 2, 3, 7}, {1, 2, 3, 4}},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(h.run(c.program).error, 0) << c.program;
        EXPECT_EQ(reals(h.enter("L₁")), c.l1) << c.program;
        EXPECT_EQ(reals(h.enter("L₂")), c.l2) << c.program;
    }
}

TEST(SharedValues, AnElementStoreLeavesAnsAlone)
{
    ProgramHarness h;
    ASSERT_EQ(h.run("{1,2}->L₁").error, 0);
    const VQValue ans = h.calc.ans.snapshot();
    ASSERT_TRUE(ans.list() && ans.list()->sharesWith(*h.enter("L₁").list));
    ASSERT_EQ(h.run("7->L₁(1)").error, 0);
    EXPECT_EQ(ans.list()->realAtIndex(0), 1);
    EXPECT_EQ(reals(h.enter("L₁")), (std::vector<double>{7, 2}));
}

TEST(SharedValues, MatrixCopiesStayApart)
{
    ProgramHarness h;
    ASSERT_EQ(h.run("[[1,2][3,4]]->[A]:[A]->[B]:9->[B](1,1):rowSwap([A],1,2)->[C]").error, 0);
    const Operand a = h.enter("[A]"), b = h.enter("[B]"), c = h.enter("[C]");
    ASSERT_TRUE(a.matrix && b.matrix && c.matrix);
    EXPECT_EQ(a.matrix->row(0, 0), 1);
    EXPECT_EQ(b.matrix->row(0, 0), 9);
    EXPECT_EQ(c.matrix->row(0, 0), 3);
    EXPECT_EQ(a.matrix->row(1, 0), 3);
}

// The main thread reads Ans while the worker keeps storing into the variables Ans shares
// its elements with: what a snapshot holds never changes under it.
TEST(SharedValues, SnapshotsOnTheMainThreadNeverChangeUnderTheReader)
{
    ProgramHarness h;
    h.store("T", "\"A\"->Str1:{0,0,0}->L₁\n"
                 "For(I,1,3000)\n"
                 "Str1+\"A\"->Str1\n"
                 "I->L₁(1):-I->L₁(3)\n"
                 "L₁\n"
                 "End");
    h.parser().startProgramThread(h.ops("prgmT"));
    while (h.queue().programQueueCount() != 0) {
        h.main.pump();
        const VQValue ans = h.calc.ans.snapshot();
        if (auto list = ans.list()) {
            const std::vector<double> first(list->realList());
            std::this_thread::yield();
            EXPECT_EQ(list->realList(), first);
        }
        if (auto string = ans.string()) {
            const std::size_t length = string->size();
            std::this_thread::yield();
            EXPECT_EQ(string->size(), length);
            for (std::uint32_t token : *string)
                EXPECT_EQ(token, std::uint32_t('A'));
        }
    }
    EXPECT_TRUE(h.settle());
    EXPECT_EQ(h.finals.back().error, 0);
    EXPECT_EQ(h.enter("length(Str1)").re(), 3001);
}

// Joins onto a string or list in a program loop run without the general evaluator: each
// program's variables and final Ans are those the same statements give as entry lines,
// which the general evaluator always runs.
TEST(SharedValues, LoopedJoinsGiveWhatTheGeneralEvaluatorGives)
{
    const struct {
        const char* setup;
        const char* statement;
        const char* check;
    } cases[] = {
        {"\"A\"->Str1", "Str1+\"BC\"->Str1", "Str1"},
        {"\"A\"->Str1:\"xy\"->Str2", "Str1+Str2->Str1", "Str1"},
        {"\"A\"->Str1", "Str1+Str1->Str1", "Str1"},
        {"{0}->L₁", "augment(L₁,{I,7})->L₁", "L₁"},
        {"{1,2}->L₂", "augment(L₂,{5})->L₂", "L₂"},
        // A complex variable and a list not stored are left to the general evaluator.
        {"{1}->L₁:1+2ɩ̇->Z", "augment(L₁,{Z})->L₁", "L₁"},
        {"ClrList L₃", "augment(L₃,{I})->L₃", "L₃"},
        {"{9}->L₁", "I->L₁(dim(L₁)+1)", "L₁"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.statement);
        ProgramHarness looped, typed;
        ASSERT_EQ(looped.run(std::string(c.setup) + ":For(I,1,4):" + c.statement + ":End").error, 0);
        ASSERT_EQ(typed.enter(c.setup).error, 0);
        for (int i = 1; i <= 4; ++i) {
            ASSERT_EQ(typed.enter(std::to_string(i) + "->I").error, 0);
            ASSERT_EQ(typed.enter(c.statement).error, 0);
        }
        const VQValue loopAns = looped.calc.ans.snapshot(), typedAns = typed.calc.ans.snapshot();
        EXPECT_EQ(loopAns.type(), typedAns.type());
        EXPECT_EQ(loopAns.description(), typedAns.description());
        const Operand a = looped.enter(c.check), b = typed.enter(c.check);
        EXPECT_EQ(a.kind, b.kind);
        EXPECT_EQ(tokens(a), tokens(b));
        ASSERT_EQ(reals(a), reals(b));
        for (int k = 0; a.list && k < a.list->count(); ++k) {
            EXPECT_EQ(a.list->complexAtIndex(k), b.list->complexAtIndex(k));
            EXPECT_EQ(a.list->sigFigAtIndex(k), b.list->sigFigAtIndex(k));
            EXPECT_EQ(a.list->sigDecAtIndex(k), b.list->sigDecAtIndex(k));
        }
    }
}

// A looped join stops where augment( does: at 999 elements, with error 24 and the list
// as it was.
TEST(SharedValues, ALoopedJoinStopsAtTheLongestList)
{
    ProgramHarness h;
    const Operand r = h.run("997->dim(L₁):For(I,1,3):augment(L₁,{I})->L₁:End");
    EXPECT_EQ(r.error, 24);
    EXPECT_EQ(h.enter("dim(L₁)").re(), 999);
    EXPECT_EQ(h.enter("L₁(999)").re(), 2);
}

// A loop ending on a real statement leaves that real in Ans, not the string joined before.
TEST(SharedValues, AnsIsTheLastValueTheLoopGave)
{
    ProgramHarness h;
    ASSERT_EQ(h.run("\"A\"->Str1:For(I,1,3):Str1+\"B\"->Str1:2I->B:End").error, 0);
    EXPECT_EQ(h.calc.ans.type(), VQValue::TypeReal);
    EXPECT_EQ(h.calc.ans.r(), 6);
    ASSERT_EQ(h.run("For(I,1,3):2I->B:Str1+\"C\"->Str1:End").error, 0);
    EXPECT_EQ(h.calc.ans.string()->toVector(), (Ops{'A', 'B', 'B', 'B', 'C', 'C', 'C'}));
}

} // namespace
} // namespace orvenda
