#pragma once

#include <QList>
#include <QPair>
#include <QPointer>
#include <QString>
#include <QWidget>

// Draws the attached panels and the track list in the look of the skin file
// (a Qt style sheet). A panel's kind number is published as the property
// `skinKind`, so the skin can style the track panel (2) apart from the option
// panels (1) and the list (0).
class SkinEngine {
public:
    // Each operation returns whether it worked; lastError() says why not.
    bool loadSkin(const QString& path);
    bool attachPanel(QWidget* panel, int kind);
    bool attachList(QWidget* list, int kind);
    bool applySkin();

    QString lastError() const { return m_lastError; }

private:
    bool attach(QWidget* widget, int kind);

    QString m_styleSheet;
    QList<QPair<QPointer<QWidget>, int>> m_attached;
    QString m_lastError;
};
