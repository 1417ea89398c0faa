#include "docs/ShareExport.h"

#include "app/HistoryDocuments.h"
#include "app/HistoryModel.h"
#include "app/YEqModel.h"
#include "apps/CSVText.h"
#include "core/Calculator.h"
#include "language/ErrorNumbers.h"
#include "language/VariableSlots.h"
#include "programs/ProgramModel.h"
#include "programs/TIFileWriter.h"

#include <QBuffer>

#include <complex>

namespace orvenda {

namespace {

constexpr std::uint32_t kFirstMatrix = 0x5C00;
constexpr std::uint32_t kFirstString = 0xAA00;
constexpr std::uint32_t kFirstVar = 0x41;
constexpr std::uint32_t kTheta = 0x5B;

QString joined(const std::vector<QString>& names)
{
    QString out;
    for (const QString& name : names) {
        if (!out.isEmpty())
            out += QLatin1Char(',');
        out += name;
    }
    return out;
}

std::vector<QString> qnames(const std::vector<std::string>& names)
{
    std::vector<QString> out;
    out.reserve(names.size());
    for (const std::string& name : names)
        out.push_back(QString::fromStdString(name));
    return out;
}

QByteArray bytes(const std::vector<std::uint8_t>& data)
{
    return QByteArray(reinterpret_cast<const char*>(data.data()), static_cast<qsizetype>(data.size()));
}

} // namespace

ShareExport::ShareExport(Calculator& calc, QString exportFolder) : calc_(calc), folder_(std::move(exportFolder)) {}

QString ShareExport::sanitized(const QString& name)
{
    QString out;
    out.reserve(name.size());
    for (const QChar c : name) {
        // What some file system refuses in a name; subscripts, θ and the rest are safe.
        const bool refused = c.unicode() < 0x20 || c.unicode() == 0x7F || QStringLiteral("/\\:*?\"<>|").contains(c);
        out += refused ? QLatin1Char('_') : c;
    }
    return out;
}

QString ShareExport::stem(const QString& prefix, const std::vector<QString>& names, bool limited)
{
    QString out = prefix;
    for (const QString& name : names) {
        if (limited && out.toUcs4().size() >= kMaxStem)
            break;
        out += sanitized(name);
    }
    return out;
}

int ShareExport::stringDigit(std::uint32_t token) { return static_cast<int>((token - kFirstString + 1) % 10); }

std::optional<ShareRequest> ShareExport::shareGraph(const QByteArray& pdf, const QImage& picture, const QString& subject)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    const std::optional<QString> sheet = writeFile(QStringLiteral("Graph.pdf"), pdf);
    const std::optional<QString> shot = sheet ? addFile(QStringLiteral("Graph.png"), png) : std::nullopt;
    if (!shot)
        return std::nullopt;
    ShareRequest request;
    request.files << *sheet << *shot;
    request.subject = subject;
    return request;
}

std::optional<QString> ShareExport::writeFile(const QString& fileName, const QByteArray& data)
{
    if (const QString error = folder_.clear(); !error.isEmpty()) {
        if (tell)
            tell(error);
        return std::nullopt;
    }
    return addFile(fileName, data);
}

std::optional<QString> ShareExport::addFile(const QString& fileName, const QByteArray& data)
{
    QString error;
    const QString path = folder_.write(fileName, data, error);
    if (!error.isEmpty() || path.isEmpty()) {
        if (tell)
            tell(error);
        return std::nullopt;
    }
    return path;
}

bool ShareExport::writerSucceeded(bool made, int error)
{
    if (made && error == 0)
        return true;
    writerFailed(error != 0 ? error : kWriteError);
    return false;
}

bool ShareExport::attach(ShareRequest& request, const std::optional<QString>& path)
{
    if (!path)
        return false;
    request.files << *path;
    return true;
}

void ShareExport::writerFailed(int error)
{
    calc_.showError({{"errorNum", error}});
    if (bringCurrentScreenToFront)
        bringCurrentScreenToFront();
}

std::optional<ShareRequest> ShareExport::sharePrograms(const std::vector<std::string>& names, int type)
{
    if (names.empty())
        return std::nullopt;
    const std::vector<QString> shown = qnames(names);
    ShareRequest request;
    request.subject = QStringLiteral("Programs:") + joined(shown);
    auto* programs = dynamic_cast<ProgramModel*>(calc_.prgmManager.get());
    if (type == kProgramPDF) {
        const std::string& first = names.front();
        if (calc_.prgmManager && calc_.prgmManager->flagsFor(first) == ProgramManager::kProtected) {
            calc_.showError({{"errorNum", kLockedError}});
            return std::nullopt;
        }
        const QByteArray pdf = programPDF ? programPDF(first) : QByteArray();
        if (pdf.isEmpty()) {
            writerFailed(kWriteError);
            return std::nullopt;
        }
        if (!attach(request, writeFile(sanitized(shown.front()) + QStringLiteral(".pdf"), pdf)))
            return std::nullopt;
        return request;
    }
    int error = 0;
    const auto data = programs ? TIFileWriter::dataWithPrograms(*programs, names, true, error) : std::nullopt;
    // A request names only a file that was written.
    if (!writerSucceeded(data.has_value(), error))
        return std::nullopt;
    if (!attach(request, writeFile(TIFileWriter::exportFileName(stem(QStringLiteral("Prgm"), shown, true)), bytes(*data))))
        return std::nullopt;
    return request;
}

