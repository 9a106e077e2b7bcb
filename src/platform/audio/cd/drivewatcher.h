#pragma once

#include "platform/audio/cd/driveevents.h"
#include "platform/audio/disc/cddrive.h"

#include <QObject>

#include <functional>
#include <memory>

class CdExtension;
class QSocketNotifier;

// Drives that come and go reach the CD extension as the system reports them: the event
// source's descriptor is watched by the event loop of the thread that makes the watcher, so
// nothing polls. A drive that comes is opened by openDrive.
class DriveWatcher : public QObject {
public:
    using DriveOpener = std::function<std::unique_ptr<CdDrive>(const std::string& node)>;
    DriveWatcher(std::unique_ptr<DriveEventSource> source, CdExtension& cd, DriveOpener openDrive,
                 QObject* parent = nullptr);
    ~DriveWatcher() override;

private:
    void takeEvents();

    std::unique_ptr<DriveEventSource> m_source;
    CdExtension& m_cd;
    DriveOpener m_openDrive;
    QSocketNotifier* m_notifier;
};
