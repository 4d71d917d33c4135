// How plimhost --panel prints an event the plug-in dispatched to the panel: "TYPE<TAB>DATA".
#pragma once

#include <string>

#include "host/PanelBus.h"

namespace plimhost {

// The event's type and data separated by a tab, without a line end. A line feed or carriage return
// inside either is written as the two characters \n or \r, so that every event takes one line.
std::string PanelEventLine(const host::PanelEvent& event);

}  // namespace plimhost
