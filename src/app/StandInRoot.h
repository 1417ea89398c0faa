#pragma once

#include "core/services/ViewControlDelegate.h"

#include <QPointer>
#include <QSize>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <memory>
#include <vector>

class QMessageBox;
class QWidget;

namespace orvenda {

class Calculator;

// The window until the root controller and its screens exist: a plain window of the
// requested size that says so, and the alerts the calculator asks for (error reports, the
// greeting, the start-up report), shown one at a time as application-modal boxes in the
// order asked. Requests for screens that do not exist yet do nothing. Main thread.
class StandInRoot : public ViewControlDelegate {
public:
    struct Alert {
        QString title;
        QString message;
        // Captions with what each does besides closing the alert (may be empty).
        std::vector<std::pair<QString, std::function<void()>>> buttons;
    };

    StandInRoot(Calculator& calc, QSize size);
    ~StandInRoot() override;

    QWidget& window() { return *window_; }
    void alert(Alert alert);

    void VCUpdateDisplay() override;
    void VCShowGraph(bool) override {}
    void VCGraphChanged() override {}
    void VCProgramRunning(bool) override {}
    void VCPauseProgram() override {}
    void VCShowProgramOutput() override {}
    void VCShowDebugger(bool) override {}
    void VCSuspendDebugger() override {}
    // The error alert: "Calc Error", "Program Error" inside a program, "User break" (43),
    // "Import Succeeded" (80), and for a paused program (64) "Continue" and "Stop".
    void VCShowError(const nlohmann::json& error) override;
    void VCShowPeriodicTable() override {}
    void VCShowStatTest(int) override {}
    void VCShowGeometry(int) override {}
    void VCShowSolverPlot(const nlohmann::json&) override {}

private:
    void showNext();

    Calculator& calc_;
    std::unique_ptr<QWidget> window_;
    std::deque<Alert> waiting_;
    QPointer<QMessageBox> open_;
};

} // namespace orvenda
