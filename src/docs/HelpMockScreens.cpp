#include "docs/HelpMockScreens.h"

#include "core/Calculator.h"
#include "core/VColor.h"
#include "docs/FunctionHelpPDF.h"
#include "docs/HelpPageState.h"
#include "drawing/AssetColors.h"
#include "drawing/DrawString.h"
#include "drawing/GraphicsContext.h"
#include "drawing/VQRender.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace orvenda {

namespace {

const QColor kControlBlue = GraphicsContext::color(0.22, 0.36, 0.71, 1);

QString attr(const QXmlStreamAttributes& attributes, const char* name)
{
    return attributes.value(QLatin1String(name)).toString();
}

int intAttr(const QXmlStreamAttributes& attributes, const char* name, int fallback)
{
    bool ok = false;
    const int v = attributes.value(QLatin1String(name)).toInt(&ok);
    return ok ? v : fallback;
}

QStringList titles(const QString& list, QChar separator)
{
    return list.isEmpty() ? QStringList() : list.split(separator);
}

// A rounded rectangle with its own radius at each corner: top-left, top-right,
// bottom-right, bottom-left.
QPainterPath roundedRect(const QRectF& r, double c1, double c2, double c3, double c4)
{
    QPainterPath path;
    path.moveTo(r.left() + c1, r.top());
    path.lineTo(r.right() - c2, r.top());
    path.arcTo(QRectF(r.right() - 2 * c2, r.top(), 2 * c2, 2 * c2), 90, -90);
    path.lineTo(r.right(), r.bottom() - c3);
    path.arcTo(QRectF(r.right() - 2 * c3, r.bottom() - 2 * c3, 2 * c3, 2 * c3), 0, -90);
    path.lineTo(r.left() + c4, r.bottom());
    path.arcTo(QRectF(r.left(), r.bottom() - 2 * c4, 2 * c4, 2 * c4), 270, -90);
    path.lineTo(r.left(), r.top() + c1);
    path.arcTo(QRectF(r.left(), r.top(), 2 * c1, 2 * c1), 180, -90);
    path.closeSubpath();
    return path;
}

QColor fromVColor(const VColor& c) { return GraphicsContext::color(c.r, c.g, c.b, c.a); }

} // namespace

HelpMockScreens::HelpMockScreens(FunctionHelpPDF& page) : page_(page), state_(page.page_) {}

bool HelpMockScreens::visible(const QRectF& rect) const { return rect.intersects(state_.drawRect); }

void HelpMockScreens::drawSegRect(GraphicsContext& context, const QRectF& rect, const QStringList& names, int select,
                                  const QColor& color)
{
    QPainter& p = context.painter();
    const qsizetype n = std::max<qsizetype>(names.size(), 1);
    const double segment = rect.width() / double(n);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(color, 1));
    p.setBrush(Qt::NoBrush);
    p.drawPath(roundedRect(rect, 6, 6, 6, 6));
    for (qsizetype k = 1; k < n; ++k)
        p.drawLine(QPointF(rect.x() + double(k) * segment, rect.top()), QPointF(rect.x() + double(k) * segment, rect.bottom()));
    if (select >= 0 && select < n) {
        const QRectF cell(rect.x() + select * segment, rect.y(), segment, rect.height());
        const double left = select == 0 ? 6 : 0, right = select == n - 1 ? 6 : 0;
        p.fillPath(roundedRect(cell, left, right, right, left), color);
    }
    p.restore();
    const TextFont font{"Helvetica", 13 * state_.scale};
    const double capHeight = DrawString::VQsizeWithFont(QStringLiteral("O"), font).height();
    for (qsizetype k = 0; k < names.size(); ++k) {
        const double w = DrawString::VQsizeWithFont(names[k], font).width();
        const QColor ink = k == select ? (color == QColor(Qt::white) ? QColor(Qt::black) : QColor(Qt::white)) : color;
        DrawString::VQdrawAtPoint(context, names[k],
                                  QPointF(rect.x() + double(k) * segment + (segment - w) / 2, rect.center().y() - capHeight / 2),
                                  font, ink);
    }
}

