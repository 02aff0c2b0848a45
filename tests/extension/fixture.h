// The extension module as the program loads it, shared by the tests of this folder.
#pragma once

#include "extension/module.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace plox::test {

inline const ExtensionModule& real_module() {
    static const ExtensionModule* module = [] {
        const std::string path = find_module(EXTENSION_FILE);
        LibraryHandle library = open_library(path);
        if (!library) return static_cast<ExtensionModule*>(nullptr);
        auto* m = new ExtensionModule(std::move(library), path);
        m->build_analysis_table();
        return m;
    }();
    if (!module) {
        ADD_FAILURE() << "libploxex32.so not found";
        std::abort();
    }
    return *module;
}

inline const ExtensionExports& ex() {
    return real_module().exports();
}

inline std::string test_module(const char* name) {
    return std::string(PLOX_TEST_MODULE_DIR) + "/libploxex_" + name + ".so";
}

} // namespace plox::test
