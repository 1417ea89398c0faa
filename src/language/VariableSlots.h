#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace orvenda {

// The numbered variable store: which of the 218 slots holds what, and how slots and the
// tokens that name them convert into each other. The two directions are deliberately not
// inverse at the edges: the screen-size slots 87 and 88 are reached from their tokens but
// give no token back, and the statistics slots 150-158 give their tokens but are not
// reached from them.
class VariableSlots {
public:
    static constexpr int32_t kSlotCount = 218;
    // Slots from here on are the apps' internal values; they have no token.
    static constexpr int32_t kFirstInternalSlot = 159;
    static constexpr uint32_t kNoToken = 0xFFFFFFFFu;
    static constexpr int32_t kNoSlot = -1;

    // Slot → token; kNoToken for slots without one (87, 88, 159 and above, negative).
    static uint32_t opcodeFromVarNum(int32_t slot);
    // Token (an op's low 16 bits) → slot; kNoSlot when the token names no slot.
    static int32_t varNumFromOpcode(uint32_t op);

    // Names of the internal slots 159-217, in slot order.
    static std::span<const std::string_view> variableNames();

    // Slot → name: below 159 the display name of the slot's token as given by
    // nameForOpcode (so a slot without a token takes that lookup's fallback), 159-217 the
    // internal name, above 217 none.
    static std::optional<std::string> nameForVariable(
        int32_t slot, const std::function<std::string(uint32_t)>& nameForOpcode);
};

// Slots the engine reads or writes by number.
inline constexpr int kSlotTheta = 26;
inline constexpr int kSlotXscl = 30;
inline constexpr int kSlotYscl = 31;
inline constexpr int kSlotUStart = 32;  // u(nMin)
inline constexpr int kSlotVStart = 33;  // v(nMin)
inline constexpr int kSlotXmin = 38;
inline constexpr int kSlotXmax = 39;
inline constexpr int kSlotYmin = 40;
inline constexpr int kSlotYmax = 41;
inline constexpr int kSlotTmin = 42;
inline constexpr int kSlotTmax = 43;
inline constexpr int kSlotThetaMin = 44;
inline constexpr int kSlotThetaMax = 45;
inline constexpr int kSlotDeltaTbl = 61;
inline constexpr int kSlotTstep = 62;
inline constexpr int kSlotThetaStep = 63;
inline constexpr int kSlotDeltaX = 66;
inline constexpr int kSlotDeltaY = 67;
inline constexpr int kSlotTblInput = 70;
inline constexpr int kSlotTvmN = 71;
inline constexpr int kSlotTvmIPercent = 72;
inline constexpr int kSlotTvmPV = 73;
inline constexpr int kSlotTvmPMT = 74;
inline constexpr int kSlotTvmFV = 75;
inline constexpr int kSlotPY = 76;
inline constexpr int kSlotCY = 77;
inline constexpr int kSlotWStart = 78;  // w(nMin)
inline constexpr int kSlotPaymentTiming = 86;  // 1 after Pmt_End, 0 after Pmt_Bgn
inline constexpr int kSlotScrWidth = 87;
inline constexpr int kSlotScrHeight = 88;

} // namespace orvenda
