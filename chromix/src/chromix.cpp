#include "chromix.h"

#include "basic_runtime.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <fcntl.h>
#include <fstream>
#include <istream>
#include <ostream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace chromix {

namespace {

// Statement numbers reported by fatal errors, in the order the tool runs them.
enum Statement : unsigned {
    OpenTable = 1,
    InputName = 2,
    OpenSpectrum = 3,
    OpenResult = 4,
    InputTable = 6,
    InputSpectrum = 7,
    PrintResult = 20,
};

// Reads a regular file whole. FIFOs and devices are refused without blocking: a typed name
// or a table that is one would stall the tool or never end.
bool read_regular_file(const std::filesystem::path& path, std::string& out) {
    constexpr size_t LIMIT = size_t{64} << 20;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return false;
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    char buf[65536];
    while (ok) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        out.append(buf, static_cast<size_t>(n));
        ok = out.size() <= LIMIT;
    }
    ::close(fd);
    return ok;
}

// Whether the result may be written at `path`: nothing there, or a regular file.
bool writable_result(const std::filesystem::path& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return true;
    return S_ISREG(st.st_mode) ||
           (S_ISLNK(st.st_mode) && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode));
}

float encode(float v) {
    if (v <= 0.00304f) return 12.92f * v;
    return 1.055f * std::pow(v, 1.0f / 2.4f) - 0.055f;
}

std::string trim(std::string s) {
    const auto blank = [](unsigned char c) {
        return c == ' ' || c == '\t' || c == '\r' || c == '\n';
    };
    while (!s.empty() && blank(s.back()))
        s.pop_back();
    size_t start = 0;
    while (start < s.size() && blank(s[start]))
        ++start;
    return s.substr(start);
}

bool read_record(NumberInput& input, std::span<float> values, unsigned statement,
                 RuntimeError& error) {
    for (float& v : values) {
        const auto status = input.read(v);
        if (status != NumberInput::Status::Ok) {
            error = {std::string(status_text(status)), statement};
            return false;
        }
    }
    return true;
}

} // namespace

ColourResult compute_colour(std::span<const float> spectrum,
                            std::span<const std::array<float, 3>> matching) {
    ColourResult r;
    const size_t n = std::min(spectrum.size(), matching.size());
    for (size_t i = 0; i < n; ++i) {
        r.XSTI += spectrum[i] * matching[i][0];
        r.YSTI += spectrum[i] * matching[i][1];
        r.ZSTI += spectrum[i] * matching[i][2];
    }
    const float sum = r.XSTI + r.YSTI + r.ZSTI;
    if (sum != 0) {
        r.x = r.XSTI / sum;
        r.y = r.YSTI / sum;
    }
    const float K = 1 / (r.YSTI + 1);
    const float X = K * r.XSTI, Y = K * r.YSTI, Z = K * r.ZSTI;
    const float lr = 3.241f * X - 1.5374f * Y - 0.4986f * Z;
    const float lg = -0.9692f * X + 1.876f * Y + 0.0416f * Z;
    const float lb = 0.0556f * X - 0.204f * Y + 1.057f * Z;
    r.R1 = encode(lr);
    r.G1 = encode(lg);
    r.B1 = encode(lb);
    r.MAX = std::max({0.0f, r.R1, r.G1, r.B1});
    r.MIN = std::min({0.0f, r.R1, r.G1, r.B1});
    if (r.MAX > r.MIN) {
        const auto scale = [&](float v) {
            return std::max(0.0f, (v - r.MIN) / (r.MAX - r.MIN) * 255);
        };
        r.R = scale(r.R1);
        r.G = scale(r.G1);
        r.B = scale(r.B1);
    }
    return r;
}

std::filesystem::path result_path(const std::string& name) {
    const std::filesystem::path p(name);
    return p.parent_path() / ("RGB_" + p.filename().string());
}

int run(std::istream& in, std::ostream& out, std::ostream& err, const std::filesystem::path& dir) {
    RuntimeError error;
    const auto fail = [&](RuntimeError e) {
        out.flush();
        err << fatal_message(e) << '\n';
        return 1;
    };

    std::string table_text;
    if (!read_regular_file(dir / TABLE_FILE, table_text))
        return fail({"File not found", OpenTable});
    std::istringstream table(table_text);

    out << "fine name? " << std::flush;
    std::string name;
    if (!std::getline(in, name)) return fail({"Input past end", InputName});
    name = trim(name);
    out << '\n';

    std::string spectrum_text;
    if (name.empty() || !read_regular_file(dir / name, spectrum_text))
        return fail({"File not found", OpenSpectrum});
    std::istringstream spectrum_file(spectrum_text);

    const auto result_file_path = dir / result_path(name);
    if (!writable_result(result_file_path)) return fail({"Path not found", OpenResult});
    std::ofstream result(result_file_path, std::ios::binary | std::ios::trunc);
    if (!result) return fail({"Path not found", OpenResult});

    NumberInput table_input(table), spectrum_input(spectrum_file);
    std::vector<float> spectrum(RECORD_COUNT);
    std::vector<std::array<float, 3>> matching(RECORD_COUNT);
    for (int i = 0; i < RECORD_COUNT; ++i) {
        float t[4], s[2];
        if (!read_record(table_input, t, InputTable, error)) return fail(error);
        if (!read_record(spectrum_input, s, InputSpectrum, error)) return fail(error);
        matching[i] = {t[1], t[2], t[3]};
        spectrum[i] = s[1];
    }

    const ColourResult r = compute_colour(spectrum, matching);
    const float channels[] = {r.R1, r.G1, r.B1, r.MAX, r.MIN};
    out << print_zones(channels) << '\n';
    const char* header = "X, Y, Z, x, y, R, G, B";
    const float values[] = {r.XSTI, r.YSTI, r.ZSTI, r.x, r.y, r.R, r.G, r.B};
    const std::string value_line = print_zones(values);
    out << header << '\n' << value_line << '\n';
    result << header << "\r\n" << value_line << "\r\n";
    result.flush();
    if (!result) return fail({"Device I/O error", PrintResult});
    return 0;
}

} // namespace chromix
