// The optional file-converter module and the program's list of temporary files, as the data
// reader needs them. The extension host binds Converter to the module's ExtConvertFile; the
// shell provides the temporary-files list that deletes its files when the program ends.
#pragma once

#include <cstdint>
#include <string>

namespace plox {

class Converter {
public:
    virtual ~Converter() = default;
    // ExtConvertFile: writes a plain data file at `destination` from `source` with converter
    // number `converter` (1-based position in the module's list); true when it wrote one.
    virtual bool convert_file(const std::string& source, const std::string& destination,
                              int32_t converter) = 0;
};

class TemporaryFiles {
public:
    virtual ~TemporaryFiles() = default;
    virtual void add(const std::string& path) = 0;
};

} // namespace plox
