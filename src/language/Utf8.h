#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace orvenda {

// The UTF-8 helpers the text code shares: counting, reading and writing code points.
class Utf8 {
public:
    // Code points in s, counted by the bytes that start one.
    static std::size_t codePointCount(std::string_view s)
    {
        std::size_t n = 0;
        for (char c : s)
            n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
        return n;
    }

    // A combining mark (the significant-figure underline, the dot over the imaginary unit)
    // is drawn over the letter before it and takes no column of its own.
    static bool isCombiningMark(char32_t c) { return c >= 0x300 && c <= 0x36F; }
    // Columns a decoded text takes on a character grid.
    static std::size_t columns(std::u32string_view s)
    {
        std::size_t n = 0;
        for (char32_t c : s)
            n += !isCombiningMark(c);
        return n;
    }

    // Writes code point c to out and returns its length in bytes (1 to 4).
    static int encode(char32_t c, char (&out)[4])
    {
        if (c < 0x80) {
            out[0] = static_cast<char>(c);
            return 1;
        }
        if (c < 0x800) {
            out[0] = static_cast<char>(0xC0 | (c >> 6));
            out[1] = static_cast<char>(0x80 | (c & 0x3F));
            return 2;
        }
        if (c < 0x10000) {
            out[0] = static_cast<char>(0xE0 | (c >> 12));
            out[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out[2] = static_cast<char>(0x80 | (c & 0x3F));
            return 3;
        }
        out[0] = static_cast<char>(0xF0 | (c >> 18));
        out[1] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out[2] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out[3] = static_cast<char>(0x80 | (c & 0x3F));
        return 4;
    }

    // Decodes the code point at s[i] and advances i past it. A malformed or truncated
    // sequence yields U+FFFD and skips one byte, so decoding always makes progress.
    static char32_t next(std::string_view s, std::size_t& i)
    {
        constexpr char32_t kBad = 0xFFFD;
        const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
        const unsigned char lead = byte(i);
        if (lead < 0x80) {
            ++i;
            return lead;
        }
        std::size_t length;
        char32_t c;
        char32_t minimum;
        if ((lead & 0xE0) == 0xC0) {
            length = 2, c = lead & 0x1F, minimum = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3, c = lead & 0x0F, minimum = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4, c = lead & 0x07, minimum = 0x10000;
        } else {
            ++i;
            return kBad;
        }
        if (i + length > s.size()) {
            ++i;
            return kBad;
        }
        for (std::size_t k = 1; k < length; ++k) {
            if ((byte(i + k) & 0xC0) != 0x80) {
                ++i;
                return kBad;
            }
            c = (c << 6) | (byte(i + k) & 0x3F);
        }
        if (c < minimum || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
            ++i;
            return kBad;
        }
        i += length;
        return c;
    }

    static std::u32string decode(std::string_view s)
    {
        std::u32string out;
        out.reserve(s.size());
        for (std::size_t i = 0; i < s.size();)
            out += next(s, i);
        return out;
    }

    static std::string encode(std::u32string_view s)
    {
        std::string out;
        out.reserve(s.size());
        char buf[4];
        for (char32_t c : s)
            out.append(buf, static_cast<std::size_t>(encode(c, buf)));
        return out;
    }
};

} // namespace orvenda
