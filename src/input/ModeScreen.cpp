#include "input/ModeScreen.h"

#include "app/AppShell.h"
#include "app/EntryModel.h"
#include "app/HistoryModel.h"
#include "app/KeyRouter.h"
#include "core/Calculator.h"
#include "core/NotificationCenter.h"
#include "core/NotificationNames.h"
#include "core/VColor.h"
#include "core/services/YEqManager.h"
#include "input/SegmentedControl.h"
#include "pretty/FontMap.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScrollArea>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace orvenda {

namespace {

constexpr int kClockMs = 100;
constexpr int kImplicit = 4;

QColor qColor(const VColor& c) { return QColor::fromRgbF(c.r, c.g, c.b, c.a); }

QIcon swatch(const VColor& c)
{
    QPixmap pixmap(24, 16);
    pixmap.fill(qColor(c));
    return QIcon(pixmap);
}

} // namespace

ModeScreen::ModeScreen(Calculator& calc, AppShell& shell, QWidget* parent)
    : ScreenController(calc, parent), shell_(shell), digits_(new QSlider(Qt::Horizontal)), digitsLabel_(new QLabel),
      float_(new QPushButton(QStringLiteral("Float"))), testTime_(new QLabel(QStringLiteral("Testing Mode")))
{
    setAutoFillBackground(true);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(8, 4, 8, 4);
    auto* title = new QLabel(QStringLiteral("MODE"));
    title->setFont(FontMap::shared().font("Helvetica-Bold", 16));
    auto* close = new QPushButton(QStringLiteral("Done"));
    close_ = close;
    close->setFocusPolicy(Qt::NoFocus);
    bar->addWidget(title);
    bar->addStretch();
    bar->addWidget(close);
    outer->addLayout(bar);
    auto* scroll = new QScrollArea;
    scroll_ = scroll;
    scroll->setWidgetResizable(true);
    scroll->viewport()->installEventFilter(this);
    // The computer's keys stay with the keyboard under the screen, so ON (Ctrl+/) still
    // stops a running program after a click here.
    scroll->setFocusPolicy(Qt::NoFocus);
    outer->addWidget(scroll);
    auto* page = new QWidget;
    auto* form = new QVBoxLayout(page);
    scroll->setWidget(page);

    const auto header = [form](const QString& text) {
        auto* label = new QLabel(text);
        label->setFont(FontMap::shared().font("Helvetica-Bold", 14));
        label->setFixedHeight(22);
        form->addWidget(label);
    };
    header(QStringLiteral("   Display"));
    addSegments(form, QStringLiteral("Answers"), Answer,
        {QStringLiteral("AUTO"), QStringLiteral("DECIMAL"), QStringLiteral("FRACTION"), QStringLiteral("SigFig")});
    addSegments(form, QStringLiteral("Format"), NumFormat, {QStringLiteral("Normal"), QStringLiteral("Sci"), QStringLiteral("Eng")});
    auto* digitsRow = new QHBoxLayout;
    auto* decimals = new QLabel(QStringLiteral("Decimals"));
    decimals->setObjectName(QStringLiteral("modeRowLabel"));
    digitsRow->addWidget(decimals);
    digitsRow->addWidget(digits_);
    digitsRow->addWidget(digitsLabel_);
    digitsRow->addWidget(float_);
    form->addLayout(digitsRow);
    rows_.push_back(digitsRow);
    digits_->setRange(0, 9);
    digits_->setFocusPolicy(Qt::NoFocus);
    float_->setFocusPolicy(Qt::NoFocus);
    addSegments(form, QStringLiteral("Grouping"), Grouping,
        {QStringLiteral("None"), QStringLiteral("1,000.0"), QStringLiteral("1.000,0"), QStringLiteral("Si")});
    addSegments(form, QStringLiteral("Base"), NumBase, {QStringLiteral("DEC"), QStringLiteral("BIN"), QStringLiteral("HEX")});
    addSegments(form, QStringLiteral("Fractions"), Fraction, {QStringLiteral("n/d"), QStringLiteral("Un/d")});
    addSegments(form, QStringLiteral("Entry"), MathPrint, {QStringLiteral("MathPrint"), QStringLiteral("Classic")});
    addSwitch(form, QStringLiteral("Bubble help"), BubbleHelp);
    header(QStringLiteral("   Operation Modes"));
    addSegments(form, QStringLiteral("Graph"), GraphMode,
        {QStringLiteral("Func"), QStringLiteral("Par"), QStringLiteral("Polar"), QStringLiteral("Seq"), QStringLiteral("f(XY)")});
    addSegments(form, QStringLiteral("Angle"), Angle, {QStringLiteral("Radian"), QStringLiteral("Degree")});
    addSegments(form, QStringLiteral("Numbers"), RealCplx, {QStringLiteral("Real"), QStringLiteral("a+bi"), QStringLiteral("re^θi")});
    addSwitch(form, QStringLiteral("Statistics diagnostics"), StatDiag);
    addSwitch(form, QStringLiteral("Statistics wizard"), StatWiz);
    header(QStringLiteral("   Layout"));
    addSegments(form, QStringLiteral("Screen"), ScreenLayout, {QStringLiteral("Full"), QStringLiteral("G-T")});
    addSegments(form, QStringLiteral("PDF page"), PdfPage, {QStringLiteral("A4"), QStringLiteral("Letter"), QStringLiteral("Legal")});
    header(QStringLiteral("   Keyboard"));
    addSwitch(form, QStringLiteral("Key click"), KeyClick);
    const QStringList six(6, QString());
    addSegments(form, QStringLiteral("Keys"), KeyboardColors, six);
    addSegments(form, QStringLiteral("Display"), LcdColors, six);
    for (int set = 0; set < 6; ++set) {
        segments_[KeyboardColors]->setIcon(set, swatch(calc.interfaceColor(set, 2)));
        segments_[LcdColors]->setIcon(set, swatch(calc.interfaceColor(set, 6)));
    }
    header(QStringLiteral("   Test Taking"));
    // The clock's label names the switch beside it: "Testing Mode" once, or its time.
    QCheckBox* test = addSwitch(form, QString(), TestMode);
    test->setAccessibleName(QStringLiteral("Testing Mode"));
    form->removeWidget(test);
    auto* testRow = new QHBoxLayout;
    testRow->addWidget(test);
    testRow->addWidget(testTime_, 1);
    form->addLayout(testRow);
    form->addStretch();
    // The rows' controls start in one column, right of the widest label.
    const auto rowLabels = page->findChildren<QLabel*>(QStringLiteral("modeRowLabel"));
    int labelWidth = 0;
    for (const QLabel* name : rowLabels)
        labelWidth = std::max(labelWidth, name->sizeHint().width());
    for (QLabel* name : rowLabels)
        name->setFixedWidth(labelWidth);

    connect(digits_, &QSlider::sliderMoved, this, [this](int value) { moveDigits(value); });
    connect(digits_, &QSlider::sliderReleased, this, [this] { releaseDigits(); });
    connect(float_, &QPushButton::clicked, this, [this] { floatDigits(); });
    connect(close, &QPushButton::clicked, this, [this] { done(); });
}