void HelpMockScreens::drawButtonRect(GraphicsContext& context, const QRectF& rect, const QString& title, bool selected)
{
    auto render = VQRender::vqRender(context);
    render->RGBFillR(0, 0, 0, 0.1);
    render->RGBStrokeR(0, 0, 0, 1, 1);
    render->DrawRRect(rect, 4, 4, 4, 4, VQRender::kFill | VQRender::kStroke);
    const TextFont font{"Helvetica-Bold", 13 * state_.scale};
    const QSizeF size = DrawString::VQsizeWithFont(title, font);
    const double h = DrawString::VQsizeWithFont(QStringLiteral(" "), font).height();
    DrawString::VQdrawAtPoint(context, title, QPointF(rect.center().x() - size.width() / 2, rect.center().y() - h / 2),
                              font, selected ? QColor(Qt::green) : QColor(Qt::black));
}

void HelpMockScreens::drawScreenLine(GraphicsContext& context, const QString& text, QPointF at, const QColor& color)
{
    if (visible(QRectF(at, QSizeF(state_.bounds.width(), 14 * state_.scale + 4))))
        DrawString::VQdrawAtPoint(context, text, at, state_.screenFont(), color);
}

void HelpMockScreens::drawSegController(GraphicsContext& context, const QXmlStreamAttributes& attributes)
{
    const QStringList b = attr(attributes, "b").split(QLatin1Char(','));
    double v[4] = {0, 0, 0, 0};
    for (int i = 0; i < 4 && i < b.size(); ++i)
        v[i] = b[i].trimmed().toDouble();
    const QRectF rect(state_.bounds.x() + v[0], state_.drawPoint.y() + v[1], v[2], v[3]);
    if (visible(rect))
        drawSegRect(context, rect, titles(attr(attributes, "seg"), QChar(0x00A9)), -1, state_.textColor);
    state_.drawPoint.setY(rect.bottom());
}

void HelpMockScreens::drawMenu(GraphicsContext& context, const QXmlStreamAttributes& attributes)
{
    const double s = state_.scale;
    const QRectF window = state_.drawRect;
    const double mw = 300 * s > window.width() ? window.width() - 20 : 300 * s;
    state_.menuBox = QRectF(window.x() + (window.width() - mw) / 2, state_.drawPoint.y(), mw, 42 * s);
    const QRectF& box = state_.menuBox;
    if (attributes.hasAttribute(QLatin1String("addPrgm"))) {
        drawAddProgramInRect(context, box);
        return;
    }
    if (visible(box)) {
        QPainter& p = context.painter();
        p.fillRect(box, fromVColor(page_.calc_.interfaceColorIndex(7)));
        const TextFont font{"Helvetica", 13 * s};
        const QSizeF cancel = DrawString::VQsizeWithFont(QStringLiteral("Cancel"), font);
        const double controlHeight = 42 * s - 12 * s;
        const double controlTop = box.y() + 6 * s;
        DrawString::VQdrawAtPoint(context, QStringLiteral("Cancel"),
                                  QPointF(box.x() + 4 * s, controlTop + (controlHeight - cancel.height()) / 2), font, Qt::white);
        const bool extra = attributes.hasAttribute(QLatin1String("action")) || attributes.hasAttribute(QLatin1String("add"));
        const double cx = box.x() + 8 * s + cancel.width();
        const double cw = mw - cancel.width() - 12 * s - (extra ? 32 * s : 0);
        const QRectF control(cx, controlTop, cw, controlHeight);
        drawSegRect(context, control, titles(attr(attributes, "n"), QChar(0x00A9)), intAttr(attributes, "s", 0), Qt::white);
        const double ix = control.right() + 10 * s;
        p.save();
        p.setPen(QPen(Qt::white, 1.5));
        p.setBrush(Qt::NoBrush);
        if (attributes.hasAttribute(QLatin1String("action"))) {
            // A box open at the top with an arrow rising out of it.
            const double h = controlHeight / 2;
            const double top = control.center().y() - h / 2 + 3;
            QPainterPath box2;
            box2.moveTo(ix + h * 0.3, top);
            box2.lineTo(ix, top);
            box2.lineTo(ix, top + h);
            box2.lineTo(ix + h, top + h);
            box2.lineTo(ix + h, top);
            box2.lineTo(ix + h * 0.7, top);
            p.drawPath(box2);
            p.drawLine(QPointF(ix + h / 2, top + h * 0.6), QPointF(ix + h / 2, top - h * 0.6));
            p.drawLine(QPointF(ix + h / 2, top - h * 0.6), QPointF(ix + h * 0.25, top - h * 0.35));
            p.drawLine(QPointF(ix + h / 2, top - h * 0.6), QPointF(ix + h * 0.75, top - h * 0.35));
        } else if (attributes.hasAttribute(QLatin1String("add"))) {
            const double cy = control.center().y();
            p.drawLine(QPointF(ix, cy), QPointF(ix + 10 * s, cy));
            p.drawLine(QPointF(ix + 5 * s, cy - 5 * s), QPointF(ix + 5 * s, cy + 5 * s));
        }
        p.restore();
    }
    state_.drawPoint.ry() += 42 * state_.scale;
}

