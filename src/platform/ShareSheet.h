#pragma once

#include "platform/ShareRequest.h"

#include <QString>
#include <QStringList>

class QWidget;

namespace orvenda {

// The desktop's stand-in for the phone's share sheet. A request with files asks once,
// in a file dialog, where its first file goes and saves the others beside it (or, with
// an outbox folder, copies them there without asking, as the driven app does); a request
// without files puts its text, HTML and PDF on the clipboard. Main thread.
class ShareSheet {
public:
    virtual ~ShareSheet() = default;

    // "" when shared (or the user cancelled the dialog), else what went wrong.
    virtual QString share(const ShareRequest& request, QWidget* parent);
    // Files are copied here without a dialog when set.
    void setOutbox(const QString& folder) { outbox_ = folder; }
    const QString& outbox() const { return outbox_; }
    // What was shared last, for the driver.
    const ShareRequest& last() const { return last_; }
    // Where the last request's files went.
    const QStringList& delivered() const { return delivered_; }

protected:
    // Where a file goes; "" when the user cancels.
    virtual QString chooseTarget(const QString& file, const QString& subject, QWidget* parent);

private:
    QString copyFile(const QString& from, const QString& to) const;

    QString outbox_;
    ShareRequest last_;
    QStringList delivered_;
};

} // namespace orvenda
