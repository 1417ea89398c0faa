#pragma once

// A Y= manager for tests and the case runner: equations kept by token and compiled
// through the parser on first use, as the Y= screens' manager compiles them, with the
// initial values of u, v and w kept in their variable slots.

#include "core/Calculator.h"
#include "core/VQList.h"
#include "core/VQStack.h"
#include "core/services/YEqManager.h"
#include "eval/Parser.h"

#include <map>
#include <memory>
#include <optional>

namespace orvenda::testing {

class CompilingYEq : public YEqManager {
public:
    explicit CompilingYEq(Parser& parser) : parser_(parser) {}

    std::map<int, Ops> equations;

    void clearAll() override
    {
        equations.clear();
        compiled_.clear();
    }
    std::string eqString(int) const override { return {}; }
    void changeMode(int) override {}
    std::optional<Ops> plotForFunction(int token) const override
    {
        auto it = equations.find(token);
        return it == equations.end() ? std::nullopt : std::optional<Ops>(it->second);
    }
    std::shared_ptr<VQStack> rpnForFunction(int token) override
    {
        if (auto done = compiled_.find(token); done != compiled_.end())
            return done->second.rpn;
        auto it = equations.find(token);
        if (it == equations.end() || it->second.empty())
            return nullptr;
        // Compiling leaves the caller's error alone.
        const int error = parser_.error(), errorToken = parser_.errorToken();
        Compiled compiled;
        if (isSequence(token)) {
            if (auto rpn = parser_.getSeqRPNfor(it->second, &compiled.flags); rpn && parser_.error() == 0)
                compiled.rpn = std::make_shared<VQStack>(std::move(*rpn));
        } else {
            Ops ops = it->second;
            VQStack rpn = parser_.getRPNfor(ops);
            if (parser_.error() == 0)
                compiled.rpn = std::make_shared<VQStack>(std::move(rpn));
        }
        parser_.setError(error);
        parser_.setErrorToken(errorToken);
        if (!compiled.rpn)
            return nullptr;
        return compiled_.insert_or_assign(token, compiled).first->second.rpn;
    }
    int seqFlagsFor(int token) override
    {
        if (!isSequence(token) || !rpnForFunction(token))
            return 0;
        return compiled_[token].flags;
    }
    int numSeqInitializersFor(int token) const override
    {
        auto it = initializers_.find(token);
        return it == initializers_.end() ? 0 : it->second;
    }
    int setYEqFunc(int token, const Ops& ops) override
    {
        equations[token] = ops;
        compiled_.erase(token);
        return 0;
    }
    void setYEqFunc(int, int, double, double, double, double) override {}
    void setFunction(int, bool) override {}
    // {a} sets the term before the first; {a, b} the two terms before it, a the later one.
    int initSeq(int token, const VQList* list) override
    {
        static constexpr int kFirst[3] = {32, 33, 78};
        static constexpr int kSecond[3] = {36, 37, 79};
        const int which = token - 0x5E83;
        if (which < 0 || which > 2 || !list || list->count() < 1 || list->count() > 2)
            return 13;
        if (list->type() != 0)
            return 15;
        Calculator& calc = parser_.calc;
        calc.locked()->vars[kFirst[which]] = list->realAtIndex(0);
        if (list->count() == 2)
            calc.locked()->vars[kSecond[which]] = list->realAtIndex(1);
        initializers_[0x5E80 + which] = list->count();
        return 0;
    }
    void setStyle(int, const VQColor&, int) override {}
    void setColor(const VQColor&, int) override {}
    bool shouldPlotFunction(int) const override { return true; }
    void deleteEquation(int token) override
    {
        equations.erase(token);
        compiled_.erase(token);
    }
    nlohmann::json encode() const override { return {}; }
    void decode(const nlohmann::json&) override {}

private:
    struct Compiled {
        std::shared_ptr<VQStack> rpn;
        int flags = 0;
    };
    static bool isSequence(int token) { return token >= 0x5E80 && token <= 0x5E82; }

    Parser& parser_;
    std::map<int, Compiled> compiled_;
    std::map<int, int> initializers_;
};

} // namespace orvenda::testing
