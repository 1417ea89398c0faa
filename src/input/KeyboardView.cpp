#include "input/KeyboardView.h"

#include "app/EntryModel.h"
#include "app/KeyRouter.h"
#include "app/WindowFit.h"
#include "app/YEqModel.h"
#include "core/Calculator.h"
#include "core/NotificationCenter.h"
#include "core/NotificationNames.h"
#include "core/services/ProgramManager.h"
#include "drawing/VImageDraw.h"
#include "eval/Parser.h"
#include "input/AlphaKeyboardView.h"
#include "input/KeyArtwork.h"
#include "input/KeyButton.h"
#include "input/KeyLegendView.h"
#include "input/KeyTables.h"
#include "input/KeyboardViewDelegate.h"
#include "language/Vocabulary.h"
#include "platform/OpsClipboard.h"
#include "pretty/PrettyPrint.h"
#include "pretty/TokenClass.h"

#include <QApplication>
#include <QDialog>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPainter>
#include <QPointer>
#include <QTableWidget>
#include <QVBoxLayout>

namespace orvenda {

namespace {

using KT = KeyTables;

bool repeatable(std::uint32_t op)
{
    return op == KT::kDel || (op >= KT::kLeft && op <= KT::kDown) || op == KT::kFontUp || op == KT::kFontDown
        || op == KT::kUndo || op == KT::kRedo;
}

bool programRepeatable(std::uint32_t op)
{
    return op == KT::kDel || (op >= KT::kLeft && op <= KT::kDown) || op == KT::kUndo || op == KT::kRedo;
}

// Screens whose undo key follows the entry line.
bool entryUndoScreen(int s)
{
    switch (s) {
    case 0: case 3: case 4: case 5: case 6: case 7: case 8: case 10: case 11: case 12: case 14: case 15: case 16: case 23:
        return true;
    default:
        return false;
    }
}

} // namespace

KeyboardView::KeyboardView(Calculator& calc, KeyRouter& keys, QWidget* parent)
    : QWidget(parent), calc_(calc), keys_(keys)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(QStringLiteral("Calculator keyboard"));
    connect(&repeatTimer_, &QTimer::timeout, this, [this] { repeatTick(); });
    calc_.notificationCenter().addObserver(this, VQRedrawKeyboard, [this](const Notification&) { redraw(); });
    layoutButtons();
}

KeyboardView::~KeyboardView()
{
    repeatTimer_.stop();
    calc_.notificationCenter().removeObserver(this);
}

KeyboardGeometry KeyboardView::geometry() const
{
    return KeyboardGeometry(QSizeF(size()), calc_.device == 1, calc_.tallPhone);
}

QString KeyboardView::tall(const char* name, const char* tallName) const
{
    return QString::fromLatin1(calc_.tallPhone && calc_.device != 1 ? tallName : name);
}

int KeyboardView::currentLayer() const
{
    if (calc_.secondShift)
        return KT::kSecondLayer;
    if (calc_.alphaShift || calc_.alphaLock)
        return calc_.lowercaseLock ? KT::kLowercaseLayer : KT::kAlphaLayer;
    return KT::kPlainLayer;
}

// ---- Keys and their faces ----

void KeyboardView::layoutButtons()
{
    legendSheet_ = new KeyLegendView(KeyLegendView::Kind::Sheet, this);
    for (int key = 0; key < KT::kKeyCount; ++key) {
        auto* button = new KeyButton(key, this);
        connect(button, &QAbstractButton::pressed, this, [this, key] { keyDown(key); });
        connect(button, &QAbstractButton::released, this, [this, key] { keyUp(key); });
        buttons_[static_cast<std::size_t>(key)] = button;
    }
    secondGlow_ = new KeyLegendView(KeyLegendView::Kind::SecondGlow, this);
    alphaGlow_ = new KeyLegendView(KeyLegendView::Kind::AlphaGlow, this);
    secondGlow_->hide();
    alphaGlow_->hide();
    layoutKeys();
    recolorButtons();
    reNameButtons();
}

