#pragma once

#include <string>

// libcdio's own log handler prints warnings on standard output and ends the
// program on the first error message, which a damaged disc image triggers.
// This one hands every message to the Qt logging category "mivo.cdio", which
// is silent unless QT_LOGGING_RULES turns it on (for example
// QT_LOGGING_RULES="mivo.cdio.debug=true"), and never ends anything.
//
// Call before the first libcdio call; later calls do nothing. Any thread.
void InstallCdioLogHandler();

// The first warning or error libcdio gave on this thread since the last call, on one line;
// empty when there was none. Why libcdio could not open something, for the user.
std::string TakeCdioComplaint();
