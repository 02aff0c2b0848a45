// The settings store on QSettings: an INI file Hexwold/PloxWin.ini under the user's config
// folder (PLOXWIN_CONFIG_DIR, else XDG_CONFIG_HOME, else ~/.config) on Linux, the registry key
// HKCU\Software\Hexwold\PloxWin on Windows.
#pragma once

#include "settings/store.h"

#include <QString>
#include <memory>

class QSettings;

namespace plox {

class QtSettingsStore : public SettingsStore {
public:
    QtSettingsStore();                                 // the user's store
    explicit QtSettingsStore(const QString& ini_path); // a given INI file
    ~QtSettingsStore() override;

    // Where the user's store lives ("Hexwold/PloxWin.ini" under the config folder).
    static QString default_ini_path();
    QString file_name() const;
    void sync();

    std::optional<uint32_t> read_dword(std::string_view key, std::string_view name) const override;
    std::optional<std::string> read_text(std::string_view key,
                                         std::string_view name) const override;
    std::optional<std::vector<uint8_t>> read_binary(std::string_view key,
                                                    std::string_view name) const override;
    void write_dword(std::string_view key, std::string_view name, uint32_t value) override;
    void write_text(std::string_view key, std::string_view name, std::string_view value) override;
    void write_binary(std::string_view key, std::string_view name,
                      const std::vector<uint8_t>& value) override;
    void remove(std::string_view key, std::string_view name) override;
    bool has_key(std::string_view key) const override;

private:
    std::unique_ptr<QSettings> settings_;
};

} // namespace plox
