#include "language/Localization.h"

namespace orvenda {

// English texts of the screens' own titles: the help menu's topics.
std::span<const Localization::Entry> Localization::interfaceTexts()
{
    static constexpr Entry kTexts[] = {
        {"HELP_MENU_CONTACT", "Contact"},
        {"HELP_MENU_INTRO", "Introduction"},
        {"HELP_MENU_NEW_FEATURES", "New Features"},
        {"HELP_MENU_FAQ", "FAQ"},
        {"HELP_MENU_KEYBOARD", "Keyboard"},
        {"HELP_MENU_MODE", "Mode"},
        {"HELP_MENU_HOME_SCREEN", "Home Screen"},
        {"HELP_MENU_MENUS", "Menus"},
        {"HELP_MENU_CATALOG", "Catalog"},
        {"HELP_MENU_GRAPH_SCREEN", "Graph Screen"},
        {"HELP_MENU_ZOOM", "Zoom"},
        {"HELP_MENU_TABLE", "Table"},
        {"HELP_MENU_LISTS", "Lists"},
        {"HELP_MENU_ARRAYS", "Arrays"},
        {"HELP_MENU_PROGRAMS", "Programs"},
        {"HELP_MENU_SHARING", "Sharing Data and Programs"},
        {"HELP_MENU_1984_CALC", "Calculator"},
    };
    return kTexts;
}

} // namespace orvenda
