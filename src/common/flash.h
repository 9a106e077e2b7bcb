#pragma once

#include <QQuickWidget>

class QQmlPropertyMap;

// The skin movie: Main.qml shown over the whole main window. The movie sends
// named commands (FSCommand); the program answers by setting named variables,
// which the movie reads as properties of `_root` (for example
// `_root.PlayEnabled`) and which update its bindings at once.
class Flash : public QQuickWidget {
    Q_OBJECT
public:
    explicit Flash(QWidget* parent = nullptr);

    // Loads the movie; false when it cannot be shown (loadError() says why).
    bool LoadMovie(int layer, const QString& path);
    QString loadError() const { return m_loadError; }

    // name is "_root.<variable>"; other names are ignored.
    void SetVariable(const QString& name, const QString& value);
    QString GetVariable(const QString& name) const;

public slots:
    // Raises FSCommand as the movie does; the movie's root signal fsCommand arrives here.
    void sendCommand(const QString& command, const QString& args = {});

signals:
    void FSCommand(const QString& command, const QString& args);
    // Every SetVariable, in order, so a listener can follow what the movie was told.
    void variableSet(const QString& name, const QString& value);

protected:
    // Tab walks the face's buttons, then leaves the face for the panel in front; Shift+Tab
    // walks back the same way. Coming in by Tab starts at the first button, by Shift+Tab at
    // the last.
    bool focusNextPrevChild(bool next) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    QList<QQuickItem*> TabStops() const;

    QQmlPropertyMap* m_root;
    QString m_loadError;
};
