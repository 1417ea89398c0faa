#include "language/VariableSlots.h"

#include <array>

namespace orvenda {

namespace {

constexpr std::array<std::string_view, VariableSlots::kSlotCount - VariableSlots::kFirstInternalSlot>
    kVariableNames = {
        "hypothesis",      "GEOM_X1",          "GEOM_Y1",         "GEOM_X2",
        "GEOM_Y2",         "GEOM_X3",          "GEOM_Y3",         "GEOM_X4",
        "GEOM_Y4",         "GEOM_AREA",        "GEOM_AREA2",      "GEOM_PERIMETER",
        "GEOM_PERIMETER2", "GEOM_DIAGONAL",    "GEOM_SLOPE",      "GEOM_YINTERCEPT",
        "GEOM_LENGTH",     "GEOM_SIDE",        "GEOM_SIDE_A",     "GEOM_SIDE_B",
        "GEOM_SIDE_C",     "GEOM_ANGLE_A",     "GEOM_ANGLE_B",    "GEOM_ANGLE_C",
        "GEOM_SIDE_A2",    "GEOM_SIDE_B2",     "GEOM_SIDE_C2",    "GEOM_ANGLE_A2",
        "GEOM_ANGLE_B2",   "GEOM_ANGLE_C2",    "GEOM_2SOLUTION",  "GEOM_POLY_SIDES",
        "GEOM_RADIUS",     "GEOM_POLY_S",      "GEOM_ARC_LEN",    "GEOM_ARC_HEIGHT",
        "GEOM_ARC_CHORD",  "GEOM_ELLIPSE_A",   "GEOM_ELLIPSE_B",  "GEOM_ECCENTRICY",
        "GEOM_ELLIPSE_F1", "GEOM_ELLIPSE_F2",  "GEOM_HEIGHT",     "GEOM_DISTANCE",
        "GEOM_INTERSECT_X", "GEOM_INTERSECT_Y", "GEOM_LINE_MODE", "GEOM_CIR_MODE",
        "GEOM_CENTER_X",   "GEOM_CENTER_Y",    "GEOM_SECT_AREA",  "GEOM_SIN_A",
        "GEOM_COS_A",      "u1",               "u2",              "v1",
        "v2",              "w1",               "w2",
};

// Token ranges of the slot map.
constexpr uint32_t kEta = 0xBBAA;
constexpr int32_t kEtaSlot = 27;
constexpr uint32_t kWindowOffset = 0x62E4;    // slots 28-88 ↔ 0x6300-0x633C
constexpr uint32_t kStatisticsOffset = 0x61A7; // slots 89-158 ↔ 0x6200-0x6245

} // namespace

uint32_t VariableSlots::opcodeFromVarNum(int32_t slot)
{
    if (slot >= 0 && slot <= 26)
        return static_cast<uint32_t>(slot) + 0x41;
    if (slot == kEtaSlot)
        return kEta;
    // The screen-size slots 87 and 88 give no token back.
    if (slot >= 28 && slot <= 86)
        return static_cast<uint32_t>(slot) + kWindowOffset;
    if (slot >= 89 && slot <= 158)
        return static_cast<uint32_t>(slot) + kStatisticsOffset;
    return kNoToken;
}

int32_t VariableSlots::varNumFromOpcode(uint32_t op)
{
    const uint32_t t = op & 0xFFFF;
    if (t >= 0x41 && t <= 0x5B)
        return static_cast<int32_t>(t - 0x41);
    if (t == kEta)
        return kEtaSlot;
    // 0x623D-0x6245 (σ .. C-Level) have slots 150-158 but do not lead back to them.
    if (t >= 0x6200 && t <= 0x623C)
        return static_cast<int32_t>(t - kStatisticsOffset);
    if (t >= 0x6300 && t <= 0x633C)
        return static_cast<int32_t>(t - kWindowOffset);
    return kNoSlot;
}

std::span<const std::string_view> VariableSlots::variableNames()
{
    return kVariableNames;
}

std::optional<std::string> VariableSlots::nameForVariable(
    int32_t slot, const std::function<std::string(uint32_t)>& nameForOpcode)
{
    if (slot < kFirstInternalSlot)
        return nameForOpcode ? nameForOpcode(opcodeFromVarNum(slot)) : std::string();
    if (slot < kSlotCount)
        return std::string(kVariableNames[static_cast<size_t>(slot - kFirstInternalSlot)]);
    return std::nullopt;
}

} // namespace orvenda
