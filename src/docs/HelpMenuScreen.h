#pragma once

#include "app/ScreenController.h"

#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <string_view>

class QLabel;
class QListWidget;
class QPushButton;
class QStackedWidget;

namespace orvenda {

class ContactScreen;
class FourFunctionPanel;
class FunctionHelpScreen;
class GuideKeyboardScreen;
class HTMLPageScreen;
class SupportActions;

// The help index: a list of topics, each opening the contact page, the introduction (an
// HTML page), a help page (by name or by a key's code), the keyboard guide or the
// four-function calculator. On a phone the page is pushed
// over the list with a way back; on a tablet the list stays on the left and the page shows
// beside it, the introduction from the start. The pages are made on first use and let go
// when the index loses the focus. Main thread.
class HelpMenuScreen : public ScreenController {
public:
    enum class Opens { Contact, Html, Function, FunctionOp, Keyboard, Calculator };
    // A row: its title's key in the app's localisation table, what it opens and which page.
    struct Topic {
        std::string_view key;
        Opens opens;
        std::string_view page;
        std::uint32_t op;
    };
    static constexpr int kTopicCount = 17;
    static const std::array<Topic, kTopicCount>& topics();
    // The row's title from the localisation table ("" where it has none).
    static QString title(int row);

    HelpMenuScreen(Calculator& calc, bool tablet, QWidget* parent = nullptr);

    // Opens the page of a row (0 to 16); any other number opens nothing but is remembered.
    void showPage(int row);
    void showFunction(const QString& name);
    void showFunctionPage(std::uint32_t op);
    void showHTMLPage(const QString& name);
    void showKeyboardView();
    void showContactPage();
    void showCalculator();
    int currentTopic() const { return currentTopic_; }

    void focus(bool gained) override;
    QWidget* leaveControl() const override;
    // Back to the index on a phone when a page is pushed; else closes the index.
    void back();
    void done();
    std::function<void()> closed;
    // The contact page's mail and web page; its buttons do nothing without them.
    void setSupport(SupportActions* support);
    // The key click of the four-function calculator's buttons.
    std::function<void()> keyClick;
    // Readies each help screen made for a page (its share, its messages), as the app's
    // own help screen is.
    std::function<void(FunctionHelpScreen& help)> prepareHelp;
    // The help screen in front, nullptr while none is: its page is shared by Share and
    // Ctrl+S.
    FunctionHelpScreen* helpInFront() const;
    QPushButton& shareButton() const { return *share_; }

    // The page in front (nullptr while a phone shows the index) and the page screens,
    // nullptr until first used.
    QWidget* currentPage() const;
    FunctionHelpScreen* functionHelp() const { return functionHelp_; }
    HTMLPageScreen* htmlPage() const { return htmlPage_; }
    GuideKeyboardScreen* keyboardGuide() const { return keyboard_; }
    ContactScreen* contactPage() const { return contact_; }
    FourFunctionPanel* calculator() const { return calculator_; }
    QListWidget& index() const { return *index_; }
    QPushButton& doneButton() const { return *done_; }
    QPushButton& backButton() const { return *backButton_; }
    const QLabel& titleLabel() const { return *title_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void present(ScreenController* page, const QString& title);
    // The phone's bar over the keyboard guide: the key's page and the way back to the guide.
    void showGuideBar();
    // Share stands in the bar while a help screen is in front.
    void updateShare();
    void releasePages();
    void layoutViews();

    bool tablet_;
    int currentTopic_ = 1;
    QWidget* bar_;
    QPushButton* backButton_;
    QLabel* title_;
    QPushButton* done_;
    QPushButton* share_;
    QListWidget* index_;
    QStackedWidget* topicView_;
    FunctionHelpScreen* functionHelp_ = nullptr;
    HTMLPageScreen* htmlPage_ = nullptr;
    GuideKeyboardScreen* keyboard_ = nullptr;
    ContactScreen* contact_ = nullptr;
    FourFunctionPanel* calculator_ = nullptr;
    SupportActions* support_ = nullptr;
};

} // namespace orvenda
