// The program icon and the fourteen toolbar pictures, drawn rather than shipped as bitmaps.
#pragma once

#include <QIcon>

namespace plox::shell {

QIcon program_icon();
QIcon tool_icon(int command);

} // namespace plox::shell
