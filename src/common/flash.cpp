#include "common/flash.h"

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
} // namespace

Flash::Flash(QWidget* parent) : QQuickWidget(parent), m_root(new QQmlPropertyMap(this)) {
    for (const char* name : kInitialVariables)
        m_root->insert(QString::fromLatin1(name), QStringLiteral("0"));
    rootContext()->setContextProperty(QStringLiteral("_root"), m_root);
    setResizeMode(QQuickWidget::SizeRootObjectToView);
    setFocusPolicy(Qt::StrongFocus);
}

bool Flash::LoadMovie(int /*layer*/, const QString& path) {
    setSource(QUrl::fromLocalFile(path));
    if (status() == QQuickWidget::Ready && rootObject() != nullptr) {
        // The movie's root declares `signal fsCommand(string command, string args)`.
        connect(rootObject(), SIGNAL(fsCommand(QString, QString)), this,
                SLOT(sendCommand(QString, QString)));
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

void Flash::sendCommand(const QString& command, const QString& args) {
    emit FSCommand(command, args);
}