ModeScreen::~ModeScreen() { stopClock(); }

SegmentedControl* ModeScreen::addSegments(QVBoxLayout* form, const QString& label, Segments which,
    const QStringList& titles)
{
    auto* row = new QHBoxLayout;
    auto* name = new QLabel(label);
    name->setObjectName(QStringLiteral("modeRowLabel"));
    row->addWidget(name);
    auto* control = new SegmentedControl(titles);
    control->changed = [this, which](int index) { segmentPicked(which, index); };
    row->addWidget(control, 1);
    form->addLayout(row);
    rows_.push_back(row);
    segments_[which] = control;
    return control;
}

QCheckBox* ModeScreen::addSwitch(QVBoxLayout* form, const QString& label, Switches which)
{
    auto* box = new QCheckBox(label);
    box->setFocusPolicy(Qt::NoFocus);
    connect(box, &QCheckBox::toggled, this, [this, which](bool on) {
        if (!setting_)
            switched(which, on);
    });
    form->addWidget(box);
    switches_[which] = box;
    return box;
}

bool ModeScreen::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == scroll_->viewport() && event->type() == QEvent::Resize)
        fitRows();
    return ScreenController::eventFilter(watched, event);
}

void ModeScreen::fitRows()
{
    const QLayout* form = scroll_->widget()->layout();
    const int room = scroll_->viewport()->width() - form->contentsMargins().left() - form->contentsMargins().right();
    for (QBoxLayout* row : rows_) {
        int beside = row->spacing() * (row->count() - 1);
        for (int i = 0; i < row->count(); ++i)
            if (const QWidget* w = row->itemAt(i)->widget())
                beside += std::max(w->minimumWidth(), w->minimumSizeHint().width());
        row->setDirection(beside > room ? QBoxLayout::TopToBottom : QBoxLayout::LeftToRight);
    }
}

