#include "graphui/KeyCommandSpec.h"

#include <QKeySequence>
#include <QStringList>

namespace orvenda {

std::optional<KeyCommandSpec> KeyCommandSpec::parse(const QString& spec)
{
    const QStringList parts = spec.split(QLatin1Char(','));
    if (parts.size() != 4)
        return std::nullopt;
    QString input = parts[0];
    if (input == QStringLiteral("°"))
        input = QStringLiteral(",");
    int key = 0;
    if (input == QStringLiteral("UIKeyInputEscape"))
        key = Qt::Key_Escape;
    else if (input == QStringLiteral("UIKeyInputUpArrow"))
        key = Qt::Key_Up;
    else if (input == QStringLiteral("UIKeyInputDownArrow"))
        key = Qt::Key_Down;
    else if (input == QStringLiteral("UIKeyInputLeftArrow"))
        key = Qt::Key_Left;
    else if (input == QStringLiteral("UIKeyInputRightArrow"))
        key = Qt::Key_Right;
    else if (input == QStringLiteral("\r"))
        key = Qt::Key_Return;
    else if (input.size() == 1) {
        const QKeySequence sequence(input.toUpper());
        key = sequence.isEmpty() ? 0 : sequence[0].key();
    }
    if (key == 0 || key == Qt::Key_unknown)
        return std::nullopt;
    Qt::KeyboardModifiers modifiers;
    for (QChar letter : parts[2]) {
        // The desktop's Control plays the part of the command key.
        if (letter == QLatin1Char('C'))
            modifiers |= Qt::MetaModifier;
        else if (letter == QLatin1Char('M'))
            modifiers |= Qt::ControlModifier;
        else if (letter == QLatin1Char('O'))
            modifiers |= Qt::AltModifier;
        else if (letter == QLatin1Char('^'))
            modifiers |= Qt::ShiftModifier;
    }
    return KeyCommandSpec{QKeyCombination(modifiers, static_cast<Qt::Key>(key)), parts[1], parts[3]};
}

} // namespace orvenda
