// A module of the right version that exports nothing else, and answers an absurd table size
// with names that fill their buffers without a terminating NUL.
#include "ploxex32.h"

#include <cstring>

extern "C" PLOXEX_API int32_t ExternalAnalyzeAbout(void*, void*, int32_t) {
    return 0x0504;
}
extern "C" PLOXEX_API int32_t RegisterExternalAnalyze(int32_t index, char* key, char* text) {
    if (index >= 0) {
        std::memset(key, 'K', PLOXEX_KEY_SIZE);
        std::memset(text, 'T', PLOXEX_MENU_TEXT_SIZE);
    }
    return 12;
}
