#pragma once

#include "core/LeafMutex.h"

#include <cstdint>
#include <deque>

namespace orvenda {

// The keys typed while a run owns the keyboard, in the order typed, with their getKey
// codes: the running program's getKey takes them from the front, and whatever it has not
// taken when the run is over is handed back to act as typed. Each key is delivered once:
// to the program or back to the keyboard, never to both. Main thread, but for take(),
// which a program calls from the program queue.
class TypedKeys {
public:
    using Id = std::uint64_t;

    // A key typed; code 0 (a key with no getKey code) is never read by a program. The
    // answer names the key for claim().
    Id push(int code);
    // The program's read: the code of the first key not yet delivered that has one, taken
    // so it never acts; 0 when none is waiting.
    int take();
    // The keyboard's turn for a key: true when it is still undelivered (it is now the
    // keyboard's to act), false when the program read it.
    bool claim(Id id);
    // Keys not yet delivered.
    bool empty() const;

private:
    struct Key {
        Id id;
        int code;
    };
    mutable LeafMutex mutex_;
    std::deque<Key> keys_;
    Id next_ = 0;
};

} // namespace orvenda
