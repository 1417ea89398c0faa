#pragma once

#include <QListWidget>

#include <cstdint>
#include <vector>

namespace orvenda {

class Calculator;

// A plain list of the token set's extended characters (accented and Greek letters,
// punctuation, subscript digits, arrows, symbols) by name, for a screen that inserts
// them; what a chosen row does is that screen's. Main thread.
class CharTable : public QListWidget {
public:
    CharTable(const Calculator& calc, QWidget* parent = nullptr);

    // Fills the characters and the rows.
    void doInit();
    const std::vector<std::uint32_t>& characters() const { return characters_; }
    // The 105 characters, in order.
    static std::vector<std::uint32_t> characterCodes();

private:
    const Calculator& calc_;
    std::vector<std::uint32_t> characters_;
};

} // namespace orvenda
