#include "programs/ProgramFiles.h"

#include "language/Utf8.h"
#include "platform/AtomicFile.h"
#include "platform/BoundedFile.h"
#include "programs/SamplePrograms.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QXmlStreamReader>

#include <nlohmann/json.hpp>
#include <plist/plist.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <map>
#include <memory>

namespace orvenda {

namespace {

using Ops = ProgramFiles::Ops;
using Dict = ProgramFiles::Dict;

constexpr std::uint32_t kTheta = 0x5B;
constexpr std::uint32_t kLowerA = 0xBBB0;
constexpr std::uint32_t kLowerL = 0xBBBC;

struct PlistFree {
    void operator()(plist_t node) const { plist_free(node); }
};
using Plist = std::unique_ptr<void, PlistFree>;

// One entity's text between "&" and ";" appended as libplist reads it; false for one that
// it refuses (the whole list then reads as none).
bool appendEntity(std::string_view entity, std::string& out)
{
    if (entity.starts_with("amp")) {
        out += '&';
    } else if (entity.starts_with("apos")) {
        out += '\'';
    } else if (entity.starts_with("quot")) {
        out += '"';
    } else if (entity.starts_with("lt")) {
        out += '<';
    } else if (entity.starts_with("gt")) {
        out += '>';
    } else if (entity.starts_with('#') && entity.size() <= 8) {
        const bool hex = entity.size() > 1 && (entity[1] == 'x' || entity[1] == 'X');
        if (entity.size() < (hex ? 3u : 2u))
            return false;
        const std::string digits(entity.substr(hex ? 2 : 1));
        char* end = nullptr;
        const unsigned long long value = std::strtoull(digits.c_str(), &end, hex ? 16 : 10);
        if (value == 0 || value > 0x10FFFF || end != digits.c_str() + digits.size())
            return false;
        const auto c = static_cast<std::uint32_t>(value);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    } else {
        return false;
    }
    return true;
}

// A text's entities resolved as libplist resolves them (a "&" that ends the text stays as
// it is), as one CDATA section; false for an entity it refuses.
bool appendAsCdata(std::string_view text, std::string& out)
{
    std::string plain;
    plain.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t amp = text.find('&', at);
        if (amp == std::string_view::npos || amp + 1 == text.size()) {
            plain.append(text.substr(at));
            break;
        }
        plain.append(text.substr(at, amp - at));
        const std::size_t semi = text.find(';', amp);
        if (semi == std::string_view::npos || semi == amp + 1 || !appendEntity(text.substr(amp + 1, semi - amp - 1), plain))
            return false;
        at = semi + 1;
    }
    out += "<![CDATA[";
    // "]]>" would end the section: it is split across two.
    for (std::size_t at = 0;;) {
        const std::size_t end = plain.find("]]>", at);
        if (end == std::string::npos) {
            out.append(plain, at);
            break;
        }
        out.append(plain, at, end + 2 - at);
        out += "]]><![CDATA[";
        at = end + 2;
    }
    out += "]]>";
    return true;
}

// libplist resolves a text's entities by moving the rest of the text along for each one:
// time that grows with the text's length times its entities (a megabyte of notes full of
// "&lt;" took seconds). The texts of strings and keys that hold entities go to it as CDATA
// sections instead, resolved here in one pass: to any XML reader the same list. Nothing
// when an entity is one libplist refuses.
std::optional<std::string> withCdataTexts(std::string_view xml)
{
    std::string out;
    out.reserve(xml.size());
    // Inside a string's or a key's element, whose texts libplist resolves.
    bool resolved = false;
    std::size_t at = 0;
    while (at < xml.size()) {
        const std::size_t open = std::min(xml.find('<', at), xml.size());
        const std::string_view text = xml.substr(at, open - at);
        if (resolved && text.find('&') != std::string_view::npos) {
            if (!appendAsCdata(text, out))
                return std::nullopt;
        } else {
            out.append(text);
        }
        if (open == xml.size())
            break;
        // Markup is copied as it is: comments, CDATA sections, instructions, declarations
        // (with their own "[...]") and tags (whose quoted values may hold ">").
        const std::string_view rest = xml.substr(open);
        std::size_t end = std::string_view::npos;
        if (rest.starts_with("<!--")) {
            end = rest.find("-->", 4);
            end = end == std::string_view::npos ? end : end + 3;
        } else if (rest.starts_with("<![CDATA[")) {
            end = rest.find("]]>", 9);
            end = end == std::string_view::npos ? end : end + 3;
        } else if (rest.starts_with("<?")) {
            end = rest.find("?>", 2);
            end = end == std::string_view::npos ? end : end + 2;
        } else if (rest.starts_with("<!")) {
            const std::size_t bracket = rest.find_first_of("[>");
            end = bracket != std::string_view::npos && rest[bracket] == '[' ? rest.find("]>", bracket) : bracket;
            end = end == std::string_view::npos ? end : rest.find('>', end) + 1;
        } else {
            char quote = 0;
            for (std::size_t k = 1; k < rest.size() && end == std::string_view::npos; ++k) {
                if (quote)
                    quote = rest[k] == quote ? 0 : quote;
                else if (rest[k] == '"' || rest[k] == '\'')
                    quote = rest[k];
                else if (rest[k] == '>')
                    end = k + 1;
            }
            if (end != std::string_view::npos) {
                const std::string_view tag = rest.substr(1, end - 2);
                const std::string_view name = tag.substr(0, tag.find_first_of(" \t\r\n/"));
                resolved = (name == "string" || name == "key") && !tag.ends_with('/');
            }
        }
        if (end == std::string_view::npos) {
            out.append(rest);
            break;
        }
        out.append(rest.substr(0, end));
        at = open + end;
    }
    return out;
}

Plist parse(std::span<const char> bytes)
{
    if (bytes.empty() || bytes.size() > static_cast<std::size_t>(ProgramFiles::kMaxFileSize))
        return nullptr;
    const std::string_view text(bytes.data(), bytes.size());
    std::optional<std::string> resolved;
    if (!text.starts_with("bplist") && text.find('&') != std::string_view::npos) {
        resolved = withCdataTexts(text);
        if (!resolved)
            return nullptr;
    }
    const std::string_view parsed = resolved ? std::string_view(*resolved) : text;
    plist_t root = nullptr;
    plist_from_memory(parsed.data(), static_cast<std::uint32_t>(parsed.size()), &root);
    return Plist(root);
}

std::optional<std::string> plistString(plist_t node)
{
    if (!node || plist_get_node_type(node) != PLIST_STRING)
        return std::nullopt;
    // The text as stored: a copy through plist_get_string_val stops the process on a text
    // with a NUL in it.
    std::uint64_t length = 0;
    const char* text = plist_get_string_ptr(node, &length);
    return text ? std::string(text, static_cast<std::size_t>(length)) : std::string();
}

std::optional<std::uint64_t> plistInteger(plist_t node)
{
    if (!node || plist_get_node_type(node) != PLIST_UINT)
        return std::nullopt;
    std::uint64_t value = 0;
    plist_get_uint_val(node, &value);
    return value;
}

// The root dictionary's "created" date as its file spells it, read from the XML text
// (a binary list is first turned into XML): libplist's own date reading holds 32 bits of
// seconds from 2001, and turns a date it cannot read into 1970. Nothing for a missing key,
// a value that is not a date, or a date that does not read as one.
std::optional<QDateTime> plistCreated(std::string_view text, plist_t root)
{
    std::string converted;
    if (text.starts_with("bplist")) {
        char* xml = nullptr;
        std::uint32_t length = 0;
        plist_to_xml(root, &xml, &length);
        converted = xml ? std::string(xml, length) : std::string();
        plist_to_xml_free(xml);
        text = converted;
    }
    QXmlStreamReader reader(QByteArray::fromRawData(text.data(), static_cast<qsizetype>(text.size())));
    // Depth 1 is <plist>, 2 the root dictionary, 3 its keys and values.
    int depth = 0;
    bool createdNext = false;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement: {
            ++depth;
            if (depth != 3)
                break;
            const bool isKey = reader.name() == u"key";
            const bool isDate = reader.name() == u"date";
            const QString value = reader.readElementText(QXmlStreamReader::SkipChildElements);
            --depth;
            if (createdNext) {
                if (!isDate)
                    return std::nullopt;
                // A year before 1000 may come with fewer than four digits (libplist's own
                // XML of a binary date), which the ISO reading wants.
                QString spelled = value.trimmed();
                if (const qsizetype dash = spelled.indexOf(QLatin1Char('-')); dash > 0 && dash < 4)
                    spelled.prepend(QString(4 - dash, QLatin1Char('0')));
                const QDateTime at = QDateTime::fromString(spelled, Qt::ISODate);
                return at.isValid() ? std::optional(at.toUTC()) : std::nullopt;
            }
            createdNext = isKey && value == u"created";
            break;
        }
        case QXmlStreamReader::EndElement:
            --depth;
            break;
        default:
            break;
        }
    }
    return std::nullopt;
}

