#pragma once

#include <QImage>
#include <QWidget>

#include <array>
#include <cstdint>
#include <vector>

class QToolButton;

namespace orvenda {

class AppShell;
class Calculator;

// The row of five user keys above the MathPrint home screen's entry line, from the key set
// in use: each key shows its label (or, without one, its ops) and, small at its top left,
// its 2nd-layer label. A key adds its ops to the entry line; ops ending in ENTER also
// evaluate. With 2nd on, a key takes its 2nd layer. Main thread.
class UserKeysView : public QWidget {
public:
    static constexpr int kKeys = 5;

    UserKeysView(Calculator& calc, AppShell& shell, QWidget* parent = nullptr);

    // Key 0..4, as a touch on it (the 2nd layer while 2nd is on); while a run owns the keys
    // it acts after the keys typed before it.
    void userKey(int tag);
    // Redraws the keys from the set in use.
    void redrawKeys();
    // A key's picture: grey at half opacity with the labels ("" filled grey for an
    // editor's key being edited, none for the others when unfilled).
    enum class Fill { Translucent, Opaque, None };
    static QImage userKeyImage(const Calculator& calc, int slot, QSize size, double scale, Fill fill,
        const QColor& secondInk);
    const QToolButton& button(int tag) const { return *buttons_.at(static_cast<std::size_t>(tag)); }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void typeKey(int tag);

    Calculator& calc_;
    AppShell& shell_;
    std::array<QToolButton*, kKeys> buttons_{};
};

} // namespace orvenda
