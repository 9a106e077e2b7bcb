#pragma once

// libcdio's own log handler prints warnings on standard output and ends the
// program on the first error message, which a damaged disc image triggers.
// This one hands every message to the Qt logging category "mivo.cdio", which
// is silent unless QT_LOGGING_RULES turns it on (for example
// QT_LOGGING_RULES="mivo.cdio.debug=true"), and never ends anything.
//
// Call before the first libcdio call; later calls do nothing. Any thread.
void InstallCdioLogHandler();