// The integers of an array (other items skipped), each cut to 32 bits, all of them: a
// program cut here would be written back cut; nothing when the node is no array.
std::optional<Ops> plistOps(plist_t node)
{
    if (!node || plist_get_node_type(node) != PLIST_ARRAY)
        return std::nullopt;
    Ops ops;
    const std::uint32_t count = plist_array_get_size(node);
    ops.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i)
        if (const auto value = plistInteger(plist_array_get_item(node, i)))
            ops.push_back(static_cast<std::uint32_t>(*value));
    return ops;
}

std::optional<std::vector<std::string>> plistStrings(plist_t node)
{
    if (!node || plist_get_node_type(node) != PLIST_ARRAY)
        return std::nullopt;
    std::vector<std::string> texts;
    const std::uint32_t count = plist_array_get_size(node);
    for (std::uint32_t i = 0; i < count; ++i)
        if (auto text = plistString(plist_array_get_item(node, i)))
            texts.push_back(std::move(*text));
    return texts;
}

std::optional<Ops> jsonOps(const nlohmann::json& value)
{
    if (!value.is_array())
        return std::nullopt;
    Ops ops;
    for (const auto& item : value) {
        if (item.is_number_unsigned())
            ops.push_back(static_cast<std::uint32_t>(item.get<std::uint64_t>()));
        else if (item.is_number_integer())
            ops.push_back(static_cast<std::uint32_t>(item.get<std::int64_t>()));
    }
    return ops;
}

