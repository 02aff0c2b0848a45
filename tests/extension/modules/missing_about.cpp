// A module without ExternalAnalyzeAbout: there is no version to check.
#include "ploxex32.h"

extern "C" PLOXEX_API int32_t RegisterExternalAnalyze(int32_t, char*, char*) {
    return 5;
}
