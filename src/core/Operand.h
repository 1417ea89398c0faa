#pragma once

#include "core/VQString.h"

#include <array>
#include <complex>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace orvenda {

class VQList;
class VQMatrix;
class VQStack;

// What an operand record is; also the result type that result display, the history and
// program output act on.
enum OperandKind : int {
    KindOpcode = 0,        // operator, function or command token in RPN (opcode form)
    KindReal = 1,          // complex value, imaginary part 0
    KindComplex = 2,       // complex value
    KindRealList = 3,      // list
    KindComplexList = 4,   // list
    KindMatrix = 5,        // matrix
    KindGDBName = 6,       // picture or graph-database name (variable reference, subKind 11)
    KindVariable = 7,      // variable reference
    KindFunction = 8,      // compiled expression (nested stack)
    KindString = 9,        // op array
    KindOneVarStats = 10,  // object
    KindTwoVarStats = 11,  // object
    KindRegression = 12,   // 12..30: results kept outside the record
    KindAnova = 13,
    KindStatTestFirst = 14,
    KindStatTestLast = 30,
    KindDone = 31,
    KindInputRequest = 32,  // variable reference and prompt op array
    KindProgramCall = 33,   // two objects
    KindResults = 34,       // nested stack
    KindGraphShown = 35,
    KindPrompt = 36,        // nested stack
    KindMenu = 37,          // object
    KindOutput = 38,        // four ints and a value
    KindReturn = 39,
    KindStop = 40,
    KindBranch = 41,        // jump target, control token and condition in the four ints
    KindClrHome = 42,
    KindPause = 43,         // flag set, and the value as for KindOutput
    KindError = 44,         // error or empty result; `error` holds the number
    KindNoShow = 45,        // a result not to be shown
    KindUnused46 = 46,
    KindBreakpoint = 47,
    KindQuestion = 48,      // the internal "?" token
    KindDispTable = 49,
    KindZoom = 50,          // the zoom token in the opcode form
    KindClrDraw = 51,
    KindClrControls = 52,
    KindDispControls = 53,
    KindWidgetAdded = 54,
    KindGDBRecall = 55,
};

// What a variable reference names.
enum VarSubKind : int {
    VarNone = 0,
    VarReal = 1,           // variable slot
    VarList = 2,           // list by name
    VarMatrix = 3,         // [A]..[J]
    VarSeed = 4,           // random seed
    VarDim = 5,            // dimension
    VarListElement = 7,    // element of L1..L6 or a named list
    VarMatrixElement = 8,  // cell of [A]..[J]
    VarString = 9,         // Str1..Str0
    VarEquation = 10,      // Y=, parametric, polar and sequence equations
    VarGDB = 11,           // graph database
};

// Anything else a record can carry (statistics, menus, programs, ...): the later parts
// derive from this so a record can own them without knowing their type.
class OperandObject {
public:
    virtual ~OperandObject() = default;
};

struct VarRef {
    int subKind = VarNone;
    int token = 0;
    // Slot, list or matrix number, or the token itself, by subKind.
    int index = 0;
    // The list element or matrix column, and the matrix row (0-based).
    int elem1 = 0;
    int elem2 = 0;
    std::string name;
};

// One token, value or result as the parser and evaluator exchange them, copied by value.
// The payload forms are separate members rather than an overlay; a carried object is
// shared by every copy of the record, so a copy stays valid whatever happens to the
// stack it came from. A record of a real number holds no object and copies without
// allocating.
struct Operand {
    using Ops = std::vector<std::uint32_t>;

    // The 32-character name field. Almost no record carries a name, so the characters
    // live outside the record and only once a character is set; copies share them until
    // one is written (each record still reads as having its own).
    class Name {
    public:
        static constexpr std::size_t kLength = 32;
        using Chars = std::array<char32_t, kLength>;

        // One character as an assignable place.
        class Ref {
        public:
            operator char32_t() const { return static_cast<const Name&>(name_)[at_]; }
            Ref& operator=(char32_t c)
            {
                name_.set(at_, c);
                return *this;
            }
            Ref& operator=(const Ref& other) { return *this = static_cast<char32_t>(other); }