QString KeyboardView::face(int key) const
{
    switch (key) {
    case 0: case 1: case 2: case 3: case 4: return QStringLiteral("fkeyShort");
    case 5: return tall("fkeyYellow", "fkeyTYellow");
    case 10: return tall("fkeyGreen", "fkeyTGreen");
    case 8: return QStringLiteral("fArrowKeyLeft");
    case 9: return QStringLiteral("fArrowKeyUp");
    case 13: return QStringLiteral("fArrowKeyDown");
    case 14: return QStringLiteral("fArrowKeyRight");
    case 16: case 29: case 34: case 39: case 44: case 49: return tall("fkeyBlue", "fkeyTBlue");
    case 31: case 32: case 33: case 36: case 37: case 38: case 41: case 42: case 43: case 46: case 47: case 48:
        return tall("fkey", "fkeyT");
    default: return tall("fkeyBlack", "fkeyTBlack");
    }
}

void KeyboardView::recolorButtons()
{
    const int set = calc_.keyboardColorSet;
    // The theme's key colours, for every key image the library draws from now on.
    static const char* const kKeyColorNames[] = {"blackKey", "blackKeyG", "blueKey", "blueKeyG", "blueKeyHi1",
                                                 "blueKeyHi2", "lcd"};
    for (int i = 0; i < 7; ++i)
        VImageDraw::vImageDraw().setColor(calc_.interfaceColorIndex(i), kKeyColorNames[i]);
    for (int key = 0; key < KT::kKeyCount; ++key) {
        KeyButton& b = button(key);
        b.setFace(face(key), set);
        // Arrows carry their glyph; the others the name of what they do.
        if (key != 8 && key != 9 && key != 13 && key != 14)
            b.setLegend(KeyArtwork::legendText(KT::op(KT::kPlainLayer, key)));
    }
    currentColorSet_ = set;
    helpKeyMode_ = 0;
    refreshLegends();
}

void KeyboardView::refreshLegends()
{
    std::vector<KeyLegendView::Legend> legends(KT::kKeyCount);
    for (int key = 0; key < KT::kKeyCount; ++key) {
        auto& legend = legends[static_cast<std::size_t>(key)];
        legend.strip = KeyArtwork::legendStrip(button(key).geometry(), button(key).face());
        if (legend.strip.isEmpty())
            continue;
        const std::uint32_t plain = KT::op(KT::kPlainLayer, key);
        const std::uint32_t second = KT::op(KT::kSecondLayer, key);
        const std::uint32_t alpha = KT::op(KT::kAlphaLayer, key);
        if (second != plain)
            legend.second = KeyArtwork::legendText(second);
        if (alpha != plain && alpha != second)
            legend.alpha = KeyArtwork::legendText(alpha);
    }
    // Redo is lit while there is something to redo.
    legends[KT::kUndoKey].secondColor = redoMode_ ? QColor::fromRgbF(1.0f, 0.75f, 0.12f) : QColor::fromRgbF(0.5f, 0.5f, 0.5f);
    legendSheet_->setLegends(legends);
    secondGlow_->setLegends(legends);
    alphaGlow_->setLegends(std::move(legends));
}

void KeyboardView::reNameButtons()
{
    const int layer = currentLayer();
    const Vocabulary& vocabulary = Vocabulary::shared();
    for (int key = 0; key < KT::kKeyCount; ++key) {
        QString title;
        if (key == KT::kXKey && layer == KT::kPlainLayer) {
            title = KeyArtwork::xKeyLegend(calc_.graphMode());
        } else {
            title = QString::fromStdString(vocabulary.speakNameForOpcode(KT::op(layer, key)));
        }
        button(key).setTitle(title);
    }
}

