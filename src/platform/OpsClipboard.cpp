#include "platform/OpsClipboard.h"

#include "core/services/EntryManager.h"
#include "language/EntryText.h"

#include <QByteArrayView>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QString>

namespace orvenda {

const char* const OpsClipboard::kOpsType = "application/x-orvenda-ops";

void OpsClipboard::put(const std::string& text, const Ops& ops)
{
    auto* data = new QMimeData;
    data->setText(QString::fromStdString(text));
    data->setData(QString::fromLatin1(kOpsType), encode(ops));
    QGuiApplication::clipboard()->setMimeData(data);
}

std::optional<OpsClipboard::Ops> OpsClipboard::line(bool* tooLong)
{
    bool overLimit = false;
    if (!tooLong)
        tooLong = &overLimit;
    *tooLong = false;
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data)
        return std::nullopt;
    if (data->hasFormat(QString::fromLatin1(kOpsType)))
        if (auto ops = decode(data->data(QString::fromLatin1(kOpsType)), tooLong); ops || *tooLong)
            return ops;
    std::string bad;
    return EntryText().toOps(data->text().trimmed().toStdString(), bad, EntryManager::kMaxOps, *tooLong);
}

QByteArray OpsClipboard::encode(const Ops& ops)
{
    QByteArray out;
    out.reserve(static_cast<qsizetype>(ops.size()) * 5);
    for (const std::uint32_t op : ops) {
        if (!out.isEmpty())
            out += ' ';
        out += QByteArray::number(op, 16);
    }
    return out;
}

std::optional<OpsClipboard::Ops> OpsClipboard::decode(const QByteArray& bytes, bool* tooLong)
{
    if (tooLong)
        *tooLong = false;
    // Counted before anything is built: more words than a line takes are not read.
    if (static_cast<std::size_t>(bytes.count(' ')) >= EntryManager::kMaxOps) {
        if (tooLong)
            *tooLong = true;
        return std::nullopt;
    }
    Ops ops;
    qsizetype from = 0;
    for (;;) {
        qsizetype to = bytes.indexOf(' ', from);
        if (to < 0)
            to = bytes.size();
        const QByteArrayView word(bytes.constData() + from, to - from);
        bool ok = false;
        const qulonglong op = word.toULongLong(&ok, 16);
        if (!ok || word.size() > 8 || op > 0xFFFFFFFFull)
            return std::nullopt;
        ops.push_back(static_cast<std::uint32_t>(op));
        if (to == bytes.size())
            break;
        from = to + 1;
    }
    return ops;
}

} // namespace orvenda
