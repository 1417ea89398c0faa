#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace orvenda {

// Comma-separated text as rows of fields: quoted fields may hold separators, line breaks
// and doubled quotes; runs of line breaks are one (blank lines vanish); an optional header
// row gives the field names. Text that stops fitting the form ends the rows there;
// readToEnd() tells whether it did.
class CSVParser {
public:
    using Row = std::vector<std::string>;

    // separator: one or more characters (UTF-8).
    CSVParser(std::string csv, std::string separator, bool hasHeader, std::vector<std::string> fieldNames = {});

    // Nothing when the first row (or the header) cannot be read.
    std::optional<std::vector<Row>> parse();
    std::optional<std::vector<Row>> arrayOfParsedRows() { return parse(); }
    // The same rows handed to `receiver` one by one; false when parse gives nothing.
    bool parseRowsForReceiver(const std::function<void(Row)>& receiver);

    // The header's names after a parse with a header, else the names given.
    const std::vector<std::string>& fieldNames() const { return fieldNames_; }

    // At most this many fields are read into a row (0: any number): a longer record gives
    // its first maxFields + 1 fields and ends the rows, so that a huge row costs no memory.
    void setMaxFields(std::size_t maxFields) { maxFields_ = maxFields; }
    // After a parse: whether the rows reached the end of the text (false when text that
    // does not fit the form, or a record over the limit, ended them).
    bool readToEnd() const { return at_ >= csv_.size() && !cut_; }

private:
    bool atLineSeparator() const;
    bool lineSeparator();
    bool separator();
    std::optional<std::u32string> textData();
    std::optional<std::u32string> field();
    // Nothing at a line separator (consumed) or the end, or when no field can be read.
    std::optional<Row> record();
    bool isEndText(char32_t c) const;

    std::u32string csv_;
    std::u32string separator_;
    bool hasHeader_;
    std::vector<std::string> fieldNames_;
    std::size_t at_ = 0;
    std::size_t maxFields_ = 0;
    bool cut_ = false;
};

} // namespace orvenda