void KeyboardView::layoutKeys()
{
    const KeyboardGeometry g = geometry();
    // One label size for every key, from an ordinary key's frame before rounding.
    const int labelSize = KeyButton::labelSizeFor(g.keyFrame(31), face(31));
    for (int key = 0; key < KT::kKeyCount; ++key) {
        button(key).setGeometry(g.keyFrame(key).toAlignedRect());
        button(key).setLabelSize(labelSize);
    }
    for (KeyLegendView* view : {legendSheet_, secondGlow_, alphaGlow_})
        view->setGeometry(rect());
    legendSheet_->lower();
    if (alphaView_) {
        alphaView_->setGeometry(g.alphaKeyboardFrame().toAlignedRect());
        alphaView_->layoutWithScale(g.k(), g.sx(), g.sy());
    }
    refreshLegends();
    // Faces and overlays are redrawn for the new size.
    currentColorSet_ = -1;
    redraw();
}

void KeyboardView::setHelpKeyImage()
{
    const int mode = calc_.programRunning ? 3 : showHelp_ ? 2 : 1;
    if (mode == helpKeyMode_)
        return;
    helpKeyMode_ = mode;
    KeyButton& on = button(KT::kOnKey);
    on.setFace(mode == 3 ? tall("fOnKey", "fTOnKey") : mode == 2 ? tall("fHelpHiKey", "fTHelpHiKey")
                                                                 : tall("fHelpKey", "fTHelpKey"),
               calc_.keyboardColorSet);
    on.setLegend(mode == 3 ? QStringLiteral("ON") : KeyArtwork::legendText(KT::kOn));
}

void KeyboardView::redraw()
{
    const bool colorChanged = calc_.keyboardColorSet != currentColorSet_;
    if (colorChanged)
        recolorButtons();
    if (colorChanged || calc_.secondShift != secondShift_) {
        secondGlow_->setVisible(calc_.secondShift);
        secondGlow_->raise();
        reNameButtons();
    }
    if (colorChanged || calc_.alphaShift != alphaShift_) {
        const KeyboardGeometry g = geometry();
        if (calc_.alphaShift) {
            alphaGlow_->show();
            alphaGlow_->raise();
            if (!alphaView_) {
                alphaView_ = new AlphaKeyboardView(calc_, this);
                alphaView_->setOnKey([this](std::uint32_t op) { keyTouch(op); });
                alphaView_->setOnClick([this] { keys_.doKeyClick(); });
                alphaView_->setGeometry(g.alphaKeyboardFrame().toAlignedRect());
                alphaView_->layoutWithScale(g.k(), g.sx(), g.sy());
            }
            alphaView_->show();
            alphaView_->raise();
        } else {
            if (alphaView_)
                alphaView_->hide();
            alphaGlow_->hide();
        }
        const bool covering = alphaView_ && !alphaView_->isHidden();
        for (KeyButton* b : buttons_)
            b->setVisible(!(covering && b->geometry().intersects(alphaView_->geometry())));
        reNameButtons();
    }
    if (alphaView_ && !alphaView_->isHidden())
        alphaView_->refreshCase();
    if (colorChanged || calc_.graphMode() != graphMode_) {
        const int mode = calc_.graphMode();
        KeyButton& x = button(KT::kXKey);
        x.setFace(KeyArtwork::xKeyFace(mode, calc_.tallPhone && calc_.device != 1), calc_.keyboardColorSet);
        x.setLegend(KeyArtwork::xKeyLegend(mode));
        graphMode_ = mode;
        reNameButtons();
    }
    if (colorChanged || calc_.testMode != testMode_) {
        button(16).setBarred(calc_.testMode == 1);
        button(17).setBarred(calc_.testMode == 1);
        testMode_ = calc_.testMode;
    }
    const auto [undo, redo] = undoState();
    if (colorChanged || undo != undoMode_)
        button(KT::kUndoKey).setFace(undo ? QStringLiteral("fkeyUndo") : QStringLiteral("fkeyUndoNot"),
                                     calc_.keyboardColorSet);
    setHelpKeyImage();
    secondShift_ = calc_.secondShift;
    alphaShift_ = calc_.alphaShift;
    undoMode_ = undo;
    if (redo != redoMode_) {
        redoMode_ = redo;
        refreshLegends();
    }
    update();
}

