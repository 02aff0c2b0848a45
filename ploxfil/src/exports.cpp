// The converter module: recognises the first line of Ngraph projects for the document reader
// and converts two common kinds of foreign data tables into plain data files.
#include "ploxex32.h"

#include "convert.h"

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

namespace {

constexpr const char* NAMES[] = {"CSV (header row)", "Decimal comma table"};
constexpr int32_t COUNT = 2;

bool read_all(const char* path, std::string& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

bool write_all(const char* path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    return static_cast<bool>(out);
}

} // namespace

extern "C" {

PLOXEX_API int32_t RegisterFileConverter(int32_t index, char* name) {
    if (index == 0) return COUNT;
    if (index < 1 || index > COUNT) return 0;
    if (name) {
        std::strncpy(name, NAMES[index - 1], PLOXFIL_NAME_SIZE - 1);
        name[PLOXFIL_NAME_SIZE - 1] = '\0';
    }
    return COUNT;
}

PLOXEX_API int32_t ExternalLoadAbout(void*, void*, int32_t) {
    return PLOXFIL_VERSION;
}

PLOXEX_API int32_t ExtConvertFile(const char* source, const char* destination, int32_t converter) {
    if (!source || !destination || converter < 1 || converter > COUNT) return 0;
    std::string text;
    if (!read_all(source, text)) return 0;
    const std::string plain =
        converter == 1 ? ploxfil::convert_csv(text) : ploxfil::convert_decimal_comma(text);
    return write_all(destination, plain) ? 1 : 0;
}

PLOXEX_API int32_t ExtCheckQVP(const char* first_line) {
    return first_line ? ploxfil::check_first_line(first_line) : -1;
}

} // extern "C"