std::optional<std::string> jsonString(const nlohmann::json& object, const char* key)
{
    const auto found = object.find(key);
    if (found == object.end() || !found->is_string())
        return std::nullopt;
    return found->get<std::string>();
}

bool lessIgnoringCase(const std::string& a, const std::string& b)
{
    return QString::fromStdString(a).compare(QString::fromStdString(b), Qt::CaseInsensitive) < 0;
}

} // namespace

ProgramFiles::ProgramFiles(QString folder) : folder_(std::move(folder)) {}

// ---- Names ----

bool ProgramFiles::isProgramName(std::string_view name)
{
    std::size_t count = 0;
    for (std::size_t i = 0; i < name.size();) {
        const char32_t c = Utf8::next(name, i);
        const bool allowed = (c >= U'A' && c <= U'Z') || (c >= U'a' && c <= U'z') || (c >= U'0' && c <= U'9') || c == U'θ';
        if (!allowed || ++count > kMaxNameLength)
            return false;
    }
    return count > 0;
}

bool ProgramFiles::isSampleName(std::string_view name)
{
    return std::ranges::find(SamplePrograms::kNames, name) != SamplePrograms::kNames.end();
}

Ops ProgramFiles::nameOps(std::string_view name)
{
    Ops ops;
    for (std::size_t i = 0; i < name.size();) {
        const char32_t c = Utf8::next(name, i);
        if ((c >= U'A' && c <= U'Z') || (c >= U'0' && c <= U'9'))
            ops.push_back(static_cast<std::uint32_t>(c));
        else if (c >= U'a' && c <= U'k')
            ops.push_back(kLowerA + (c - U'a'));
        else if (c >= U'l' && c <= U'z')
            ops.push_back(kLowerL + (c - U'l'));
        else if (c == U'θ')
            ops.push_back(kTheta);
    }
    return ops;
}

