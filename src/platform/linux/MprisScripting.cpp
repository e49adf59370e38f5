#include "platform/linux/MprisScripting.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QStringList>
#include <QVariantMap>
#include <algorithm>
#include <optional>

#include "widgets/MediaService.h"

namespace vantorel {
namespace {

constexpr auto kObjectPath = "/org/mpris/MediaPlayer2";
constexpr auto kPlayerInterface = "org.mpris.MediaPlayer2.Player";
// playerctld stands in front of whichever player was active last: taking it would show that
// player twice.
constexpr std::string_view kProxyBusName = "org.mpris.MediaPlayer2.playerctld";

enum class Command { status, playPause, next, previous };

struct Request {
    MediaPlayer player;
    Command command;
};

std::optional<Request> recognise(std::string_view source) {
    for (const MediaPlayer player : kAllMediaPlayers) {
        if (source == MediaService::statusScript(player)) return Request{player, Command::status};
        if (source == MediaService::playPauseScript(player))
            return Request{player, Command::playPause};
        if (source == MediaService::nextTrackScript(player)) return Request{player, Command::next};
        if (source == MediaService::previousTrackScript(player))
            return Request{player, Command::previous};
    }
    return std::nullopt;
}

std::string prefixed(std::string name) {
    if (name.empty() || name.find('.') != std::string::npos) return name;
    return std::string(MprisScripting::kBusNamePrefix) + name;
}

bool isSpotify(const QString& name) {
    const QString spotify = QString::fromUtf8(MprisScripting::kSpotifyBusName);
    return name == spotify || name.startsWith(spotify + QLatin1Char('.'));
}

// One line of the reply: a line feed inside a title would shift the lines after it.
std::string oneLine(const QString& text) {
    QString line = text;
    line.replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' '));
    return line.toStdString();
}

// Maps inside variants come over the bus unmarshalled; anything else is no map.
QVariantMap asMap(const QVariant& value) {
    if (value.canConvert<QDBusArgument>()) {
        const auto argument = value.value<QDBusArgument>();
        if (argument.currentType() == QDBusArgument::MapType)
            return qdbus_cast<QVariantMap>(argument);
        return {};
    }
    return value.typeId() == QMetaType::QVariantMap ? value.toMap() : QVariantMap{};
}

// xesam:artist is a list of names; some players send one string instead.
QString artists(const QVariant& value) {
    if (value.typeId() == QMetaType::QString) return value.toString();
    if (value.typeId() == QMetaType::QStringList) return value.toStringList().join(u", ");
    return {};
}

class Call {
public:
    Call(std::string_view playerName, std::chrono::milliseconds timeout)
        : name_(playerName), timeout_(int(timeout.count())) {}

    // The reply, or the failure a script would have met.
    std::optional<QDBusMessage> send(const QDBusMessage& message, ScriptOutcome& failed) const {
        QDBusConnection bus = QDBusConnection::sessionBus();
        if (!bus.isConnected()) {
            failed = notRunning();
            return std::nullopt;
        }
        QDBusMessage reply = bus.call(message, QDBus::Block, timeout_);
        if (reply.type() == QDBusMessage::ReplyMessage) return reply;
        const QDBusError error(reply);
        if (error.type() == QDBusError::ServiceUnknown ||
            error.name() == QLatin1String("org.freedesktop.DBus.Error.NameHasNoOwner"))
            failed = notRunning();
        else if (error.type() == QDBusError::NoReply || error.type() == QDBusError::Timeout)
            failed = ScriptOutcome::failure(name_ + " got an error: AppleEvent timed out.", -1712);
        else
            failed = ScriptOutcome::failure(
                name_ + " got an error: " + error.message().toStdString(), -10000);
        return std::nullopt;
    }

    ScriptOutcome notRunning() const {
        return ScriptOutcome::failure(name_ + " got an error: Application isn’t running.", -600);
    }

private:
    std::string name_;
    int timeout_;
};

}  // namespace

MprisScripting::MprisScripting(std::string musicBusName, std::chrono::milliseconds timeout)
    : musicBusName_(prefixed(std::move(musicBusName))), timeout_(timeout) {}

ScriptOutcome MprisScripting::run(std::string_view source) {
    const std::optional<Request> request = recognise(source);
    if (!request) return ScriptOutcome::failure("A player script was expected.", -2741);
    const Call call(scriptName(request->player), timeout_);
    ScriptOutcome failed;

    QString busName;
    if (request->player == MediaPlayer::spotify) {
        busName = QString::fromUtf8(kSpotifyBusName);
    } else if (!musicBusName_.empty()) {
        busName = QString::fromStdString(musicBusName_);
    } else {
        const auto names = call.send(
            QDBusMessage::createMethodCall("org.freedesktop.DBus", "/org/freedesktop/DBus",
                                           "org.freedesktop.DBus", "ListNames"),
            failed);
        if (!names) return failed;
        QStringList players;
        if (!names->arguments().isEmpty()) {
            for (const QString& name : names->arguments().constFirst().toStringList()) {
                if (name.startsWith(QString::fromUtf8(kBusNamePrefix)) && !isSpotify(name) &&
                    name != QString::fromUtf8(kProxyBusName))
                    players.push_back(name);
            }
        }
        if (players.isEmpty()) return call.notRunning();
        busName = *std::min_element(players.cbegin(), players.cend());
    }

    if (request->command != Command::status) {
        const char* method = request->command == Command::playPause ? "PlayPause"
                             : request->command == Command::next    ? "Next"
                                                                    : "Previous";
        if (!call.send(
                QDBusMessage::createMethodCall(busName, kObjectPath, kPlayerInterface, method),
                failed))
            return failed;
        // The transport commands answer nothing.
        return {};
    }

    QDBusMessage get = QDBusMessage::createMethodCall(busName, kObjectPath,
                                                      "org.freedesktop.DBus.Properties", "GetAll");
    get << QString::fromUtf8(kPlayerInterface);
    const auto reply = call.send(get, failed);
    if (!reply) return failed;
    const QVariantMap properties =
        reply->arguments().isEmpty() ? QVariantMap{} : asMap(reply->arguments().constFirst());
    // "Playing", "Paused" and "Stopped", read as the scripts name them.
    const std::string state = oneLine(properties.value("PlaybackStatus").toString().toLower());
    if (state != "playing" && state != "paused") return ScriptOutcome::answer(state);
    const QVariantMap metadata = asMap(properties.value("Metadata"));
    const QVariant title = metadata.value("xesam:title");
    return ScriptOutcome::answer(
        state + "\n" +
        oneLine(title.typeId() == QMetaType::QString ? title.toString() : QString()) + "\n" +
        oneLine(artists(metadata.value("xesam:artist"))));
}

}  // namespace vantorel
