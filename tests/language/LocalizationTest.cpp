#include "language/Localization.h"

#include <gtest/gtest.h>
#include <cstdio>
#include <set>
#include <string>

using orvenda::Localization;

namespace {

std::string opcodeKey(int code)
{
    char key[16];
    std::snprintf(key, sizeof key, "OPCODE_%02X", code);
    return key;
}

// The BB and EF codes whose descriptions are keyed by their symbolic name.
const char* const kDescriptionKeys[] = {
    "F_NPV", "F_IRR", "F_BAL", "F_SUM_PRN", "F_SUM_INT", "F_NOM", "F_EFF", "F_DBD", "F_LCM",
    "F_GCD", "F_RANDINT", "F_RANDBIN", "F_SUB", "F_STDDEV", "F_VARIANCE", "F_INSTRING",
    "F_NORMALCDF", "F_INVNORM", "F_TCDF", "F_X2_CDF", "F_FCDF", "F_BINOMPDF", "F_BINOMCDF",
    "F_POISSONPDF", "F_POISSONCDF", "F_GEOMETPDF", "F_GEOMETCDF", "F_NORMALPDF", "F_TPDF",
    "F_X2_PDF", "F_FPDF", "F_RANDNORM", "F_TVM_PMT", "F_TVM_I", "F_TVM_PV", "F_TVM_N", "F_TVM_FV",
    "F_CONJ", "F_REAL_PART", "F_IMAG", "F_ANGLE", "F_CUMSUM", "F_EXPR", "F_LENGTH", "F_DELTA_LIST",
    "F_REF", "F_RREF", "F_TO_RECT", "F_TO_POLAR", "F_E_CONST", "F_SINREG", "F_LOGISTIC",
    "F_LIN_REG_TTEST", "F_SHADE_NORM", "F_SHADE_T", "F_SHADE_X2", "F_SHADE_F", "F_MAT_TO_LIST",
    "F_LIST_TO_MATRIX", "F_ZTEST", "F_TTEST", "F_2SAMPLE_ZTEST", "F_1PROP_ZTEST", "F_2PROP_ZTEST",
    "F_X2_TEST", "F_ZINTERVAL", "F_2SAMP_ZINT", "F_1PROP_ZINT", "F_2PROP_ZINT", "F_GRAPH_STYLE",
    "F_2SAMP_TTEST", "F_2SAMP_FTEST", "F_TINTERVAL", "F_2SAMP_TINT", "F_SETUP_EDITOR", "F_PMT_END",
    "F_PMT_BGN", "F_EXPR_ON", "F_EXPR_OFF", "F_CLR_ALL_LISTS", "F_GET_CALC", "F_DEL_VAR",
    "F_EQU_TO_STRING", "F_STRING_TO_EQU", "F_CLEAR_ENTRIES", "F_SELECT", "F_ANOVA", "F_MODBOX_PLOT",
    "F_NORMPROB_PLOT", "F_EXPM1", "F_TO_ABC", "F_TO_BIN", "F_TO_HEX", "F_BIN", "F_HEX", "F_SHIFT",
    "F_ROTATE", "F_FLOOR", "F_CEILING", "F_SIGN", "F_LN1P",
    "F_SET_DATE", "F_SET_TIME", "F_CHECK_TIMER", "F_SET_DT_FMT", "F_SET_TM_FMT", "F_TIME_CNV",
    "F_DAY_OF_WEEK", "F_GET_DT_STR", "F_GET_TM_STR", "F_GET_DATE", "F_GET_TIME", "F_START_TMR",
    "F_GET_DT_FMT", "F_GET_TM_FMT", "F_IS_CLOCK_ON", "F_CLOCK_OFF", "F_CLOCK_ON", "F_INV_T",
    "F_X2GOF_TEST", "F_LIN_REG_TINT", "F_REMAINDER", "F_SUMMATION", "F_LOG_BASE_N",
    "F_RAND_INT_NOREP", "F_BLUE", "F_RED", "F_BLACK", "F_MAGENTA", "F_GREEN", "F_ORANGE", "F_BROWN",
    "F_NAVY", "F_LTBLUE", "F_YELLOW", "F_WHITE", "F_LTGREY", "F_MEDGREY", "F_GREY", "F_DARKGREY",
    "F_GRIDLINE", "F_BACKGROUND_ON", "F_BACKGROUND_OFF", "F_GRAPH_COLOR", "F_TEXT_COLOR",
    "F_BORDER_COLOR", "F_LEFT_TAIL", "F_CENTER_TAIL", "F_RIGHT_TAIL", "F_INV_BINOM", "F_TO_STRING",
    "F_EVAL",

};

} // namespace