std::pair<bool, bool> KeyboardView::undoState() const
{
    const int screen = calc_.currentScreen();
    if (entryUndoScreen(screen)) {
        if (const auto* entry = dynamic_cast<const EntryModel*>(calc_.entryManager.get()))
            return {entry->canUndo(), entry->canRedo()};
    } else if (screen == 2) {
        if (calc_.prgmManager)
            return {calc_.prgmManager->canUndo(), calc_.prgmManager->canRedo()};
    } else if (screen == 1) {
        if (const auto* yEq = dynamic_cast<const YEqModel*>(calc_.yEqManager.get()))
            return {yEq->canUndo(), yEq->canRedo()};
    }
    return {false, false};
}

bool KeyboardView::stale() const
{
    const int helpMode = calc_.programRunning ? 3 : showHelp_ ? 2 : 1;
    return calc_.keyboardColorSet != currentColorSet_ || calc_.secondShift != secondShift_
        || calc_.alphaShift != alphaShift_ || calc_.graphMode() != graphMode_ || calc_.testMode != testMode_
        || helpMode != helpKeyMode_ || undoState() != std::pair{undoMode_, redoMode_};
}

void KeyboardView::paintEvent(QPaintEvent*)
{
    // Whoever asked for a repaint may have changed what the keys show (the router clears
    // the 2nd shift, a program starts): bring the keys up to date after this paint.
    if (stale())
        QMetaObject::invokeMethod(this, [this] { redraw(); }, Qt::QueuedConnection);
    QPainter painter(this);
    const VColor back = calc_.interfaceColorIndex(7);
    painter.fillRect(rect(), QColor::fromRgbF(static_cast<float>(back.r), static_cast<float>(back.g),
                                              static_cast<float>(back.b)));
    const KeyboardGeometry g = geometry();
    if (g.tablet()) {
        const double s = height() / 524.0;
        KeyArtwork::drawBackPanel(painter, QRectF(0, s * 53, width(), 2 * s * height()));
    } else {
        const double design = g.tallPhone() ? 418.0 : 350.0;
        const double top = g.tallPhone() ? 43.0 : 35.0;
        const double s = height() / design;
        KeyArtwork::drawBackPanel(painter, QRectF(0, s * top, width(), s * (height() - top)));
    }
}

void KeyboardView::resizeEvent(QResizeEvent*) { layoutKeys(); }

// ---- Dispatch ----

void KeyboardView::keyDown(int key)
{
    stopRepeat();
    keys_.doKeyClick();
    const int layer = currentLayer();
    doKeyOp(KT::op(layer, key), key, layer, button(key).geometry(), true);
}

void KeyboardView::keyUp(int) { stopRepeat(); }

void KeyboardView::displayChanged()
{
    if (delegate_)
        delegate_->displayChanged();
}

bool KeyboardView::answerHelp(std::uint32_t op, QRectF frame)
{
    if (!showHelp_ || op == KT::kSecond || op == KT::kAlpha)
        return false;
    showHelp_ = false;
    setHelpKeyImage();
    // A key whose help nobody shows does what it does, so help mode swallows nothing.
    const QRectF global = frame.isEmpty() ? QRectF() : QRectF(QPointF(mapToGlobal(frame.topLeft())), frame.size());
    if (!delegate_ || !delegate_->showHelpForOp(op, global)) {
        redraw();
        return false;
    }
    calc_.secondShift = false;
    calc_.alphaShift = false;
    calc_.alphaLock = false;
    redraw();
    return true;
}

void KeyboardView::doKeyOp(std::uint32_t op, int key, int layer, QRectF frame, bool autoRepeat)
{
    if (answerHelp(op, frame))
        return;
    const bool onKey = key >= 0;
    calc_.notificationCenter().post(VQKeyPress, this,
                                    {{"op", onKey ? KT::op(KT::kPlainLayer, key) : op}, {"shiftedOp", op}, {"shift", layer}});
    const int code = onKey ? KT::getKeyCode(key) : KT::getKeyCodeOf(op);
    if (waitsItsTurn(op) && keys_.holding()) {
        if (autoRepeat && calc_.programRunning)
            repeatForProgram(op, code);
        // A touched key is read in the shift layer of its turn: a 2ND or ALPHA held before
        // it has acted by then, unless the program read it. The keyboard may be gone by the
        // time its turn comes.
        keys_.press(
            [self = QPointer<KeyboardView>(this), op, key, touched = autoRepeat && onKey] {
                if (self)
                    self->actInTurn(touched ? KT::op(self->currentLayer(), key) : op);
            },
            code);
        redraw();
        return;
    }
    calc_.lastKey = code;
    if (programTakes(op, code, autoRepeat))
        return;
    act(op, autoRepeat);
}

