#include "cd/disccover.h"

#include "common/dialogs.h"
#include "common/flash.h"
#include "metadata/coverartfetch.h"
#include "metadata/disctags.h"

#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStandardPaths>

#include <memory>

namespace {

const QString kMovieImage = QStringLiteral("CoverArt");

QString OriginName(CoverOrigin origin) {
    return origin == CoverOrigin::User ? QStringLiteral("your image")
                                       : QStringLiteral("Cover Art Archive");
}

} // namespace

DiscCover::DiscCover(const Services& services, QGroupBox* tracksPanel, QObject* parent)
    : QObject(parent), m_services(services), m_fetch(new CoverArtFetch(this)) {
    auto* row = new QHBoxLayout;
    cmdCover = new QPushButton(QStringLiteral("Cover…"), tracksPanel);
    cmdCover->setObjectName(QStringLiteral("cmdCover"));
    cmdCover->setAccessibleDescription(
        QStringLiteral("Choose an image file as the cover of the disc in the drive"));
    lblCover = new QLabel(tracksPanel);
    lblCover->setObjectName(QStringLiteral("lblCover"));
    lblCover->setAccessibleName(QStringLiteral("Cover"));
    row->addWidget(cmdCover);
    row->addWidget(lblCover, 1);
    static_cast<QBoxLayout*>(tracksPanel->layout())->addLayout(row);
    connect(cmdCover, &QPushButton::clicked, this, &DiscCover::cmdCover_Click);
    connect(m_fetch, &CoverArtFetch::finished, this, &DiscCover::Fetched);
    ShowState();
}

void DiscCover::discListed(const QString& discKey) {
    ++m_serial;
    m_fetch->cancel();
    m_key = discKey;
    m_releaseId.clear();
    m_cacheRead = false;
    Show(std::nullopt, CoverOrigin::Archive, QString());
    if (m_enabled && !m_key.isEmpty())
        ReadCache();
}

// The cache's file is read and decoded on a worker thread; a disc seen once needs no network.
void DiscCover::ReadCache() {
    auto stored = std::make_shared<std::optional<StoredCover>>();
    CheckCoverLater(
        this,
        [stored, key = m_key]() -> CoverCheck {
            *stored = StoredCoverOf(key);
            return *stored ? CheckCoverFile((*stored)->path) : CoverCheck(QString());
        },
        [this, stored, serial = m_serial](const CoverCheck& check) {
            if (serial != m_serial)
                return;
            m_cacheRead = true;
            if (!m_cover) // the user's image may have come first
                TakeCached(*stored, check);
            FetchIfWanted();
        });
}

void DiscCover::TakeCached(const std::optional<StoredCover>& stored, const CoverCheck& check) {
    if (const auto* cover = std::get_if<CheckedCover>(&check)) {
        m_coverRelease = stored->releaseId;
        Show(*cover, stored->origin,
             OriginName(stored->origin) + QStringLiteral(", kept in the cache: ") +
                 cover->file.description());
    } else if (stored) {
        m_note = QStringLiteral("the cover kept in the cache is not usable: ") +
                 std::get<QString>(check);
    }
}

void DiscCover::releaseSettled(const ReleaseInfo& release) {
    m_releaseId = release.releaseId;
    FetchIfWanted();
}

// Once the cache has been read and the release is known: a cover the user chose, or the
// archive's for this very release, is kept.
void DiscCover::FetchIfWanted() {
    if (!m_enabled || !m_cacheRead || m_key.isEmpty() || m_releaseId.isEmpty())
        return ShowState();
    if (m_cover && (m_origin == CoverOrigin::User || m_coverRelease == m_releaseId))
        return ShowState();
    m_fetch->fetch(m_releaseId, CoverSize::Large);
    ShowState();
}

void DiscCover::Fetched(const CoverAnswer& answer) {
    if (answer.releaseId != m_releaseId)
        return;
    if (!answer.cover) {
        if (!m_cover) // a cover of another release of the disc stays rather than none
            m_note = answer.note;
        return ShowState();
    }
    m_coverRelease = answer.releaseId;
    QString note = answer.note;
    if (!StoreCover(m_key, answer.cover->file, CoverOrigin::Archive, answer.releaseId))
        note += QStringLiteral(" (not kept in the cache)");
    Show(answer.cover, CoverOrigin::Archive, note);
}

