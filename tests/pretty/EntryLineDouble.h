#pragma once

// The home screen's MathPrint entry line as far as editing goes, following the key routing
// hub and the entry line's editing operations step by step, over a PrettyPrint engine:
// pretty insertion with its cursor adjustment, adding ops with overwrite protection and
// the automatic Ans, pretty delete, and the cursor keys.

#include "pretty/PrettyPrint.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace orvenda::test {

class EntryLineDouble {
public:
    using Ops = std::vector<std::uint32_t>;

    explicit EntryLineDouble(PrettyPrint& engine, double fontSize = 20) : pp_(engine), size_(fontSize) {}

    Ops ops;
    int cursor = 0;
    int insert = 0;

    // A token key: the engine's template expansion, then the ops added at the cursor.
    void key(std::uint32_t op)
    {
        int c = cursor;
        int adjust = 0;
        const Ops add = pp_.enterOp(op, c, ops, adjust, insert);
        if (c != cursor)
            cursor = c;
        addOps(add, insert != 0);
        if (adjust != 0) {
            cursor = c + (adjust == PrettyPrint::kNoAdjustment ? 0 : adjust);
            insert = 0;
        }
    }

    void del()
    {
        if (ops.empty() || cursor >= static_cast<int>(ops.size()))
            return;
        load();
        const int next = pp_.deleteAt(cursor, insert);
        ops = pp_.inputOps();
        if (next != cursor)
            cursor = std::clamp(next, 0, static_cast<int>(ops.size()));
    }

    void left()
    {
        load();
        cursor = pp_.cursorLeftAt(cursor);
        pp_.updateBoundsCursorPos(cursor, insert);
    }
    void right()
    {
        load();
        cursor = pp_.cursorRightAt(cursor);
    }
    // Up or Down: the new cursor, or −1 (the cursor stays).
    int up() { return vertical(true); }
    int down() { return vertical(false); }
    void home()
    {
        insert = 0;
        load();
        cursor = pp_.cursorHome();
    }
    void end()
    {
        insert = 0;
        load();
        cursor = pp_.cursorEnd();
    }
    void clear()
    {
        ops.clear();
        cursor = 0;
    }

private:
    void load() { pp_.setMutableOps(ops, cursor, insert, size_); }

    int vertical(bool up)
    {
        insert = 0;
        load();
        const int to = up ? pp_.cursorUpFrom(cursor) : pp_.cursorDownFrom(cursor);
        if (to >= 0)
            cursor = std::min(to, static_cast<int>(ops.size()));
        return to;
    }

    void addOps(const Ops& add, bool insertFirst)
    {
        for (std::size_t k = 0; k < add.size(); ++k)
            addOp(add[k], k == 0 ? insertFirst : true);
        if (cursor < static_cast<int>(ops.size())) {
            const std::uint32_t here = ops[static_cast<std::size_t>(cursor)];
            if (here >= 0x10000 && (here & 0xFFFF) != 0xBB5D)
                insert = 1;
        }
    }

    void addOp(std::uint32_t op, bool insertOp)
    {
        if (!insertOp) {
            load();
            if (!pp_.canOverwriteAt(cursor)) {
                insert = 1;
                insertOp = true;
            }
        }
        const std::uint32_t t = op & 0xFFFF;
        if (t != kAns && ops.empty() && isAutoAns(t)) {
            ops.push_back(kAns);
            cursor = 1;
        }
        const auto at = ops.begin() + cursor;
        if (cursor >= static_cast<int>(ops.size()))
            ops.push_back(op);
        else if (insertOp)
            ops.insert(at, op);
        else
            *at = op;
        ++cursor;
    }

    static bool isAutoAns(std::uint32_t t)
    {
        static const std::uint32_t tokens[] = {
            0x01, 0x02, 0x03, 0x04, 0x0C, 0x0D, 0x0E, 0x0F, 0x2D, 0x3C, 0x3D, 0x40, 0x6A, 0x6B, 0x6C, 0x6D,
            0x6E, 0x6F, 0x70, 0x71, 0x82, 0x83, 0x94, 0x95, 0xF0, 0xF1, 0x5C40, 0x5C41, 0x5C42, 0x5C63, 0xBB2F,
            0xBB30, 0xBB5D, 0xBBDA, 0xBBEF, 0xBBF6, 0xBBF7, 0xEF30, 0xEF31, 0xEF38, 0xEF39,
        };
        return std::find(std::begin(tokens), std::end(tokens), t) != std::end(tokens);
    }

    static constexpr std::uint32_t kAns = 0x72;
    PrettyPrint& pp_;
    double size_;
};

} // namespace orvenda::test
