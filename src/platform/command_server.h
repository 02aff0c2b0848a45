// The command server on the session bus: service "org.hexwold.PloxWin" (a second copy takes
// "org.hexwold.PloxWin.Copy<pid>"), object "/PloxWin", method Execute(topic, text) -> u. The
// same object lets running copies find each other and share the extracted-files list.
#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace plox {

inline constexpr const char* SERVICE_NAME = "org.hexwold.PloxWin";
inline constexpr const char* SERVICE_PATH = "/PloxWin";

class CommandServer : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.hexwold.PloxWin")
public:
    using ExecuteFunction = std::function<uint32_t(const std::string& topic, const std::string&)>;

    explicit CommandServer(QObject* parent = nullptr);
    ~CommandServer() override;

    // Connects to the session bus and registers; false (nothing registered) without a bus.
    bool connect_bus();
    // Exports the object and takes a name; executes go to `execute` from then on.
    void start(ExecuteFunction execute);
    void stop();
    bool running() const { return !name_.isEmpty(); }
    // The bus name this copy answers on (empty while stopped).
    const QString& name() const { return name_; }

    // This copy's extracted-files list, handed to copies that ask.
    void set_extracted_list(const std::string& path) { extracted_list_ = path; }

    // The extracted-files list of the first other copy that answers.
    std::optional<std::string> list_of_other_copy() const;
    // Whether another running copy uses the list `path`.
    bool other_copy_uses(const std::string& path) const;

public slots:
    Q_SCRIPTABLE uint Execute(const QString& topic, const QString& text);
    Q_SCRIPTABLE QString ExtractedList();

private:
    QStringList other_copies() const;
    std::optional<std::string> ask_list(const QString& service) const;

    std::optional<QDBusConnection> bus_;
    ExecuteFunction execute_;
    QString name_;
    std::string extracted_list_;
};

} // namespace plox