bool KeyboardView::programTakes(std::uint32_t op, int code, bool autoRepeat)
{
    Parser& parser = calc_.parser();
    if (calc_.question().pausedInSight() || (calc_.pauseRunning && op == KT::kOn)) {
        parser.pauseKey(static_cast<int>(op));
        return true;
    }
    if (!keys_.programTakesKeys())
        return false;
    if (autoRepeat)
        repeatForProgram(op, code);
    if (op == KT::kOn)
        parser.stopProgramThread();
    else if (calc_.menuRunning)
        parser.menuKey(static_cast<int>(op));
    return true;
}

void KeyboardView::repeatForProgram(std::uint32_t op, int code)
{
    // A held editing key keeps telling the program its code.
    if (!programRepeatable(op))
        return;
    repeatLastKey_ = code;
    startRepeat(true);
}

void KeyboardView::actInTurn(std::uint32_t op)
{
    // Its turn come, the key goes where a key typed now goes: to the program's menu or
    // pause, or to a menu that a key held before this one opened.
    if (programTakes(op, 0, false) || (delegate_ && delegate_->overlayTakesKey(op))) {
        redraw();
        return;
    }
    act(op, false);
}

bool KeyboardView::waitsItsTurn(std::uint32_t op) { return op != KT::kOn; }

int KeyboardView::getKeyCodeOf(const KeyCommands::Command& command) const
{
    const std::optional<std::uint32_t> op = commands_.op(command);
    return op ? KT::getKeyCodeOf(*op) : 0;
}

bool KeyboardView::offerKeyOnNoKey(const QKeyEvent& event)
{
    // A character no command types still is a key pressed: the program that owns the keys
    // reads it as one on no key, and it does nothing else.
    if (!KeyCommands::typesCharacter(event) || !keys_.programOwnsKeys())
        return false;
    if (keys_.holding())
        keys_.press([] {}, KT::kNoKeyCode);
    else
        calc_.lastKey = KT::kNoKeyCode;
    return true;
}

void KeyboardView::act(std::uint32_t op, bool autoRepeat)
{
    if (screenKey(op)) {
        // ALPHA was for this key: the screen it opened, closed, leaves the keyboard as it was
        // before ALPHA (a lock stays).
        calc_.alphaShift = false;
        redraw();
        return;
    }
    const bool fieldKey = op == KT::kXTThetaN || op == KT::kEnter;
    if (op == KT::kXTThetaN)
        op = KT::xtThetaN(calc_.graphMode());
    if (fieldKey) {
        // ENTER, and X,T,θ,n too, on an empty field moves on to the next field.
        const int screen = calc_.currentScreen();
        const bool empty = calc_.entryManager && calc_.entryManager->text().empty();
        if (empty && (screen == 6 || screen == 7 || screen == 23))
            op = KT::kDown;
        else if (empty && (screen == 3 || screen == 21))
            op = KT::kRight;
    }
    calc_.processKeyOp(static_cast<int>(op));
    if (repeatable(op)) {
        repeatKey_ = op;
        if (autoRepeat)
            startRepeat(false);
    }
    reNameButtons();
    displayChanged();
    redraw();
}

void KeyboardView::clearAlpha()
{
    calc_.alphaShift = false;
    calc_.alphaLock = false;
}

