#include "apps/CSVParser.h"

#include "language/Utf8.h"

namespace orvenda {

namespace {

constexpr char32_t kQuote = U'"';

bool isNewline(char32_t c) { return (c >= 0x0A && c <= 0x0D) || c == 0x85 || c == 0x2028 || c == 0x2029; }

} // namespace

CSVParser::CSVParser(std::string csv, std::string separator, bool hasHeader, std::vector<std::string> fieldNames)
    : csv_(Utf8::decode(csv))
    , separator_(Utf8::decode(separator))
    , hasHeader_(hasHeader)
    , fieldNames_(std::move(fieldNames))
{
}

bool CSVParser::isEndText(char32_t c) const
{
    return isNewline(c) || c == kQuote || (!separator_.empty() && c == separator_[0]);
}

bool CSVParser::atLineSeparator() const { return at_ < csv_.size() && isNewline(csv_[at_]); }

bool CSVParser::lineSeparator()
{
    if (!atLineSeparator())
        return false;
    while (atLineSeparator())
        ++at_;
    return true;
}

bool CSVParser::separator()
{
    if (separator_.empty() || csv_.compare(at_, separator_.size(), separator_) != 0)
        return false;
    at_ += separator_.size();
    return true;
}

std::optional<std::u32string> CSVParser::textData()
{
    const std::size_t start = at_;
    while (at_ < csv_.size()) {
        const char32_t c = csv_[at_];
        if (!isEndText(c)) {
            ++at_;
            continue;
        }
        // A separator's first character is text unless the whole separator follows.
        const bool separatorStart = separator_.size() > 1 && c == separator_[0] && !isNewline(c) && c != kQuote;
        if (separatorStart && csv_.compare(at_, separator_.size(), separator_) != 0) {
            ++at_;
            continue;
        }
        break;
    }
    if (at_ == start)
        return std::nullopt;
    return csv_.substr(start, at_ - start);
}

std::optional<std::u32string> CSVParser::field()
{
    if (at_ < csv_.size() && csv_[at_] == kQuote) {
        std::u32string out;
        for (std::size_t pos = at_ + 1; pos < csv_.size(); ++pos) {
            if (csv_[pos] != kQuote) {
                out += csv_[pos];
            } else if (pos + 1 < csv_.size() && csv_[pos + 1] == kQuote) {
                out += kQuote;
                ++pos;
            } else {
                at_ = pos + 1;
                return out;
            }
        }
        // No closing quote.
        return std::nullopt;
    }
    if (auto text = textData())
        return text;
    const bool fieldEnds = at_ >= csv_.size() || atLineSeparator()
        || (!separator_.empty() && csv_.compare(at_, separator_.size(), separator_) == 0);
    return fieldEnds ? std::optional<std::u32string>(std::u32string()) : std::nullopt;
}

std::optional<CSVParser::Row> CSVParser::record()
{
    if (at_ >= csv_.size())
        return std::nullopt;
    if (lineSeparator())
        return std::nullopt;
    auto first = field();
    if (!first)
        return std::nullopt;
    Row row{Utf8::encode(*first)};
    while (separator()) {
        auto next = field();
        if (!next)
            break;
        row.push_back(Utf8::encode(*next));
        if (maxFields_ > 0 && row.size() > maxFields_) {
            cut_ = true;
            break;
        }
    }
    return row;
}

bool CSVParser::parseRowsForReceiver(const std::function<void(Row)>& receiver)
{
    at_ = 0;
    cut_ = false;
    if (hasHeader_) {
        auto header = record();
        if (!header || !lineSeparator())
            return false;
        fieldNames_ = std::move(*header);
    }
    auto row = record();
    if (!row)
        return false;
    receiver(std::move(*row));
    while (!cut_ && lineSeparator()) {
        row = record();
        if (!row)
            break;
        receiver(std::move(*row));
    }
    return true;
}

std::optional<std::vector<CSVParser::Row>> CSVParser::parse()
{
    std::vector<Row> rows;
    if (!parseRowsForReceiver([&rows](Row row) { rows.push_back(std::move(row)); }))
        return std::nullopt;
    return rows;
}

} // namespace orvenda
