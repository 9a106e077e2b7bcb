// The baseline of bench/startup.py: a bare window of mivo's size showing a small QML face,
// drawn the way mivo draws its skin and linked like mivo, so its start-up is what Qt, the
// libraries and the X server cost before the program does anything of its own.

#include <QApplication>
#include <QQmlComponent>
#include <QQuickItem>
#include <QQuickWidget>
#include <QQuickWindow>
#include <QVBoxLayout>

int main(int argc, char* argv[]) {
    QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowFlag(Qt::FramelessWindowHint);
    window.setFixedSize(700, 603);
    auto* face = new QQuickWidget(&window);
    face->setResizeMode(QQuickWidget::SizeRootObjectToView);
    face->setGeometry(0, 0, 700, 603);
    QQmlComponent component(face->engine());
    component.setData("import QtQuick\n"
                      "Rectangle { color: '#20262e'\n"
                      "  Repeater { model: 7; Rectangle { x: 45 + index * 90; y: 60; width: 80;"
                      "    height: 30; radius: 4; color: '#3ba86b'\n"
                      "    Text { anchors.centerIn: parent; text: 'Button ' + index } } } }",
                      QUrl());
    face->setContent(QUrl(), &component, component.create());
    window.show();
    return QApplication::exec();
}
