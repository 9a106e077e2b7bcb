#include "platform/audio/disc/cdiolog.h"

#include <cdio/logging.h>

#include <QLoggingCategory>

#include <mutex>

namespace {

// Fatal as the threshold: no level shows until a logging rule enables it.
Q_LOGGING_CATEGORY(lcCdio, "mivo.cdio", QtFatalMsg)

void LogCdioMessage(cdio_log_level_t level, const char message[]) {
    switch (level) {
    case CDIO_LOG_DEBUG:
    case CDIO_LOG_INFO:
        qCDebug(lcCdio, "%s", message);
        break;
    case CDIO_LOG_WARN:
        qCWarning(lcCdio, "%s", message);
        break;
    default:
        qCCritical(lcCdio, "%s", message);
        break;
    }
}

} // namespace

void InstallCdioLogHandler() {
    static std::once_flag installed;
    std::call_once(installed, [] { cdio_log_set_handler(LogCdioMessage); });
}