std::vector<std::string> ProgramFiles::tagArrayFromString(std::string_view text)
{
    std::vector<std::string> tags;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(',', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view part = text.substr(start, end - start);
        part.remove_prefix(std::min(part.size(), part.find_first_not_of(' ')));
        part.remove_suffix(part.size() - std::min(part.size(), part.find_last_not_of(' ') + 1));
        if (!part.empty() && std::ranges::find(tags, part) == tags.end())
            tags.emplace_back(part);
        start = end + 1;
    }
    std::stable_sort(tags.begin(), tags.end(), lessIgnoringCase);
    return tags;
}

// ---- The file forms ----

std::optional<Dict> ProgramFiles::dictFromPlist(std::span<const char> bytes)
{
    const Plist root = parse(bytes);
    if (!root || plist_get_node_type(root.get()) != PLIST_DICT)
        return std::nullopt;
    plist_t dict = root.get();
    Dict out;
    out.prgm = plistOps(plist_dict_get_item(dict, "prgm"));
    out.tags = plistStrings(plist_dict_get_item(dict, "tags"));
    out.desc = plistString(plist_dict_get_item(dict, "desc"));
    out.notes = plistString(plist_dict_get_item(dict, "notes"));
    if (const auto flags = plistInteger(plist_dict_get_item(dict, "flags")))
        out.flags = static_cast<std::uint32_t>(*flags);
    if (plist_dict_get_item(dict, "created"))
        out.created = plistCreated(std::string_view(bytes.data(), bytes.size()), dict);
    return out;
}

std::optional<Ops> ProgramFiles::opsFromPlistArray(std::span<const char> bytes)
{
    const Plist root = parse(bytes);
    return root ? plistOps(root.get()) : std::nullopt;
}

std::optional<Dict> ProgramFiles::dictFromJson(std::string_view text)
{
    const nlohmann::json object = nlohmann::json::parse(text, nullptr, false);
    if (!object.is_object())
        return std::nullopt;
    Dict out;
    if (const auto prgm = object.find("prgm"); prgm != object.end())
        out.prgm = jsonOps(*prgm);
    if (const auto tags = object.find("tags"); tags != object.end() && tags->is_array()) {
        out.tags.emplace();
        for (const auto& tag : *tags)
            if (tag.is_string())
                out.tags->push_back(tag.get<std::string>());
    }
    out.desc = jsonString(object, "desc");
    out.notes = jsonString(object, "notes");
    if (const auto flags = object.find("flags"); flags != object.end() && flags->is_number_integer())
        out.flags = static_cast<std::uint32_t>(flags->is_number_unsigned() ? flags->get<std::uint64_t>()
                                                                          : static_cast<std::uint64_t>(flags->get<std::int64_t>()));
    if (const auto created = jsonString(object, "created"))
        if (const QDateTime at = QDateTime::fromString(QString::fromStdString(*created), Qt::ISODateWithMs); at.isValid())
            out.created = at;
    return out;
}

std::string ProgramFiles::plistFor(const Dict& dict)
{
    Plist root(plist_new_dict());
    if (dict.prgm) {
        plist_t array = plist_new_array();
        for (const std::uint32_t op : *dict.prgm)
            plist_array_append_item(array, plist_new_uint(static_cast<std::uint64_t>(std::int64_t{static_cast<std::int32_t>(op)})));
        plist_dict_set_item(root.get(), "prgm", array);
    }
    if (dict.tags) {
        plist_t array = plist_new_array();
        for (const std::string& tag : *dict.tags)
            plist_array_append_item(array, plist_new_string(tag.c_str()));
        plist_dict_set_item(root.get(), "tags", array);
    }
    if (dict.desc)
        plist_dict_set_item(root.get(), "desc", plist_new_string(dict.desc->c_str()));
    if (dict.notes)
        plist_dict_set_item(root.get(), "notes", plist_new_string(dict.notes->c_str()));
    if (dict.flags)
        plist_dict_set_item(root.get(), "flags", plist_new_uint(*dict.flags));
    // libplist writes dates from 32 bits of seconds: the date goes in as its epoch and its
    // text is put in its place, whatever year the file holds. Texts are escaped, so the
    // epoch's element is the date's own.
    const bool dated = dict.created && dict.created->isValid();
    if (dated)
        plist_dict_set_item(root.get(), "created", plist_new_date(0, 0));
    char* xml = nullptr;
    std::uint32_t length = 0;
    plist_to_xml(root.get(), &xml, &length);
    std::string text = xml ? std::string(xml, length) : std::string();
    plist_to_xml_free(xml);
    if (dated) {
        static constexpr std::string_view kEpoch = "<date>2001-01-01T00:00:00Z</date>";
        const std::size_t at = text.find(kEpoch);
        if (at == std::string::npos)
            return {};
        const QString spelled = dict.created->toUTC().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ssZ"));
        text.replace(at, kEpoch.size(), "<date>" + spelled.toStdString() + "</date>");
    }
    return text;
}