bool KeyboardView::screenKey(std::uint32_t op)
{
    KeyboardViewDelegate* d = delegate_;
    // Nothing opens over the debugger: the display above it is its program's. While the
    // program waits for an answer, the menus that type one still open; QUIT and the Home
    // key leave it.
    const bool debugging = calc_.prgmManager && calc_.prgmManager->debug();
    const bool answering = calc_.question().asks();
    auto menu = [d, debugging, answering](int id) {
        if (d && (!debugging || answering))
            d->showMenu(id);
    };
    auto send = [d, debugging](void (KeyboardViewDelegate::*message)()) {
        if (d && (!debugging || message == &KeyboardViewDelegate::showHome))
            (d->*message)();
    };
    switch (op) {
    case KT::kYEq: send(&KeyboardViewDelegate::showYEQ); return true;
    case KT::kWindow: send(&KeyboardViewDelegate::showWindow); return true;
    case KT::kGraph:
        calc_.validateWindow();
        if (d && !debugging)
            d->showGraphView(true);
        return true;
    case KT::kMode: send(&KeyboardViewDelegate::showMode); return true;
    case KT::kQuit: send(&KeyboardViewDelegate::showHome); return true;
    case KT::kStat: menu(8); return true;
    case KT::kStatPlot:
        if (calc_.currentScreen() == 2)
            menu(17);
        else
            send(&KeyboardViewDelegate::showPlotMenu);
        return true;
    case KT::kTblSet: send(&KeyboardViewDelegate::showTableSet); return true;
    case KT::kFormat: send(&KeyboardViewDelegate::showFormat); return true;
    case KT::kTable: send(&KeyboardViewDelegate::showTable); return true;
    case KT::kMath: menu(0); return true;
    case KT::kApps: menu(15); return true;
    case KT::kPrgm: menu(6); return true;
    case KT::kVars: menu(7); return true;
    case KT::kMatrix: menu(5); return true;
    case KT::kConv: send(&KeyboardViewDelegate::showConversions); return true;
    case KT::kCatalog:
        if (d && (!debugging || answering))
            d->showCatalog("");
        return true;
    case KT::kList: menu(4); return true;
    case KT::kTest: menu(1); return true;
    case KT::kAngle: menu(2); return true;
    case KT::kDraw: menu(16); return true;
    case KT::kDistr: menu(3); return true;
    case KT::kMem: menu(29); return true;
    case KT::kShare: menu(19); return true;
    case KT::kF1:
    case KT::kF2:
    case KT::kF3:
    case KT::kF4:
        if (op == KT::kF3)
            send(&KeyboardViewDelegate::showMatrixPrompt);
        else
            menu(op == KT::kF1 ? 31 : op == KT::kF2 ? 32 : 33);
        clearAlpha();
        displayChanged();
        return true;
    case KT::kF5:
        clearAlpha();
        displayChanged();
        return true;
    case KT::kUser:
        clearAlpha();
        if (calc_.testMode == 1)
            displayChanged();
        else
            menu(36);
        return true;
    case KT::kUserKeys:
        clearAlpha();
        if (calc_.testMode != 1)
            send(&KeyboardViewDelegate::showUserKeyCatalog);
        displayChanged();
        return true;
    case KT::kHomeScreen: send(&KeyboardViewDelegate::showHome); return true;
    case KT::kInfo:
        calc_.secondShift = false;
        redraw();
        send(&KeyboardViewDelegate::showInfo);
        return true;
    case KT::kSolver: send(&KeyboardViewDelegate::showSolver); return true;
    case KT::kTVMSolver: send(&KeyboardViewDelegate::showTVMSolver); return true;
    case KT::kChemSolver: send(&KeyboardViewDelegate::showChemSolver); return true;
    case KT::kPolySolver: send(&KeyboardViewDelegate::showPolySolver); return true;
    case KT::kSimulSolver: send(&KeyboardViewDelegate::showSimulEqSolver); return true;
    case KT::kOn:
        if (!calc_.parser().stopProgramThread()) {
            showHelp_ = true;
            setHelpKeyImage();
        }
        return true;
    default:
        return false;
    }
}

void KeyboardView::doOp(std::uint32_t op)
{
    if (const auto place = KT::find(op))
        doKeyOp(op, place->key, place->layer, button(place->key).geometry(), false);
    else
        // On no key: no getKey code, and the op is its own.
        doKeyOp(op, -1, KT::kPlainLayer, QRectF(), false);
}

