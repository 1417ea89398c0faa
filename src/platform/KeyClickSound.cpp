#include "platform/KeyClickSound.h"

#include <QApplication>

namespace orvenda {

void KeyClickSound::play()
{
    ++played_;
    if (output_)
        output_();
    else
        QApplication::beep();
}

} // namespace orvenda