void HelpMockScreens::drawAddProgramInRect(GraphicsContext& context, const QRectF& rect)
{
    const double s = state_.scale;
    const double x = rect.x(), y = rect.y(), w = rect.width(), h = rect.height();
    const double rowsTop = y + h + 5 * s;
    if (visible(QRectF(x, y, w, h + 120 * s))) {
        QPainter& p = context.painter();
        p.fillRect(rect, Qt::black);
        const TextFont font{"Helvetica", 13 * s};
        DrawString::VQdrawAtPoint(context, QStringLiteral("Cancel"), QPointF(x + 3 * s, y + 12 * s), font, Qt::white);
        const double title = DrawString::VQsizeWithFont(QStringLiteral("Add Program"), font).width();
        DrawString::VQdrawAtPoint(context, QStringLiteral("Add Program"), QPointF(x + (w - title) / 2, y + 12 * s), font,
                                  Qt::white);
        const double save = DrawString::VQsizeWithFont(QStringLiteral("Save"), font).width();
        DrawString::VQdrawAtPoint(context, QStringLiteral("Save"), QPointF(x + w - 6 * s - save, y + 12 * s), font, Qt::white);
        p.fillRect(QRectF(x, y + h, w, 120 * s), GraphicsContext::color(0.75, 0.75, 0.75, 1));
        const std::pair<const char*, const char*> rows[] = {
            {"Name:", "Sum"}, {"Desc:", "sum from 1 to max"}, {"Tags:", "computer,math"}, {"Notes:", ""}};
        const double field = x + 60 * s;
        for (int i = 0; i < 4; ++i) {
            const double top = rowsTop + i * 30 * s;
            if (i < 3) {
                p.save();
                p.setRenderHint(QPainter::Antialiasing);
                p.setPen(Qt::NoPen);
                p.setBrush(Qt::white);
                p.drawRoundedRect(QRectF(field, top, w - 66 * s, 26 * s), 4, 4);
                p.restore();
            }
            const QString label = QString::fromUtf8(rows[i].first);
            const double lw = DrawString::VQsizeWithFont(label, font).width();
            DrawString::VQdrawAtPoint(context, label, QPointF(field - 3 * s - lw, top + 4 * s), font, Qt::black);
            DrawString::VQdrawAtPoint(context, QString::fromUtf8(rows[i].second), QPointF(field + 3 * s, top + 4 * s), font,
                                      Qt::black);
        }
    }
    state_.drawPoint.setY(rowsTop + 4 * 30 * s);
}

