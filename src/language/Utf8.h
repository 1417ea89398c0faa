#pragma once

#include <cstddef>
#include <string_view>

namespace orvenda {

// The UTF-8 helpers the text code shares: counting code points and writing one.
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
};

} // namespace orvenda
