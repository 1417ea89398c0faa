#pragma once

#include <QWidget>

#include <functional>

class QLabel;
class QPushButton;

namespace orvenda {

// The MEM menu's about page: the app's name, what it is, and its version, over the menu's
// list with a Done button. Main thread.
class AboutPage : public QWidget {
public:
    explicit AboutPage(QWidget* parent = nullptr);

    // Sets "version %1".
    void setVersion(const QString& version);
    QString versionText() const;
    const QPushButton& doneButton() const { return *done_; }

    std::function<void()> closed;

private:
    QLabel* version_;
    QPushButton* done_;
};

} // namespace orvenda
