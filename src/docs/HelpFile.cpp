#include "docs/HelpFile.h"

#include <QLocale>
#include <QStringList>

#include <cstddef>

namespace orvenda {

extern const char kFunctionHelpResource[];
extern const std::size_t kFunctionHelpResource_SIZE;
extern const char kFunctionHelpSpanishResource[];
extern const std::size_t kFunctionHelpSpanishResource_SIZE;

const char* HelpFile::resourceNameForLanguage(std::string_view languageCode)
{
    // Only the primary subtag tells the language: "en-ES" is English as written in Spain.
    const std::size_t end = languageCode.find_first_of("-_");
    std::string_view primary = languageCode.substr(0, end);
    const bool spanish = primary.size() == 2 && (primary[0] == 'e' || primary[0] == 'E')
        && (primary[1] == 's' || primary[1] == 'S');
    return spanish ? "FunctionHelpSpanish" : "FunctionHelp";
}

QString HelpFile::preferredLanguage()
{
    const QStringList languages = QLocale::system().uiLanguages();
    return languages.isEmpty() ? QStringLiteral("en") : languages.first();
}

std::string_view HelpFile::resource(std::string_view name)
{
    if (name == "FunctionHelp")
        return {kFunctionHelpResource, kFunctionHelpResource_SIZE};
    if (name == "FunctionHelpSpanish")
        return {kFunctionHelpSpanishResource, kFunctionHelpSpanishResource_SIZE};
    return {};
}

QString HelpFile::escaped(const QString& name)
{
    QString out;
    out.reserve(name.size() + 8);
    for (const QChar c : name) {
        switch (c.unicode()) {
        case '&': out += QLatin1String("&amp;"); break;
        case '<': out += QLatin1String("&lt;"); break;
        case '>': out += QLatin1String("&gt;"); break;
        case '"': out += QLatin1String("&quot;"); break;
        case '\'': out += QLatin1String("&apos;"); break;
        default: out += c; break;
        }
    }
    return out;
}

QByteArray HelpFile::openingTag(const QString& name)
{
    return QStringLiteral("<F n=\"%1\">").arg(escaped(name)).toUtf8();
}

QByteArray HelpFile::fragment(std::string_view file, const QString& name)
{
    if (QByteArray page = exactFragment(file, name); !page.isEmpty() || !name.endsWith(QChar(0x2026)))
        return page;
    // A menu's name ends in "…" where the page is filed under the command's own name,
    // which ends in its opening bracket or a blank ("Z-Test…" is "Z-Test(").
    const QString base = name.chopped(1);
    for (const QString& command : {base + QLatin1Char('('), base + QLatin1Char(' '), base})
        if (QByteArray page = exactFragment(file, command); !page.isEmpty())
            return page;
    return {};
}

QByteArray HelpFile::exactFragment(std::string_view file, const QString& name)
{
    const QByteArray tag = openingTag(name);
    const std::size_t start = file.find(std::string_view(tag.constData(), std::size_t(tag.size())));
    if (start == std::string_view::npos)
        return {};
    constexpr std::string_view close = "</F>";
    const std::size_t end = file.find(close, start + std::size_t(tag.size()));
    if (end == std::string_view::npos)
        return {};
    return QByteArray(file.data() + start, qsizetype(end + close.size() - start));
}

QByteArray HelpFile::notDefinedPage(const QString& name)
{
    // The whole name escaped: a raw "<" or "&" anywhere in it would break the page.
    return QStringLiteral("<F n=\"%1\"><body>not defined</body></F>").arg(escaped(name)).toUtf8();
}

} // namespace orvenda
