// Little-endian byte buffers for the metafile writers and readers. The reader never reads past
// its span: every access checks the offset and reports failure as a value.
#pragma once

#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace plox {

class ByteWriter {
public:
    void u8(uint8_t v) { bytes_.push_back(v); }
    void u16(uint16_t v) {
        u8(static_cast<uint8_t>(v));
        u8(static_cast<uint8_t>(v >> 8));
    }
    void i16(int32_t v) { u16(static_cast<uint16_t>(static_cast<int16_t>(v))); }
    void u32(uint32_t v) {
        u16(static_cast<uint16_t>(v));
        u16(static_cast<uint16_t>(v >> 16));
    }
    void i32(int32_t v) { u32(static_cast<uint32_t>(v)); }
    void f32(float v) {
        uint32_t bits = 0;
        std::memcpy(&bits, &v, sizeof bits);
        u32(bits);
    }
    void zeros(size_t n) { bytes_.insert(bytes_.end(), n, 0); }
    void raw(std::span<const uint8_t> data) {
        bytes_.insert(bytes_.end(), data.begin(), data.end());
    }
    void pad_to(size_t alignment) {
        while (bytes_.size() % alignment)
            u8(0);
    }

    void patch_u16(size_t at, uint16_t v) {
        bytes_[at] = static_cast<uint8_t>(v);
        bytes_[at + 1] = static_cast<uint8_t>(v >> 8);
    }
    void patch_u32(size_t at, uint32_t v) {
        patch_u16(at, static_cast<uint16_t>(v));
        patch_u16(at + 2, static_cast<uint16_t>(v >> 16));
    }

    size_t size() const { return bytes_.size(); }
    std::vector<uint8_t>& bytes() { return bytes_; }
    const std::vector<uint8_t>& bytes() const { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
};

// Reads values at absolute offsets of a span; out-of-range reads give nullopt.
class ByteReader {
public:
    explicit ByteReader(std::span<const uint8_t> data) : data_(data) {}

    size_t size() const { return data_.size(); }
    bool has(size_t offset, size_t count) const {
        return offset <= data_.size() && count <= data_.size() - offset;
    }
    std::optional<uint8_t> u8(size_t at) const {
        if (!has(at, 1)) return std::nullopt;
        return data_[at];
    }
    std::optional<uint16_t> u16(size_t at) const {
        if (!has(at, 2)) return std::nullopt;
        return static_cast<uint16_t>(data_[at] | data_[at + 1] << 8);
    }
    std::optional<int16_t> i16(size_t at) const {
        auto v = u16(at);
        if (!v) return std::nullopt;
        return static_cast<int16_t>(*v);
    }
    std::optional<uint32_t> u32(size_t at) const {
        if (!has(at, 4)) return std::nullopt;
        return static_cast<uint32_t>(data_[at]) | static_cast<uint32_t>(data_[at + 1]) << 8 |
               static_cast<uint32_t>(data_[at + 2]) << 16 |
               static_cast<uint32_t>(data_[at + 3]) << 24;
    }
    std::optional<int32_t> i32(size_t at) const {
        auto v = u32(at);
        if (!v) return std::nullopt;
        return static_cast<int32_t>(*v);
    }
    std::optional<float> f32(size_t at) const {
        auto v = u32(at);
        if (!v) return std::nullopt;
        float f = 0;
        std::memcpy(&f, &*v, sizeof f);
        return f;
    }
    std::span<const uint8_t> bytes(size_t at, size_t count) const {
        if (!has(at, count)) return {};
        return data_.subspan(at, count);
    }
    std::span<const uint8_t> data() const { return data_; }

private:
    std::span<const uint8_t> data_;
};

} // namespace plox
