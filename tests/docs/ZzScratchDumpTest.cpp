// scratch: not for commit
#include "Home.h"
#include "docs/FunctionHelpPDF.h"
#include "docs/HelpFile.h"
#include <QFile>
#include <QDir>
#include <QRegularExpression>
#include <gtest/gtest.h>
namespace orvenda {
namespace {
TEST(ZzScratch, DumpEveryPage)
{
    Calculator& calc = Calculator::calculator();
    const char* out = getenv("SCRATCH_OUT");
    if (!out) GTEST_SKIP();
    QDir().mkpath(out);
    for (const char* file : {"FunctionHelp", "FunctionHelpSpanish"}) {
        FunctionHelpPDF renderer(calc);
        renderer.setLanguage(QString::fromLatin1(std::string_view(file) == "FunctionHelp" ? "en" : "es"));
        const std::string_view data = HelpFile::resource(file);
        const QString text = QString::fromUtf8(data.data(), qsizetype(data.size()));
        static const QRegularExpression tag(QStringLiteral("<F n=\"([^\"]*)\">"));
        int k = 0;
        for (auto it = tag.globalMatch(text); it.hasNext();) {
            QString name = it.next().captured(1);
            name.replace(QStringLiteral("&lt;"), QStringLiteral("<")).replace(QStringLiteral("&gt;"), QStringLiteral(">"));
            name.replace(QStringLiteral("&quot;"), QStringLiteral("\"")).replace(QStringLiteral("&apos;"), QStringLiteral("'"));
            name.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
            ++k;
            for (int size : {0, 1, 2}) {
                calc.pdfPageSize = size;
                renderer.pdfName(name, QSizeF(320, 0), false, false);
                QFile f(QString::fromLatin1(out) + "/" + file + "_" + QString::number(k) + "_p" + QString::number(size) + ".pdf");
                f.open(QIODevice::WriteOnly);
                f.write(renderer.pdfName(name, QSizeF(), true, false));
            }
            QFile s(QString::fromLatin1(out) + "/" + file + "_" + QString::number(k) + "_screen.pdf");
            s.open(QIODevice::WriteOnly);
            s.write(renderer.pdfName(name, QSizeF(320, 0), false, false));
            QFile n(QString::fromLatin1(out) + "/" + file + "_" + QString::number(k) + ".name");
            n.open(QIODevice::WriteOnly);
            n.write(name.toUtf8());
        }
    }
}
}
}
