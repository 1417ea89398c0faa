// Any bytes handed to the CSV import. The import takes the file whole or not at all: on
// success every list it stored has 1 to 999 numbers, all finite, under a name that can be
// typed, no more than 999 of them, the lists already there under other names stay, and the
// lists survive the saved state and their own export; on a refusal (85 or 86) nothing
// changed. The same bytes in the CSV preview: within its limits, every row named or
// numbered in turn, the grid drawn at its start and end and touched anywhere.

#include "apps/CSVImport.h"
#include "apps/CSVText.h"
#include "apps/CSVView.h"
#include "apps/CSVViewController.h"
#include "core/Calculator.h"
#include "core/MemoryArchive.h"
#include "core/VQList.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <cmath>
#include <complex>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <string_view>
#include <vector>

using namespace orvenda;

namespace {

const LocaleFormats kLocale{"h a", "MMMM d, y"};

void check(bool condition, int line = __builtin_LINE())
{
    if (!condition) {
        std::fprintf(stderr, "check failed at line %d\n", line);
        std::abort();
    }
}

// A name the list-name line takes: L₁ to L₆, or 1 to 5 of A–Z, 0–9 and θ, a letter first.
bool typeable(std::string_view name)
{
    for (const char* builtIn : {"L₁", "L₂", "L₃", "L₄", "L₅", "L₆"})
        if (name == builtIn)
            return true;
    const std::string_view theta = "θ";
    int length = 0;
    for (std::size_t i = 0; i < name.size(); ++length) {
        if (name.substr(i, theta.size()) == theta) {
            i += theta.size();
            continue;
        }
        const char c = name[i++];
        const bool digit = c >= '0' && c <= '9';
        if (!(c >= 'A' && c <= 'Z') && !(digit && length > 0))
            return false;
    }
    return length >= 1 && length <= 5;
}

using Lists = std::map<std::string, std::vector<std::complex<double>>>;

// Calculators made once (making one costs far more than an import); each run sets the
// lists it starts from, the only state the import touches.
Calculator& calculator(int k)
{
    static Calculator* calcs[] = {new Calculator(kLocale), new Calculator(kLocale), new Calculator(kLocale),
        new Calculator(kLocale)};
    calcs[k]->locked()->lists.clear();
    return *calcs[k];
}

Lists listsOf(const Calculator& calc)
{
    Lists out;
    for (const auto& [name, list] : calc.locked()->lists) {
        std::vector<std::complex<double>>& values = out[name];
        for (int k = 0; k < list.count(); ++k)
            values.push_back(list.complexAtIndex(k));
    }
    return out;
}

// The preview shows the bytes: at most its cells, each row numbered "L1", "L2", ... in turn
// or named by its own first field, no text past its cut, and the grid drawn and touched
// wherever the bytes point.
void preview(std::string_view text, const std::uint8_t* data, std::size_t size)
{
    static CSVViewController* controller = [] {
        auto* made = new CSVViewController(*new Calculator(kLocale));
        made->resize(390, 600);
        return made;
    }();
    controller->loadCSVString(text);
    CSVView& grid = controller->grid();
    std::size_t cells = 0;
    int numbered = 0;
    for (const auto& row : grid.rows()) {
        check(!row.empty());
        cells += row.size();
        if (row.front() == QStringLiteral("L%1").arg(numbered + 1))
            ++numbered;
        else
            check(row.front().trimmed().size() >= 6 && row.front().trimmed()[0] >= QLatin1Char('A') && row.front().trimmed()[0] <= QLatin1Char('Z'));
        for (const QString& cell : row)
            check(cell.size() <= CSVViewController::kMaxCellCharacters + 1);
    }
    check(cells <= CSVViewController::kMaxCells);
    const QSizeF content = grid.contentSize();
    check(content.width() >= 0 && content.height() >= 0);
    QImage picture(200, 120, QImage::Format_ARGB32_Premultiplied);
    for (const QPointF at : {QPointF(0, 0), QPointF(content.width() - 100, content.height() - 60)}) {
        picture.fill(Qt::white);
        QPainter painter(&picture);
        painter.translate(-at);
        grid.paintContent(painter, QRectF(at, QSizeF(picture.size())));
    }
    // Touches and drags at points the first bytes give, inside the grid and beyond it.
    for (std::size_t k = 0; k + 1 < size && k < 8; k += 2) {
        const QPointF at(content.width() * data[k] / 200.0 - 10, content.height() * data[k + 1] / 200.0 - 10);
        if (k % 4 == 0)
            grid.touchBegan(at);
        else
            grid.touchMoved(at);
        const CSVView::Cell start = grid.selectionStart(), end = grid.selectionEnd();
        check(start.valid() == end.valid());
        check(!end.valid() || (std::size_t(end.row) < grid.rows().size() && std::size_t(end.column) < grid.columnWidths().size()));
    }
}

} // namespace

// The preview is a widget: a QApplication on the offscreen platform, never destroyed (the
// fuzzer leaves through exit()).
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    new QApplication(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    Calculator& calc = calculator(0);
    preview(text, data, size);
    const int result = CSVImport::loadCSV(calc, text);
    check(result == 0 || result == 85 || result == 86);
    const Lists imported = listsOf(calc);
    check(result == 0 ? !imported.empty() : imported.empty());
    check(imported.size() <= static_cast<std::size_t>(CSVImport::kMaxLists));
    std::vector<std::string> names;
    for (const auto& [name, list] : calc.locked()->lists) {
        names.push_back(name);
        check(typeable(name));
        check(list.count() >= 1 && list.count() <= CSVImport::kMaxElements);
        // A field written as a+bɩ̇ makes its list complex.
        check(list.type() == 0 || list.type() == 1);
        for (int k = 0; k < list.count(); ++k) {
            const std::complex<double> z = list.complexAtIndex(k);
            check(std::isfinite(z.real()) && std::isfinite(z.imag()));
        }
    }

    // Into a calculator holding lists: the others stay, and a refusal changes nothing.
    Calculator& holding = calculator(1);
    holding.locked()->lists.insert_or_assign("KEEP", VQList::listSeqStart(1, 3));
    Lists expected = listsOf(holding);
    check(CSVImport::loadCSV(holding, text) == result);
    if (result == 0)
        for (const auto& [name, values] : imported)
            expected.insert_or_assign(name, values);
    check(listsOf(holding) == expected);
    if (result != 0)
        return 0;

    // Saved and restored, the lists are the same.
    Calculator& restored = calculator(2);
    check(MemoryArchive::restore(restored, MemoryArchive::save(calc)));
    check(listsOf(restored) == imported);

    // Exported and imported again, the lists come back under their names and lengths.
    Calculator& again = calculator(3);
    check(CSVImport::loadCSV(again, CSVText::listsText(calc, names)) == 0);
    const auto back = again.locked(), first = calc.locked();
    check(back->lists.size() == names.size());
    for (const std::string& name : names)
        check(back->lists.contains(name) && back->lists.at(name).count() == first->lists.at(name).count());
    return 0;
}