void ModeScreen::click() { shell_.keys().doKeyClick(); }

void ModeScreen::post(const QString& label)
{
    calc().notificationCenter().post(VQModeChanged, this, {{"mode", label.toStdString()}});
}

void ModeScreen::toggle(Switches which, bool on) { switches_[which]->setChecked(on); }

bool ModeScreen::switchOn(Switches which) const { return switches_[which]->isChecked(); }

// ---- The controls ----

void ModeScreen::segmentPicked(Segments which, int index)
{
    Calculator& c = calc();
    const SegmentedControl& control = *segments_[which];
    switch (which) {
    case NumFormat:
        click();
        c.locked()->numFormat = index;
        post(QStringLiteral("Decimals:") + control.title(index));
        return;
    case Fraction:
        click();
        c.locked()->fractionFormat = index == 0 ? 3 : 4;
        post(QStringLiteral("Fractions:") + control.title(index));
        return;
    case Answer:
        click();
        if (index < 4)
            c.locked()->answerFormat = index;
        post(QStringLiteral("Answers:") + control.title(index));
        return;
    case NumBase:
        click();
        c.locked()->numBase = index;
        post(QStringLiteral("Base:") + control.title(index));
        return;
    case Grouping: {
        click();
        static constexpr char16_t kSeparators[] = {u' ', u',', u'.', u'+'};
        const int i = index >= 1 && index <= 3 ? index : 0;
        c.locked()->thousandSeperator = kSeparators[i];
        post(QStringLiteral("Grouping:") + control.title(i));
        return;
    }
    case Angle:
        click();
        c.setAngleFormat(index == 0 ? 1 : 0);
        post(QStringLiteral("Angle:") + control.title(index));
        return;
    case GraphMode: {
        click();
        int mode = index;
        // No implicit graphs during a test: back to the mode in use.
        if (c.testMode == 1 && mode == kImplicit) {
            const int current = c.graphMode();
            mode = current >= 1 && current <= 3 ? current : 0;
            segments_[GraphMode]->setSelected(mode);
        }
        if (mode < 1 || mode > 4)
            mode = 0;
        static const char* const kNames[] = {"Func", "Par", "Polar", "Seq", "Impl"};
        c.setGraphMode(mode);
        post(QStringLiteral("Graph:") + QLatin1String(kNames[mode]));
        return;
    }
    case RealCplx:
        click();
        c.setRealCplxMode(index);
        post(QStringLiteral("Real/Imag:") + control.title(index));
        return;
    case PdfPage:
        c.pdfPageSize = index;
        post(QStringLiteral("PageSz:") + control.title(index));
        return;
    case ScreenLayout:
        c.locked()->screenSplit = index == 1 ? 1 : 0;
        post(QStringLiteral("Split:") + control.title(index));
        return;
    case MathPrint:
        c.locked()->mathPrint = index == 0;
        post(QStringLiteral("Format:") + (index == 0 ? QStringLiteral("MathType") : QStringLiteral("Classic")));
        return;
    case KeyboardColors:
        keyColors(0, index);
        return;
    case LcdColors:
        keyColors(1, index);
        return;
    case SegmentCount:
        return;
    }
}

void ModeScreen::switched(Switches which, bool on)
{
    Calculator& c = calc();
    const QString state = on ? QStringLiteral("On") : QStringLiteral("Off");
    switch (which) {
    case KeyClick:
        c.clickPref = on;
        return;
    case BubbleHelp:
        c.bubbleHelp = on;
        post(QStringLiteral("Bubble help:") + state);
        return;
    case StatDiag:
        c.locked()->regressionDiagnostic = on;
        post(QStringLiteral("Statistics diagnostics:") + state);
        return;
    case StatWiz:
        c.statWiz = on;
        post(QStringLiteral("Statistics wizard:") + state);
        return;
    case TestMode:
        setTestMode(on);
        return;
    case SwitchCount:
        return;
    }
}

