#pragma once

#include <QQuickWidget>

class MovieImages;
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
    // Hands the movie a picture: "_root.<name>" becomes the address it shows it by, or empty
    // text when image is null.
    void SetImage(const QString& name, const QImage& image);

public slots:
    // Raises FSCommand as the movie does; the movie's root signal fsCommand arrives here.
    void sendCommand(const QString& command, const QString& args = {});
    // The movie's root signal fileDropped arrives here.
    void dropFile(const QUrl& file);

signals:
    void FSCommand(const QString& command, const QString& args);
    // Every SetVariable, in order, so a listener can follow what the movie was told.
    void variableSet(const QString& name, const QString& value);
    // A file was dropped on the face's display: its path, or empty text for one that is not on
    // this computer.
    void fileDropped(const QString& path);

protected:
    // Tab walks the face's buttons, then leaves the face for the panel in front; Shift+Tab
    // walks back the same way. Coming in by Tab starts at the first button, by Shift+Tab at
    // the last.
    bool focusNextPrevChild(bool next) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    QList<QQuickItem*> TabStops() const;

    QQmlPropertyMap* m_root;
    MovieImages* m_images; // owned by the movie's engine
    QString m_loadError;
};
