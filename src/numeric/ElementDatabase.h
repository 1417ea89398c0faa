#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace orvenda {

// The periodic table's data, one record per element, and chemical formulas read against it.
//
// The table is text: lines separated by "\r\n" (empty lines skipped); the first line names
// the columns as name.type ("s" text, "d" real, anything else integer), every further line
// holds one element's comma-separated fields in that order, element n on the n-th line.
// The columns are addressed by position (Column). An empty or unreadable real field is
// NaN (the table writes "Unknown"), an empty or unreadable integer field 0.
//
// Loaded once and read-only afterwards, so any thread may read it.
class ElementDatabase {
public:
    enum Column {
        ColName = 0,
        ColSymbol = 1,
        ColNumber = 2,
        ColWeight = 3,            // g/mol
        ColGroup = 4,
        ColPeriod = 5,
        ColDensity = 6,           // kg/m³ at 0 °C and 101.325 kPa
        ColLiquidDensity = 7,     // kg/m³
        ColMelt = 8,              // K
        ColBoil = 9,              // K
        ColDiscovered = 25,
        ColSeries = 26,
        ColShells = 27,           // electrons per shell joined by "-"
        ColValence = 28,
        ColElectronegativity = 29,
        ColElectronAffinity = 30,  // kJ/mol
        ColConfiguration = 31,     // "[Ne] 3s2 3p4"
        ColIonization = 32,        // kJ/mol, space-separated
    };
    enum ColumnType { TypeInteger = 0, TypeReal = 1, TypeText = 2 };
    static constexpr int kMaxElements = 118;

    // A cell: nothing (no such element or field), text, a real or an integer.
    using Cell = std::variant<std::monostate, std::string, double, long long>;
    // Atoms per element number.
    using Counts = std::map<int, long long>;

    // One element of a compound as the chemistry screen lists it.
    struct Share {
        int num = 0;
        long long atoms = 0;
        double weight = 0;   // atomic weight
        double mass = 0;     // weight × atoms
        std::string symbol;
        double percent = 0;  // mass / total, 0..1
    };

    // The application's table, compiled in.
    static const ElementDatabase& elementDatabase();
    explicit ElementDatabase(std::string_view text);

    const std::vector<std::string>& columnHeadings() const { return headings_; }
    const std::vector<int>& columnType() const { return types_; }
    int count() const { return static_cast<int>(elements_.size()); }

    // Nothing for an element number outside the table or a column it has no field for.
    Cell col(int column, int element) const;
    std::vector<Cell> getColumn(int column) const;
    // The level-th (from 0) ionization energy of every element, 0 where it has fewer.
    std::vector<double> getIonizations(int level) const;
    // 0 for nothing; a text holding a number gives that number, other text 0.
    double doubleValueCol(int column, int element) const;
    double intValueCol(int column, int element) const;

    std::string name(int element) const;
    std::string symbol(int element) const;
    double mass(int element) const { return doubleValueCol(ColWeight, element); }
    double density(int element) const { return doubleValueCol(ColDensity, element); }
    double meltPoint(int element) const { return doubleValueCol(ColMelt, element); }
    double boilPoint(int element) const { return doubleValueCol(ColBoil, element); }
    // "Alkali" 0, "Akaline" 1, "Metalloid" 2, "Nonmetal" 3, "Halogen" 4, "Nobel" 5,
    // "Trans metal" 6, "Post-trans metal" 7, "Lanthanide" 8, "Actinoid" 9, other text 0.
    int series(int element) const;
    std::vector<std::string> electronShell(int element) const { return parts(ColShells, element, "-"); }
    int valence(int element) const { return static_cast<int>(intValueCol(ColValence, element)); }
    double electronegativity(int element) const { return doubleValueCol(ColElectronegativity, element); }
    double electronAffinity(int element) const { return doubleValueCol(ColElectronAffinity, element); }
    std::vector<std::string> ionizations(int element) const { return parts(ColIonization, element, " "); }
    // The configuration with the blanks dropped and the counts after s, p, d and f raised:
    // "[Ne] 3s2 3p4" reads "[Ne]3s²3p⁴".
    std::string orbitals(int element) const;
    // Valence dots of a Lewis diagram, from the group and period.
    int lewisDot(int element) const;

    // The element whose symbol is exactly this (case counts), 0 when none.
    int numForSymbol(std::string_view symbol) const;

    // Atoms per element of a formula such as Ca(OH)2, or nothing with the index of the
    // faulty character in errLocation. Unclosed groups close at the end.
    std::optional<Counts> atomCount(std::string_view formula, int& errLocation) const;
    // Adds the group's counts times the multiplier into the target.
    static void mergeCompound(const Counts& group, long long multiplier, Counts& target);
    // Molar mass in g/mol: 0 for an empty formula, -1 when it cannot be read.
    double weight(std::string_view formula, int& errLocation) const;
    // The elements of the formula in order of atomic number with their shares of the
    // total mass; nothing when it cannot be read (total then unchanged).
    std::optional<std::vector<Share>> analyzeCompound(std::string_view formula, double& total,
                                                      int& errLocation) const;

private:
    const std::string* text(int column, int element) const;
    // A text cell split at the separator; nothing for no text.
    std::vector<std::string> parts(int column, int element, std::string_view separator) const;

    std::vector<std::string> headings_;
    std::vector<int> types_;
    std::vector<std::vector<Cell>> elements_;
};

} // namespace orvenda