void HelpMockScreens::drawMenuEntry(GraphicsContext& context, const QXmlStreamAttributes& attributes)
{
    const double s = state_.scale;
    const QRectF& box = state_.menuBox;
    const double x = box.x(), y = state_.drawPoint.y(), w = box.width();
    QPainter& p = context.painter();
    if (attributes.hasAttribute(QLatin1String("prgm"))) {
        const double strip = 38 * s;
        if (visible(QRectF(x, y, w, strip))) {
            p.fillRect(QRectF(x, y, w, strip), fromVColor(page_.calc_.interfaceColorIndex(7)));
            // Drawn on a screen the strip names its two actions instead of the selectors.
            if (page_.onScreen()) {
                const TextFont font{"Helvetica-Bold", 14 * s};
                const QSizeF del = DrawString::VQsizeWithFont(QStringLiteral("Delete"), font);
                DrawString::VQdrawAtPoint(context, QStringLiteral("Display All Programs"),
                                          QPointF(x + 8 * s, y + (strip - del.height()) / 2), font, Qt::white);
                DrawString::VQdrawAtPoint(context, QStringLiteral("Delete"),
                                          QPointF(x + w - del.width() - 8 * s, y + (strip - del.height()) / 2), font, Qt::white);
                state_.drawPoint.ry() += strip;
                return;
            }
            drawSegRect(context, QRectF(x + 4, y + 4, 100, strip - 8), {QStringLiteral("Alpha"), QStringLiteral("Topic")}, 0,
                        Qt::white);
            drawSegRect(context, QRectF(x + 108, y + 4, w - 112, strip - 8),
                        {QStringLiteral("All"), QStringLiteral("User"), QStringLiteral("Library")}, 0, Qt::white);
        }
        state_.drawPoint.ry() += strip;
        return;
    }
    const double h = 32 * s;
    if (visible(QRectF(x, y, w, h))) {
        const QColor ink = state_.textColor;
        DrawString::VQdrawAtPoint(context, attr(attributes, "n"), QPointF(x + 16 * s, y),
                                  TextFont{"CourierNewPS-BoldMT", 16 * s}, ink);
        DrawString::VQdrawAtPoint(context, attr(attributes, "d"), QPointF(x + 16 * s, y + 16 * s),
                                  TextFont{"Helvetica-Oblique", 10 * s}, ink);
        const QString info = attr(attributes, "i");
        if (attributes.hasAttribute(QLatin1String("i")) && info != QLatin1String(" ")) {
            const TextFont markFont{"Helvetica", 22 * s};
            const QString mark = QString::fromUtf8("\xE2\x93\x98");
            const QSizeF m = DrawString::VQsizeWithFont(mark, markFont);
            DrawString::VQdrawAtPoint(context, mark, QPointF(x + w - 2 * m.width(), y + (h - m.height()) / 2), markFont, ink);
            bool ok = false;
            const int number = info.toInt(&ok);
            if (ok && number >= 1)
                DrawString::VQdrawAtPoint(context, QString::number(number), QPointF(x + 3 * s, y + 4 * s),
                                          TextFont{"Helvetica", 16 * s}, GraphicsContext::color(0.5, 0.5, 0.5, 1));
        }
        p.save();
        p.setPen(QPen(ink, 1));
        p.setBrush(Qt::NoBrush);
        QPainterPath row;
        row.moveTo(x + 1, y);
        row.lineTo(x + 1, y + h - 1);
        row.lineTo(x + w - 1, y + h - 1);
        row.lineTo(x + w - 1, y);
        p.drawPath(row);
        p.restore();
    }
    state_.drawPoint.ry() += h;
}

void HelpMockScreens::drawColorList(GraphicsContext& context)
{
    const double y = state_.drawPoint.y();
    if (visible(QRectF(state_.bounds.x(), y, state_.bounds.width(), 77))) {
        QPainter& p = context.painter();
        const TextFont font{"Helvetica", 9};
        for (int i = 0; i < 48; ++i) {
            const double x = state_.bounds.x() + state_.drawPoint.x() + 60 + (i / 8) * 32;
            const double top = y + (i % 8) * 11;
            const VQColor c = page_.calc_.stdVQColor(i);
            const QRectF swatch(x, top, 9, 9);
            p.fillRect(swatch, GraphicsContext::color(c.r(), c.g(), c.b(), 1));
            p.save();
            p.setPen(QPen(Qt::black, 0.5));
            p.setBrush(Qt::NoBrush);
            p.drawRect(swatch);
            p.restore();
            DrawString::VQdrawAtPoint(context, QString::number(i + 1), QPointF(x + 11, top - 1), font, state_.textColor);
        }
    }
    state_.drawPoint.ry() += 77;
}

void HelpMockScreens::drawTrianglePicture(GraphicsContext& context)
{
    const double y = state_.drawPoint.y(), x0 = state_.bounds.x();
    if (visible(QRectF(x0, y, state_.bounds.width(), 86))) {
        QPainter& p = context.painter();
        p.save();
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(state_.textColor, 1));
        p.setBrush(Qt::NoBrush);
        const QPointF corners[] = {{x0 + 60, y + 83}, {x0 + 160, y + 3}, {x0 + 210, y + 83}};
        p.drawPolygon(corners, 3);
        p.restore();
        const TextFont font{"Helvetica", 9};
        const std::pair<const char*, QPointF> labels[] = {{"A", {70, 73}}, {"B", {198, 73}}, {"C", {155, 6}},
                                                          {"a", {180, 43}}, {"b", {110, 43}}, {"c", {135, 73}}};
        for (const auto& [text, at] : labels)
            DrawString::VQdrawAtPoint(context, QString::fromLatin1(text), QPointF(x0 + at.x(), y + at.y()), font,
                                      state_.textColor);
    }
    state_.drawPoint.ry() += 86;
}

