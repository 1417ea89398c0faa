#pragma once

#include <QPoint>

class QWidget;

#include <nlohmann/json.hpp>

#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace orvenda {

class AnimationSteps;
class AppLauncher;
class EntryText;
class ViewControlDelegate;
class StatTestScreen;
class GeometryScreen;

// Drives the running app from a script, for tests and for people, without a display:
// `orvenda-drive SCRIPT` or `orvenda --drive SCRIPT`, with `--data DIR` (a fresh temporary
// folder by default), `--size WxH` (the device's window by default), `--device phone|tablet`
// (the phone by default), `--first-run` (greet
// as a first launch; otherwise a fresh folder starts as a launch after the first) and
// `--online` or `--offline` (the network as the app sees it; offline by default, whatever the
// machine's network, so that a script's answers do not depend on where it runs),
// `--settle MS` (how long a state file holding no whole calculator stands unchanged before
// it is judged damaged; 10000 by default), `--wait-limit MS` (the longest the launch waits
// for a state file another program is writing; a minute by default), `--stop-waiting
// button|escape|close` (once the launch's waiting window shows, the user presses "Start
// Without It", types Escape or closes it) and `--save-values N` (a save holds at most N
// values, so that a small state is past what a save holds). At the
// end the app quits as a user quits it, saving its state.
//
// Script lines (blank lines and lines starting with "#" are skipped):
//   key NAME       a click at the centre of a key of the calculator keyboard, by its label
//                  (2ND, ALPHA, ENTER, DEL, CLEAR, Y=, SIN, 0..9, +, ...; any case), so the
//                  key does what it does in the shift layer the calculator is in; or
//                  `key 0xNN` for an op, dispatched as the computer's keys dispatch it
//   hkey CHORD     a key of the computer's keyboard: Ctrl+G, Ctrl+Shift+G, Escape, x,
//                  Shift+A, Alt+",", Shift+Backspace, Return, Space, ...; it arrives as the
//                  window system's keys do: at the widget with the focus in the active
//                  window (an open popup, alert or form such as the program menu's New
//                  form first), which passes on what it does not take to the widgets
//                  around it.
//                  While a menu or the catalogue is open it covers the keyboard: `key` then
//                  hands the key's op to the menu as its keypad.
//   type TEXT      TEXT as the case files write an entry line, key by key
//   tap X Y        a tap at window coordinates; while a form is open only a tap on the
//                  form reaches anything
//   wait MS        runs the event loop; `wait idle` until the program queue has finished
//                  and every sliding sheet or panel has come to rest (a slide still
//                  going is brought to its end at once); `wait still`
//                  only until the sheets and panels have come to rest (a run may go
//                  on, or wait for an answer); `wait running`
//                  until the program queue's worker has taken the run queued (at once
//                  when none is queued); `wait screen N` until screen N is current;
//                  `wait imported N` until N variables have arrived (handed over by a
//                  later launch on the same data folder, which the driven app serves)
//   step MS        from the first `step` on, animations (the slides of pages, pickers,
//                  sheets and panels) stand still until a `step` moves their time on by
//                  MS milliseconds; `wait still` and `wait idle` then step them to their
//                  end
//   blink          the cursor's next blink (a driven app's cursor blinks only here, so its
//                  pictures do not depend on how long the script takes)
//   shot FILE.png  a picture of the window, with open alerts and dialogs centred over it
//   press CAPTION  presses a button of the open alert, or with none open a button shown
//                  in the window (Done, Cancel, a FORMAT colour; a button drawn as an
//                  image goes by its accessible name, such as "Zoom In X"), or a tab of a
//                  tab bar shown (the notes page's Preview), clicked; `press? CAPTION` the
//                  same, passing over a caption nothing shows
//   dump           one JSON object on a line: screen, running (a run queued or
//                  running, or a post on its way that may queue one), waiting (a
//                  program waits for an answer, a menu's pick or a pause's ENTER),
//                  shift ("2nd", "alpha" or "alphaLock" while the keyboard lights one,
//                  null otherwise), top (what is drawn on top of the
//                  window: the id and title of the full-size screen, overlay or screen in
//                  front, and leave, its leave control's x, y, width and height in the
//                  window or null), drawn (the ids of every screen, overlay and view
//                  drawn, the one on top and those under it), keyboard (the calculator keyboard's rect, its x, y,
//                  width and height in the window, and key, its smallest key's width and
//                  height, and helpArmed, ON having armed its next key to show that key's
//                  help; null while a full-size screen hides it), mathPrint (which home
//                  screen),
//                  entry, cursor, history (input and answer of each item), home (while a
//                  home screen shows: history and entry, where its history's view and its
//                  entry line stand in the window), ans, error
//                  (the last reported, 0 for none), alerts (title, message, buttons) and, while
//                  any is open, alertRects (where each box stands in the window's
//                  coordinates, in the same order),
//                  dialog (the title of an open form, while one is open), dialogs (every
//                  form or list open in a window of its own, F1's too: title and rect,
//                  where it stands in the window's coordinates), textFields
//                  (the fields shown that take typed text, while there are any: rect in
//                  the window, class, keys), keys (what has the computer's keys when the
//                  calculator keyboard has not: class, field; null for nothing),
//                  output (the program output screen's lines down to the last that holds
//                  something, without their outer blanks; on that screen also
//                  programOutput: program, its ten lines as drawn, cursor [column, line],
//                  menu, paused, visible and, while it shows, grid: x, y, width, height,
//                  line height and cell width of its character grid in the window); on the
//                  program editor editor (program, its screen lines, cursor [line,
//                  column], debug, selection [start, length], label, controls: the
//                  debug and quit buttons' centres, text: the text's x, y, line height
//                  and left margin) and, while the debugger shows, debugger (label,
//                  vars: the variables panel's lines, varsShown: how many lines its
//                  view shows whole, line: the current statement's
//                  line, breaks: the lines with a breakpoint, controls: step, run and
//                  quit, text), trace (the traced point, null when
//                  none; linesRect: where its lines, the equation and coordinates, are drawn) and, on the Y= screen, yEq (the graph mode's equations: name,
//                  text, on, style, colour; the current one and the cursor); on the
//                  WINDOW screen field (the current field's row); on the TABLE screen
//                  table (cursor row and column, the cell's text, auto and the first
//                  row's start); on the list editor listEditor (cursor row and column,
//                  the column names, "" for an unnamed one, the prompt and the cell's
//                  shown text); on the stat plot list statPlots (rows: each plot's
//                  name, on, type code and two lines; list: the list's x, y, width and
//                  row height in the window) and, while its set-up sheet is open,
//                  plotSetup (plot, title, the fourth column's caption, the selected
//                  rows' texts, the Done button's x, y, width and height, each picker
//                  column's selected row centre and the row height); on the statistics
//                  wizard wizard (command, fields with label and value, the current
//                  field, the Calculate button's rectangle, the form's rectangle and
//                  formNeeds, the height its rows take); on the statistics test
//                  screen statTest (test token, title, form "Stats" or "Data", fields and
//                  results and left results with label and value, the current field, the
//                  text being typed, the lists with name, freq, n, mean and sx, the
//                  hypothesis segment (-1 hidden), the keypad's, form's, Done and Tests
//                  buttons' rectangles, the form's row height; pooled and models: the
//                  pooled switch's and a regression's model buttons' (with Data/Resid)
//                  rectangles while shown; graph: its rectangle,
//                  window, plot type codes and the shading's type, bounds and tails, null
//                  while hidden; menu: its first and last rows' centres, the first (i)
//                  button's, the row height, its rectangle, popover (a tablet's window of
//                  its own) and cancel (Cancel shown) while open;
//                  picker: the wheel titles, each wheel's selected row centre and text,
//                  the row height and Done's rectangle while open); menu (the open menu's
//                  id, null when none is open; while one is, menuRect, its x, y, width and
//                  height in the window, firstRow, its first row's, and menuTitle, its bar's
//                  title as shown) and about (the version MEM's about page
//                  shows, while it is open); overlay (the name of the overlay over
//                  display and keyboard, such as "Menu" or "Colour", while one is open);
//                  while the colour picker is open, picker (its title, mode and colour);
//                  while the conversion picker is open, conversion (mode "units" or
//                  "constants", class, from, to, constant, the column with the keys,
//                  result and full: its two labels); while the four-function calculator
//                  is open, fourFunction (its display's text); while the CSV preview is
//                  open, csvPreview (grid: the whole grid's x, y, width and height in the
//                  window, offset: how far it is scrolled, font: family and pixel size,
//                  rowHeight, space: the room added to each column, rows and columns: their
//                  counts, first: the row and column of the first cell in view, widths and
//                  shown: the widths of the columns in view and the texts of the cells in
//                  view, row by row, selection: start and end cells or null); on the periodic table
//                  periodicTable (title, mode, slider: the value beside the slider or
//                  null, scale, translation, portrait, table: its x, y, width and height
//                  in the window, cell: the cells' width and height as drawn, picker: the
//                  property picker open, element: the element whose details are open,
//                  null when none: number, title and fields, each label and text);
//                  keySet (the key set the row above the entry line shows, while it
//                  shows) and keyRow (its five keys' rectangles, while drawn); in the key-set editor keyEditor (key, line, and its four lines
//                  as drawn);
//                  while the program library is open, programs (the names it lists, in
//                  order); on the graph screen plots (each plot's type code and name),
//                  graph (the graph's x, y, width and height in the window), shown (the
//                  window drawn: the solver's plot has its own), zoomImages (the
//                  images of the zoom buttons, + then −), zoomButtons (each fixed-
//                  direction zoom button by name: rect, image, shown), bar (the
//                  toolbar's items where they are drawn: "+", "-" and the others by
//                  caption), pauseBar (a program's Continue and Stop bar over the graph:
//                  its rectangle, null while none shows), while the calculate sheet shows calcSheet (fields: label
//                  and shown text, current field, choice: the kind list's rect, text,
//                  shown and list, its open list's rect, null when closed) and, while open,
//                  zoomMenu (popover, rect); help (the
//                  help page shown, null when none: view "function help", "catalog",
//                  "menu" or "help menu" and page, the page's name; for the help menu
//                  also topic, its row, on the keyboard guide guide: the layer and
//                  the page opened over it, and on the calculator page fourFunction,
//                  its display's text); catalogTitle (the catalogue's bar's title as
//                  shown, while it is open); with the catalogue's help page catalogBar
//                  (title and share: the bar's title and Share button's rectangles,
//                  titleNeeds: the title's width whole);
//                  while the program library's notes page
//                  shows, notes (program, editing, text as typed, the html shown and the
//                  bar's title); once a
//                  `file` line ran, files (each so far: path, report, the error number it
//                  was reported with, and arrived, what its import stored, such as
//                  "program HELLO" or "list L₁"); while a SHARE menu is open, share
//                  (its title, tabs, rows and the rows picked to send, in order); once
//                  the share sheet was handed something, shared (subject, files: where
//                  its files went, the data folder's "shared", text, and pdf: the size
//                  of a PDF handed without a file); once the app asked the desktop
//                  to open an address (a web page, the review page), opened: each, in
//                  order (a driven app opens none); background (while there is a picture
//                  behind the graph: its width, height, frame [x, y, width, height] and
//                  scale); unreachable (only when there are any): the widgets of the
//                  screen in front that a user cannot reach (outside the window, without
//                  area, or a control with a part under a widget other than a sheet or
//                  menu over the whole screen), each with its class, why and rectangle; typing (the
//                  line or form field being typed on the screen in front, while there is
//                  one: rect, where it is drawn in the window, and clear, whether it shows
//                  whole with no control over it; the row in use of a list, table, editor
//                  or menu); rowsOutOfView (only when there are any: the lists of the
//                  screen in front whose current row lies out of their view, each with
//                  its class and row); overlays (each sheet, panel, bar,
//                  picker or popover that shows over a screen: widget, its class, and
//                  rect, while any shows); slides (the slides of pages, pickers,
//                  sheets and panels under way or in, while any is: owner, the class of
//                  the view it moves, sliding, whether it is under way, and in, where it
//                  goes or stands); buttons (the captions of the screen in front's
//                  shown buttons, as `press` takes them, while it has any)
//   file PATH      hands the file to the app as the desktop does (one report, an alert)
//   clip PATH      the clipboard holds the file's text, as another app puts text there;
//                  `clip ops PATH` holds the file's bytes as this app's tokens (as its copy
//                  writes them) and no text
//   photo PATH     the picture file the photo library answers to the next pick (DRAW STO
//                  "Photo…"; `photo` alone cancels it); a driven app opens no dialog
//   open ID        shows the screen or overlay of that id (ScreenRegistry's ids) as the app
//                  asks for it; `screens` prints every id with its title (and field: whether its entry line fills a field) as one JSON line
//   slides         prints every slide of a page, picker, sheet or panel made so far (as
//                  the dump gives the slides) as one JSON line
//   hkeys          prints the key tables as one JSON line: commands, each command of the
//                  computer's keyboard with its chord as `hkey` takes it ("" for one it
//                  cannot name) and the op it sends (null for none), and keys, each key of
//                  the calculator keyboard with its ops in the plain, 2nd and alpha layers
//                  and its getKey code
//   size WxH       the window resized to W × H (not below its least size), as a user
//                  drags its edges
//   tap leave      a click on the visible control that leaves the screen on top
//   close          the window's close button: the window closes as the desktop closes
//                  it; the app quits, saving, when the script ends
//   inactive       the app leaves the foreground as when another window is clicked: a
//                  run is stopped and the state saved; the window stays in front
//   program NAME   the lines up to `end` become the program NAME, written as the case
//                  files write programs: its program file in the data folder is written
//                  (keeping its description, notes and tags) as the editor saves one
// Alerts are modal: while one is open, keys go to it (ENTER and Return press its default
// button, CLEAR and Escape its escape button) and typing and taps are lost. Any other line
// stops the script with a message and a non-zero exit.
//
// On the graph screen, TRACE (`key 0x403`: no key of the keyboard carries it; from another
// screen it brings the graph forward first) locks the trace on the first plotted equation
// at the window's middle (a parametric, polar or sequence curve at Tmin, θmin or ηMin; on a
// stat plot that comes first: its first data point or bar, a box plot's value nearest the
// middle; a distribution's curve at the middle), LEFT and RIGHT move it from where it
// stands (however it got there: a tap, a drag, a typed value, the panel) by a point's
// width of x (a parametric or polar curve by Tstep or θstep within Tmin..Tmax or
// θmin..θmax, a sequence by a term, along its web by half a term, within ηMin..ηMax; along
// a scatter, xyLine, normal probability plot or histogram by one data point or bar) and
// CLEAR is the screen's Done. `dump` then also gives `trace`: the traced point {x, y, t},
// the equation, the feature snapped to, the stat plot (-1 none) and the trace text's lines
// (null while the trace is off).
//
// A help screen (the function help screen, the help menu with its pages) takes `hkey`
// lines in its part that has the focus; Escape closes it a step at a time.
class AppDriver {
public:
    static int main(int argc, char** argv);

