// The list of data files restored from documents, shared by running copies: which list a copy
// may take over, and deleting the listed files when the last copy ends.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace plox {

// Whether `path` names an entry directly inside folder `dir` (after resolving "." and ".."
// and the links of both folders).
bool is_directly_inside(const std::string& path, const std::string& dir);

// Whether a list handed over by another copy may be used: an existing regular file named
// "QVD…" directly inside the temporary folder.
bool is_acceptable_list(const std::string& list, const std::string& temp_dir);

// Deletes the files named in `list` (records of 260 bytes) and in `own`, then the list itself;
// only what lies directly inside `temp_dir` is ever deleted.
void delete_extracted_files(const std::string& list, const std::vector<std::string>& own,
                            const std::string& temp_dir);

} // namespace plox
