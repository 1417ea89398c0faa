#pragma once

#include <QByteArray>
#include <QSizeF>
#include <QString>
#include <QUrl>
#include <QWidget>

#include <functional>

namespace orvenda {

class Calculator;

// A view that shows the help page of a function by its name. The screens below the help
// pages (the catalogue and the menus) embed one through make(); the app sets the factory
// to the help pages' own view. Main thread.
class HelpView : public QWidget {
public:
    using Factory = std::function<HelpView*(Calculator& calc, QWidget* parent)>;

    // The view the factory makes, nullptr while none is set.
    static HelpView* make(Calculator& calc, QWidget* parent);
    static void setFactory(Factory factory);

    using QWidget::QWidget;

    // Shows the page of the name (the "not defined" page for a name without one), as wide
    // as the view, from its top.
    virtual void showFunctionName(const QString& name) = 0;
    virtual QString functionName() const = 0;
    // Whether the help file has a page of the name shown.
    virtual bool functionDefined() const = 0;
    // The page shown, as PDF on pages of that size (to share or print).
    virtual QByteArray pdfPageSize(QSizeF size, bool darkMode) = 0;

    // A link of the page was clicked: followLink() unless set.
    std::function<void(const QUrl& url)> clickedUrl;
    // An address "help:NAME" shows the page of NAME here; any other goes to the desktop's
    // handler for it (mail, web).
    void followLink(const QUrl& url);
    // Opens an address with the desktop's handler.
    static bool openOnDesktop(const QUrl& url);
    // How the desktop opens an address; tests replace it.
    static void setDesktopOpener(std::function<bool(const QUrl& url)> opener);
};

} // namespace orvenda
