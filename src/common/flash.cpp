#include "common/flash.h"

#include "common/movieimages.h"

#include <QFocusEvent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQmlPropertyMap>
#include <QQuickItem>
#include <QUrl>

namespace {
const QString kRootPrefix = QStringLiteral("_root.");

// Variables the movie binds to before the program first sets them.
const char* const kInitialVariables[] = {
    "lock",         "lockFlag",   "PlayEnabled", "PreviousEnabled", "NextEnabled",
    "BeginEnabled", "EndEnabled", "StopEnabled", "PauseEnabled",    "ChangeStatus"};
// What the display band shows, empty until the program says otherwise.
const char* const kDisplayVariables[] = {"DiscTitle",   "DiscPerformer", "PlayState",
                                         "TrackNumber", "TrackPosition", "TrackLength",
                                         "CoverArt"};
} // namespace

Flash::Flash(QWidget* parent)
    : QQuickWidget(parent), m_root(new QQmlPropertyMap(this)), m_images(new MovieImages) {
    engine()->addImageProvider(MovieImages::kProviderName, m_images);
    for (const char* name : kInitialVariables)
        m_root->insert(QString::fromLatin1(name), QStringLiteral("0"));
    for (const char* name : kDisplayVariables)
        m_root->insert(QString::fromLatin1(name), QString());
    rootContext()->setContextProperty(QStringLiteral("_root"), m_root);
    setResizeMode(QQuickWidget::SizeRootObjectToView);
    setFocusPolicy(Qt::StrongFocus);
    // The hidden window the face is drawn in is listed among the program's windows on the
    // accessibility bus; without a title a screen reader would call it "Offscreen".
    quickWindow()->setTitle(QStringLiteral("Mivo skin"));
}

bool Flash::LoadMovie(int /*layer*/, const QString& path) {
    setSource(QUrl::fromLocalFile(path));
    if (status() == QQuickWidget::Ready && rootObject() != nullptr) {
        // The movie's root declares `signal fsCommand(string command, string args)`.
        connect(rootObject(), SIGNAL(fsCommand(QString, QString)), this,
                SLOT(sendCommand(QString, QString)));
        // A face may take files dropped on its display: `signal fileDropped(url file)`.
        if (rootObject()->metaObject()->indexOfSignal("fileDropped(QUrl)") >= 0)
            connect(rootObject(), SIGNAL(fileDropped(QUrl)), this, SLOT(dropFile(QUrl)));
        m_loadError.clear();
        return true;
    }
    QStringList reasons;
    for (const QQmlError& error : errors())
        reasons << error.toString();
    m_loadError = reasons.isEmpty() ? QStringLiteral("The skin movie could not be loaded.")
                                    : reasons.join('\n');
    return false;
}

void Flash::SetVariable(const QString& name, const QString& value) {
    if (!name.startsWith(kRootPrefix))
        return;
    m_root->insert(name.mid(kRootPrefix.size()), value);
    emit variableSet(name, value);
}

QString Flash::GetVariable(const QString& name) const {
    if (!name.startsWith(kRootPrefix))
        return {};
    return m_root->value(name.mid(kRootPrefix.size())).toString();
}

void Flash::SetImage(const QString& name, const QImage& image) {
    SetVariable(kRootPrefix + name, m_images->put(name, image));
}

void Flash::dropFile(const QUrl& file) {
    emit fileDropped(file.isLocalFile() ? file.toLocalFile() : QString());
}

void Flash::sendCommand(const QString& command, const QString& args) {
    emit FSCommand(command, args);
}

QList<QQuickItem*> Flash::TabStops() const {
    QList<QQuickItem*> stops;
    QQuickItem* root = rootObject();
    if (root == nullptr)
        return stops;
    for (QQuickItem* item = root->nextItemInFocusChain(true);
         item != nullptr && item != root && !stops.contains(item);
         item = item->nextItemInFocusChain(true))
        if (item->activeFocusOnTab())
            stops.append(item);
    return stops;
}

bool Flash::focusNextPrevChild(bool next) {
    const QList<QQuickItem*> stops = TabStops();
    const qsizetype at = stops.indexOf(quickWindow()->activeFocusItem());
    const qsizetype to = at < 0 ? (next ? 0 : stops.size() - 1) : at + (next ? 1 : -1);
    if (to < 0 || to >= stops.size())
        return QWidget::focusNextPrevChild(next);
    stops[to]->forceActiveFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
}

void Flash::focusInEvent(QFocusEvent* event) {
    const Qt::FocusReason reason = event->reason();
    const bool byTab = reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason;
    // The face itself takes the focus first, so that the button the movie had last is not
    // announced on the way in.
    if (byTab && rootObject() != nullptr)
        rootObject()->forceActiveFocus(reason);
    QQuickWidget::focusInEvent(event);
    if (!byTab)
        return;
    // After the window has told a screen reader that the face has the focus, so that the
    // button is what it says last.
    QMetaObject::invokeMethod(
        this,
        [this, reason] {
            const QList<QQuickItem*> stops = TabStops();
            if (!stops.isEmpty() && hasFocus())
                (reason == Qt::TabFocusReason ? stops.first() : stops.last())
                    ->forceActiveFocus(reason);
        },
        Qt::QueuedConnection);
}
