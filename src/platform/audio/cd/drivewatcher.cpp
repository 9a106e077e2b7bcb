#include "platform/audio/cd/drivewatcher.h"

#include "platform/audio/cd/cddrives.h"
#include "platform/audio/cd/cdextension.h"

#include <QSocketNotifier>

DriveWatcher::DriveWatcher(std::unique_ptr<DriveEventSource> source, CdExtension& cd,
                           DriveOpener openDrive, QObject* parent)
    : QObject(parent), m_source(std::move(source)), m_cd(cd), m_openDrive(std::move(openDrive)),
      m_notifier(new QSocketNotifier(m_source->fd(), QSocketNotifier::Read, this)) {
    connect(m_notifier, &QSocketNotifier::activated, this, &DriveWatcher::takeEvents);
}

DriveWatcher::~DriveWatcher() = default;

void DriveWatcher::takeEvents() {
    for (const DriveEvent& event : m_source->take()) {
        const std::string node = DeviceNode(event.node);
        if (event.kind == DriveEvent::Kind::Removed)
            m_cd.removeDrive(node);
        else
            m_cd.addDrive(node, m_openDrive(event.node));
    }
}
