#pragma once

// The end of the session (SIGTERM at logout or shutdown, SIGHUP when the terminal goes, SIGINT
// from Ctrl+C) arrives as a signal on the window's thread, so the player can stop a rip the way
// Stop does and close as the close button closes it: doors unlocked, nothing half written.

#include <QObject>

class QSocketNotifier;

class TerminationWatcher : public QObject {
    Q_OBJECT
public:
    explicit TerminationWatcher(QObject* parent = nullptr);
    ~TerminationWatcher() override;

signals:
    void terminationRequested();

private:
    QSocketNotifier* m_notifier = nullptr;
};