std::optional<ShareRequest> ShareExport::shareListing(const std::string& name)
{
    auto request = sharePrograms({name}, kProgramPDF);
    // The library's listing is of one program, and says so by its name alone.
    if (request)
        request->subject = QString::fromStdString(name);
    return request;
}

std::optional<ShareRequest> ShareExport::shareLists(const std::vector<std::string>& names, int type)
{
    if (names.empty())
        return std::nullopt;
    // The writer makes no file of a list that is missing or empty: say which.
    int missing = 0;
    {
        const auto state = calc_.locked();
        for (const std::string& name : names) {
            const auto found = state->lists.find(name);
            missing = found == state->lists.end() ? ErrListUndefined : found->second.count() == 0 ? ErrInvalidDim : 0;
            if (missing)
                break;
        }
    }
    if (missing) {
        writerFailed(missing);
        return std::nullopt;
    }
    int error = 0;
    const auto data = TIFileWriter::dataWithLists(calc_, names, error);
    if (!writerSucceeded(data.has_value(), error))
        return std::nullopt;
    const std::vector<QString> shown = qnames(names);
    ShareRequest request;
    request.subject = QStringLiteral("Lists:") + joined(shown);
    const QString fileStem = stem({}, shown, true);
    if (!attach(request, type == kCSV
        ? writeFile(fileStem + QStringLiteral(".csv"), QByteArray::fromStdString(CSVText::listsText(calc_, names)))
        : writeFile(TIFileWriter::exportFileName(fileStem), bytes(*data))))
        return std::nullopt;
    // Each list as name={elements}, one a line.
    const std::string csv = CSVText::listsText(calc_, names);
    for (const QString& line : QString::fromStdString(csv).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const qsizetype comma = line.indexOf(QLatin1Char(','));
        if (!request.text.isEmpty())
            request.text += QLatin1Char('\n');
        request.text += comma < 0 ? line + QStringLiteral("={}")
                                  : line.left(comma) + QStringLiteral("={") + line.mid(comma + 1) + QLatin1Char('}');
    }
    return request;
}

std::optional<ShareRequest> ShareExport::shareMatrices(const std::vector<std::uint32_t>& tokens, int type)
{
    if (tokens.empty())
        return std::nullopt;
    bool empty = false;
    {
        const auto state = calc_.locked();
        for (const std::uint32_t token : tokens)
            if (token >= kFirstMatrix && token < kFirstMatrix + Calculator::kMatrixCount) {
                const VQMatrix& matrix = state->matrices[token - kFirstMatrix];
                empty = empty || matrix.dimRow() == 0 || matrix.dimCol() == 0;
            }
    }
    // The writer makes no file of an empty matrix.
    if (empty) {
        writerFailed(ErrInvalidDim);
        return std::nullopt;
    }
    int error = 0;
    const auto data = TIFileWriter::dataWithMatrices(calc_, tokens, error);
    if (!writerSucceeded(data.has_value(), error))
        return std::nullopt;
    std::vector<QString> letters;
    std::vector<int> indexes;
    for (const std::uint32_t token : tokens) {
        letters.push_back(QString(QChar(static_cast<char16_t>(token - 0x5BBF))));
        indexes.push_back(static_cast<int>(token - kFirstMatrix));
    }
    ShareRequest request;
    request.subject = QStringLiteral("Matrix:") + joined(letters);
    const QString fileStem = stem(QStringLiteral("Matrix"), letters, false);
    if (!attach(request, type == kCSV
        ? writeFile(fileStem + QStringLiteral(".csv"), QByteArray::fromStdString(CSVText::matricesText(calc_, indexes)))
        : writeFile(TIFileWriter::exportFileName(fileStem), bytes(*data))))
        return std::nullopt;
    return request;
}

std::optional<ShareRequest> ShareExport::shareGDBs(const std::vector<std::string>& names)
{
    if (names.empty())
        return std::nullopt;
    int error = 0;
    const auto data = TIFileWriter::dataWithGDBs(names, error);
    if (!writerSucceeded(data.has_value(), error))
        return std::nullopt;
    const std::vector<QString> shown = qnames(names);
    ShareRequest request;
    request.subject = QStringLiteral("GDBs:") + joined(shown);
    if (!attach(request, writeFile(TIFileWriter::exportFileName(stem({}, shown, true)), bytes(*data))))
        return std::nullopt;
    return request;
}

