#pragma once

#include <QObject>

#include <functional>

class QSocketNotifier;

namespace vantorel {

// Turns SIGTERM, SIGINT and SIGHUP (what a session manager sends at logout, Ctrl+C, a closed
// terminal) into a call on the main thread, so the program can end in order instead of dying
// with unsaved settings and its socket left behind. The handler only writes the signal's number
// to a pipe that the run loop watches. One instance per process; the default actions come back
// when it goes.
class TerminationSignals final : public QObject {
    Q_OBJECT

public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

    // False when the pipe or a handler could not be set up: the signals keep their defaults.
    bool isInstalled() const { return notifier_ != nullptr; }

    // Runs on the main thread with the signal's number.
    std::function<void(int)> onSignal;

private:
    void drain();

    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace vantorel
