// Walks the records of metafiles written by our writers, for the tests.
#pragma once

#include "output/byte_io.h"

#include <vector>

namespace plox::test {

struct ParsedRecord {
    uint32_t type;
    size_t offset, size;
};

// Enhanced metafile records in order; empty when a size does not fit.
inline std::vector<ParsedRecord> emf_records(const std::vector<uint8_t>& bytes) {
    const ByteReader d(bytes);
    std::vector<ParsedRecord> out;
    size_t at = 0;
    while (at < bytes.size()) {
        const auto type = d.u32(at), size = d.u32(at + 4);
        if (!type || !size || *size < 8 || *size % 4 || !d.has(at, *size)) return {};
        out.push_back({*type, at, *size});
        at += *size;
    }
    return out;
}

// Windows metafile records behind the 22-byte placeable header and the 18-byte header.
inline std::vector<ParsedRecord> wmf_records(const std::vector<uint8_t>& bytes) {
    const ByteReader d(bytes);
    std::vector<ParsedRecord> out;
    size_t at = 22 + 18;
    while (at < bytes.size()) {
        const auto words = d.u32(at);
        const auto function = d.u16(at + 4);
        if (!words || !function || *words < 3 || !d.has(at, size_t{*words} * 2)) return {};
        out.push_back({*function, at, size_t{*words} * 2});
        at += size_t{*words} * 2;
    }
    return out;
}

} // namespace plox::test
