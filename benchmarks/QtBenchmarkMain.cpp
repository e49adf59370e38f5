#include <QApplication>

#include <benchmark/benchmark.h>

// The benchmarks' own main: the application object lives on its stack and is gone before Qt's
// own statics are torn down (a static one outlived Qt's thread storage and crashed at exit).
// Qt's offscreen platform unless QT_QPA_PLATFORM says otherwise.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // The offscreen platform says so at every ordering front; that is not news.
    static const QtMessageHandler previous = qInstallMessageHandler(nullptr);
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context, const QString& m) {
        if (m.startsWith(QLatin1String("This plugin does not support"))) return;
        if (previous) previous(type, context, m);
    });
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
