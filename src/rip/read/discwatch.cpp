#include "rip/read/discwatch.h"

namespace {
const QString kDriveGone = QStringLiteral("the drive was disconnected");
} // namespace

DiscWatch::DiscWatch(BassCd& cd, DWORD drive, DWORD changes)
    : m_cd(cd), m_drive(drive), m_changes(changes) {}

std::optional<QString> DiscWatch::lost() const {
    if (!m_cd.BASS_CD_DiscChangedSince(m_drive, m_changes))
        return std::nullopt;
    if (!m_cd.BASS_CD_DriveIsPresent(m_drive))
        return kDriveGone;
    return QStringLiteral("the disc in the drive changed");
}

DiscLostBox DiscLostMessage(const QString& reason, int number) {
    const bool gone = reason == kDriveGone;
    return {gone ? QStringLiteral("Drive disconnected") : QStringLiteral("Disc changed"),
            QStringLiteral("%1 while track %2 was being read, so the rip stopped. Track %2 and "
                           "the tracks after it are not ripped; the tracks ripped before keep "
                           "their files.\r\n%3")
                .arg(gone ? QStringLiteral("The drive was disconnected")
                          : QStringLiteral("The disc in the drive changed"))
                .arg(number)
                .arg(gone ? QStringLiteral("Connect the drive again and rip those tracks.")
                          : QStringLiteral("Put the disc back in and rip those tracks."))};
}
