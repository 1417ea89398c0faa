#pragma once

namespace orvenda {

// The engine's error numbers, one per entry of the error table and in its order; each name
// follows the table's key (noted beside it). 1 and 20 are both syntax errors ("Syntax error"
// and "Syntax"), 3 and 44 both "Label not found": the parse-time ones are the compiler's.
enum ErrorNumber : int {
    ErrNone = 0,                    // ERROR_NONE
    ErrSyntax = 1,                  // PARSE_ERROR_SYNTAX
    ErrDuplicateLabel = 2,          // PARSE_ERROR_DUPLICATE_LABEL
    ErrParseLabelNotFound = 3,      // PARSE_ERROR_LABLE_NOT_FOUND
    ErrMissingThen = 4,             // PARSE_ERROR_MISSING_THEN
    ErrThenWithoutIf = 5,           // ERROR_THEN_WITHOUT_IF
    ErrMissingIfEnd = 6,            // PARSE_ERROR_MISSING_IF_END
    ErrMissingForEnd = 7,           // PARSE_ERROR_MISSING_FOR_END
    ErrMissingWhileEnd = 8,         // PARSE_ERROR_MISSING_WHILE_END
    ErrMissingRepeatEnd = 9,        // PARSE_ERROR_MISSING_REPEAT_END
    ErrMissingElseEnd = 10,         // PARSE_ERROR_MISSING_ELSE_END
    ErrGotoBadLabel = 11,           // PARSE_ERROR_GOTO_BAD_LABEL
    ErrDataType = 12,               // PARSE_ERROR_DATA_TYPE
    ErrDimMismatch = 13,            // ERROR_DIM_MISMATCH
    ErrDivideBy0 = 14,              // ERROR_DIVIDE_BY_0
    ErrNonReal = 15,                // ERROR_NONREAL_ANSWER
    ErrUndefined = 16,              // ERROR_UNDEFINED
    ErrDomain = 17,                 // ERROR_DOMAIN
    ErrOverflow = 18,               // ERROR_OVERFLOW
    ErrInvalid = 19,                // ERROR_INVALID
    ErrExprSyntax = 20,             // ERROR_SYNTAX
    ErrStat = 21,                   // ERROR_STAT
    ErrIllegalNest = 22,            // ERROR_ILLEGAL_NEST
    ErrBound = 23,                  // ERROR_BOUND
    ErrInvalidDim = 24,             // ERROR_INVALID_DIMENSION
    ErrBadFrequencyList = 25,       // ERROR_BAD_FREQUENCY_LIST
    ErrMemory = 26,                 // ERROR_MEMORY
    ErrArgument = 27,               // ERROR_ARGUMENT
    ErrSingularMatrix = 28,         // ERROR_SINGULAR_MATRIX
    ErrEqSelfReference = 29,        // ERROR_EQ_SELF_REFERENCE
    ErrWindowRange = 30,            // ERROR_WINDOW_RANGE
    ErrTolNotMet = 31,              // ERROR_TOL_NOT_MET
    ErrSingularity = 32,            // ERROR_SINGULARITY
    ErrDivergent = 33,              // ERROR_DIVERGENT
    ErrListLength = 34,             // ERROR_LIST_LENGTH
    ErrListUndefined = 35,          // ERROR_LIST_UNDEFINED
    ErrInvalidMatrixSize = 36,      // ERROR_INVALID_MATRIX_SIZE
    ErrNoPellamNetwork = 37,        // ERROR_NO_PELLAM_NETWORK
    ErrEmail = 38,                  // ERROR_EMAIL
    ErrMissingArgument = 39,        // ERROR_MISSING_ARGUMENT
    ErrTooManyArguments = 40,       // ERROR_TOO_MANY_ARGUMENTS
    ErrProgramNotFound = 41,        // ERROR_PROGRAM_NOT_FOUND
    ErrIncrement = 42,              // ERROR_INCREMENT
    ErrBreak = 43,                  // ERROR_BREAK
    ErrLabelNotFound = 44,          // ERROR_LABEL_NOT_FOUND
    ErrTvmI = 45,                   // ERROR_TVM_I
    ErrTvmI1 = 46,                  // ERROR_TVM_I1
    ErrTvmI2 = 47,                  // ERROR_TVM_I2
    ErrTvmI3 = 48,                  // ERROR_TVM_I3
    ErrTvmI4 = 49,                  // ERROR_TVM_I4
    ErrTvm2I = 50,                  // ERROR_TVM_2I
    ErrTvmOutOfRange = 51,          // ERROR_TVM_OUT_OF_RANGE
    ErrTvmN1 = 52,                  // ERROR_TVM_N1
    ErrTvmN3 = 53,                  // ERROR_TVM_N3
    ErrTvmFv1 = 54,                 // ERROR_TVM_FV1
    ErrTvmPmt1 = 55,                // ERROR_TVM_PMT1
    ErrTvmPmt2 = 56,                // ERROR_TVM_PMT2
    ErrTvmIrr1 = 57,                // ERROR_TMV_IRR1
    ErrTvmIrr2 = 58,                // ERROR_TMV_IRR2
    ErrDate = 59,                   // ERROR_DATE
    ErrChemFormula = 60,            // ERROR_CHEM_FORMULA
    ErrBadGuess = 61,               // ERROR_BAD_GUESS
    ErrGuessNotInRange = 62,        // ERROR_GUESS_NOT_IN_RANGE
    ErrNoSignChange = 63,           // ERROR_NO_SIGN_CHANGE
    ErrPause = 64,                  // ERROR_PAUSE
    ErrGeomMissingSide = 65,        // ERROR_GEOM_MISSING_SIDE
    ErrGeomSrRatio = 66,            // ERROR_GEOM_SR_RATIO
    ErrGeomNoSolution = 67,         // ERROR_GEOM_NO_SOLUTION
    ErrGeom2Triangle = 68,          // ERROR_GEOM_2TRIANGLE
    ErrGdbNotFound = 69,            // ERROR_GDB_NOT_FOUND
    ErrVariableDataTooLarge = 70,   // ERROR_VARIABLE_DATA_TOO_LARGE
    ErrFirstTime = 71,              // ERROR_FIRST_TIME
    ErrReturnStackOverflow = 72,    // ERROR_RETURN_STACK_OVERFLOW
    ErrFileType = 73,               // ERROR_FILE_TYPE
    ErrFileData = 74,               // ERROR_FILE_DATA
    ErrRowName = 75,                // ERROR_ROW_NAME
    ErrBadVariableSignature = 76,   // TIERROR_BAD_VARIABLE_SIGNATURE
    ErrBadVarType = 77,             // TIERROR_BAD_VARTYPE
    ErrBadVarName = 78,             // TIERROR_BAD_VAR_NAME
    ErrBadDimension = 79,           // TIERROR_BAD_DIMENSION
    ErrFileImportSuccess = 80,      // ERROR_FILE_IMPORT_SUCCESS
    ErrNumTrials = 81,              // ERROR_NUM_TRIALS
    ErrCLevel = 82,                 // ERROR_CLEVEL
    ErrBadIndex = 83,               // ERROR_BAD_INDEX
    ErrProgramProtected = 84,       // ERROR_PROGRAM_PROTECTED
    ErrCsvBad = 85,                 // ERROR_CSV_BAD
    ErrCsvBadRow = 86,              // ERROR_CSV_BAD_ROW
    ErrPolyCoef0 = 87,              // ERROR_POLY_COEF0
    ErrPolyDegree = 88,             // ERROR_POLY_DEGREE
    ErrListNameBad = 89,            // ERROR_LIST_NAME_BAD
    ErrNonSquareMatrix = 90,        // ERROR_NON_SQUARE_MATRIX
    ErrNoSolutionRref = 91,         // ERROR_NO_SOLUTION_RREF
    ErrInvalidFreqList = 92,        // ERROR_INVALID_FREQ_LIST
    ErrProgramSize = 93,            // ERROR_PROGRAM_SIZE
};

inline constexpr int ErrorNumberCount = 94;

} // namespace orvenda
