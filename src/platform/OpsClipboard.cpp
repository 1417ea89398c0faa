#include "platform/OpsClipboard.h"

#include "language/EntryText.h"

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

std::optional<OpsClipboard::Ops> OpsClipboard::line()
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data)
        return std::nullopt;
    if (data->hasFormat(QString::fromLatin1(kOpsType)))
        if (auto ops = decode(data->data(QString::fromLatin1(kOpsType))))
            return ops;
    std::string bad;
    return EntryText().toOps(data->text().trimmed().toStdString(), bad);
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

std::optional<OpsClipboard::Ops> OpsClipboard::decode(const QByteArray& bytes)
{
    Ops ops;
    for (const QByteArray& word : bytes.split(' ')) {
        bool ok = false;
        const qulonglong op = word.toULongLong(&ok, 16);
        if (!ok || word.size() > 8 || op > 0xFFFFFFFFull)
            return std::nullopt;
        ops.push_back(static_cast<std::uint32_t>(op));
    }
    if (ops.empty())
        return std::nullopt;
    return ops;
}

} // namespace orvenda
