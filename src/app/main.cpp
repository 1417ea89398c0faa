#include <QApplication>
#include <QLabel>

// Start-up of the application. The screens arrive with the home screen; until then
// the window says so plainly.
int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("Orvenda");
    QLabel label("Orvenda: the calculator engine is built, but the app has no screens yet.");
    label.setMargin(24);
    label.show();
    return app.exec();
}
