// Data out of and into the window: save data (669), copy data (622), copy curve points (660),
// paste data (115), new data file (126) and edit data files (670).
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace plox::shell {

class MainWindow;

void register_data_commands(MainWindow& window);

// Opens a data file in the user's editor (the "Editor" setting, else $VISUAL or $EDITOR in a
// terminal, else the desktop's default); false after "cannot open editor(%d)" was shown.
bool start_editor(MainWindow& window, const std::string& path);

} // namespace plox::shell
