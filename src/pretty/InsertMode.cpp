#include "pretty/InsertMode.h"

#include "pretty/PrettyEditor.h"

namespace orvenda {

void InsertMode::settle(int& mode, const Ops& ops, int at)
{
    if (mode == kAtTemplate && PrettyEditor::canOverwriteAt(ops, at))
        mode = kOff;
}

} // namespace orvenda
