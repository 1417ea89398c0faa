#pragma once

#include "input/TablePlace.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <span>
#include <vector>

namespace orvenda {

class Calculator;

// The catalogue's alphabetical table: every token of the catalogue, keyed by its code (so
// tokens that share a name each keep their row), sorted by a sort key that reads names
// beginning with symbols as words ("³√(" as "root3", "π" as "P"), in letter sections
// "A" to "Z" and "zOps" for the rest. Built once; main thread.
class CatalogIndex {
public:
    struct Entry {
        std::uint32_t code = 0;
        QString name;
        // The trimmed, upper-case sort key.
        QString key;
    };
    struct Section {
        QString title;
        std::vector<Entry> entries;
    };
    using Place = TablePlace;

    explicit CatalogIndex(const Calculator& calc);

    // The catalogue's tokens, ascending.
    static std::span<const std::uint32_t> codes();
    // The sort key of a name (not yet upper-cased).
    static QString sortKey(const QString& name);
    // Tokens that test mode refuses: program calls, picture and graph-database recall,
    // the chemistry screens and functions.
    static bool refusedInTestMode(std::uint32_t code);
    // "n/d" and "Un/d" for the fraction templates, else the vocabulary name.
    static QString catalogName(const Calculator& calc, std::uint32_t code);
    // "A" to "Z" and "zOps".
    static const QStringList& indexTitles();

    const std::vector<Section>& sections() const { return sections_; }
    const Entry* entry(Place place) const;
    // The row a search text selects: row 0 of section 0 for "", else in the section of its
    // first letter ("zOps" when there is none) the first row whose key is not below the
    // text ignoring case, or that section's last row.
    Place selectString(const QString& text) const;
    // The section an index title jumps to: the first whose title is not below it, else
    // the last.
    int sectionForIndexTitle(const QString& title) const;

private:
    std::vector<Section> sections_;
};

} // namespace orvenda
