#pragma once

namespace orvenda {

// The variable slots of the statistics variables: where the summaries, fits, tests and
// intervals leave their inputs and results, and where the result texts read them.
enum StatSlot : int {
    SlotN = 91,
    SlotXMean = 92,
    SlotXSum = 93,
    SlotX2Sum = 94,
    SlotSx = 95,
    SlotPopSx = 96,
    SlotMinX = 97,
    SlotMaxX = 98,
    SlotMinY = 99,
    SlotMaxY = 100,
    SlotYMean = 101,
    SlotYSum = 102,
    SlotY2Sum = 103,
    SlotSy = 104,
    SlotPopSy = 105,
    SlotXYSum = 106,
    SlotR = 107,
    SlotMedian = 108,
    SlotQ1 = 109,
    SlotQ3 = 110,
    SlotA = 111,  // a..e in 111..115
    SlotP1x = 116,  // x of P1..P3 in 116..118, y in 119..121
    SlotP1y = 119,
    SlotTestN = 122,
    SlotP = 123,
    SlotZ = 124,
    SlotT = 125,
    SlotChi2 = 126,
    SlotF = 127,
    SlotDf = 128,
    SlotPHat = 129,
    SlotPHat1 = 130,
    SlotPHat2 = 131,
    SlotXMean1 = 132,
    SlotSx1 = 133,
    SlotN1 = 134,
    SlotXMean2 = 135,
    SlotSx2 = 136,
    SlotN2 = 137,
    SlotSxp = 138,
    SlotLower = 139,
    SlotUpper = 140,
    SlotS = 141,
    SlotR2 = 142,
    SlotBigR2 = 143,
    SlotFactorDf = 144,  // df, SS, MS
    SlotErrorDf = 147,   // df, SS, MS
    SlotSigma = 150,
    SlotSigma1 = 151,
    SlotSigma2 = 152,
    SlotMu0 = 153,
    SlotP0 = 154,
    SlotX = 155,
    SlotX1 = 156,
    SlotX2 = 157,
    SlotCLevel = 158,
    // 1 less than, 2 greater than, anything else not equal.
    SlotAlternative = 159,
};

} // namespace orvenda
