#include "app/SingleInstance.h"

#include <QLocalServer>
#include <QLocalSocket>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

namespace vantorel {
namespace {

constexpr char kComeForward[] = "show\n";

// A folder of this user's that nobody else may enter.
bool isPrivateFolder(const std::filesystem::path& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
           info.st_uid == ::getuid() && (info.st_mode & 077) == 0;
}

}  // namespace

std::filesystem::path SingleInstance::socketPath(const char* runtimeDir,
                                                 const std::filesystem::path& fallbackRoot) {
    if (runtimeDir && runtimeDir[0] == '/' && isPrivateFolder(runtimeDir)) {
        return std::filesystem::path(runtimeDir) / kSocketFile;
    }
    const std::filesystem::path folder =
        fallbackRoot / ("vantorel-" + std::to_string(static_cast<unsigned long>(::getuid())));
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return {};
    struct stat info {};
    // Never a link or someone else's folder: whoever controls it could take our place.
    if (::lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) ||
        info.st_uid != ::getuid()) {
        return {};
    }
    if ((info.st_mode & 077) != 0 && ::chmod(folder.c_str(), 0700) != 0) return {};
    return folder / kSocketFile;
}

QString SingleInstance::defaultName() {
    // /tmp itself, never TMPDIR: two launches with different TMPDIRs must meet.
    return QString::fromStdString(socketPath(std::getenv("XDG_RUNTIME_DIR"), "/tmp").string());
}

SingleInstance::SingleInstance(QString name, QObject* parent)
    : QObject(parent), name_(std::move(name)) {}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::askRunningInstanceToComeForward(int timeoutMs) {
    if (name_.isEmpty()) return false;
    QLocalSocket socket;
    socket.connectToServer(name_);
    if (!socket.waitForConnected(timeoutMs)) return false;
    socket.write(kComeForward);
    socket.flush();
    socket.waitForBytesWritten(timeoutMs);
    socket.disconnectFromServer();
    return true;
}

bool SingleInstance::listen() {
    if (name_.isEmpty()) return false;
    if (server_) return server_->isListening();
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, [this] { accept(); });
    if (server_->listen(name_)) return true;
    // Nobody answered on it (askRunningInstanceToComeForward came first): a leftover.
    QLocalServer::removeServer(name_);
    return server_->listen(name_);
}

void SingleInstance::close() {
    // Closing a listening server removes its socket file.
    if (server_) server_->close();
}

void SingleInstance::accept() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            while (socket->canReadLine()) {
                const QByteArray line = socket->readLine(64);
                if (line == kComeForward && onActivate) onActivate();
            }
        });
    }
}

bool SingleInstance::claim(std::ostream& out, std::string_view alreadyRunning) {
    if (askRunningInstanceToComeForward()) {
        out << alreadyRunning << "\n";
        return false;
    }
    if (!listen()) {
        out << "Could not claim the single-instance socket; a later launch will not find this "
               "one.\n";
    }
    return true;
}

}  // namespace vantorel
