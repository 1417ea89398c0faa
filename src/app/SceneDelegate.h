#pragma once

#include <optional>
#include <string>
#include <vector>

namespace orvenda {

class Calculator;

// The window's connection to the calculator: the device kind and session count, and the
// greeting shown once on the first run and once after an update. The window itself
// shows the greeting.
class SceneDelegate {
public:
    struct Button {
        enum class Style { Default, Cancel };
        // What the button does besides closing the alert.
        enum class Action { None, OpenReviewPage, RequestReview };
        std::string title;
        Style style = Style::Default;
        Action action = Action::None;
    };
    struct Greeting {
        std::string title;
        std::string message;
        std::vector<Button> buttons;
    };

    // A window connected: a phone (tablet false) or a tablet; counts the session, and
    // answers the greeting to show, clearing the flag that asked for it.
    static std::optional<Greeting> willConnect(Calculator& calc, bool tablet);

    // The greeting texts by key ("FIRST_TIME_THANK_YOU" ...); "" for an unknown key.
    static std::string localizedString(const std::string& key);
};

} // namespace orvenda
