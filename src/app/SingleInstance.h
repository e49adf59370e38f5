#pragma once

#include <QObject>
#include <QString>

#include <filesystem>
#include <functional>
#include <ostream>
#include <string_view>

class QLocalServer;

namespace vantorel {

// One running Vantorel per user: a later launch finds the first through a local socket, asks it
// to come forward and ends.
class SingleInstance final : public QObject {
    Q_OBJECT

public:
    static constexpr const char* kSocketFile = "app.vantorel.Vantorel.socket";

    // The socket's path: per user, so that two users' instances do not meet, and the same
    // whatever TMPDIR says, so that every launch of this user finds it. Empty when no private
    // folder can be had.
    static QString defaultName();
    // The rule behind it: in `runtimeDir` ($XDG_RUNTIME_DIR) when that is an absolute path to a
    // folder of this user's that only they may enter; else in `fallbackRoot`/vantorel-<uid>,
    // created with mode 0700 (a folder of ours with a looser mode is tightened). Empty when the
    // fallback is taken by something else.
    static std::filesystem::path socketPath(const char* runtimeDir,
                                            const std::filesystem::path& fallbackRoot);

    // `name`: a path, or a bare name (then in the temporary folder).
    explicit SingleInstance(QString name, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when an instance answered and was asked to come forward: this one should end.
    bool askRunningInstanceToComeForward(int timeoutMs = 500);
    // Takes the name; a socket left behind by an instance that died is replaced. False when the
    // name cannot be taken.
    bool listen();
    // The start of every desktop run: when another instance answers, tells `out` so in
    // `alreadyRunning` and returns false (this launch ends); otherwise listens for later ones.
    bool claim(std::ostream& out, std::string_view alreadyRunning);

    // Stops listening and removes the socket, so that nothing is left behind.
    void close();

    // Runs when a later launch asks this instance to come forward.
    std::function<void()> onActivate;

private:
    void accept();

    QString name_;
    QLocalServer* server_ = nullptr;
};

}  // namespace vantorel
