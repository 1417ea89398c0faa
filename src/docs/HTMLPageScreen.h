#pragma once

#include "app/ScreenController.h"

#include <QString>

#include <functional>

class QTextBrowser;
class QUrl;

namespace orvenda {

// One HTML help page that ships with the app ("Introduction"), shown in a text browser
// with a viewport scale for the device and a light or dark style head in front. A page is
// read when the screen next appears and only when it differs from the one shown. Links
// "help:NAME" go to openFunction; any other goes to the desktop's handler. Main thread.
class HTMLPageScreen : public ScreenController {
public:
    HTMLPageScreen(Calculator& calc, bool tablet, QWidget* parent = nullptr);

    // The page to show when the screen next appears.
    void loadPage(const QString& name) { pageName_ = name; }
    const QString& pageName() const { return pageName_; }
    // Reads and shows pageName unless it is the page shown; dark chooses the style head.
    void appear(bool dark);
    // The page shown last.
    const QString& title() const { return title_; }
    // How many times a page was read.
    int reads() const { return reads_; }
    // The HTML handed to the browser.
    const QString& html() const { return html_; }
    // The light head styles each div as a framed box, which Qt's rich text would not frame:
    // each becomes the framed box of a table of one cell.
    static QString framedBlocks(QString html);
    QTextBrowser& browser() const { return *browser_; }

    // The page's text as it ships; empty for a name with no page.
    static QString pageText(const QString& name);
    // The viewport element (unless the page has one) and then the style head, in front.
    static QString adjustScale(QString html, bool tablet, bool dark);

    std::function<void(const QString& name)> openFunction;
    // Escape closes the page.
    std::function<void()> closed;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void follow(const QUrl& url);

    bool tablet_;
    QString pageName_;
    QString title_;
    QString html_;
    int reads_ = 0;
    QTextBrowser* browser_;
};

} // namespace orvenda
