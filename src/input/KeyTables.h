#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace orvenda {

// The calculator keyboard's constant tables: the op of each of the 50 keys in each shift
// layer, the classic getKey code of each key, and the token the X,T,θ,n key types by graph
// mode. Key n sits in row n / 5 and column n mod 5.
class KeyTables {
public:
    static constexpr int kKeyCount = 50;
    static constexpr int kLayerCount = 4;
    enum Layer { kPlainLayer = 0, kSecondLayer = 1, kAlphaLayer = 2, kLowercaseLayer = 3 };

    // Key operations and the internal operations keys send.
    enum : std::uint32_t {
        kYEq = 1024, kWindow = 1025, kGraph = 1028, kMode = 1029, kDel = 1030, kIns = 1031, kClear = 1032,
        kLeft = 1033, kRight = 1034, kUp = 1035, kDown = 1036, kHome = 1037, kEnd = 1038, kSecond = 1039,
        kAlpha = 1040, kAlphaLock = 1041, kQuit = 1042, kXTThetaN = 1043, kStat = 1044, kStatPlot = 1045,
        kTblSet = 1046, kFormat = 1047, kTable = 1049, kMath = 1050, kApps = 1051, kPrgm = 1052, kVars = 1053,
        kMatrix = 1054, kConv = 1055, kCatalog = 1056, kList = 1058, kTest = 1059, kAngle = 1060, kDraw = 1061,
        kDistr = 1062, kEntry = 1063, kEnter = 1065, kF1 = 1066, kF2 = 1067, kF3 = 1068, kF4 = 1069, kF5 = 1070,
        kRcl = 1071, kMem = 1072, kFileTop = 1077, kFileBottom = 1078, kUser = 1079, kUserKeys = 1080,
        kHomeScreen = 4117, kInfo = 4118, kSolver = 4119, kTVMSolver = 4120, kChemSolver = 4121, kOn = 4123,
        kUndo = 4126, kRedo = 4127,
        // Tokens with a key of their own.
        kStore = 0x04, kSpace = 0x29, kQuote = 0x2A, kClrDraw = 0x85, kShare = 0xE7, kFontUp = 0x5C49,
        kFontDown = 0x5C4A, kPolySolver = 0x5C67, kSimulSolver = 0x5C68,
        // The alpha keyboard's case key: an internal code of its own, never typed.
        kCaseKey = 0x10FF,
    };

    // The help and ON key, the undo key and the X,T,θ,n key.
    static constexpr int kOnKey = 45;
    static constexpr int kUndoKey = 4;
    static constexpr int kXKey = 11;

    static std::uint32_t op(int layer, int key);
    // 11..105; 0 for the ON key.
    static int getKeyCode(int key);
    // The token of X,T,θ,n for graph mode 1 (T), 2 (θ), 3 (η), else X.
    static std::uint32_t xtThetaN(int graphMode);

    struct Place {
        int key;
        int layer;
    };
    // The first key with op in the plain, 2nd and alpha layers, searched in that order.
    static std::optional<Place> find(std::uint32_t op);
    // The getKey code a program reads for an op from elsewhere (the computer's keys): that
    // of the first key with it; for a letter A to Z or θ, that of the key it is printed over
    // on the classic keypad (A over MATH: 41); else kNoKeyCode.
    static int getKeyCodeOf(std::uint32_t op);
    // The code of an op on no key: key 0's, as if typed there in the lower-case layer.
    static constexpr int kNoKeyCode = 11;
};

} // namespace orvenda