std::optional<ShareRequest> ShareExport::shareVars(const std::vector<std::uint32_t>& tokens)
{
    if (tokens.empty())
        return std::nullopt;
    std::vector<int> codes;
    for (const std::uint32_t token : tokens)
        if (token >= kFirstVar && token <= kTheta)
            codes.push_back(static_cast<int>(token));
    // The calculator's files hold A to θ: η goes with the text alone (alone, without a file).
    std::optional<std::vector<std::uint8_t>> data;
    if (!codes.empty()) {
        int error = 0;
        data = TIFileWriter::dataWithVars(calc_, codes, error);
        if (!writerSucceeded(data.has_value(), error))
            return std::nullopt;
    }
    std::vector<QString> names;
    ShareRequest request;
    for (const std::uint32_t token : tokens) {
        const QString name = QString::fromStdString(calc_.nameForOpcode(token));
        names.push_back(name);
        // Every variable of the list (θ and η too) by the slot its token names.
        const int slot = VariableSlots::varNumFromOpcode(token);
        const std::complex<double> z = slot >= 0 ? calc_.getVar(slot).value : std::complex<double>();
        const std::string value = z.imag() != 0 ? calc_.formatComplex(z.real(), z.imag(), false) : calc_.formatReal(z.real());
        request.text += name + QLatin1Char('=') + QString::fromStdString(value) + QLatin1Char('\n');
    }
    request.subject = QStringLiteral("Variables:") + joined(names);
    if (data && !attach(request, writeFile(TIFileWriter::exportFileName(stem(QStringLiteral("Var"), names, false)), bytes(*data))))
        return std::nullopt;
    return request;
}

std::optional<ShareRequest> ShareExport::shareEquations(const std::vector<std::uint32_t>& tokens)
{
    auto* equations = dynamic_cast<YEqModel*>(calc_.yEqManager.get());
    if (tokens.empty() || !equations)
        return std::nullopt;
    int error = 0;
    const auto data = TIFileWriter::dataWithYEQs(*equations, tokens, error);
    if (!writerSucceeded(data.has_value(), error))
        return std::nullopt;
    std::vector<QString> names;
    ShareRequest request;
    for (const std::uint32_t token : tokens) {
        const QString name = QString::fromStdString(calc_.nameForOpcode(token));
        names.push_back(name);
        request.text += name + QLatin1Char('=') + QString::fromStdString(equations->eqString(static_cast<int>(token)))
            + QLatin1Char('\n');
    }
    request.subject = joined(names);
    if (!attach(request, writeFile(TIFileWriter::exportFileName(stem({}, names, false)), bytes(*data))))
        return std::nullopt;
    return request;
}

std::optional<ShareRequest> ShareExport::shareStrings(const std::vector<std::uint32_t>& tokens)
{
    if (tokens.empty())
        return std::nullopt;
    int error = 0;
    const auto data = TIFileWriter::dataWithStrings(calc_, tokens, error);
    if (!writerSucceeded(data.has_value(), error))
        return std::nullopt;
    std::vector<QString> digits;
    ShareRequest request;
    for (const std::uint32_t token : tokens) {
        const QString digit = QString::number(stringDigit(token));
        digits.push_back(digit);
        std::vector<std::uint32_t> ops;
        if (token >= kFirstString && token < kFirstString + Calculator::kStringCount) {
            const auto state = calc_.locked();
            const VQString& text = state->strings[token - kFirstString];
            ops.assign(text.begin(), text.end());
        }
        request.text += QStringLiteral("str") + digit + QLatin1Char('=') + QString::fromStdString(calc_.stringFromOps(ops))
            + QLatin1Char('\n');
    }
    request.subject = QStringLiteral("Strings:") + joined(digits);
    if (!attach(request, writeFile(TIFileWriter::exportFileName(stem(QStringLiteral("Str"), digits, false)), bytes(*data))))
        return std::nullopt;
    return request;
}

std::optional<ShareRequest> ShareExport::shareHistory()
{
    const auto* history = dynamic_cast<const HistoryModel*>(calc_.historyManager.get());
    if (!history)
        return std::nullopt;
    const QByteArray pdf = HistoryDocuments(calc_, *history).historyPDF();
    const auto path = writeFile(QStringLiteral("LumbrixHistory.pdf"), pdf);
    if (!path)
        return std::nullopt;
    ShareRequest request;
    request.files << *path;
    request.subject = QStringLiteral("Lumbrix history");
    return request;
}

std::optional<ShareRequest> ShareExport::shareLastCalculation()
{
    const auto* history = dynamic_cast<const HistoryModel*>(calc_.historyManager.get());
    if (!history)
        return std::nullopt;
    const HistoryDocuments documents(calc_, *history);
    const auto text = documents.lastCalculation();
    if (!text)
        return std::nullopt;
    ShareRequest request;
    request.text = QString::fromStdString(*text);
    request.subject = QStringLiteral("Lumbrix calculation");
    if (calc_.settings().mathPrint) {
        request.pdf = documents.lastCalculationPDF();
        request.pdfName = QStringLiteral("LumbrixCalculation.pdf");
    } else {
        request.html = documents.lastCalculationHTML().value_or(QString());
    }
    return request;
}

} // namespace orvenda
