#pragma once

// The start of a fuzzer that measures or draws text: a QGuiApplication on the offscreen
// platform, so the display fonts load. Included by one file of each such fuzzer. Never
// destroyed: the fuzzer leaves through exit().

#include <QGuiApplication>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    new QGuiApplication(*argc, *argv);
    return 0;
}
