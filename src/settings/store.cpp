// Typed reading and writing on top of the raw settings values.
#include "settings/store.h"

#include <cstdio>
#include <cstdlib>

namespace plox {

void SettingsStore::read(std::string_view key, std::string_view name, int32_t& value) const {
    if (auto v = read_dword(key, name)) value = static_cast<int32_t>(*v);
}

void SettingsStore::read(std::string_view key, std::string_view name, double& value) const {
    auto text = read_text(key, name);
    if (!text || text->empty()) return;
    char* end = nullptr;
    double v = std::strtod(text->c_str(), &end);
    if (end != text->c_str()) value = v;
}

void SettingsStore::read(std::string_view key, std::string_view name, std::string& value) const {
    if (auto v = read_text(key, name)) value = *v;
}

void SettingsStore::write(std::string_view key, std::string_view name, double value) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%g", value);
    write_text(key, name, buf);
}

const MemorySettingsStore::Value* MemorySettingsStore::find(std::string_view key,
                                                            std::string_view name) const {
    auto it = values_.find(std::pair{std::string(key), std::string(name)});
    return it == values_.end() ? nullptr : &it->second;
}

std::optional<uint32_t> MemorySettingsStore::read_dword(std::string_view key,
                                                        std::string_view name) const {
    const Value* v = find(key, name);
    if (!v || v->type != Value::Type::Dword) return std::nullopt;
    return v->dword;
}

std::optional<std::string> MemorySettingsStore::read_text(std::string_view key,
                                                          std::string_view name) const {
    const Value* v = find(key, name);
    if (!v || v->type != Value::Type::Text) return std::nullopt;
    return v->text;
}

std::optional<std::vector<uint8_t>> MemorySettingsStore::read_binary(std::string_view key,
                                                                     std::string_view name) const {
    const Value* v = find(key, name);
    if (!v || v->type != Value::Type::Binary) return std::nullopt;
    return v->binary;
}

void MemorySettingsStore::write_dword(std::string_view key, std::string_view name, uint32_t value) {
    values_[{std::string(key), std::string(name)}] = Value{Value::Type::Dword, value, {}, {}};
}

void MemorySettingsStore::write_text(std::string_view key, std::string_view name,
                                     std::string_view value) {
    values_[{std::string(key), std::string(name)}] =
        Value{Value::Type::Text, 0, std::string(value), {}};
}

void MemorySettingsStore::write_binary(std::string_view key, std::string_view name,
                                       const std::vector<uint8_t>& value) {
    values_[{std::string(key), std::string(name)}] = Value{Value::Type::Binary, 0, {}, value};
}

void MemorySettingsStore::remove(std::string_view key, std::string_view name) {
    values_.erase(std::pair{std::string(key), std::string(name)});
}

bool MemorySettingsStore::has_key(std::string_view key) const {
    auto it = values_.lower_bound(std::pair{std::string(key), std::string()});
    return it != values_.end() && it->first.first == key;
}

} // namespace plox