std::string ProgramFiles::jsonFor(const Dict& dict)
{
    nlohmann::ordered_json object = nlohmann::ordered_json::object();
    if (dict.prgm) {
        nlohmann::ordered_json ops = nlohmann::ordered_json::array();
        for (const std::uint32_t op : *dict.prgm)
            ops.push_back(static_cast<std::int32_t>(op));
        object["prgm"] = std::move(ops);
    }
    if (dict.tags)
        object["tags"] = *dict.tags;
    if (dict.desc)
        object["desc"] = *dict.desc;
    if (dict.notes)
        object["notes"] = *dict.notes;
    if (dict.flags)
        object["flags"] = *dict.flags;
    if (dict.created && dict.created->isValid())
        object["created"] = dict.created->toUTC().toString(Qt::ISODateWithMs).toStdString();
    return object.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

// ---- Reading ----

QString ProgramFiles::path(const std::string& name) const { return folder_ + QLatin1Char('/') + QString::fromStdString(name); }

std::optional<QByteArray> ProgramFiles::read(const std::string& name) const
{
    if (!isProgramName(name))
        return std::nullopt;
    // At most the bound, whatever the size says: a link to an endless device or a FIFO in
    // the folder reads as no program.
    QByteArray bytes;
    if (BoundedFile::read(path(name), kMaxFileSize, bytes) != BoundedFile::Result::Read)
        return std::nullopt;
    return bytes;
}

bool ProgramFiles::exists(const std::string& name) const { return isProgramName(name) && QFile::exists(path(name)); }

bool ProgramFiles::refused(const std::string& name) const
{
    if (!isProgramName(name))
        return false;
    QByteArray bytes;
    return BoundedFile::read(path(name), kMaxFileSize, bytes) == BoundedFile::Result::TooLong;
}

std::vector<std::string> ProgramFiles::programListOf(int kind) const
{
    std::vector<std::string> names;
    if (kind == 0 || kind == 1) {
        for (const QString& file : QDir(folder_).entryList(QDir::Files, QDir::Name)) {
            std::string name = file.toStdString();
            if (isProgramName(name))
                names.push_back(std::move(name));
        }
    }
    if (kind == 0 || kind == 2)
        names.insert(names.end(), SamplePrograms::kNames.begin(), SamplePrograms::kNames.end());
    return names;
}

std::optional<Dict> ProgramFiles::dictFor(const std::string& name) const
{
    if (Utf8::codePointCount(name) > kMaxNameLength) {
        // The samples never change: read once, for every thread.
        static const std::map<std::string, Dict, std::less<>> samples = [] {
            std::map<std::string, Dict, std::less<>> read;
            for (const std::string_view sample : SamplePrograms::kNames)
                if (auto dict = dictFromJson(SamplePrograms::json(sample).value_or("")))
                    read.emplace(sample, std::move(*dict));
            return read;
        }();
        const auto found = samples.find(name);
        return found == samples.end() ? std::nullopt : std::optional<Dict>(found->second);
    }
    const auto bytes = read(name);
    return bytes ? dictFromPlist(std::span<const char>(bytes->constData(), static_cast<std::size_t>(bytes->size())))
                 : std::nullopt;
}

std::optional<Ops> ProgramFiles::opsFor(const std::string& name) const
{
    auto dict = dictFor(name);
    return dict ? std::move(dict->prgm) : std::nullopt;
}

std::string ProgramFiles::descFor(const std::string& name) const
{
    const auto dict = dictFor(name);
    return dict && dict->desc ? *dict->desc : std::string();
}

std::string ProgramFiles::notesFor(const std::string& name) const
{
    const auto dict = dictFor(name);
    return dict && dict->notes ? *dict->notes : std::string();
}

std::optional<std::vector<std::string>> ProgramFiles::tagsFor(const std::string& name) const
{
    auto dict = dictFor(name);
    return dict ? std::move(dict->tags) : std::nullopt;
}

std::string ProgramFiles::tagStringFor(const std::string& name) const
{
    return tagString(tagsFor(name).value_or(std::vector<std::string>{}));
}

std::string ProgramFiles::tagString(const std::vector<std::string>& tags)
{
    std::string joined;
    for (const std::string& tag : tags)
        joined += (joined.empty() ? "" : ",") + tag;
    return joined;
}

std::uint32_t ProgramFiles::flagsFor(const std::string& name) const
{
    const auto dict = dictFor(name);
    return dict ? dict->flags.value_or(0) : 0;
}

std::optional<QDateTime> ProgramFiles::createdFor(const std::string& name) const
{
    if (!isProgramName(name))
        return std::nullopt;
    if (auto dict = dictFor(name); dict && dict->created)
        return dict->created;
    const QFileInfo file(path(name));
    if (!file.exists())
        return std::nullopt;
    // A file without one: its own creation time is the best there is, to the second as its
    // "created" keeps it.
    const QDateTime born = file.birthTime().isValid() ? file.birthTime() : std::min(file.metadataChangeTime(), file.lastModified());
    return QDateTime::fromSecsSinceEpoch(born.toSecsSinceEpoch(), Qt::UTC);
}

std::optional<Ops> ProgramFiles::opsForProgramNamed(const std::string& name) const
{
    const auto bytes = read(name);
    if (!bytes)
        return std::nullopt;
    const std::span<const char> data(bytes->constData(), static_cast<std::size_t>(bytes->size()));
    if (auto dict = dictFromPlist(data))
        return std::move(dict->prgm);
    return opsFromPlistArray(data);
}

std::optional<std::string> ProgramFiles::jsonForPrgm(const std::string& name) const
{
    if (!isProgramName(name))
        return std::nullopt;
    const auto dict = dictFor(name);
    return dict ? std::optional<std::string>(jsonFor(*dict)) : std::nullopt;
}

// ---- Writing ----

bool ProgramFiles::write(const std::string& name, const Dict& dict, bool* diskFull) const
{
    if (diskFull)
        *diskFull = false;
    if (!isProgramName(name))
        return false;
    // A file replaced keeps when its program was made: a new file's own creation time says
    // it until then.
    Dict dated = dict;
    if (!dated.created)
        dated.created = createdFor(name);
    const std::string text = plistFor(dated);
    return !text.empty() && text.size() <= static_cast<std::size_t>(kMaxFileSize)
        && AtomicFile::write(
            path(name), std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()), diskFull);
}

