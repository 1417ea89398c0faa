#pragma once

#include "app/ScreenController.h"
#include "platform/ShareRequest.h"
#include "input/CatalogIndex.h"

#include <cstdint>
#include <functional>
#include <memory>

class QLabel;
class QLineEdit;
class QPushButton;

namespace orvenda {

class AppShell;
class HelpPage;
class PageSlide;
class SectionTable;

// The catalogue overlay: every function and command in letter sections, each row its name
// over its description, a help page behind each row's detail mark, and a search by the
// first letters of a name, typed on its own field or on the computer's keys. A pick hands
// the token over and closes; in test mode refused tokens are struck through and a pick of
// one only closes. Main thread.
class CatalogScreen : public ScreenController {
public:
    using Place = CatalogIndex::Place;

    CatalogScreen(Calculator& calc, AppShell& shell, QWidget* parent = nullptr);
    ~CatalogScreen() override;

    // The token picked, and the catalogue closed (after a pick too).
    std::function<void(std::uint32_t code)> picked;
    std::function<void()> closed;
    std::function<void(const QString& message)> tell;
    QString helpFolder;
    // The share sheet a help page's PDF is shown in.
    std::function<void(const ShareRequest& request)> presentShare;

    void shown(const ScreenRequest& request) override { searchForString(request.text); }
    void focus(bool gained) override;
    void updateDisplay() override;

    // Empties the search and takes the text as one typed key (a letter starts a search).
    void searchForString(const QString& text);
    void selectString(const QString& text);
    void select(Place place);
    void pick(Place place);
    void openHelp(Place place);
    void popHelp();
    // The help page away at once, the list back in place.
    void closeHelp();
    void done();

    const CatalogIndex& index() const { return index_; }
    Place selection() const { return selected_; }
    QString searchText() const;
    bool helpShown() const { return helpShown_; }
    const HelpPage& help() const { return *help_; }
    // The bar's title and its Share button (shown with a help page).
    const QLabel& titleLabel() const { return *title_; }
    const QWidget& shareButton() const { return *share_; }
    // Whether the row is drawn struck through.
    bool struck(Place place) const;

    QWidget* leaveControl() const override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fillTable();
    // Where the list stands, under the bar and the search field; a help page slides in
    // over it.
    QRect listArea() const;
    void layoutViews();
    void fitTitle();
    void moveSelection(int by);

    AppShell& shell_;
    CatalogIndex index_;
    Place selected_;
    bool helpShown_ = false;
    QWidget* bar_;
    QLabel* title_;
    QPushButton* back_;
    QPushButton* share_;
    QPushButton* close_;
    QLineEdit* search_;
    SectionTable* table_;
    HelpPage* help_;
    std::unique_ptr<PageSlide> pages_;
};

} // namespace orvenda
