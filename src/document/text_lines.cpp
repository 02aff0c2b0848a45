// Line reader, value scanner and line writer of the positional text formats.
#include "document/text_lines.h"

#include <fast_float/fast_float.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace plox {

std::optional<std::string_view> LineReader::next(size_t limit) {
    if (pos_ >= data_.size()) return std::nullopt;
    size_t end = data_.find('\n', pos_);
    size_t after = end == std::string_view::npos ? data_.size() : end + 1;
    if (end == std::string_view::npos) end = data_.size();
    std::string_view line = data_.substr(pos_, end - pos_);
    pos_ = after;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!line.empty() && line.back() == '\x1a') {
        if (line.size() == 1) {
            pos_ = data_.size();
            return std::nullopt;
        }
        line.remove_suffix(1);
    }
    if (const size_t nul = line.find('\0'); nul != std::string_view::npos)
        line = line.substr(0, nul);
    if (limit > 0 && line.size() > limit - 1) line = line.substr(0, limit - 1);
    return line;
}

std::string_view LineReader::bytes(size_t n) {
    const size_t take = std::min(n, data_.size() - pos_);
    std::string_view out = data_.substr(pos_, take);
    pos_ += take;
    return out;
}

namespace {
bool is_space(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// Optional sign and digits as a saturated 64-bit value; false without digits.
bool parse_integer(std::string_view s, size_t& pos, int64_t& out) {
    size_t i = pos;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    const size_t digits = i;
    int64_t v = 0;
    constexpr int64_t cap = int64_t{1} << 40;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
        if (v < cap) v = v * 10 + (s[i] - '0');
        ++i;
    }
    if (i == digits) return false;
    out = negative ? -v : v;
    pos = i;
    return true;
}
} // namespace

bool Scan::start() {
    if (failed_) return false;
    while (pos_ < s_.size() && is_space(s_[pos_]))
        ++pos_;
    if (pos_ >= s_.size()) failed_ = true;
    return !failed_;
}

Scan& Scan::i32(int32_t& v) {
    int64_t x;
    if (start() && parse_integer(s_, pos_, x)) {
        v = static_cast<int32_t>(std::clamp<int64_t>(x, std::numeric_limits<int32_t>::min(),
                                                     std::numeric_limits<int32_t>::max()));
        ++count_;
    } else
        failed_ = true;
    return *this;
}

Scan& Scan::u32(int32_t& v) {
    int64_t x;
    if (start() && parse_integer(s_, pos_, x)) {
        v = static_cast<int32_t>(static_cast<uint32_t>(x));
        ++count_;
    } else
        failed_ = true;
    return *this;
}

Scan& Scan::i16(int16_t& v) {
    int32_t x;
    const int before = count_;
    i32(x);
    if (count_ > before) v = static_cast<int16_t>(std::clamp<int32_t>(x, INT16_MIN, INT16_MAX));
    return *this;
}

Scan& Scan::real(double& v) {
    if (!start()) return *this;
    size_t i = pos_;
    bool negative = false;
    if (s_[i] == '+' || s_[i] == '-') negative = s_[i++] == '-';
    double x = 0;
    const char* first = s_.data() + i;
    const auto r = fast_float::from_chars(first, s_.data() + s_.size(), x);
    if (r.ec != std::errc() || !std::isfinite(x)) {
        failed_ = true;
        return *this;
    }
    pos_ = static_cast<size_t>(r.ptr - s_.data());
    v = negative ? -x : x;
    ++count_;
    return *this;
}

Scan& Scan::word(std::string& v) {
    if (!start()) return *this;
    const size_t b = pos_;
    while (pos_ < s_.size() && !is_space(s_[pos_]))
        ++pos_;
    v.assign(s_.substr(b, pos_ - b));
    ++count_;
    return *this;
}

Scan& Scan::hex32(uint32_t& v) {
    if (!start()) return *this;
    size_t i = pos_;
    if (i + 1 < s_.size() && s_[i] == '0' && (s_[i + 1] == 'x' || s_[i + 1] == 'X')) i += 2;
    uint64_t x = 0;
    const auto r = std::from_chars(s_.data() + i, s_.data() + s_.size(), x, 16);
    if (r.ec == std::errc::result_out_of_range)
        x = UINT32_MAX;
    else if (r.ec != std::errc()) {
        failed_ = true;
        return *this;
    }
    pos_ = static_cast<size_t>(r.ptr - s_.data());
    v = static_cast<uint32_t>(std::min<uint64_t>(x, UINT32_MAX));
    ++count_;
    return *this;
}

std::string LineWriter::format_g(double v) {
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 6);
    return std::string(buf, r.ptr);
}

void LineWriter::put(int32_t v) {
    char buf[16];
    out_.append(buf, std::to_chars(buf, buf + sizeof buf, v).ptr);
}

void LineWriter::put(Unsigned v) {
    char buf[16];
    out_.append(buf, std::to_chars(buf, buf + sizeof buf, v.v).ptr);
}

} // namespace plox