HelpMockScreens::AppFrame HelpMockScreens::drawAppFrame(GraphicsContext& context, const QString& title, bool centred,
                                                        int lines, double bandHeight)
{
    const double s = state_.scale;
    AppFrame f;
    f.width = 280 * s;
    f.x = state_.bounds.x() + (state_.bounds.width() - f.width) / 2;
    f.line = 14 * s;
    const double top = state_.drawPoint.y();
    f.screen = QRectF(f.x, top + bandHeight, f.width, lines * f.line);
    if (visible(QRectF(f.x, top, f.width, bandHeight + f.screen.height()))) {
        QPainter& p = context.painter();
        p.fillRect(QRectF(f.x, top, f.width, bandHeight), AssetColors::named("bannerColor"));
        const TextFont font = state_.screenFont();
        const double w = DrawString::VQsizeWithFont(title, font).width();
        DrawString::VQdrawAtPoint(context, title, QPointF(centred ? f.x + (f.width - w) / 2 : f.x + 3, top), font, Qt::white);
        p.fillRect(f.screen, GraphicsContext::color(0.54, 0.68, 0.39, 0.5));
    }
    return f;
}

void HelpMockScreens::drawTVM(GraphicsContext& context, const QXmlStreamAttributes& attributes)
{
    const AppFrame f = drawAppFrame(context, QStringLiteral("TVM SOLVER"), true, 7, 18);
    const double L = f.line;
    const QStringList values = attr(attributes, "v").split(QLatin1Char(','));
    const int selected = intAttr(attributes, "s", -1);
    static const char* const rows[] = {"N  =", "I% =", "PV =", "PMT=", "FV =", "P/Y=", "C/Y="};
    const TextFont font = state_.screenFont();
    for (int i = 0; i < 7; ++i) {
        const QString text = QString::fromUtf8(i == selected ? "\xE2\x96\xAA" : " ") + QString::fromLatin1(rows[i])
            + (i < values.size() ? values[i] : QString());
        const QPointF at(f.x + 3, f.screen.top() + i * L);
        drawScreenLine(context, text, at, Qt::black);
        if (i == selected && visible(f.screen)) {
            const double w = DrawString::VQsizeWithFont(text, font).width();
            context.painter().fillRect(QRectF(at.x() + w, at.y(), 10 * state_.scale, L),
                                       GraphicsContext::color(0.22, 0.36, 0.72, 0.5));
        }
    }
    if (visible(f.screen)) {
        drawSegRect(context, QRectF(f.x + 0.6 * f.width, f.screen.top() + 4, 0.38 * f.width, 2 * L - 2),
                    {QStringLiteral("End"), QStringLiteral("Begin")}, intAttr(attributes, "b", 0), kControlBlue);
        drawButtonRect(context, QRectF(f.x + f.width - 80, f.screen.bottom() - 2 * L, 74, 2 * L - 2), QStringLiteral("Solve"),
                       false);
    }
    state_.drawPoint.setY(f.screen.bottom());
}

void HelpMockScreens::drawPlySmlt(GraphicsContext& context, const QXmlStreamAttributes& attributes)
{
    const QStringList lines = titles(attr(attributes, "c"), QLatin1Char(','));
    const int count = int(std::max<qsizetype>(lines.size() + 2, 4));
    const AppFrame f = drawAppFrame(context, attr(attributes, "t"), false, count, 18);
    for (qsizetype i = 0; i < lines.size(); ++i)
        drawScreenLine(context, lines[i], QPointF(f.x + 3, f.screen.top() + double(i) * f.line), Qt::black);
    const QRectF control(f.x, f.screen.bottom() - 1.5 * f.line, f.width, 1.5 * f.line);
    if (visible(control))
        drawSegRect(context, control, titles(attr(attributes, "m"), QLatin1Char(',')), intAttr(attributes, "s", 0),
                    Qt::black);
    state_.drawPoint.setY(f.screen.bottom());
}