int ProgramFiles::removeLeftovers() const
{
    // A leftover's name is the hidden prefix of a program's write and six characters.
    const QString marker = QFileInfo(AtomicFile::temporaryPrefix(folder_ + QStringLiteral("/X"))).fileName().mid(2);
    int removed = 0;
    for (const QString& file : QDir(folder_).entryList({QStringLiteral(".*") + marker + QStringLiteral("*")},
             QDir::Files | QDir::Hidden | QDir::System)) {
        const std::string name = file.mid(1, file.indexOf(marker) - 1).toStdString();
        if (isProgramName(name))
            removed += AtomicFile::removeLeftovers(path(name));
    }
    return removed;
}

bool ProgramFiles::addProgram(const std::string& name, std::span<const std::uint32_t> ops) const
{
    if (ops.size() > kMaxOps)
        return false;
    Dict dict;
    dict.prgm = Ops(ops.begin(), ops.end());
    dict.tags.emplace();
    dict.desc.emplace();
    dict.notes.emplace();
    return write(name, dict);
}

bool ProgramFiles::storeOps(const std::string& name, std::span<const std::uint32_t> ops) const
{
    if (!isProgramName(name) || ops.size() > kMaxOps)
        return false;
    Dict dict = dictFor(name).value_or(Dict{std::nullopt, std::vector<std::string>{}, std::string(), std::string(), std::nullopt});
    dict.prgm = Ops(ops.begin(), ops.end());
    return write(name, dict);
}