    AppDriver(AppLauncher& app, std::ostream& out, std::ostream& err);
    ~AppDriver();
    AppDriver(const AppDriver&) = delete;
    AppDriver& operator=(const AppDriver&) = delete;

    // 0 when every line ran; otherwise the message is on the error stream.
    int run(std::istream& script);

private:
    // False (with a message) to stop the script.
    bool execute(std::string_view command, std::string_view argument);
    bool key(std::string_view name);
    bool hardwareKey(std::string_view chord);
    // A key the graph screen takes from the driver (false: not one of its keys).
    bool graphKey(std::uint32_t op);
    bool type(std::string_view text);
    bool tap(std::string_view where);
    // A mouse click at window coordinates, to the widget there.
    void click(QPoint point);
    bool wait(std::string_view what);
    bool shot(std::string_view file);
    // With ifShown a caption nothing shows is passed over.
    bool press(std::string_view caption, bool ifShown);
    void dump();
    nlohmann::json statTestState(StatTestScreen& tests) const;
    nlohmann::json geometryState(GeometryScreen& geometry) const;
    // The help page on the screen: which view shows it and its name; null without one.
    nlohmann::json helpState() const;
    void programEditorState(nlohmann::json& state) const;
    void appsState(nlohmann::json& state, int screen) const;
    void graphScreensState(nlohmann::json& state, int screen) const;
    void statsState(nlohmann::json& state, int screen) const;
    void menuState(nlohmann::json& state) const;
    // The fields that take typed text, and what has the computer's keys.
    void keysState(nlohmann::json& state) const;
    // The slides of pages, pickers, sheets and panels: every one made, or those under way
    // or in.
    nlohmann::json slidesState(bool all) const;
    // The key row's set and keys, and the key-set editor's lines.
    void keySetState(nlohmann::json& state, int screen) const;
    void overlaysState(nlohmann::json& state) const;
    // The alerts, forms and lists open in windows of their own, and where they stand.
    void windowsState(nlohmann::json& state) const;
    void catalogState(nlohmann::json& state) const;
    // What `hkeys` prints.
    nlohmann::json keyTables() const;
    bool file(std::string_view path);
    bool clip(std::string_view argument);
    bool open(std::string_view id);
    // The visible control that leaves the screen on top, nullptr when it has none.
    QWidget* leaveControl() const;
    bool fail(const std::string& message);

    AppLauncher& app_;
    std::ostream& out_;
    std::ostream& err_;
    std::unique_ptr<EntryText> entryText_;
    // Animation time, once the script steps it.
    std::unique_ptr<AnimationSteps> steps_;
    std::shared_ptr<ViewControlDelegate> recorder_;
    std::shared_ptr<ViewControlDelegate> previousView_;
    int line_ = 0;
    // What each `file` line brought.
    nlohmann::json files_ = nlohmann::json::array();
    // The addresses the app asked the desktop to open, in order.
    std::vector<std::string> opened_;
};

} // namespace orvenda
