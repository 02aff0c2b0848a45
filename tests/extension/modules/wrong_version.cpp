// A module of major version 5 (0x0405): the program must refuse it.
#include "ploxex32.h"

extern "C" PLOXEX_API int32_t ExternalAnalyzeAbout(void*, void*, int32_t) {
    return 0x0405;
}
extern "C" PLOXEX_API int32_t RegisterExternalAnalyze(int32_t, char*, char*) {
    return 5;
}
