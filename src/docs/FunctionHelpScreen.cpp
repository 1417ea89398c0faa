#include "docs/FunctionHelpScreen.h"

#include "app/NamedColors.h"
#include "core/Calculator.h"
#include "docs/FunctionHelpPDFView.h"
#include "docs/SupportActions.h"
#include "platform/ExportFolder.h"
#include "pretty/FontMap.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>

namespace orvenda {

namespace {
constexpr int kBarHeight = 40;
} // namespace

FunctionHelpScreen::FunctionHelpScreen(Calculator& calc, QWidget* parent)
    : ScreenController(calc, parent), bar_(new QWidget(this)), done_(new QPushButton(QStringLiteral("Done"), bar_)),
      share_(new QPushButton(QStringLiteral("Share"), bar_)), title_(new QLabel(bar_)),
      view_(new FunctionHelpPDFView(calc, this))
{
    setFocusPolicy(Qt::StrongFocus);
    setAutoFillBackground(true);
    paintAsBar(bar_);
    bar_->setFixedHeight(kBarHeight);
    auto* row = new QHBoxLayout(bar_);
    row->setContentsMargins(4, 2, 4, 2);
    row->addWidget(done_);
    row->addWidget(title_, 1);
    title_->setAlignment(Qt::AlignCenter);
    title_->setFont(FontMap::shared().font("Helvetica-Bold", 16));
    // The title stays centred: Share on the right as wide as Done on the left.
    share_->setFixedWidth(std::max(done_->sizeHint().width(), share_->sizeHint().width()));
    done_->setFixedWidth(share_->width());
    row->addWidget(share_);
    done_->setFocusPolicy(Qt::NoFocus);
    share_->setFocusPolicy(Qt::NoFocus);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(bar_);
    column->addWidget(view_, 1);
    connect(done_, &QPushButton::clicked, this, [this] { done(); });
    connect(share_, &QPushButton::clicked, this, [this] { print(); });
}

void FunctionHelpScreen::setSupport(SupportActions* support)
{
    support_ = support;
    if (!support) {
        view_->clickedUrl = nullptr;
        return;
    }
    view_->clickedUrl = [this](const QUrl& url) {
        // Pages of other functions open here; mail and review go to the support actions.
        if (url.scheme() == QLatin1String("help"))
            view_->followLink(url);
        else
            support_->didClickOnURL(url);
    };
}

void FunctionHelpScreen::print()
{
    const Calculator::Rect paper = calc().pdfPageRect();
    const QByteArray pdf = view_->pdfPageSize(QSizeF(paper.width, paper.height), false);
    const ExportFolder folder(exportFolder);
    QString error = pdf.isEmpty() ? QStringLiteral("The page %1 could not be made.").arg(functionName_) : folder.clear();
    QString path;
    if (error.isEmpty()) {
        QString name = functionName_.trimmed();
        for (QChar& c : name)
            if (!c.isLetterOrNumber() && c != QLatin1Char('_') && c != QLatin1Char('-'))
                c = QLatin1Char('_');
        path = folder.write((name.isEmpty() ? QStringLiteral("help") : name) + QStringLiteral(".pdf"), pdf, error);
    }
    if (!error.isEmpty()) {
        if (tell)
            tell(error);
        return;
    }
    ShareRequest request;
    request.files << path;
    request.subject = functionName_;
    if (presentShare)
        presentShare(request);
}

void FunctionHelpScreen::showOp(std::uint32_t op) { showFunction(QString::fromStdString(calc().nameForOpcode(op))); }

void FunctionHelpScreen::showFunction(const QString& name)
{
    functionName_ = name;
    title_->setText(name.trimmed());
    view_->showFunctionName(name);
}

void FunctionHelpScreen::shown(const ScreenRequest& request)
{
    if (!request.text.isEmpty())
        showFunction(request.text);
    else
        showOp(static_cast<std::uint32_t>(request.number));
}

void FunctionHelpScreen::focus(bool gained)
{
    ScreenController::focus(gained);
    if (gained)
        setFocus();
}

void FunctionHelpScreen::setBarShown(bool shown) { bar_->setVisible(shown); }

void FunctionHelpScreen::done()
{
    focus(false);
    if (closed)
        closed();
    else
        hide();
}

void FunctionHelpScreen::keyPressEvent(QKeyEvent* event)
{
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    if (event->key() == Qt::Key_Escape && mods == Qt::NoModifier) {
        done();
        return;
    }
    if (event->key() == Qt::Key_S && mods == Qt::ControlModifier) {
        print();
        return;
    }
    // The arrows and page keys scroll the page.
    QScrollBar* bar = view_->scrollArea().verticalScrollBar();
    switch (event->key()) {
    case Qt::Key_Up: bar->triggerAction(QAbstractSlider::SliderSingleStepSub); return;
    case Qt::Key_Down: bar->triggerAction(QAbstractSlider::SliderSingleStepAdd); return;
    case Qt::Key_PageUp: bar->triggerAction(QAbstractSlider::SliderPageStepSub); return;
    case Qt::Key_PageDown:
    case Qt::Key_Space: bar->triggerAction(QAbstractSlider::SliderPageStepAdd); return;
    case Qt::Key_Home: bar->triggerAction(QAbstractSlider::SliderToMinimum); return;
    case Qt::Key_End: bar->triggerAction(QAbstractSlider::SliderToMaximum); return;
    default: ScreenController::keyPressEvent(event);
    }
}

QWidget* FunctionHelpScreen::leaveControl() const { return done_; }

} // namespace orvenda
