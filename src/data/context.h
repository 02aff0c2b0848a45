// Everything the data pipeline may call out to, passed down as one object; every pointer may
// be null (no messages, no extension functions, no converter module, no temporary-files list).
#pragma once

namespace plox {

class Prompter;
class ExtensionFunctions;
class Converter;
class TemporaryFiles;

struct DataContext {
    Prompter* prompter = nullptr;
    ExtensionFunctions* functions = nullptr;
    Converter* converter = nullptr;
    TemporaryFiles* temporary_files = nullptr;
};

} // namespace plox