TEST(Localization, KnownKeysGiveTheirTextsOthersComeBackAsThemselves)
{
    const auto& loc = Localization::shared();
    EXPECT_EQ(loc.text("PARSE_ERROR_SYNTAX"), "Syntax error");
    EXPECT_EQ(loc.text("ERROR_OVERFLOW"), "Overflow");
    EXPECT_EQ(loc.text("ERROR_BREAK"), "User break");
    EXPECT_EQ(loc.text("OPCODE_12"), "round(value[,#decimals])");
    EXPECT_EQ(loc.text("F_NPV"), "npv(interest rate,CF0,CFList[,CFFreq])");
    // Keys match exactly: case, blanks and the correct spelling of a misspelt key all miss.
    for (const char* key : {"NO_SUCH_KEY_ANYWHERE", "", "opcode_12", " F_NPV", "OPCODE_100",
                            "PARSE_ERROR_LABEL_NOT_FOUND"})
        EXPECT_EQ(loc.text(key), key);
}

namespace {

bool validUtf8(const std::string& s)
{
    for (std::size_t i = 0; i < s.size();) {
        unsigned char c = s[i];
        int extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
        if (extra < 0 || i + extra > s.size() - 1)
            return false;
        for (int k = 1; k <= extra; ++k)
            if ((static_cast<unsigned char>(s[i + k]) >> 6) != 2)
                return false;
        i += 1 + extra;
    }
    return true;
}

} // namespace

// The help menu's titles are in the table; the empty default stands for a missing key.
TEST(Localization, TheHelpMenusTitlesAndTheFallback)
{
    const auto& loc = Localization::shared();
    EXPECT_EQ(loc.text("HELP_MENU_INTRO"), "Introduction");
    EXPECT_EQ(loc.text("HELP_MENU_SHARING", ""), "Sharing Data and Programs");
    EXPECT_EQ(loc.text("HELP_MENU_1984_CALC", ""), "Calculator");
    EXPECT_EQ(loc.text("HELP_MENU_NOTHING", ""), "");
    EXPECT_EQ(loc.text("HELP_MENU_NOTHING", "x"), "x");
}

TEST(Localization, EveryTokenDescriptionIsTranslatedValidUtf8)
{
    // First bytes of two-byte tokens have no text of their own and describe as nothing.
    const std::set<int> prefixes = {0x5C, 0x5D, 0x5E, 0x60, 0x61, 0x62, 0x63, 0x7E, 0xAA, 0xBB, 0xEF};
    const auto& loc = Localization::shared();
    for (int code = 0; code <= 0xFF; ++code) {
        const std::string key = opcodeKey(code);
        const std::string text = loc.text(key);
        EXPECT_NE(text, key) << "untranslated " << key;
        EXPECT_EQ(text.empty(), prefixes.count(code) == 1) << key;
        EXPECT_TRUE(validUtf8(text)) << key;
    }
    ASSERT_EQ(std::size(kDescriptionKeys), 152u);
    for (const char* key : kDescriptionKeys) {
        const std::string text = loc.text(key);
        EXPECT_NE(text, key) << "untranslated " << key;
        EXPECT_FALSE(text.empty()) << key;
        EXPECT_TRUE(validUtf8(text)) << key;
    }
}
