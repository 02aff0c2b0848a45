// QSettings backend of the settings store.
#include "platform/settings_qt.h"

#include <QByteArray>
#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <QStringDecoder>

namespace plox {

namespace {

// Registry sub keys ("Data Ini2\csv") become nested groups.
QString qt_key(std::string_view key, std::string_view name) {
    QString k = QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size()));
    k.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return k + QLatin1Char('/') +
           QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

bool is_utf8(std::string_view text) {
    QStringDecoder decoder(QStringDecoder::Utf8);
    QString s = decoder(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
    return !decoder.hasError();
}

} // namespace

QString QtSettingsStore::default_ini_path() {
    QString dir = qEnvironmentVariable("PLOXWIN_CONFIG_DIR");
    if (dir.isEmpty())
        dir = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return QDir(dir).filePath(QStringLiteral("Hexwold/PloxWin.ini"));
}

QtSettingsStore::QtSettingsStore() {
#ifdef Q_OS_WIN
    if (qEnvironmentVariableIsEmpty("PLOXWIN_CONFIG_DIR")) {
        settings_ = std::make_unique<QSettings>(
            QStringLiteral("HKEY_CURRENT_USER\\Software\\Hexwold\\PloxWin"),
            QSettings::NativeFormat);
        return;
    }
#endif
    settings_ = std::make_unique<QSettings>(default_ini_path(), QSettings::IniFormat);
}

QtSettingsStore::QtSettingsStore(const QString& ini_path)
    : settings_(std::make_unique<QSettings>(ini_path, QSettings::IniFormat)) {}

QtSettingsStore::~QtSettingsStore() {
    settings_->sync();
}

QString QtSettingsStore::file_name() const {
    return settings_->fileName();
}

void QtSettingsStore::sync() {
    settings_->sync();
}

// An INI file keeps no value types: a DWORD is any value that reads as a whole number.
std::optional<uint32_t> QtSettingsStore::read_dword(std::string_view key,
                                                    std::string_view name) const {
    QVariant v = settings_->value(qt_key(key, name));
    if (!v.isValid() || v.typeId() == QMetaType::QByteArray) return std::nullopt;
    bool ok = false;
    QString text = v.toString().trimmed();
    qlonglong n = text.toLongLong(&ok, 0);
    if (!ok || n < INT32_MIN || n > UINT32_MAX) return std::nullopt;
    return static_cast<uint32_t>(n);
}

std::optional<std::string> QtSettingsStore::read_text(std::string_view key,
                                                      std::string_view name) const {
    QVariant v = settings_->value(qt_key(key, name));
    if (!v.isValid()) return std::nullopt;
    if (v.typeId() == QMetaType::QByteArray) return v.toByteArray().toStdString();
    if (v.typeId() == QMetaType::QStringList)
        return v.toStringList().join(QStringLiteral(", ")).toStdString();
    return v.toString().toStdString();
}

std::optional<std::vector<uint8_t>> QtSettingsStore::read_binary(std::string_view key,
                                                                 std::string_view name) const {
    QVariant v = settings_->value(qt_key(key, name));
    if (!v.isValid() || v.typeId() != QMetaType::QByteArray) return std::nullopt;
    QByteArray b = v.toByteArray();
    return std::vector<uint8_t>(b.begin(), b.end());
}

void QtSettingsStore::write_dword(std::string_view key, std::string_view name, uint32_t value) {
    settings_->setValue(qt_key(key, name), static_cast<qlonglong>(value));
}

// Texts that are not UTF-8 (Shift-JIS paths from documents) are kept as their bytes.
void QtSettingsStore::write_text(std::string_view key, std::string_view name,
                                 std::string_view value) {
    if (is_utf8(value))
        settings_->setValue(qt_key(key, name),
                            QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size())));
    else
        settings_->setValue(qt_key(key, name),
                            QByteArray(value.data(), static_cast<qsizetype>(value.size())));
}

void QtSettingsStore::write_binary(std::string_view key, std::string_view name,
                                   const std::vector<uint8_t>& value) {
    settings_->setValue(qt_key(key, name), QByteArray(reinterpret_cast<const char*>(value.data()),
                                                      static_cast<qsizetype>(value.size())));
}

void QtSettingsStore::remove(std::string_view key, std::string_view name) {
    settings_->remove(qt_key(key, name));
}

bool QtSettingsStore::has_key(std::string_view key) const {
    QString k = QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size()));
    k.replace(QLatin1Char('\\'), QLatin1Char('/'));
    settings_->beginGroup(k);
    bool any = !settings_->childKeys().isEmpty();
    settings_->endGroup();
    return any;
}

} // namespace plox
