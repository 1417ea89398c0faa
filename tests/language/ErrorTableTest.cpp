#include "language/ErrorTable.h"
#include "language/Localization.h"

#include <gtest/gtest.h>
#include <climits>
#include <set>

using orvenda::ErrorTable;
using orvenda::Localization;

TEST(ErrorTable, KeysSitAtTheirNumbers)
{
    ASSERT_EQ(ErrorTable::keys().size(), 94u);
    struct { int number; const char* key; } fixed[] = {
        {0, "ERROR_NONE"}, {1, "PARSE_ERROR_SYNTAX"}, {3, "PARSE_ERROR_LABLE_NOT_FOUND"},
        {12, "PARSE_ERROR_DATA_TYPE"}, {13, "ERROR_DIM_MISMATCH"}, {15, "ERROR_NONREAL_ANSWER"},
        {16, "ERROR_UNDEFINED"}, {17, "ERROR_DOMAIN"}, {19, "ERROR_INVALID"},
        {24, "ERROR_INVALID_DIMENSION"}, {27, "ERROR_ARGUMENT"}, {29, "ERROR_EQ_SELF_REFERENCE"},
        {39, "ERROR_MISSING_ARGUMENT"}, {40, "ERROR_TOO_MANY_ARGUMENTS"}, {43, "ERROR_BREAK"},
        {45, "ERROR_TVM_I"}, {57, "ERROR_TMV_IRR1"}, {58, "ERROR_TMV_IRR2"},
        {72, "ERROR_RETURN_STACK_OVERFLOW"}, {76, "TIERROR_BAD_VARIABLE_SIGNATURE"},
        {80, "ERROR_FILE_IMPORT_SUCCESS"}, {83, "ERROR_BAD_INDEX"}, {92, "ERROR_INVALID_FREQ_LIST"},
        {93, "ERROR_PROGRAM_SIZE"},
    };
    for (auto [number, key] : fixed)
        EXPECT_EQ(ErrorTable::key(number), key) << number;

    std::set<std::string_view> distinct(ErrorTable::keys().begin(), ErrorTable::keys().end());
    EXPECT_EQ(distinct.size(), 94u);
}

TEST(ErrorTable, EveryNumberHasAnEnglishText)
{
    for (int n = 0; n < ErrorTable::count; ++n) {
        const std::string& text = ErrorTable::formatError(n);
        EXPECT_FALSE(text.empty()) << n;
        EXPECT_NE(text, ErrorTable::key(n)) << "untranslated error " << n;
    }
}

TEST(ErrorTable, EdgesOfTheTable)
{
    EXPECT_EQ(ErrorTable::formatError(0), "No error");
    EXPECT_EQ(ErrorTable::formatError(93), "Program too large");
    EXPECT_EQ(ErrorTable::formatError(-1), "Bad error");
    EXPECT_EQ(ErrorTable::formatError(94), "Bad error");
    EXPECT_EQ(ErrorTable::formatError(INT_MIN), "Bad error");
    EXPECT_EQ(ErrorTable::errString(16), "Undefined");
    EXPECT_EQ(ErrorTable::errString(-1), "Unknown error");
    EXPECT_EQ(ErrorTable::errString(94), "Unknown error");
    EXPECT_EQ(ErrorTable::errString(INT_MAX), "Unknown error");
    EXPECT_EQ(ErrorTable::key(-1), "");
    EXPECT_EQ(ErrorTable::key(94), "");
}

TEST(ErrorTable, TextsShownByTheAlerts)
{
    EXPECT_EQ(ErrorTable::formatError(43), "User break");
    EXPECT_EQ(ErrorTable::formatError(80), "Import Succeeded");
    EXPECT_EQ(ErrorTable::formatError(1), "Syntax error");
    EXPECT_EQ(ErrorTable::formatError(18), "Overflow");
}
