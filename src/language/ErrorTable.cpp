#include "language/ErrorTable.h"

#include "language/Localization.h"

namespace orvenda {

namespace {

// Index = error number. The spelling is fixed: translations are keyed on it.
constexpr std::array<std::string_view, ErrorTable::count> kKeys = {
    "ERROR_NONE",                     // 0
    "PARSE_ERROR_SYNTAX",             // 1
    "PARSE_ERROR_DUPLICATE_LABEL",    // 2
    "PARSE_ERROR_LABLE_NOT_FOUND",    // 3
    "PARSE_ERROR_MISSING_THEN",       // 4
    "ERROR_THEN_WITHOUT_IF",          // 5
    "PARSE_ERROR_MISSING_IF_END",     // 6
    "PARSE_ERROR_MISSING_FOR_END",    // 7
    "PARSE_ERROR_MISSING_WHILE_END",  // 8
    "PARSE_ERROR_MISSING_REPEAT_END", // 9
    "PARSE_ERROR_MISSING_ELSE_END",   // 10
    "PARSE_ERROR_GOTO_BAD_LABEL",     // 11
    "PARSE_ERROR_DATA_TYPE",          // 12
    "ERROR_DIM_MISMATCH",             // 13
    "ERROR_DIVIDE_BY_0",              // 14
    "ERROR_NONREAL_ANSWER",           // 15
    "ERROR_UNDEFINED",                // 16
    "ERROR_DOMAIN",                   // 17
    "ERROR_OVERFLOW",                 // 18
    "ERROR_INVALID",                  // 19
    "ERROR_SYNTAX",                   // 20
    "ERROR_STAT",                     // 21
    "ERROR_ILLEGAL_NEST",             // 22
    "ERROR_BOUND",                    // 23
    "ERROR_INVALID_DIMENSION",        // 24
    "ERROR_BAD_FREQUENCY_LIST",       // 25
    "ERROR_MEMORY",                   // 26
    "ERROR_ARGUMENT",                 // 27
    "ERROR_SINGULAR_MATRIX",          // 28
    "ERROR_EQ_SELF_REFERENCE",        // 29
    "ERROR_WINDOW_RANGE",             // 30
    "ERROR_TOL_NOT_MET",              // 31
    "ERROR_SINGULARITY",              // 32
    "ERROR_DIVERGENT",                // 33
    "ERROR_LIST_LENGTH",              // 34
    "ERROR_LIST_UNDEFINED",           // 35
    "ERROR_INVALID_MATRIX_SIZE",      // 36
    "ERROR_NO_PELLAM_NETWORK",        // 37
    "ERROR_EMAIL",                    // 38
    "ERROR_MISSING_ARGUMENT",         // 39
    "ERROR_TOO_MANY_ARGUMENTS",       // 40
    "ERROR_PROGRAM_NOT_FOUND",        // 41
    "ERROR_INCREMENT",                // 42
    "ERROR_BREAK",                    // 43
    "ERROR_LABEL_NOT_FOUND",          // 44
    "ERROR_TVM_I",                    // 45
    "ERROR_TVM_I1",                   // 46
    "ERROR_TVM_I2",                   // 47
    "ERROR_TVM_I3",                   // 48
    "ERROR_TVM_I4",                   // 49
    "ERROR_TVM_2I",                   // 50
    "ERROR_TVM_OUT_OF_RANGE",         // 51
    "ERROR_TVM_N1",                   // 52
    "ERROR_TVM_N3",                   // 53
    "ERROR_TVM_FV1",                  // 54
    "ERROR_TVM_PMT1",                 // 55
    "ERROR_TVM_PMT2",                 // 56
    "ERROR_TMV_IRR1",                 // 57
    "ERROR_TMV_IRR2",                 // 58
    "ERROR_DATE",                     // 59
    "ERROR_CHEM_FORMULA",             // 60
    "ERROR_BAD_GUESS",                // 61
    "ERROR_GUESS_NOT_IN_RANGE",       // 62
    "ERROR_NO_SIGN_CHANGE",           // 63
    "ERROR_PAUSE",                    // 64
    "ERROR_GEOM_MISSING_SIDE",        // 65
    "ERROR_GEOM_SR_RATIO",            // 66
    "ERROR_GEOM_NO_SOLUTION",         // 67
    "ERROR_GEOM_2TRIANGLE",           // 68
    "ERROR_GDB_NOT_FOUND",            // 69
    "ERROR_VARIABLE_DATA_TOO_LARGE",  // 70
    "ERROR_FIRST_TIME",               // 71
    "ERROR_RETURN_STACK_OVERFLOW",    // 72
    "ERROR_FILE_TYPE",                // 73
    "ERROR_FILE_DATA",                // 74
    "ERROR_ROW_NAME",                 // 75
    "TIERROR_BAD_VARIABLE_SIGNATURE", // 76
    "TIERROR_BAD_VARTYPE",            // 77
    "TIERROR_BAD_VAR_NAME",           // 78
    "TIERROR_BAD_DIMENSION",          // 79
    "ERROR_FILE_IMPORT_SUCCESS",      // 80
    "ERROR_NUM_TRIALS",               // 81
    "ERROR_CLEVEL",                   // 82
    "ERROR_BAD_INDEX",                // 83
    "ERROR_PROGRAM_PROTECTED",        // 84
    "ERROR_CSV_BAD",                  // 85
    "ERROR_CSV_BAD_ROW",              // 86
    "ERROR_POLY_COEF0",               // 87
    "ERROR_POLY_DEGREE",              // 88
    "ERROR_LIST_NAME_BAD",            // 89
    "ERROR_NON_SQUARE_MATRIX",        // 90
    "ERROR_NO_SOLUTION_RREF",         // 91
    "ERROR_INVALID_FREQ_LIST",        // 92
    "ERROR_PROGRAM_SIZE",             // 93
};

const std::array<std::string, ErrorTable::count>& resolved()
{
    static const std::array<std::string, ErrorTable::count> strings = [] {
        std::array<std::string, ErrorTable::count> out;
        const Localization& loc = Localization::shared();
        for (int i = 0; i < ErrorTable::count; ++i)
            out[i] = loc.text(kKeys[i]);
        return out;
    }();
    return strings;
}

bool inTable(int number)
{
    return number >= 0 && number < ErrorTable::count;
}

} // namespace

std::string_view ErrorTable::key(int number)
{
    return inTable(number) ? kKeys[number] : std::string_view{};
}

std::span<const std::string_view> ErrorTable::keys()
{
    return kKeys;
}

std::span<const std::string> ErrorTable::errorStrings()
{
    return resolved();
}

const std::string& ErrorTable::formatError(int number)
{
    static const std::string bad = "Bad error";
    return inTable(number) ? resolved()[number] : bad;
}

const std::string& ErrorTable::errString(int number)
{
    static const std::string unknown = "Unknown error";
    return inTable(number) ? resolved()[number] : unknown;
}

} // namespace orvenda
