#pragma once

#include <iosfwd>

// The host watches the message boxes plug-ins show: each is echoed as
// "[Caption] text", and those with the error icon are counted, so that a
// script run can tell that a command failed even when the command's own
// result says nothing of it.
void WatchMessageBoxes(std::ostream& echo);

// Error boxes shown since the host started watching.
int ErrorBoxesShown();
