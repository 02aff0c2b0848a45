// Text conversions and colour tables shared by every dialog.
#include "forms/dialog_helpers.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace plox::forms {

namespace {

int32_t clamp_to_int32(double v) {
    if (std::isnan(v)) return 0;
    if (v >= static_cast<double>(std::numeric_limits<int32_t>::max()))
        return std::numeric_limits<int32_t>::max();
    if (v <= static_cast<double>(std::numeric_limits<int32_t>::min()))
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(v);
}

} // namespace

std::string millimetre_text(int32_t hundredths) {
    const int64_t v = hundredths;
    const int64_t a = v < 0 ? -v : v;
    const int64_t whole = a / 100, frac = a % 100;
    char buf[32];
    if (frac == 0)
        std::snprintf(buf, sizeof buf, "%s%lld", v < 0 ? "-" : "", static_cast<long long>(whole));
    else if (frac % 10 == 0)
        std::snprintf(buf, sizeof buf, "%s%lld.%1lld", v < 0 ? "-" : "",
                      static_cast<long long>(whole), static_cast<long long>(frac / 10));
    else
        std::snprintf(buf, sizeof buf, "%s%lld.%02lld", v < 0 ? "-" : "",
                      static_cast<long long>(whole), static_cast<long long>(frac));
    return buf;
}

int32_t read_millimetres(std::string_view text) {
    return clamp_to_int32(std::round(read_number(text) * 100.0));
}

std::string number_text(double value) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%g", value);
    return buf;
}

double read_number(std::string_view text) {
    const std::string s(text);
    return std::strtod(s.c_str(), nullptr);
}

int32_t read_integer(std::string_view text) {
    const std::string s(text);
    errno = 0;
    const long long v = std::strtoll(s.c_str(), nullptr, 10);
    return clamp_to_int32(static_cast<double>(v));
}

const std::array<int32_t, 16>& colour_list() {
    static const std::array<int32_t, 16> list = [] {
        std::array<int32_t, 16> c{};
        int n = 0;
        for (int i = 0; i < 8; ++i)
            c[n++] = ((i & 1) ? 0x80 : 0) | ((i & 2) ? 0x8000 : 0) | ((i & 4) ? 0x800000 : 0);
        c[n++] = 0xC0C0C0;
        for (int i = 1; i < 8; ++i)
            c[n++] = ((i & 1) ? 0xFF : 0) | ((i & 2) ? 0xFF00 : 0) | ((i & 4) ? 0xFF0000 : 0);
        return c;
    }();
    return list;
}

int colour_list_index(int32_t colour) {
    const auto& list = colour_list();
    for (int i = 0; i < static_cast<int>(list.size()); ++i)
        if (list[i] == colour) return i;
    return -1;
}

std::array<int32_t, 16> custom_colours(int32_t current) {
    std::array<int32_t, 16> c{};
    for (int i = 0; i < 16; ++i)
        c[i] = i * 0x101010;
    c[0] = current;
    return c;
}

} // namespace plox::forms
