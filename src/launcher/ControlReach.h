#pragma once

#include <nlohmann/json.hpp>

class QWidget;

namespace orvenda {

// The widgets of a screen shown in a window that a user cannot reach: each visible one that
// does not lie whole inside the window and inside the widgets around it (content scrolled
// in a viewport is judged by its viewport), that has no area (a scroll area with nothing
// to show aside), or, for a control (a button, slider, list, field, or anything that takes
// the focus by a click, such as a keypad), any part of which (its centre, the insides of its
// corners and edges; a list's rows, its viewport) a click does not reach because another
// widget lies over it (a sheet or menu over the whole screen aside), or a form of rows wider
// than the area it scrolls in (its rows reached by a sideways scroll). Each entry
// names the widget (its class, and its text or accessible name where it has one), why,
// its rectangle in the window and, when covered, what covers it.
nlohmann::json unreachableWidgets(QWidget& window, QWidget& screen);

// The line or field being typed on a screen: where it is drawn in the window (the
// screen's own cursorRect, else the current field of a form of fields shown on it) and
// clear, whether it lies whole in the window with no control over it. Null when the screen
// shows none.
nlohmann::json typingPlace(QWidget& window, QWidget& screen);

// The lists of a screen (menus, the catalogue, pickers' columns) whose current row lies out
// of their view, each with its class and the row's rectangle in the list's viewport.
nlohmann::json rowsOutOfView(QWidget& screen);

} // namespace orvenda
