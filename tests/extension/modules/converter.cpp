// A converter module with two converters and without ExternalLoadAbout: converter 1 copies
// the file, converter 2 fails; one foreign first line is recognised.
#include "ploxex32.h"

#include <cstdio>
#include <cstring>

extern "C" PLOXEX_API int32_t RegisterFileConverter(int32_t index, char* name) {
    static const char* names[] = {"Copy", "Broken"};
    if (index >= 1 && index <= 2) std::snprintf(name, PLOXFIL_NAME_SIZE, "%s", names[index - 1]);
    return 2;
}

extern "C" PLOXEX_API int32_t ExtConvertFile(const char* source, const char* destination,
                                             int32_t converter) {
    if (converter != 1) return 0;
    FILE* in = std::fopen(source, "rb");
    if (!in) return 0;
    FILE* out = std::fopen(destination, "wb");
    if (!out) {
        std::fclose(in);
        return 0;
    }
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, in)) > 0)
        std::fwrite(buffer, 1, n, out);
    std::fclose(in);
    return std::fclose(out) == 0 ? 1 : 0;
}

extern "C" PLOXEX_API int32_t ExtCheckQVP(const char* first_line) {
    return std::strcmp(first_line, "%Ngraph GRAF") == 0 ? 7 : -1;
}