void HelpMockScreens::drawSimulEq(GraphicsContext& context, const QXmlStreamAttributes& attributes)
{
    const double L = 14 * state_.scale;
    const AppFrame f = drawAppFrame(context, attr(attributes, "t"), false, 7, L);
    QPainter& p = context.painter();
    const QColor banner = AssetColors::named("bannerColor");
    const double bandTop = f.screen.top() - L;
    if (visible(QRectF(f.x, bandTop, f.width, L + f.screen.height()))) {
        const QStringList tb = attr(attributes, "tb").split(QLatin1Char(','));
        const TextFont label{"Helvetica", 9};
        const std::pair<const char*, double> boxes[] = {{"#eq", f.x + 100}, {"#unknown", f.x + f.width - 60}};
        for (int i = 0; i < 2; ++i) {
            const QRectF box(boxes[i].second, bandTop, 60, 18);
            p.fillRect(box, QColor(0, 0, 0, 102));
            const QString name = QString::fromLatin1(boxes[i].first);
            const double lw = DrawString::VQsizeWithFont(name, label).width();
            DrawString::VQdrawAtPoint(context, name, QPointF(box.x() - lw - 3, bandTop + 2), label, Qt::white);
            if (i < tb.size())
                DrawString::VQdrawAtPoint(context, tb[i], QPointF(box.x() + 3, bandTop), state_.screenFont(), Qt::white);
        }
        p.fillRect(QRectF(f.x, f.screen.top(), f.width, L), banner);
        p.fillRect(QRectF(f.x, f.screen.top(), L, 5.5 * L), banner);
    }
    const QStringList rows = attr(attributes, "ma").split(QLatin1Char('*'));
    const double cell = std::floor((f.width - L) / 4);
    const TextFont font = state_.screenFont();
    for (qsizetype r = 0; r < rows.size() && r < 7; ++r) {
        const double y = f.screen.top() + double(r) * L;
        if (r % 2 == 1 && visible(QRectF(f.x + L, y, f.width - L, L)))
            p.fillRect(QRectF(f.x + L, y, f.width - L, L), QColor(0, 0, 0, 51));
        const QStringList entries = rows[r].split(QLatin1Char(','));
        const QColor ink = r == 0 ? QColor(Qt::white) : state_.textColor;
        if (entries.size() == 1) {
            drawScreenLine(context, entries[0], QPointF(f.x + L + 3, y), ink);
            continue;
        }
        for (qsizetype c = 0; c < entries.size() && c < 4; ++c) {
            const double w = DrawString::VQsizeWithFont(entries[c], font).width();
            drawScreenLine(context, entries[c], QPointF(f.x + L + double(c + 1) * cell - w - 2, y), ink);
        }
    }
    const QRectF control(f.x, f.screen.bottom() - 1.5 * L, f.width, 1.5 * L);
    if (visible(control))
        drawSegRect(context, control, titles(attr(attributes, "m"), QLatin1Char(',')), intAttr(attributes, "s", 0), Qt::black);
    state_.drawPoint.setY(f.screen.bottom());
}

