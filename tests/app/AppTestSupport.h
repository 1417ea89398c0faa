#pragma once

// A calculator with its own notification bus and the home screen's models installed, and a
// recorder of what is posted on the bus.

#include "TestSupport.h"
#include "app/EntryModel.h"
#include "app/HistoryModel.h"
#include "core/Calculator.h"
#include "core/NotificationCenter.h"
#include "core/NotificationNames.h"
#include "pretty/PrettyPrint.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace orvenda::test {

// Names posted on a bus, in order, for the names asked for.
class Posted {
public:
    Posted(NotificationCenter& bus, std::initializer_list<std::string_view> names)
        : bus_(bus)
    {
        for (std::string_view name : names)
            bus_.addObserver(this, name, [this](const Notification& n) { names_.push_back(n.name); });
    }
    ~Posted() { bus_.removeObserver(this); }

    const std::vector<std::string>& names() const { return names_; }
    int count(std::string_view name) const
    {
        return static_cast<int>(std::count(names_.begin(), names_.end(), name));
    }
    void clear() { names_.clear(); }

private:
    NotificationCenter& bus_;
    std::vector<std::string> names_;
};

// The home screen's models on a calculator of their own; one-line (classic) entry unless a
// test switches MathPrint on.
class HomeTest : public ::testing::Test {
protected:
    HomeTest()
    {
        calc.mathPrint = false;
        calc.prettyPrint = std::make_shared<PrettyPrint>();
        calc.historyManager = history;
        calc.entryManager = entry;
    }

    // Typed at the cursor, each as its key adds it.
    void type(std::initializer_list<std::uint32_t> ops)
    {
        for (std::uint32_t op : ops)
            entry->addOpcode(op, calc.insert != 0);
    }

    NotificationCenter bus;
    Calculator calc{kUS, bus};
    std::shared_ptr<HistoryModel> history = std::make_shared<HistoryModel>(calc);
    std::shared_ptr<EntryModel> entry = std::make_shared<EntryModel>(calc);
};

} // namespace orvenda::test
