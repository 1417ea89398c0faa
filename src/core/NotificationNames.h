#pragma once

#include <string_view>

namespace orvenda {

// The names posted on the notification bus. The object of a notification is its poster;
// the user info is empty unless said here.
inline constexpr std::string_view VQBlinkCursor = "VQBlinkCursor";
inline constexpr std::string_view VQEntryTextChanged = "VQEntryTextChanged";
inline constexpr std::string_view VQClearScreen = "VQClearScreen";
inline constexpr std::string_view VQCursorUp = "VQCursorUp";
inline constexpr std::string_view VQCursorDown = "VQCursorDown";
inline constexpr std::string_view VQCursorLeft = "VQCursorLeft";
inline constexpr std::string_view VQCursorRight = "VQCursorRight";
inline constexpr std::string_view VQCursorTop = "VQCursorTop";
inline constexpr std::string_view VQCursorBottom = "VQCursorBottom";
inline constexpr std::string_view VQCursorHome = "VQCursorHome";
inline constexpr std::string_view VQCursorEnd = "VQCursorEnd";
inline constexpr std::string_view VQCursorMoved = "VQCursorMoved";
inline constexpr std::string_view VQEnter = "VQEnter";
inline constexpr std::string_view VQDoEnter = "VQDoEnter";
inline constexpr std::string_view VQSolve = "VQSolve";
inline constexpr std::string_view VQDel = "VQDel";
inline constexpr std::string_view VQIns = "VQIns";
inline constexpr std::string_view VQClearList = "VQClearList";
inline constexpr std::string_view VQHistorySelectionChanged = "VQHistorySelectionChanged";
inline constexpr std::string_view VQModeChanged = "VQModeChanged";
// Posted by the graph-mode setter with the calculator as object.
inline constexpr std::string_view VQGraphModeChanged = "VQGraphModeChanged";
inline constexpr std::string_view VQUpdateEquations = "VQUpdateEquations";
inline constexpr std::string_view VQSyncWindowVars = "VQSyncWindowVars";
// User info: {"zoom": the zoom command}.
inline constexpr std::string_view VQZoomPlot = "VQZoomPlot";
inline constexpr std::string_view VQShowControls = "VQShowControls";
inline constexpr std::string_view VQRedrawKeyboard = "VQRedrawKeyboard";
// Every key the calculator keyboard dispatches outside help mode: {"op", "shiftedOp", "shift"}.
inline constexpr std::string_view VQKeyPress = "VQKeyPress";
inline constexpr std::string_view VQUpdatePgmOutput = "VQUpdatePgmOutput";
inline constexpr std::string_view VQHideProgramOutput = "VQHideProgramOutput";
inline constexpr std::string_view VQDidProgramStep = "VQDidProgramStep";
inline constexpr std::string_view VQMakeCursorVisible = "VQMakeCursorVisible";
inline constexpr std::string_view VQProgramEnded = "VQProgramEnded";
// User info: the error dictionary {"errorNum", "programName", "tokenLocation"}.
inline constexpr std::string_view VQViewPrgmError = "VQViewPrgmError";
inline constexpr std::string_view VQProgramFileAdded = "VQProgramFileAdded";
inline constexpr std::string_view VQGetList = "VQGetList";
inline constexpr std::string_view VQGetMatrix = "VQGetMatrix";
// A menu pick; user info: {"menuOp": the picked op}.
inline constexpr std::string_view VQMenuOp = "VQMenuOp";
// Posted by a reachability monitor on a change of status; the monitor is the object.
inline constexpr std::string_view kNetworkReachabilityChangedNotification =
    "kNetworkReachabilityChangedNotification";

} // namespace orvenda
