// The files named on the window's command line.
#pragma once

#include <string>
#include <vector>

namespace plox::app {

// The words are one path with its spaces, as the command line always was, unless that path
// does not exist and every word is a file of its own, as a file manager hands several files
// over: then each word is a file, opened in order.
std::vector<std::string> command_line_files(const std::vector<std::string>& words);

} // namespace plox::app
