#pragma once

#include <QWidget>

#include <array>
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
    // 0 asks a question, 1 reports a bug, 2 leaves a review.
    QPushButton& supportButton(int action) const { return *support_[static_cast<std::size_t>(action)]; }

    std::function<void()> closed;
    std::function<void(int action)> support;

private:
    QLabel* version_;
    QPushButton* done_;
    std::array<QPushButton*, 3> support_{};
};

} // namespace orvenda
