// The settings store: named keys ("User Config", "Data Ini2\csv" …)
// holding DWORD, text and binary values. Reading a missing value leaves the caller's value.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plox {

class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual std::optional<uint32_t> read_dword(std::string_view key,
                                               std::string_view name) const = 0;
    virtual std::optional<std::string> read_text(std::string_view key,
                                                 std::string_view name) const = 0;
    virtual std::optional<std::vector<uint8_t>> read_binary(std::string_view key,
                                                            std::string_view name) const = 0;
    virtual void write_dword(std::string_view key, std::string_view name, uint32_t value) = 0;
    virtual void write_text(std::string_view key, std::string_view name,
                            std::string_view value) = 0;
    virtual void write_binary(std::string_view key, std::string_view name,
                              const std::vector<uint8_t>& value) = 0;
    virtual void remove(std::string_view key, std::string_view name) = 0;
    // Whether the key holds any value (a registry key that exists).
    virtual bool has_key(std::string_view key) const = 0;

    // Typed helpers: a missing (or unreadable) value leaves `value` as it was.
    void read(std::string_view key, std::string_view name, int32_t& value) const;
    void read(std::string_view key, std::string_view name, double& value) const; // "%g" text
    void read(std::string_view key, std::string_view name, std::string& value) const;
    void write(std::string_view key, std::string_view name, int32_t value) {
        write_dword(key, name, static_cast<uint32_t>(value));
    }
    void write(std::string_view key, std::string_view name, double value); // "%g" text
};

// In-memory store for tests and for running without a settings file.
class MemorySettingsStore : public SettingsStore {
public:
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
    struct Value {
        enum class Type { Dword, Text, Binary } type;
        uint32_t dword = 0;
        std::string text;
        std::vector<uint8_t> binary;
    };
    std::map<std::pair<std::string, std::string>, Value, std::less<>> values_;
    const Value* find(std::string_view key, std::string_view name) const;
};

} // namespace plox
