#pragma once

#include <QKeyCombination>
#include <QString>

#include <optional>

namespace orvenda {

// A hardware key command of the graph screen or the zoom menu, written as four parts
// separated by commas: the input ("°" stands for a comma; "UIKeyInputEscape",
// "UIKeyInputUpArrow", "UIKeyInputDownArrow", "\r" name the special keys), a title (may be
// empty), modifier letters (C control, M command, O alternate, ^ shift; others add nothing)
// and the action's name.
struct KeyCommandSpec {
    QKeyCombination key;
    QString title;
    QString action;

    // Nothing for a spec of another number of parts or an input that is no key.
    static std::optional<KeyCommandSpec> parse(const QString& spec);
};

} // namespace orvenda