void DiscCover::useFile(const QString& path) {
    if (path.isEmpty())
        return Refuse(QStringLiteral("Only an image file on this computer can be the cover."));
    if (!m_enabled)
        return Refuse(QStringLiteral("Cover art is off in the General Options."));
    if (m_key.isEmpty())
        return Refuse(QStringLiteral("There is no disc in the drive to give the cover to."));
    CheckCoverLater(
        this, [path] { return CheckCoverFile(path); },
        [this, path, serial = m_serial](const CoverCheck& check) {
            if (serial == m_serial)
                UserFileChecked(path, check);
        });
}

void DiscCover::UserFileChecked(const QString& path, const CoverCheck& check) {
    const QString name = QFileInfo(path).fileName();
    const auto* cover = std::get_if<CheckedCover>(&check);
    if (cover == nullptr)
        return Refuse(
            QStringLiteral("%1 cannot be the cover: %2.").arg(name, std::get<QString>(check)));
    m_fetch->cancel(); // the user's choice wins over an answer still to come
    QString note = OriginName(CoverOrigin::User) + ' ' + name + QStringLiteral(": ") +
                   cover->file.description();
    if (!StoreCover(m_key, cover->file, CoverOrigin::User))
        note += QStringLiteral(" (not kept in the cache)");
    Show(*cover, CoverOrigin::User, note);
}

void DiscCover::cmdCover_Click() {
    QString start = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (!QDir(start).exists())
        start = QDir::homePath();
    const QString path = m_services.dialogs.chooseFile(
        cmdCover->window(), QStringLiteral("Choose the disc's cover"), start,
        QStringLiteral("Images (*.jpg *.jpeg *.png *.JPG *.JPEG *.PNG)"));
    if (!path.isEmpty())
        useFile(path);
}

void DiscCover::setEnabled(bool enabled) {
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    const QString release = m_releaseId;
    discListed(m_key); // off: the cover goes; on: it comes back from the cache or the archive
    m_releaseId = release;
    FetchIfWanted();
}

void DiscCover::Show(const std::optional<CheckedCover>& cover, CoverOrigin origin,
                     const QString& note) {
    m_cover = cover;
    m_origin = origin;
    m_note = note;
    // The face is told only of a change: a scan of a disc without a cover sets nothing.
    if (cover || m_inMovie)
        m_services.movie.SetImage(kMovieImage, cover ? cover->image : QImage());
    m_inMovie = cover.has_value();
    ShowState();
}

void DiscCover::ShowState() {
    cmdCover->setEnabled(m_enabled);
    QString state;
    if (!m_enabled)
        state = QStringLiteral("off in the General Options");
    else if (m_cover)
        state = OriginName(m_origin);
    else if (m_fetch->busy())
        state = QStringLiteral("asking the Cover Art Archive…");
    else
        state = QStringLiteral("none");
    lblCover->setText(QStringLiteral("Cover: ") + state);
}

void DiscCover::Refuse(const QString& text) {
    m_services.dialogs.showMessage(cmdCover->window(), text, QStringLiteral("Cover"),
                                   MessageIcon::Exclamation, MessageButtons::Ok);
}

void DiscCover::addTo(DiscTags& tags) const {
    if (m_enabled && m_cover)
        tags.cover = m_cover->file;
    QString line;
    if (!m_enabled)
        line = QStringLiteral("none, Cover art is off in the General Options");
    else if (m_cover)
        line = m_note;
    else if (m_fetch->busy())
        line = QStringLiteral("none, the Cover Art Archive had not answered when the rip started");
    else if (!m_note.isEmpty())
        line = QStringLiteral("none (") + m_note + ')';
    else
        line = QStringLiteral("none, no MusicBrainz release to ask the Cover Art Archive for");
    tags.coverNotes << QStringLiteral("cover: ") + line;
}
