#include "language/ErrorTable.h"

#include "language/ErrorNumbers.h"

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

// ErrorNumber names and this table must not drift apart.
static_assert(ErrorNumberCount == ErrorTable::count);
static_assert(kKeys[ErrNone] == "ERROR_NONE");
static_assert(kKeys[ErrSyntax] == "PARSE_ERROR_SYNTAX");
static_assert(kKeys[ErrDuplicateLabel] == "PARSE_ERROR_DUPLICATE_LABEL");
static_assert(kKeys[ErrParseLabelNotFound] == "PARSE_ERROR_LABLE_NOT_FOUND");
static_assert(kKeys[ErrMissingThen] == "PARSE_ERROR_MISSING_THEN");
static_assert(kKeys[ErrThenWithoutIf] == "ERROR_THEN_WITHOUT_IF");
static_assert(kKeys[ErrMissingIfEnd] == "PARSE_ERROR_MISSING_IF_END");
static_assert(kKeys[ErrMissingForEnd] == "PARSE_ERROR_MISSING_FOR_END");
static_assert(kKeys[ErrMissingWhileEnd] == "PARSE_ERROR_MISSING_WHILE_END");
static_assert(kKeys[ErrMissingRepeatEnd] == "PARSE_ERROR_MISSING_REPEAT_END");
static_assert(kKeys[ErrMissingElseEnd] == "PARSE_ERROR_MISSING_ELSE_END");
static_assert(kKeys[ErrGotoBadLabel] == "PARSE_ERROR_GOTO_BAD_LABEL");
static_assert(kKeys[ErrDataType] == "PARSE_ERROR_DATA_TYPE");
static_assert(kKeys[ErrDimMismatch] == "ERROR_DIM_MISMATCH");
static_assert(kKeys[ErrDivideBy0] == "ERROR_DIVIDE_BY_0");
static_assert(kKeys[ErrNonReal] == "ERROR_NONREAL_ANSWER");
static_assert(kKeys[ErrUndefined] == "ERROR_UNDEFINED");
static_assert(kKeys[ErrDomain] == "ERROR_DOMAIN");
static_assert(kKeys[ErrOverflow] == "ERROR_OVERFLOW");
static_assert(kKeys[ErrInvalid] == "ERROR_INVALID");
static_assert(kKeys[ErrExprSyntax] == "ERROR_SYNTAX");
static_assert(kKeys[ErrStat] == "ERROR_STAT");
static_assert(kKeys[ErrIllegalNest] == "ERROR_ILLEGAL_NEST");
static_assert(kKeys[ErrBound] == "ERROR_BOUND");
static_assert(kKeys[ErrInvalidDim] == "ERROR_INVALID_DIMENSION");
static_assert(kKeys[ErrBadFrequencyList] == "ERROR_BAD_FREQUENCY_LIST");
static_assert(kKeys[ErrMemory] == "ERROR_MEMORY");
static_assert(kKeys[ErrArgument] == "ERROR_ARGUMENT");
static_assert(kKeys[ErrSingularMatrix] == "ERROR_SINGULAR_MATRIX");
static_assert(kKeys[ErrEqSelfReference] == "ERROR_EQ_SELF_REFERENCE");
static_assert(kKeys[ErrWindowRange] == "ERROR_WINDOW_RANGE");
static_assert(kKeys[ErrTolNotMet] == "ERROR_TOL_NOT_MET");
static_assert(kKeys[ErrSingularity] == "ERROR_SINGULARITY");
static_assert(kKeys[ErrDivergent] == "ERROR_DIVERGENT");
static_assert(kKeys[ErrListLength] == "ERROR_LIST_LENGTH");
static_assert(kKeys[ErrListUndefined] == "ERROR_LIST_UNDEFINED");
static_assert(kKeys[ErrInvalidMatrixSize] == "ERROR_INVALID_MATRIX_SIZE");
static_assert(kKeys[ErrNoPellamNetwork] == "ERROR_NO_PELLAM_NETWORK");
static_assert(kKeys[ErrEmail] == "ERROR_EMAIL");
static_assert(kKeys[ErrMissingArgument] == "ERROR_MISSING_ARGUMENT");
static_assert(kKeys[ErrTooManyArguments] == "ERROR_TOO_MANY_ARGUMENTS");
static_assert(kKeys[ErrProgramNotFound] == "ERROR_PROGRAM_NOT_FOUND");
static_assert(kKeys[ErrIncrement] == "ERROR_INCREMENT");
static_assert(kKeys[ErrBreak] == "ERROR_BREAK");
static_assert(kKeys[ErrLabelNotFound] == "ERROR_LABEL_NOT_FOUND");
static_assert(kKeys[ErrTvmI] == "ERROR_TVM_I");
static_assert(kKeys[ErrTvmI1] == "ERROR_TVM_I1");
static_assert(kKeys[ErrTvmI2] == "ERROR_TVM_I2");
static_assert(kKeys[ErrTvmI3] == "ERROR_TVM_I3");
static_assert(kKeys[ErrTvmI4] == "ERROR_TVM_I4");
static_assert(kKeys[ErrTvm2I] == "ERROR_TVM_2I");
static_assert(kKeys[ErrTvmOutOfRange] == "ERROR_TVM_OUT_OF_RANGE");
static_assert(kKeys[ErrTvmN1] == "ERROR_TVM_N1");
static_assert(kKeys[ErrTvmN3] == "ERROR_TVM_N3");
static_assert(kKeys[ErrTvmFv1] == "ERROR_TVM_FV1");
static_assert(kKeys[ErrTvmPmt1] == "ERROR_TVM_PMT1");
static_assert(kKeys[ErrTvmPmt2] == "ERROR_TVM_PMT2");
static_assert(kKeys[ErrTvmIrr1] == "ERROR_TMV_IRR1");
static_assert(kKeys[ErrTvmIrr2] == "ERROR_TMV_IRR2");
static_assert(kKeys[ErrDate] == "ERROR_DATE");
static_assert(kKeys[ErrChemFormula] == "ERROR_CHEM_FORMULA");
static_assert(kKeys[ErrBadGuess] == "ERROR_BAD_GUESS");
static_assert(kKeys[ErrGuessNotInRange] == "ERROR_GUESS_NOT_IN_RANGE");
static_assert(kKeys[ErrNoSignChange] == "ERROR_NO_SIGN_CHANGE");
static_assert(kKeys[ErrPause] == "ERROR_PAUSE");
static_assert(kKeys[ErrGeomMissingSide] == "ERROR_GEOM_MISSING_SIDE");
static_assert(kKeys[ErrGeomSrRatio] == "ERROR_GEOM_SR_RATIO");
static_assert(kKeys[ErrGeomNoSolution] == "ERROR_GEOM_NO_SOLUTION");
static_assert(kKeys[ErrGeom2Triangle] == "ERROR_GEOM_2TRIANGLE");
static_assert(kKeys[ErrGdbNotFound] == "ERROR_GDB_NOT_FOUND");
static_assert(kKeys[ErrVariableDataTooLarge] == "ERROR_VARIABLE_DATA_TOO_LARGE");
static_assert(kKeys[ErrFirstTime] == "ERROR_FIRST_TIME");
static_assert(kKeys[ErrReturnStackOverflow] == "ERROR_RETURN_STACK_OVERFLOW");
static_assert(kKeys[ErrFileType] == "ERROR_FILE_TYPE");
static_assert(kKeys[ErrFileData] == "ERROR_FILE_DATA");
static_assert(kKeys[ErrRowName] == "ERROR_ROW_NAME");
static_assert(kKeys[ErrBadVariableSignature] == "TIERROR_BAD_VARIABLE_SIGNATURE");
static_assert(kKeys[ErrBadVarType] == "TIERROR_BAD_VARTYPE");
static_assert(kKeys[ErrBadVarName] == "TIERROR_BAD_VAR_NAME");
static_assert(kKeys[ErrBadDimension] == "TIERROR_BAD_DIMENSION");
static_assert(kKeys[ErrFileImportSuccess] == "ERROR_FILE_IMPORT_SUCCESS");
static_assert(kKeys[ErrNumTrials] == "ERROR_NUM_TRIALS");
static_assert(kKeys[ErrCLevel] == "ERROR_CLEVEL");
static_assert(kKeys[ErrBadIndex] == "ERROR_BAD_INDEX");
static_assert(kKeys[ErrProgramProtected] == "ERROR_PROGRAM_PROTECTED");
static_assert(kKeys[ErrCsvBad] == "ERROR_CSV_BAD");
static_assert(kKeys[ErrCsvBadRow] == "ERROR_CSV_BAD_ROW");
static_assert(kKeys[ErrPolyCoef0] == "ERROR_POLY_COEF0");
static_assert(kKeys[ErrPolyDegree] == "ERROR_POLY_DEGREE");
static_assert(kKeys[ErrListNameBad] == "ERROR_LIST_NAME_BAD");
static_assert(kKeys[ErrNonSquareMatrix] == "ERROR_NON_SQUARE_MATRIX");
static_assert(kKeys[ErrNoSolutionRref] == "ERROR_NO_SOLUTION_RREF");
static_assert(kKeys[ErrInvalidFreqList] == "ERROR_INVALID_FREQ_LIST");
static_assert(kKeys[ErrProgramSize] == "ERROR_PROGRAM_SIZE");

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
