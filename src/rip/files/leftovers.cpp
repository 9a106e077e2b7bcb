#include "rip/files/leftovers.h"

#include "rip/files/folderentries.h"
#include "rip/files/ripnames.h"
#include "rip/files/ripspool.h"

#include <QFile>

#include <fcntl.h>
#include <map>
#include <memory>
#include <vector>

namespace {

using SharedFolder = std::shared_ptr<Descriptor>;

struct FoundSpool {
    SharedFolder parent;
    QString name;
    QString shown; // relative to the swept folder
    Descriptor folder;
    Descriptor lock;
    LockTry state = LockTry::Failed;
};

struct FoundStaged {
    SharedFolder parent;
    QString name;
    QString shown;
    QString mark;
};

const QString kEnded = QStringLiteral(", left by a Mivo that ended");

// Everything is found first and removed after, so a hidden file whose spool folder lies
// elsewhere in the walk is judged by that spool's lock.
class Sweep {
public:
    void visit(const SharedFolder& folder, const QString& prefix, int levels);
    QStringList finish();

private:
    void examineSpool(const SharedFolder& parent, const QString& name, const QString& shown,
                      const QString& mark);
    void removeStaged();
    void removeSpool(FoundSpool& spool);

    std::map<QString, FoundSpool> m_spools; // by mark
    std::vector<FoundStaged> m_staged;
    QStringList m_notes;
};

void Sweep::visit(const SharedFolder& folder, const QString& prefix, int levels) {
    for (const QString& name : NamesIn(folder->get())) {
        const QString shown = prefix + name;
        QString mark;
        const bool spool = IsSpoolName(name, mark);
        if (spool || IsHiddenNameWhileWriting(name, mark)) {
            const EntryKind kind = KindAt(folder->get(), name);
            if (kind == EntryKind::Link)
                m_notes << shown + QStringLiteral(" is a link: left alone");
            else if (spool && kind == EntryKind::Folder)
                examineSpool(folder, name, shown, mark);
            else if (!spool && kind == EntryKind::File)
                m_staged.push_back({folder, name, shown, mark});
            continue;
        }
        // Patterns never make hidden folders; a link to a folder is not entered.
        if (levels > 0 && !name.startsWith(QLatin1Char('.')))
            if (Descriptor sub = OpenFolderAt(folder->get(), name))
                visit(std::make_shared<Descriptor>(std::move(sub)), shown + QLatin1Char('/'),
                      levels - 1);
    }
}

void Sweep::examineSpool(const SharedFolder& parent, const QString& name, const QString& shown,
                         const QString& mark) {
    FoundSpool spool{parent, name, shown, OpenFolderAt(parent->get(), name), Descriptor()};
    if (spool.folder)
        spool.lock = Descriptor(::openat(spool.folder.get(),
                                         QFile::encodeName(RipSpool::LockName()).constData(),
                                         O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (spool.lock)
        spool.state = TryLock(spool.lock.get());
    m_spools.emplace(mark, std::move(spool));
}

QStringList Sweep::finish() {
    removeStaged();
    for (auto& [mark, spool] : m_spools) {
        switch (spool.state) {
        case LockTry::Taken:
            removeSpool(spool);
            break;
        case LockTry::Held: // its job runs
            break;
        case LockTry::NoLocks:
            m_notes << spool.shown +
                           QStringLiteral(" left alone: this file system takes no locks, "
                                          "so whether its Mivo still runs cannot be told");
            break;
        case LockTry::Failed:
            m_notes << spool.shown + QStringLiteral(" left alone: its lock cannot be tried");
            break;
        }
    }
    return m_notes;
}

void Sweep::removeStaged() {
    for (const FoundStaged& staged : m_staged) {
        const auto spool = m_spools.find(staged.mark);
        if (spool == m_spools.end())
            m_notes << staged.shown + QStringLiteral(" left alone: no lock tells whether the "
                                                     "Mivo that wrote it still runs");
        else if (spool->second.state == LockTry::Taken &&
                 RemoveFileAt(staged.parent->get(), staged.name))
            m_notes << QStringLiteral("removed ") + staged.shown + kEnded;
    }
}

void Sweep::removeSpool(FoundSpool& spool) {
    QStringList foreign;
    if (RipSpool::Remove(spool.parent->get(), spool.name, spool.folder.get(), foreign))
        m_notes << QStringLiteral("removed ") + spool.shown + kEnded;
    for (const QString& name : foreign)
        m_notes << spool.shown + QLatin1Char('/') + name +
                       QStringLiteral(" is not Mivo's: left alone");
}

} // namespace

QStringList SweepLeftovers(const QString& folder, int folderLevels) {
    Descriptor root = OpenFolder(folder);
    if (!root)
        return {};
    Sweep sweep;
    sweep.visit(std::make_shared<Descriptor>(std::move(root)), QString(), folderLevels);
    return sweep.finish();
}
