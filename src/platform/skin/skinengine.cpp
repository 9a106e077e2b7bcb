#include "platform/skin/skinengine.h"

#include <QFile>
#include <QStyle>

bool SkinEngine::loadSkin(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        m_lastError =
            QStringLiteral("Cannot read the skin file %1: %2").arg(path, file.errorString());
        return false;
    }
    m_styleSheet = QString::fromUtf8(file.readAll());
    return true;
}

bool SkinEngine::attachPanel(QWidget* panel, int kind) {
    return attach(panel, kind);
}

bool SkinEngine::attachList(QWidget* list, int kind) {
    return attach(list, kind);
}

bool SkinEngine::attach(QWidget* widget, int kind) {
    if (widget == nullptr) {
        m_lastError = QStringLiteral("No window to skin.");
        return false;
    }
    m_attached.append({widget, kind});
    return true;
}

bool SkinEngine::applySkin() {
    if (m_styleSheet.isEmpty()) {
        m_lastError = QStringLiteral("No skin has been loaded.");
        return false;
    }
    for (const auto& [widget, kind] : m_attached) {
        if (widget.isNull())
            continue;
        widget->setProperty("skinKind", kind);
        widget->setStyleSheet(m_styleSheet);
    }
    return true;
}
