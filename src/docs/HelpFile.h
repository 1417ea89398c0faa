#pragma once

#include <QByteArray>
#include <QString>

#include <string_view>

namespace orvenda {

// The help pages' file and the lookup of one page in it. The file is a run of fragments,
// each from an opening tag <F n="NAME"> to the next </F>, NAME being the page's function
// name with the five XML characters escaped; nothing outside a fragment is read, so the
// file needs no root element. Two files ship compiled in: "FunctionHelp" and
// "FunctionHelpSpanish". Any thread.
class HelpFile {
public:
    // The file's name for a language code such as "es-MX", "es_419" or "en-US": the
    // Spanish one when the primary language subtag is "es", else the English one.
    static const char* resourceNameForLanguage(std::string_view languageCode);
    // The first of the user's preferred languages.
    static QString preferredLanguage();
    // The file's text; empty for a name that is not shipped.
    static std::string_view resource(std::string_view name);
    // The name with "&", "<", ">", the double quote and the apostrophe escaped.
    static QString escaped(const QString& name);
    // The opening tag of a name's page.
    static QByteArray openingTag(const QString& name);
    // The fragment of the page of that name, from its opening tag through its closing tag;
    // empty when the file has none. A menu's "Name…" finds the command's own page.
    static QByteArray fragment(std::string_view file, const QString& name);
    // The fragment filed under exactly that name.
    static QByteArray exactFragment(std::string_view file, const QString& name);
    // The page shown for a name without one: its body says "not defined".
    static QByteArray notDefinedPage(const QString& name);
};

} // namespace orvenda
