#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QLocalServer;

namespace vantorel {

// One running Vantorel per user: a later launch finds the first through a local socket, asks it
// to come forward and ends.
class SingleInstance final : public QObject {
    Q_OBJECT

public:
    // The socket's name: per user, so that two users' instances do not meet.
    static QString defaultName();

    explicit SingleInstance(QString name, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when an instance answered and was asked to come forward: this one should end.
    bool askRunningInstanceToComeForward(int timeoutMs = 500);
    // Takes the name; a socket left behind by an instance that died is replaced. False when the
    // name cannot be taken.
    bool listen();

    // Runs when a later launch asks this instance to come forward.
    std::function<void()> onActivate;

private:
    void accept();

    QString name_;
    QLocalServer* server_ = nullptr;
};

}  // namespace vantorel
