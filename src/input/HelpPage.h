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

private:
    Calculator& calc_;
    QString name_;
    QString text_;
    QLabel* title_;
    QLabel* body_;
    HelpView* view_;
};

} // namespace orvenda
