// The per-series analysis block: an opaque handle of the module, freed through the module.
#pragma once

#include "extension/module.h"

namespace plox {

struct ExtensionBlock {
    PloxexBlock* handle = nullptr;
    PloxexFreeExternalAnalyzeFn free = nullptr;
    LibraryHandle library; // keeps the code of `free` loaded while the block lives

    ExtensionBlock() = default;
    ExtensionBlock(const ExtensionBlock&) = delete;
    ExtensionBlock& operator=(const ExtensionBlock&) = delete;
    ~ExtensionBlock() {
        if (handle && free) free(handle);
    }
};

} // namespace plox
