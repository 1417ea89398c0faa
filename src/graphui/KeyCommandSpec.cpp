#include "graphui/KeyCommandSpec.h"

#include "input/KeyCommands.h"

namespace orvenda {

std::optional<KeyCommandSpec> KeyCommandSpec::parse(const QString& spec)
{
    const auto command = KeyCommands::keyCmd(spec.toStdString());
    const int key = command ? KeyCommands::keyForInput(command->input) : 0;
    if (key == 0)
        return std::nullopt;
    Qt::KeyboardModifiers modifiers;
    // The desktop's Control plays the part of the command key.
    if (command->modifiers & KeyCommands::kControl)
        modifiers |= Qt::MetaModifier;
    if (command->modifiers & KeyCommands::kCommand)
        modifiers |= Qt::ControlModifier;
    if (command->modifiers & KeyCommands::kOption)
        modifiers |= Qt::AltModifier;
    if (command->modifiers & KeyCommands::kShift)
        modifiers |= Qt::ShiftModifier;
    return KeyCommandSpec{QKeyCombination(modifiers, static_cast<Qt::Key>(key)), command->title, command->handler};
}

} // namespace orvenda