        private:
            friend class Name;
            Ref(Name& name, std::size_t at) : name_(name), at_(at) {}
            Name& name_;
            std::size_t at_;
        };

        static constexpr std::size_t size() { return kLength; }
        char32_t operator[](std::size_t i) const { return chars_ && i < kLength ? (*chars_)[i] : 0; }
        Ref operator[](std::size_t i) { return Ref(*this, i); }
        void set(std::size_t i, char32_t c)
        {
            if (i >= kLength || (!chars_ && c == 0))
                return;
            if (!chars_ || chars_.use_count() > 1)
                chars_ = chars_ ? std::make_shared<Chars>(*chars_) : std::make_shared<Chars>(Chars{});
            (*chars_)[i] = c;
        }
        // All characters zero.
        void clear() { chars_.reset(); }
        // The 32 characters, zero-padded.
        const Chars& chars() const { return chars_ ? *chars_ : none(); }
        operator const Chars&() const { return chars(); }

    private:
        static const Chars& none()
        {
            static const Chars zeros{};
            return zeros;
        }
        std::shared_ptr<Chars> chars_;
    };

    int kind = KindError;
    // Index of the token the record came from; errors on the record report it.
    int location = 0;
    int aux = 0;
    Name name;
    bool flag = false;
    int displayMod = 0;
    bool hasDecimalPoint = false;
    int error = 0;
    int sigFig = 15;
    int sigDec = -15;

    // Complex value form (kinds 1 and 2; the value of kinds 38 and 43).
    std::complex<double> value{0.0, 0.0};
    // Opcode form (kinds 0 and 50): the whole opcode word and the precedence of its low
    // 16 bits; opInt and `object` complete the form.
    std::uint32_t opcode = 0;
    int precedence = 0;
    int opInt = 0;
    // Variable reference form (kinds 6, 7 and 32).
    VarRef var;
    // "Four ints" form (kinds 38, 41 and 43).
    std::array<int, 4> ints{};
    // "Two counts and a flag" form.
    unsigned count1 = 0;
    unsigned count2 = 0;
    bool countFlag = false;

    // Carried objects.
    std::shared_ptr<VQList> list;        // kinds 3, 4
    std::shared_ptr<VQMatrix> matrix;    // kind 5
    std::optional<VQString> string;      // kind 9; the prompt of kind 32
    std::shared_ptr<VQStack> stack;      // kinds 8, 34, 36
    std::shared_ptr<OperandObject> object;   // kinds 10, 11, 37; first of "two objects"
    std::shared_ptr<OperandObject> object2;  // second of "two objects"

    // The fresh record: kind 44, no error, pair (15, -15), value 0.
    Operand() = default;

    // Back to the fresh record in place, without building and moving a temporary one
    // (the evaluator does this for every token). Lists every member: a new member
    // belongs here too.
    void reset() noexcept
    {
        kind = KindError;
        location = 0;
        aux = 0;
        name.clear();
        flag = false;
        displayMod = 0;
        hasDecimalPoint = false;
        error = 0;
        sigFig = 15;
        sigDec = -15;
        value = {0.0, 0.0};
        opcode = 0;
        precedence = 0;
        opInt = 0;
        var.subKind = VarNone;
        var.token = 0;
        var.index = 0;
        var.elem1 = 0;
        var.elem2 = 0;
        var.name.clear();
        ints = {};
        count1 = 0;
        count2 = 0;
        countFlag = false;
        list.reset();
        matrix.reset();
        string.reset();
        stack.reset();
        object.reset();
        object2.reset();
    }

    double re() const { return value.real(); }
    double im() const { return value.imag(); }
};

// Kind checks the evaluator makes on every argument; a list counts only with its elements.
inline bool isNumber(const Operand& op) { return op.kind == KindReal || op.kind == KindComplex; }
inline bool isReal(const Operand& op) { return op.kind == KindReal; }
inline bool isList(const Operand& op)
{
    return (op.kind == KindRealList || op.kind == KindComplexList) && op.list;
}

} // namespace orvenda
