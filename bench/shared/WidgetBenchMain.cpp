// The widget benchmarks' main: a QApplication on the offscreen platform unless a display
// is asked for.

#include <QApplication>

#include <benchmark/benchmark.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
#ifdef ORVENDA_BENCH_DOUBLE_DENSITY
    // Figures at a phone's pixel density.
    qputenv("QT_SCALE_FACTOR", "2");
#endif
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
