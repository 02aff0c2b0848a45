// The D-Bus side of the command server and of the cooperation between running copies.
#include "platform/command_server.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <unistd.h>

namespace plox {

namespace {

// A copy busy in a long command must not hold up another one's start or exit for long.
constexpr int ASK_TIMEOUT_MS = 1500;

QString copy_name() {
    return QStringLiteral("%1.Copy%2").arg(QLatin1String(SERVICE_NAME)).arg(::getpid());
}

} // namespace

CommandServer::CommandServer(QObject* parent) : QObject(parent) {}

CommandServer::~CommandServer() {
    stop();
}

bool CommandServer::connect_bus() {
    if (bus_) return true;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return false;
    bus_ = bus;
    return true;
}

void CommandServer::start(ExecuteFunction execute) {
    if (!bus_ || running()) return;
    execute_ = std::move(execute);
    if (!bus_->registerObject(QLatin1String(SERVICE_PATH), this,
                              QDBusConnection::ExportScriptableSlots))
        return;
    // The first copy keeps the well-known name; later ones answer on a name of their own.
    for (const QString& candidate : {QString::fromLatin1(SERVICE_NAME), copy_name()})
        if (bus_->registerService(candidate)) {
            name_ = candidate;
            return;
        }
    bus_->unregisterObject(QLatin1String(SERVICE_PATH));
}

void CommandServer::stop() {
    if (!bus_ || !running()) return;
    bus_->unregisterService(name_);
    bus_->unregisterObject(QLatin1String(SERVICE_PATH));
    name_.clear();
    execute_ = nullptr;
}

uint CommandServer::Execute(const QString& topic, const QString& text) {
    if (!execute_) return 0;
    return execute_(topic.toStdString(), text.toStdString());
}

QString CommandServer::ExtractedList() {
    return QString::fromStdString(extracted_list_);
}

QStringList CommandServer::other_copies() const {
    QStringList out;
    if (!bus_) return out;
    const QDBusReply<QStringList> names = bus_->interface()->registeredServiceNames();
    if (!names.isValid()) return out;
    const QString well_known = QString::fromLatin1(SERVICE_NAME);
    const QString prefix = well_known + QStringLiteral(".Copy");
    // The well-known name first: the oldest copy.
    if (names.value().contains(well_known) && name_ != well_known) out << well_known;
    for (const QString& n : names.value())
        if (n.startsWith(prefix) && n != name_) out << n;
    return out;
}

std::optional<std::string> CommandServer::ask_list(const QString& service) const {
    QDBusMessage call = QDBusMessage::createMethodCall(service, QLatin1String(SERVICE_PATH),
                                                       QLatin1String(SERVICE_NAME),
                                                       QStringLiteral("ExtractedList"));
    const QDBusMessage reply = bus_->call(call, QDBus::Block, ASK_TIMEOUT_MS);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 1)
        return std::nullopt;
    const std::string path = reply.arguments().front().toString().toStdString();
    if (path.empty()) return std::nullopt;
    return path;
}

std::optional<std::string> CommandServer::list_of_other_copy() const {
    for (const QString& service : other_copies())
        if (auto path = ask_list(service)) return path;
    return std::nullopt;
}

bool CommandServer::other_copy_uses(const std::string& path) const {
    for (const QString& service : other_copies())
        if (ask_list(service) == path) return true;
    return false;
}

} // namespace plox