void ModeScreen::keyColors(int tag, int index)
{
    Calculator& c = calc();
    if (tag == 0) {
        c.keyboardColorSet = index;
        const QColor background = qColor(c.interfaceColorIndex(7));
        QWidget* w = window();
        if (w == this) {
            qWarning("Window not found for this view controller.");
        } else {
            QPalette palette = w->palette();
            palette.setColor(QPalette::Window, QColor(background.red(), background.green(), background.blue()));
            w->setPalette(palette);
        }
        showColors();
        c.notificationCenter().post(VQRedrawKeyboard, this);
    } else if (tag == 1) {
        // The display screens paint colour 6 of the display set themselves.
        c.lcdColorSet = index;
        c.notificationCenter().post(VQRedrawKeyboard, this);
    }
}

// ---- Decimal places ----

int ModeScreen::sliderValue() const { return digits_->value(); }

QString ModeScreen::digitsLabel() const { return digitsLabel_->text(); }

void ModeScreen::moveDigits(double value)
{
    if (!digitsBeforeDrag_)
        digitsBeforeDrag_ = calc().settings().numDigits;
    const int d = std::clamp(static_cast<int>(std::trunc(value)), 0, 9);
    digits_->setValue(d);
    calc().locked()->numDigits = d;
    digitsLabel_->setText(QString::number(d));
}

void ModeScreen::releaseDigits()
{
    const int d = digits_->value();
    const int before = digitsBeforeDrag_.value_or(calc().settings().numDigits);
    digitsBeforeDrag_.reset();
    const QString message = d == 0
        ? QStringLiteral("All results will be displayed rounded to the nearest integer (0 decimal places). Do you want to proceed?")
        : QStringLiteral("All results will be displayed rounded to %1 decimal places. Do you want to proceed?").arg(d);
    AlertQueue::Alert alert{QStringLiteral("Decimal Places Change"), message, {}};
    alert.buttons.emplace_back(QStringLiteral("Cancel"), [this, before] {
        // Back to the setting from before the slider was taken.
        calc().locked()->numDigits = before;
        updateDisplay();
    });
    alert.buttons.emplace_back(QStringLiteral("OK"), nullptr);
    if (ask)
        ask(std::move(alert));
}

void ModeScreen::floatDigits()
{
    click();
    calc().locked()->numDigits = -1;
    digitsLabel_->setText(QStringLiteral("float"));
    post(QStringLiteral("Float"));
}

// ---- Showing the settings ----

void ModeScreen::showColors()
{
    const VColor back = calc().interfaceColorIndex(7);
    QPalette palette = this->palette();
    const QColor window = QColor::fromRgbF(back.r, back.g, back.b);
    palette.setColor(QPalette::Window, window);
    // Titles and switch labels read on dark and light colour sets alike.
    palette.setColor(QPalette::WindowText, window.lightnessF() < 0.5 ? Qt::white : Qt::black);
    setPalette(palette);
    for (SegmentedControl* control : segments_)
        control->setBackColor(window);
}

void ModeScreen::updateDisplay()
{
    Calculator& c = calc();
    c.clickMute = true;
    setting_ = true;
    showColors();
    const Calculator::Settings settings = c.settings();
    segments_[NumFormat]->setSelected(settings.numFormat == 1 ? 1 : settings.numFormat == 2 ? 2 : 0);
    segments_[Fraction]->setSelected(settings.fractionFormat == 3 ? 0 : 1);
    segments_[Answer]->setSelected(settings.answerFormat >= 1 && settings.answerFormat <= 3 ? settings.answerFormat : 0);
    segments_[NumBase]->setSelected(settings.numBase == 1 ? 1 : settings.numBase == 2 ? 2 : 0);
    const char16_t sep = settings.thousandSeperator;
    segments_[Grouping]->setSelected(sep == u',' ? 1 : sep == u'.' ? 2 : sep == u'+' ? 3 : 0);
    segments_[Angle]->setSelected(c.angleFormat() == 1 ? 0 : 1);
    const int mode = c.graphMode();
    segments_[GraphMode]->setSelected(mode >= 1 && mode <= 4 ? mode : 0);
    switches_[KeyClick]->setChecked(c.clickPref);
    const int cplx = c.realCplxMode();
    segments_[RealCplx]->setSelected(cplx == 1 ? 1 : cplx == 2 ? 2 : 0);
    digits_->setValue(std::max(0, settings.numDigits));
    digitsLabel_->setText(settings.numDigits < 0 ? QStringLiteral("float") : QString::number(settings.numDigits));
    segments_[PdfPage]->setSelected(c.pdfPageSize == 0 ? 0 : c.pdfPageSize == 2 ? 2 : 1);
    segments_[MathPrint]->setSelected(settings.mathPrint ? 0 : 1);
    segments_[ScreenLayout]->setSelected(settings.screenSplit ? 1 : 0);
    segments_[KeyboardColors]->setSelected(c.keyboardColorSet);
    segments_[LcdColors]->setSelected(c.lcdColorSet);
    switches_[StatDiag]->setChecked(settings.regressionDiagnostic);
    switches_[StatWiz]->setChecked(c.statWiz);
    switches_[BubbleHelp]->setChecked(c.bubbleHelp);
    switches_[TestMode]->setChecked(c.testMode == 1);
    segments_[GraphMode]->setTitle(kImplicit, c.testMode == 1 ? QString() : QStringLiteral("f(XY)"));
    setting_ = false;
    showTestTime();
    c.clickMute = false;
}

