#include "input/KeyTables.h"

namespace orvenda {

namespace {

using Row = std::array<std::uint32_t, KeyTables::kKeyCount>;

// Plain, 2nd and alpha layers by key number.
constexpr std::array<Row, 3> kLayers{{
    {1024, 1028, 4117, 1049, 4126, 1039, 1029, 1030, 1033, 1035,
     1040, 1043, 1044, 1036, 1034, 1050, 1051, 1052, 1053, 1032,
     0x0C, 0xC2, 0xC4, 0xC6, 0xF0, 0x0D, 0x2B, 0x10, 0x11, 0x83,
     0xC0, 0x37, 0x38, 0x39, 0x82, 0xBE, 0x34, 0x35, 0x36, 0x71,
     0x04, 0x31, 0x32, 0x33, 0x70, 4123, 0x30, 0x3A, 0xB0, 1065},
    {1045, 1025, 1047, 1046, 4127, 1039, 1042, 1031, 1037, 1077,
     1041, 0xE7, 1058, 1078, 1038, 1059, 1060, 1061, 1062, 0x85,
     1054, 0xC3, 0xC5, 0xC7, 0xAC, 0xBC, 0x3B, 0x08, 0x09, 0xBB31,
     0xC1, 0x5E80, 0x5E81, 0x5E82, 0x06, 0xBF, 0x5D03, 0x5D04, 0x5D05, 0x07,
     1071, 0x5D00, 0x5D01, 0x5D02, 1072, 4118, 1056, 0x2C, 0x72, 1063},
    {1066, 1067, 1068, 1069, 1055, 1039, 1079, 1080, 1033, 0x5C49,
     1040, 0xEF38, 0xBBF9, 0x5C4A, 1034, 1050, 1051, 1052, 1053, 1032,
     0x0C, 0xC2, 0xC4, 0xC6, 0xF0, 0x0D, 0x2B, 0x10, 0x11, 0x83,
     0xC0, 0x37, 0x38, 0x39, 0x82, 0xBE, 0x34, 0x35, 0x36, 0x71,
     0x04, 0x31, 0x32, 0x33, 0x70, 4123, 0x30, 0x3A, 0xB0, 1065},
}};

constexpr std::array<int, KeyTables::kKeyCount> kGetKeyCodes{
    11, 12, 13, 14, 15, 21, 22, 23, 24, 25,
    31, 32, 33, 34, 26, 41, 42, 43, 44, 45,
    51, 52, 53, 54, 55, 61, 62, 63, 64, 65,
    71, 72, 73, 74, 75, 81, 82, 83, 84, 85,
    91, 92, 93, 94, 95, 0, 102, 103, 104, 105,
};

bool validKey(int key) { return key >= 0 && key < KeyTables::kKeyCount; }

// The classic keypad prints A, B and C over MATH, APPS and PRGM, and D to Z and θ in turn
// over the keys from x⁻¹ to 3.
constexpr std::uint32_t kLetterA = 0x41;
constexpr std::uint32_t kLetterTheta = 0x5B;
constexpr int kFirstLettersKey = 15;
constexpr int kLettersFromD = 20;

} // namespace

std::uint32_t KeyTables::op(int layer, int key)
{
    if (!validKey(key) || layer < 0 || layer >= kLayerCount)
        return 0;
    // The lower-case layer is the alpha layer, but MODE and DEL keep their plain ops.
    if (layer == kLowercaseLayer)
        return key == 6 || key == 7 ? kLayers[kPlainLayer][static_cast<std::size_t>(key)]
                                    : kLayers[kAlphaLayer][static_cast<std::size_t>(key)];
    return kLayers[static_cast<std::size_t>(layer)][static_cast<std::size_t>(key)];
}

int KeyTables::getKeyCode(int key) { return validKey(key) ? kGetKeyCodes[static_cast<std::size_t>(key)] : 0; }

std::uint32_t KeyTables::xtThetaN(int graphMode)
{
    switch (graphMode) {
    case 1: return 0x54;
    case 2: return 0x5B;
    case 3: return 0xBBAA;
    default: return 0x58;
    }
}

int KeyTables::getKeyCodeOf(std::uint32_t op)
{
    if (const auto place = find(op))
        return getKeyCode(place->key);
    if (op < kLetterA || op > kLetterTheta)
        return kNoKeyCode;
    const int letter = static_cast<int>(op - kLetterA);
    return getKeyCode(letter < 3 ? kFirstLettersKey + letter : kLettersFromD + letter - 3);
}

std::optional<KeyTables::Place> KeyTables::find(std::uint32_t op)
{
    for (int layer = kPlainLayer; layer <= kAlphaLayer; ++layer)
        for (int key = 0; key < kKeyCount; ++key)
            if (kLayers[static_cast<std::size_t>(layer)][static_cast<std::size_t>(key)] == op)
                return Place{key, layer};
    return std::nullopt;
}

} // namespace orvenda
