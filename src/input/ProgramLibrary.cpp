#include "input/ProgramLibrary.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <plist/plist.h>

#include <algorithm>
#include <memory>

namespace orvenda {

namespace {

struct PlistFree {
    void operator()(plist_t node) const { plist_free(node); }
};
using Plist = std::unique_ptr<void, PlistFree>;

Plist readDictionary(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return nullptr;
    const QByteArray bytes = file.readAll();
    plist_t root = nullptr;
    plist_from_memory(bytes.constData(), static_cast<std::uint32_t>(bytes.size()), &root);
    Plist owned(root);
    if (!root || plist_get_node_type(root) != PLIST_DICT)
        return nullptr;
    return owned;
}

std::optional<std::string> stringValue(plist_t node)
{
    if (!node || plist_get_node_type(node) != PLIST_STRING)
        return std::nullopt;
    char* text = nullptr;
    plist_get_string_val(node, &text);
    std::string value = text ? text : "";
    std::free(text);
    return value;
}

bool lessIgnoringCase(const std::string& a, const std::string& b)
{
    return QString::fromStdString(a).compare(QString::fromStdString(b), Qt::CaseInsensitive) < 0;
}

} // namespace

bool ProgramLibrary::validName(std::string_view name)
{
    if (name.empty() || name == "." || name == "..")
        return false;
    return name.find_first_of(std::string_view("/\\\0", 3)) == std::string_view::npos;
}

QString ProgramLibrary::path(const std::string& name) const
{
    return folder_ + QLatin1Char('/') + QString::fromStdString(name);
}

std::vector<std::string> ProgramLibrary::programListOf(int type) const
{
    std::vector<std::string> names;
    if (type == 2)
        return names;
    const QStringList files = QDir(folder_).entryList(QDir::Files, QDir::Name);
    for (const QString& file : files)
        if (!file.contains(QLatin1Char('.')))
            names.push_back(file.toStdString());
    return names;
}

std::optional<std::vector<std::string>> ProgramLibrary::tagsFor(const std::string& name) const
{
    if (!validName(name))
        return std::nullopt;
    const Plist dict = readDictionary(path(name));
    plist_t tags = dict ? plist_dict_get_item(dict.get(), "tags") : nullptr;
    if (!tags || plist_get_node_type(tags) != PLIST_ARRAY)
        return std::nullopt;
    std::vector<std::string> out;
    for (std::uint32_t i = 0; i < plist_array_get_size(tags); ++i)
        if (auto tag = stringValue(plist_array_get_item(tags, i)))
            out.push_back(*tag);
    return out;
}

unsigned ProgramLibrary::flagsFor(const std::string& name) const
{
    if (!validName(name))
        return 0;
    const Plist dict = readDictionary(path(name));
    plist_t flags = dict ? plist_dict_get_item(dict.get(), "flags") : nullptr;
    if (!flags || plist_get_node_type(flags) != PLIST_UINT)
        return 0;
    std::uint64_t value = 0;
    plist_get_uint_val(flags, &value);
    return static_cast<unsigned>(value);
}

std::string ProgramLibrary::descFor(const std::string& name) const
{
    if (!validName(name))
        return {};
    const Plist dict = readDictionary(path(name));
    return dict ? stringValue(plist_dict_get_item(dict.get(), "desc")).value_or("") : "";
}

std::vector<std::string> ProgramLibrary::tagArrayFromString(std::string_view text)
{
    std::vector<std::string> tags;
    for (const QString& piece : QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).split(QLatin1Char(','))) {
        const std::string tag = piece.trimmed().toStdString();
        if (!tag.empty() && std::find(tags.begin(), tags.end(), tag) == tags.end())
            tags.push_back(tag);
    }
    std::stable_sort(tags.begin(), tags.end(), lessIgnoringCase);
    return tags;
}

ProgramLibrary::Added ProgramLibrary::addProgram(const std::string& name, const std::string& desc,
    const std::string& notes, const std::string& tags)
{
    if (name.empty())
        return Added::EmptyName;
    if (!validName(name))
        return Added::BadName;
    if (!QDir().mkpath(folder_))
        return Added::CouldNotSave;
    const QString file = path(name);
    if (QFile::exists(file))
        return Added::NameInUse;
    Plist dict(plist_new_dict());
    plist_dict_set_item(dict.get(), "prgm", plist_new_array());
    if (!desc.empty())
        plist_dict_set_item(dict.get(), "desc", plist_new_string(desc.c_str()));
    if (!notes.empty())
        plist_dict_set_item(dict.get(), "notes", plist_new_string(notes.c_str()));
    if (!tags.empty()) {
        plist_t array = plist_new_array();
        for (const std::string& tag : tagArrayFromString(tags))
            plist_array_append_item(array, plist_new_string(tag.c_str()));
        plist_dict_set_item(dict.get(), "tags", array);
    }
    char* xml = nullptr;
    std::uint32_t length = 0;
    plist_to_xml(dict.get(), &xml, &length);
    QSaveFile out(file);
    const bool written = xml && out.open(QIODevice::WriteOnly) && out.write(xml, length) == length && out.commit();
    plist_to_xml_free(xml);
    return written ? Added::Added : Added::CouldNotSave;
}

bool ProgramLibrary::deleteProgram(const std::string& name)
{
    if (!validName(name) || static_cast<std::size_t>(QString::fromStdString(name).toUcs4().size()) > kDeletableLength)
        return false;
    return QFile::remove(path(name));
}

QString ProgramLibrary::message(Added result, const std::string& name)
{
    const QString quoted = QStringLiteral("\"%1\"").arg(QString::fromStdString(name));
    switch (result) {
    case Added::Added:
    case Added::EmptyName:
        return {};
    case Added::BadName:
        return QStringLiteral("The name %1 cannot be used: a program name may not contain \"/\" or \"\\\" or be \".\" or \"..\".").arg(quoted);
    case Added::NameInUse:
        return QStringLiteral("The name %1 is in use by another program.").arg(quoted);
    case Added::CouldNotSave:
        return QStringLiteral("The program %1 could not be saved.").arg(quoted);
    }
    return {};
}

} // namespace orvenda
