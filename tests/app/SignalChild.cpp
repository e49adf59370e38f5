// The child of the signal test: settings, the single-instance socket and the signals wired as the
// playground wires them. It changes a setting and, before the run loop can save it, signals itself.
// Arguments: the settings file, the socket's path, the signal's number.
#include "platform/linux/JsonUserDefaults.h"
#include "platform/linux/StreamLogger.h"

#include <QCoreApplication>
#include <QTimer>

#include <csignal>
#include <iostream>
#include <string>

#include "app/SingleInstance.h"
#include "app/TerminationSignals.h"
#include "platform/qt/QtScheduler.h"

int main(int argc, char** argv) {
    using namespace vantorel;
    if (argc != 4) return 2;
    QCoreApplication app(argc, argv);
    TerminationSignals endSignals;
    endSignals.onSignal = [](int) { QCoreApplication::quit(); };
    QtScheduler scheduler;
    StreamLogger logger(std::cerr, LogLevel::error);
    JsonUserDefaults defaults(argv[1], scheduler, logger);
    SingleInstance instance(QString::fromLocal8Bit(argv[2]));
    if (!endSignals.isInstalled() || !instance.listen()) return 3;
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &app, [&] {
        defaults.standardSuite().flush();
        instance.close();
    });
    const int number = std::stoi(argv[3]);
    QTimer::singleShot(0, &app, [&defaults, number] {
        defaults.standard().setObject("showDelayMS", 1234.0);
        std::raise(number);
    });
    return QCoreApplication::exec();
}