void HelpMockScreens::drawStatEditor(GraphicsContext& context, const QXmlStreamAttributes& attributes)
{
    const double s = state_.scale;
    const double L = 14 * s;
    const int rows = std::clamp(intAttr(attributes, "n", 1), 0, 40);
    const QStringList values = titles(attr(attributes, "v"), QLatin1Char(','));
    const bool table = values.size() > 3;
    const int tableRows = rows + (table ? 1 : 0);
    const int extra = std::clamp(intAttr(attributes, "L", 4), 0, 40);
    const AppFrame f = drawAppFrame(context, attr(attributes, "t"), true, tableRows + extra, 18);
    QPainter& p = context.painter();
    const TextFont font = state_.screenFont();
    const TextFont small{"CourierNewPS-BoldMT", 12 * s};
    const double ch = DrawString::VQsizeWithFont(QStringLiteral("0"), small).width();
    const QRectF tableRect(f.x, f.screen.top(), f.width, tableRows * L);
    if (visible(f.screen)) {
        p.fillRect(tableRect, QColor(0, 0, 0, 51));
        p.save();
        p.setPen(QPen(Qt::black, 0.5));
        for (int r = 0; r <= tableRows; ++r)
            p.drawLine(QPointF(f.x, tableRect.top() + r * L), QPointF(tableRect.right(), tableRect.top() + r * L));
        std::vector<double> columns;
        if (!table) {
            for (qsizetype c = 1; c < values.size(); ++c)
                columns.push_back(f.x + f.width * double(c) / double(values.size()));
        } else {
            double x = f.x;
            for (int width : {2, 4, 4, 3, 9}) {
                x += width * ch;
                columns.push_back(x);
            }
        }
        for (double x : columns)
            p.drawLine(QPointF(x, tableRect.top()), QPointF(x, tableRect.bottom()));
        p.restore();
        if (!table) {
            for (qsizetype c = 0; c < values.size(); ++c)
                DrawString::VQdrawAtPoint(context, values[c],
                                          QPointF(f.x + f.width * double(c) / double(values.size()) + 3, tableRect.top()), font,
                                          Qt::black);
        } else {
            const char* const heads[] = {"List", "Freq", "n", "x\xCC\x85", "Sx"};
            const int widths[] = {2, 4, 4, 3, 9, 9};
            double x = f.x;
            for (int c = 0; c < 6; ++c) {
                if (c < 5) {
                    const QString head = QString::fromUtf8(heads[c]);
                    const double w = DrawString::VQsizeWithFont(head, small).width();
                    DrawString::VQdrawAtPoint(context, head, QPointF(x + (widths[c] * ch - w) / 2, tableRect.top()), small,
                                              Qt::black);
                }
                for (qsizetype k = c; k < values.size(); k += 6)
                    DrawString::VQdrawAtPoint(context, values[k], QPointF(x + 2, tableRect.top() + double(1 + k / 6) * L),
                                              small, Qt::black);
                x += widths[c] * ch;
            }
        }
        const QStringList c1 = titles(attr(attributes, "c1"), QLatin1Char(','));
        const QStringList c2 = titles(attr(attributes, "c2"), QLatin1Char(','));
        for (qsizetype i = 0; i < c1.size(); ++i)
            DrawString::VQdrawAtPoint(context, c1[i], QPointF(f.x + 2, tableRect.bottom() + double(i) * L), font, Qt::black);
        for (qsizetype i = 0; i < c2.size(); ++i)
            DrawString::VQdrawAtPoint(context, c2[i], QPointF(f.x + f.width / 2, tableRect.bottom() + double(i) * L), font,
                                      Qt::black);
        const double y0 = f.screen.bottom() - 2 * L;
        const double controlHeight = 2 * L - 4;
        if (attributes.hasAttribute(QLatin1String("c"))) {
            const double w = f.width / 2 + 2 * ch;
            drawSegRect(context, QRectF(f.x + f.width - 2 - w, y0, w, controlHeight),
                        titles(attr(attributes, "c"), QLatin1Char(',')), 0, kControlBlue);
        }
        if (attributes.hasAttribute(QLatin1String("ds")))
            drawSegRect(context, QRectF(f.x + 1, y0, 0.35 * f.width, controlHeight),
                        titles(attr(attributes, "ds"), QLatin1Char(',')), intAttr(attributes, "dsSel", 0), kControlBlue);
        if (attributes.hasAttribute(QLatin1String("dr")))
            drawSegRect(context, QRectF(f.x + 0.55 * f.width - 6, y0 - 4 * L + 1, 0.45 * f.width, controlHeight),
                        titles(attr(attributes, "dr"), QLatin1Char(',')), intAttr(attributes, "drSel", 0), kControlBlue);
        const QStringList reg = titles(attr(attributes, "reg"), QLatin1Char(','));
        const int regSel = intAttr(attributes, "regSel", -1);
        const double step = (f.width - 8) / 5;
        for (qsizetype i = 0; i < reg.size(); ++i) {
            const QRectF button(f.x + 4 + double(i % 5) * step, y0 - (2 * L - 2) + double(i / 5) * (2 * L - 2), step - 2,
                                2 * L - 4);
            drawButtonRect(context, button, reg[i], i == regSel);
        }
    }
    state_.drawPoint.setY(f.screen.bottom());
}

} // namespace orvenda