void KeyboardView::keyTouch(std::uint32_t op)
{
    keys_.doKeyClick();
    showHelp_ = false;
    setHelpKeyImage();
    // A running program owns the alpha keys as it owns the others: while a run the keys
    // queued is under way they wait their turn (they have no getKey code to offer it).
    if (op != 0 && keys_.holding()) {
        calc_.processKeyOp(static_cast<int>(op));
    } else if (calc_.question().pausedInSight() || (calc_.pauseRunning && op == KT::kOn)) {
        if (op != 0)
            calc_.parser().pauseKey(static_cast<int>(op));
    } else if (keys_.programTakesKeys()) {
        if (op != 0 && calc_.menuRunning)
            calc_.parser().menuKey(static_cast<int>(op));
    } else if (op != 0) {
        calc_.processKeyOp(static_cast<int>(op));
    }
    displayChanged();
    redraw();
}

// ---- Repeat ----

void KeyboardView::startRepeat(bool programKey)
{
    repeatingProgramKey_ = programKey;
    repeatTimer_.start(kFirstRepeatMs);
}

void KeyboardView::stopRepeat() { repeatTimer_.stop(); }

void KeyboardView::repeatTick()
{
    if (repeatingProgramKey_)
        autoKey();
    else
        autoCursor();
    // After the first firing the key repeats quickly.
    if (repeatTimer_.isActive() && repeatTimer_.interval() > 200)
        repeatTimer_.setInterval(kRepeatMs);
}

void KeyboardView::autoCursor()
{
    calc_.processKeyOp(static_cast<int>(repeatKey_));
    displayChanged();
    if (repeatKey_ == KT::kFontUp || repeatKey_ == KT::kFontDown)
        displayChanged();
    else
        redraw();
}

void KeyboardView::autoKey()
{
    calc_.lastKey = repeatLastKey_;
    if (calc_.menuRunning)
        calc_.parser().menuKey(repeatLastKey_ == 25 ? static_cast<int>(KT::kUp)
                               : repeatLastKey_ == 34 ? static_cast<int>(KT::kDown)
                                                      : 0);
}

// ---- Hardware keys ----

void KeyboardView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1 && event->modifiers() == Qt::NoModifier) {
        showShortcuts();
        return;
    }
    if (!handleKeyEvent(*event))
        QWidget::keyPressEvent(event);
}

void KeyboardView::mousePressEvent(QMouseEvent* event)
{
    // A click between keys takes the computer's keyboard back to the calculator.
    setFocus(Qt::OtherFocusReason);
    QWidget::mousePressEvent(event);
}

bool KeyboardView::handleKeyEvent(const QKeyEvent& event)
{
    const KeyCommands::Command* command = commands_.commandFor(event);
    if (!command)
        return offerKeyOnNoKey(event);
    const auto op = KeyCommands::handlerOp(command->handler);
    if ((!op || waitsItsTurn(*op)) && keys_.holding()) {
        keys_.press(
            [self = QPointer<KeyboardView>(this), command = *command, key = event.key(), modifiers = event.modifiers(),
             text = event.text()] {
                if (self)
                    self->typeInTurn(command, key, modifiers, text);
            },
            getKeyCodeOf(*command));
        return true;
    }
    runCommand(*command);
    return true;
}

void KeyboardView::typeInTurn(const KeyCommands::Command& command, int key, Qt::KeyboardModifiers modifiers,
                              const QString& text)
{
    // The key goes where a key typed now goes: a menu, picker or form that a key held
    // before it opened has the keys by now.
    QWidget* window = QApplication::activePopupWidget();
    if (!window)
        window = QApplication::activeModalWidget();
    // An alert is never what a key typed before it was for (an error its ENTER ended in):
    // it stays for the user to read, and the key acts under it as a calculator key does.
    // The break of a stop the user typed before the key is what the key was for.
    if (qobject_cast<QMessageBox*>(window) && !keys_.keyAfterStop())
        window = nullptr;
    if (!window)
        window = this->window();
    QWidget* target = window->focusWidget();
    if (!target || target == this) {
        runCommand(command);
        return;
    }
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(target, &press);
    QWidget* now = QApplication::focusWidget() ? QApplication::focusWidget() : target;
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(now, &release);
}

