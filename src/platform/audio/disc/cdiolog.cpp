#include "platform/audio/disc/cdiolog.h"

#include <cdio/logging.h>

#include <QLoggingCategory>

#include <mutex>
#include <utility>

namespace {

// Fatal as the threshold: no level shows until a logging rule enables it.
Q_LOGGING_CATEGORY(lcCdio, "mivo.cdio", QtFatalMsg)

// The first complaint counts: libcdio follows it with vaguer ones ("init failed").
thread_local std::string t_complaint;

void Remember(const char message[]) {
    if (!t_complaint.empty())
        return;
    for (const char* c = message; *c != '\0'; ++c)
        t_complaint.push_back(*c == '\n' ? ' ' : *c);
    while (!t_complaint.empty() && (t_complaint.back() == ' ' || t_complaint.back() == ':'))
        t_complaint.pop_back();
}

void LogCdioMessage(cdio_log_level_t level, const char message[]) {
    switch (level) {
    case CDIO_LOG_DEBUG:
    case CDIO_LOG_INFO:
        qCDebug(lcCdio, "%s", message);
        break;
    case CDIO_LOG_WARN:
        Remember(message);
        qCWarning(lcCdio, "%s", message);
        break;
    default:
        Remember(message);
        qCCritical(lcCdio, "%s", message);
        break;
    }
}

} // namespace

void InstallCdioLogHandler() {
    static std::once_flag installed;
    std::call_once(installed, [] { cdio_log_set_handler(LogCdioMessage); });
}

std::string TakeCdioComplaint() {
    return std::exchange(t_complaint, {});
}
