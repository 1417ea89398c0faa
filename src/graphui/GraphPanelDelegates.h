#pragma once

#include "core/YEqVarInfo.h"
#include "pretty/VQTemplateField.h"

#include <string>
#include <vector>

namespace orvenda {

// What the graph keyboard sheet asks of the graph screen.
class GraphKeyboardDelegate {
public:
    virtual ~GraphKeyboardDelegate() = default;
    virtual std::vector<VQTemplateField> getFields() = 0;
    virtual std::string title() const = 0;
    // Whether the value/integral switch is offered.
    virtual bool showIntegral() const = 0;
    virtual void valueIntegralChange(int mode) = 0;
    virtual void fieldDidChange(const VQTemplateField& field) = 0;
    virtual void graphKeyboardDone() = 0;
};

// What the statistics info panel asks of the graph screen.
class GraphStatInfoViewDelegate {
public:
    virtual ~GraphStatInfoViewDelegate() = default;
    virtual std::vector<VQTemplateField> getStatFields() = 0;
    virtual std::string getStatTitle() const = 0;
    virtual void graphStatInfoDone() = 0;
};

// What the variables panel asks of the graph screen.
class GraphVarsViewDelegate {
public:
    virtual ~GraphVarsViewDelegate() = default;
    virtual void showSlider(bool shown, double height) = 0;
    virtual void startTrackingVar(int varNum) = 0;
    virtual void stopTrackingVar() = 0;
    virtual void trace(double value, double err) = 0;
    virtual void valueChanged() = 0;
    // The value button of the open slider: index is the record's place in the plot's
    // varInfoArray, -1 for the plot's own variable.
    virtual void editVar(const YEqVarInfo& record, int index) = 0;
};

} // namespace orvenda