template <class Change>
bool ProgramFiles::change(const std::string& name, Change change) const
{
    auto dict = isProgramName(name) ? dictFor(name) : std::nullopt;
    if (!dict)
        return false;
    change(*dict);
    return write(name, *dict);
}

bool ProgramFiles::setDesc(const std::string& text, const std::string& name) const
{
    return change(name, [&](Dict& dict) { dict.desc = text; });
}

bool ProgramFiles::setNotes(const std::string& text, const std::string& name) const
{
    return change(name, [&](Dict& dict) { dict.notes = text; });
}

bool ProgramFiles::setFlags(std::uint32_t flags, const std::string& name) const
{
    return change(name, [&](Dict& dict) { dict.flags = flags; });
}

bool ProgramFiles::setTags(const std::string& text, const std::string& name) const
{
    return change(name, [&](Dict& dict) { dict.tags = tagsFromText(text); });
}

std::vector<std::string> ProgramFiles::tagsFromText(std::string_view text)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t comma; (comma = text.find(',', start)) != std::string_view::npos; start = comma + 1)
        parts.emplace_back(text.substr(start, comma - start));
    parts.emplace_back(text.substr(start));
    return parts;
}

ProgramFiles::Added ProgramFiles::createProgram(const std::string& name, const std::string& desc,
    const std::string& notes, const std::string& tags) const
{
    if (name.empty())
        return Added::EmptyName;
    if (!isProgramName(name))
        return Added::BadName;
    if (QFile::exists(path(name)))
        return Added::NameInUse;
    Dict dict;
    dict.prgm.emplace();
    if (!desc.empty())
        dict.desc = desc;
    if (!notes.empty())
        dict.notes = notes;
    if (const auto tagArray = tagArrayFromString(tags); !tagArray.empty())
        dict.tags = tagArray;
    return write(name, dict) ? Added::Added : Added::CouldNotSave;
}

bool ProgramFiles::deleteProgram(const std::string& name) const { return isProgramName(name) && QFile::remove(path(name)); }

// ---- Old token numbers ----

bool ProgramFiles::remapOps(Ops& ops)
{
    static const std::array<std::uint32_t, 63> table = [] {
        std::array<std::uint32_t, 63> t{};
        std::size_t i = 0;
        const auto run = [&](std::uint32_t first, std::uint32_t last) {
            for (std::uint32_t op = first; op <= last; ++op)
                t[i++] = op;
        };
        run(0x5C50, 0x5C5E);  // 0xEF41..0xEF4F
        run(0x5C20, 0x5C2A);  // 0xEF50..0xEF5A
        run(0x5C4C, 0x5C4C);  // 0xEF5B
        run(0x5C2B, 0x5C32);  // 0xEF5C..0xEF63
        run(0x5C4E, 0x5C4E);  // 0xEF64
        run(0x5C4D, 0x5C4D);  // 0xEF65
        run(0x5C33, 0x5C33);  // 0xEF66
        run(0x5C4F, 0x5C4F);  // 0xEF67
        run(0x5C34, 0x5C4B);  // 0xEF68..0xEF7F
        return t;
    }();
    bool changed = false;
    for (std::uint32_t& op : ops) {
        if (op >= 0xEF41 && op <= 0xEF7F) {
            op = table[op - 0xEF41];
            changed = true;
        }
    }
    return changed;
}

void ProgramFiles::updatePrograms() const
{
    for (const std::string& name : programListOf(1)) {
        auto dict = dictFor(name);
        if (!dict || !dict->prgm)
            continue;
        if (remapOps(*dict->prgm))
            write(name, *dict);
    }
}

} // namespace orvenda
