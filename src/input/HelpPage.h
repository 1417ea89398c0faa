#pragma once

#include <QString>
#include <QWidget>

#include <cstdint>
#include <functional>

class QLabel;

namespace orvenda {

class Calculator;
class HelpView;

// The help page a menu or the catalogue pushes for a token: the function's help page in
// the app's help view (its name and description where the app set none), and the page as
// a PDF file to share. Main thread.
class HelpPage : public QWidget {
public:
    HelpPage(Calculator& calc, QWidget* parent = nullptr);

    // The page of a function by its name, with the text under it.
    void showFunction(const QString& name, const QString& text);
    const QString& functionName() const { return name_; }
    void clear() { name_.clear(); }
    // The view showing the page, nullptr where the app set none.
    HelpView* view() const { return view_; }

    // A file name for the function: characters that separate or are not allowed in file
    // names become "_", "help" for a name with nothing left.
    static QString fileName(const QString& function);
    // Writes the page as "<name>.pdf" into the folder, atomically (a failed write leaves
    // no partial file): the path, or "" with the reason in error.
    QString writePdf(const QString& folder, QString& error) const;

    // Where a share puts the PDF, and who hears of failures; set by the app.
    std::function<void(const QString& path)> shared;
    std::function<void(const QString& message)> failed;
    void share(const QString& folder);

    // Slides the list out to the left and the page in over the area in 0.35 s (push), or
    // back (pop); the view slid out is hidden at the end. A slide still running gives way;
    // from the push on the list takes no taps until the pop begins.
    static void slide(QWidget* list, QWidget* page, const QRect& area, bool push);
    // Stops the slides of both views where they stand, the list shown and taking taps
    // again (the screen lays them out afresh).
    static void stopSliding(QWidget* list, QWidget* page);

private:
    Calculator& calc_;
    QString name_;
    QString text_;
    QLabel* title_;
    QLabel* body_;
    HelpView* view_;
};

} // namespace orvenda
