#include "app/SceneDelegate.h"

#include "core/Calculator.h"

#include <map>

namespace orvenda {

std::string SceneDelegate::localizedString(const std::string& key)
{
    static const std::map<std::string, std::string> kTexts = {
        {"FIRST_TIME_THANK_YOU", "Welcome to Orvenda"},
        {"FIRST_TIME_HELP_PROMPT",
         "Type on the calculator's keys or on your computer's keyboard (F1 lists its key commands). Your "
         "calculations are kept between sessions."},
        {"FIRST_TIME_NEW_FEATURES", "is here"},
        {"FIRST_TIME_UPDATE_FEATURES", "This version brings improvements and fixes. Your calculations were kept."},
        {"FIRST_TIME_REVIEW", "Write a Review"},
    };
    auto it = kTexts.find(key);
    return it == kTexts.end() ? std::string() : it->second;
}

std::optional<SceneDelegate::Greeting> SceneDelegate::willConnect(Calculator& calc, bool tablet)
{
    if (tablet) {
        calc.device = 1;
    } else {
        calc.device = 0;
        calc.tallPhone = true;
    }
    ++calc.sessions;

    using Button = SceneDelegate::Button;
    const Button ok{"OK", Button::Style::Default, Button::Action::None};
    if (calc.firstTime) {
        calc.firstTime = false;
        return Greeting{localizedString("FIRST_TIME_THANK_YOU"), localizedString("FIRST_TIME_HELP_PROMPT"), {ok}};
    }
    if (!calc.newVersion)
        return std::nullopt;
    calc.newVersion = false;
    Greeting greeting{"Version " + calc.versionString() + " " + localizedString("FIRST_TIME_NEW_FEATURES"),
                      localizedString("FIRST_TIME_UPDATE_FEATURES"), {ok}};
    calc.updateNetworkStatus();
    if (calc.internetConnectionStatus != 0)
        greeting.buttons = {{localizedString("FIRST_TIME_REVIEW"), Button::Style::Default, Button::Action::OpenReviewPage},
                            {"OK", Button::Style::Cancel, Button::Action::RequestReview}};
    return greeting;
}

} // namespace orvenda
