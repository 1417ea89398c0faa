#include "apps/CSVViewController.h"

#include "app/NamedColors.h"
#include "app/VQTableScrollView.h"
#include "apps/CSVParser.h"
#include "apps/CSVText.h"
#include "apps/CSVView.h"
#include "core/Calculator.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QMouseEvent>
#include <QPushButton>

#include <algorithm>

namespace orvenda {

namespace {

constexpr int kBarHeight = 44;

// A first field that names its row: no number, at least 6 characters, a capital first.
bool namesItsRow(const QString& field)
{
    const QString name = field.trimmed();
    bool number = false;
    QLocale::c().toDouble(name, &number);
    return !number && name.size() >= 6 && name[0] >= QLatin1Char('A') && name[0] <= QLatin1Char('Z');
}

QString shownText(const std::string& field)
{
    QString text = QString::fromStdString(field);
    if (text.size() <= CSVViewController::kMaxCellCharacters)
        return text;
    qsizetype keep = CSVViewController::kMaxCellCharacters;
    if (text[keep - 1].isHighSurrogate())
        --keep;
    return text.left(keep) + QChar(0x2026);
}

} // namespace

CSVViewController::CSVViewController(Calculator& calc, QWidget* parent)
    : ScreenController(calc, parent), bar_(new QWidget(this)), done_(new QPushButton(QStringLiteral("Done"), bar_)),
      title_(new QLabel(QStringLiteral("CSV"), bar_)), scroller_(new VQTableScrollView(false, this)),
      grid_(new CSVView)
{
    setFocusPolicy(Qt::StrongFocus);
    setAutoFillBackground(true);
    bar_->setAttribute(Qt::WA_StyledBackground);
    updateDisplay();
    done_->setFocusPolicy(Qt::NoFocus);
    title_->setAlignment(Qt::AlignCenter);
    connect(done_, &QPushButton::clicked, this, [this] { csvDone(); });
    scroller_->setContentView(grid_);
    scroller_->viewport()->installEventFilter(this);
    grid_->setTablet(calc.device == 1);
}

std::vector<std::vector<QString>> CSVViewController::previewRows(std::string_view text)
{
    std::string_view kept = text.substr(0, kMaxTextBytes);
    // A text cut short ends at its last line break, so that no half row shows.
    if (kept.size() < text.size())
        if (const auto end = kept.find_last_of("\r\n"); end != std::string_view::npos && end > 0)
            kept = kept.substr(0, end);
    std::vector<std::vector<QString>> rows;
    std::size_t cells = 0;
    int unnamed = 0;
    CSVParser parser(std::string(kept), ",", false);
    parser.setMaxFields(kMaxColumns);
    parser.parseRowsForReceiver([&](CSVParser::Row fields) {
        if (cells >= kMaxCells
            || std::all_of(fields.begin(), fields.end(), [](const std::string& field) { return field.empty(); }))
            return;
        std::vector<QString> row;
        if (!namesItsRow(QString::fromStdString(fields.front())))
            row.push_back(QStringLiteral("L%1").arg(++unnamed));
        const std::size_t room = std::min(kMaxColumns, kMaxCells - cells);
        for (std::size_t k = 0; k < fields.size() && row.size() < room; ++k)
            row.push_back(shownText(fields[k]));
        cells += row.size();
        rows.push_back(std::move(row));
    });
    return rows;
}

void CSVViewController::loadCSVString(std::string_view text)
{
    grid_->setTablet(calc().device == 1);
    grid_->setRows(previewRows(text));
    scroller_->setContentSize(grid_->contentSize());
    scroller_->setContentOffset(QPointF(0, 0));
}

void CSVViewController::updateDisplay()
{
    // The grid lies on the page's colour of the appearance, under the bar's.
    QPalette colours = palette();
    colours.setColor(QPalette::Window, namedColor("docBackgroundColor"));
    setPalette(colours);
    paintAsBar(bar_);
    grid_->update();
}

void CSVViewController::shown(const ScreenRequest&)
{
    updateDisplay();
    std::vector<std::string> names;
    for (const auto& [name, list] : calc().locked()->lists)
        names.push_back(name);
    loadCSVString(CSVText::listsText(calc(), names));
}

QWidget* CSVViewController::leaveControl() const { return done_; }

void CSVViewController::resizeEvent(QResizeEvent*)
{
    const int barHeight = static_cast<int>(kBarHeight * textScale());
    bar_->setGeometry(0, 0, width(), barHeight);
    done_->setGeometry(6, 6, 80, barHeight - 12);
    title_->setGeometry(90, 0, std::max(0, width() - 180), barHeight);
    scroller_->setGeometry(0, barHeight, width(), std::max(0, height() - barHeight));
}

void CSVViewController::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        csvDone();
        return;
    }
    ScreenController::keyPressEvent(event);
}

bool CSVViewController::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != scroller_->viewport())
        return ScreenController::eventFilter(watched, event);
    const auto content = [this](const QMouseEvent* mouse) { return mouse->position() + scroller_->contentOffset(); };
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton) {
            dragging_ = true;
            grid_->touchBegan(content(mouse));
        }
        break;
    }
    case QEvent::MouseMove: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (dragging_ && (mouse->buttons() & Qt::LeftButton)) {
            grid_->touchMoved(content(mouse));
            // The end dragged past the edge brings the cells beyond it into view.
            scroller_->scrollRectToVisible(grid_->cellRect(grid_->selectionEnd()));
        }
        break;
    }
    case QEvent::MouseButtonRelease:
        dragging_ = false;
        break;
    default:
        break;
    }
    return false;
}

} // namespace orvenda