void KeyboardView::runCommand(const KeyCommands::Command& command)
{
    const QString& handler = command.handler;
    const auto op = KeyCommands::handlerOp(handler);
    if (handler == QStringLiteral("kChar:"))
        kChar(command);
    else if (handler == QStringLiteral("cmdCut:"))
        cut();
    else if (handler == QStringLiteral("cmdCopy:"))
        copy();
    else if (handler == QStringLiteral("cmdPaste:"))
        paste();
    else if (op)
        doOp(*op);
}

void KeyboardView::kChar(const KeyCommands::Command& command)
{
    const auto op = commands_.charOp(command);
    if (!op)
        return;
    const std::uint32_t t = *op;
    // A pause in sight, a running program or its menu has the key as it has every other key:
    // a letter opens no catalogue over it.
    if (calc_.question().pausedInSight() || keys_.programTakesKeys()) {
        doOp(t);
        return;
    }
    if (!keys_.editIsQuoting()) {
        // Outside a string a typed letter looks the command up in the catalogue.
        if (KeyCommands::isCatalogueLetter(t)) {
            stopRepeat();
            if (delegate_)
                delegate_->showCatalog(command.input.toStdString());
            return;
        }
        if (t == KT::kSpace)
            return;
    }
    if (t == KT::kDel) {
        backspace();
        return;
    }
    doOp(t);
}

void KeyboardView::backspace()
{
    keys_.backspace([this](std::uint32_t op) { doOp(op); });
}

void KeyboardView::copy()
{
    const auto* entry = dynamic_cast<const EntryModel*>(calc_.entryManager.get());
    if (!entry || entry->entryOps().empty())
        return;
    OpsClipboard::put(calc_.stringFromOps(entry->entryOps()), entry->entryOps());
}

void KeyboardView::cut()
{
    auto* entry = dynamic_cast<EntryModel*>(calc_.entryManager.get());
    if (!entry || entry->entryOps().empty())
        return;
    copy();
    entry->clear();
    displayChanged();
    redraw();
}

void KeyboardView::paste()
{
    bool tooLong = false;
    auto ops = OpsClipboard::line(&tooLong);
    // More than a line takes is refused with a word before anything is built from it.
    if (tooLong) {
        keys_.refuseLongPaste();
        return;
    }
    // Text that is not a calculator line is not pasted; the line stays as it was.
    if (!ops || ops->empty())
        return;
    // A line copied from the two-dimensional display comes to the one-line display as its
    // text would: without its layout's own ops and template IDs.
    if (!calc_.locked()->mathPrint) {
        *ops = PrettyPrint::cleanOps(*ops);
        for (std::uint32_t& op : *ops)
            if (TokenClass::templateId(op) != 0)
                op &= 0xFFFF;
    }
    keys_.paste(*ops);
    displayChanged();
    redraw();
}

void KeyboardView::showShortcuts()
{
    // One list at a time, and the app goes on while it is open.
    if (shortcuts_) {
        shortcuts_->raise();
        return;
    }
    auto* dialog = new QDialog(this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(QStringLiteral("Keyboard Shortcuts"));
    shortcuts_ = dialog;
    auto* table = new QTableWidget(dialog);
    table->setColumnCount(2);
    table->setHorizontalHeaderLabels({QStringLiteral("Command"), QStringLiteral("Keys")});
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (const KeyCommands::Command& command : commands_.commands()) {
        if (command.title.isEmpty())
            continue;
        const int row = table->rowCount();
        table->insertRow(row);
        table->setItem(row, 0, new QTableWidgetItem(command.title));
        table->setItem(row, 1, new QTableWidgetItem(KeyCommands::chordText(command)));
    }
    table->resizeColumnsToContents();
    auto* layout = new QVBoxLayout(dialog);
    layout->addWidget(table);
    dialog->resize(360, 480);
    WindowFit::keep(*dialog);
    dialog->open();
}

} // namespace orvenda