// ---- Test mode ----

QString ModeScreen::testTimeText(double seconds)
{
    // A clock set back must not show a negative time.
    const double t = std::max(0.0, seconds);
    const int hours = static_cast<int>(t / 3600);
    const int minutes = static_cast<int>(std::fmod(t, 3600) / 60);
    const int secs = static_cast<int>(std::fmod(t, 60));
    return QString::asprintf("%dh:%2dm:%2ds Testing Mode", hours, minutes, secs);
}

void ModeScreen::showTestTime()
{
    const Calculator& c = calc();
    if (c.testMode != 1 || !c.testStart) {
        testTime_->setText(QStringLiteral("Testing Mode"));
        return;
    }
    const std::chrono::duration<double> elapsed = now() - *c.testStart;
    testTime_->setText(testTimeText(elapsed.count()));
}

QString ModeScreen::testTime() const { return testTime_->text(); }

void ModeScreen::setTestMode(bool on)
{
    Calculator& c = calc();
    if (!on) {
        c.testMode = 0;
        stopClock();
        segments_[GraphMode]->setTitle(kImplicit, QStringLiteral("f(XY)"));
        showTestTime();
        return;
    }
    c.testMode = 1;
    c.testStart = now();
    if (c.historyManager)
        c.historyManager->clearAll();
    if (auto* entry = dynamic_cast<EntryModel*>(c.entryManager.get()))
        entry->clearAll();
    else if (c.entryManager)
        c.entryManager->clear();
    if (c.yEqManager)
        c.yEqManager->clearAll();
    c.clearDrawing();
    {
        const auto lock = c.lockState();
        for (VQString& s : c.state().strings)
            s.clear();
    }
    startClock();
    if (c.graphMode() == kImplicit) {
        c.setGraphMode(0);
        segments_[GraphMode]->setSelected(0);
    }
    segments_[GraphMode]->setTitle(kImplicit, QString());
    showTestTime();
}

void ModeScreen::startClock()
{
    stopClock();
    testTimer_ = new QTimer(this);
    connect(testTimer_, &QTimer::timeout, this, [this] { showTestTime(); });
    testTimer_->start(kClockMs);
}

void ModeScreen::stopClock()
{
    delete testTimer_;
    testTimer_ = nullptr;
}

bool ModeScreen::clockRunning() const { return testTimer_ != nullptr; }

void ModeScreen::focus(bool gained)
{
    ScreenController::focus(gained);
    stopClock();
    if (!gained)
        return;
    startMathPrint_ = calc().settings().mathPrint;
    if (calc().testMode == 1)
        startClock();
}

void ModeScreen::done()
{
    Calculator& c = calc();
    const bool mathPrint = c.settings().mathPrint;
    if (mathPrint != startMathPrint_) {
        if (c.entryManager && !c.entryManager->text().empty())
            c.entryManager->clear();
        if (auto* history = dynamic_cast<HistoryModel*>(c.historyManager.get()))
            history->recomputeDepth();
        startMathPrint_ = mathPrint;
    }
    click();
    // The router only hides the screen: the clock stops here.
    stopClock();
    if (settingsDone)
        settingsDone();
}

QWidget* ModeScreen::leaveControl() const { return close_; }

} // namespace orvenda
