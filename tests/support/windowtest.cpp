#include "support/windowtest.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QQuickItem>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

void WindowUnderTest::closeWindow() {
    if (m_form)
        m_form->close();
    m_form.reset();
}

bool WindowUnderTest::load(AudioLibrary library, bool keepTimer) {
    m_form = std::make_unique<frmMain>(
        MainWindowServices{.bass = library,
                           .dialogs = dialogs,
                           .desktop = desktop,
                           .appFolder = QCoreApplication::applicationDirPath(),
                           .dataFolder = QCoreApplication::applicationDirPath(),
                           .settingsFolder = settingsFolder,
                           .ripStartDelay = ripStartDelay});
    m_form->Form_Initialize();
    const bool loaded = m_form->Form_Load();
    if (!keepTimer)
        find<QTimer>("tmrPlaybackPosition").stop();
    return loaded;
}

QStringList WindowUnderTest::column(int c) {
    QStringList texts;
    for (int i = 0; i < list().topLevelItemCount(); ++i)
        texts << list().topLevelItem(i)->text(c);
    return texts;
}

void WindowUnderTest::tick(std::initializer_list<int> rows) {
    for (int row : rows)
        list().topLevelItem(row - 1)->setCheckState(0, Qt::Checked);
}

int WindowUnderTest::selectedRow() {
    QTreeWidgetItem* current = list().currentItem();
    return current && current->isSelected() ? list().indexOfTopLevelItem(current) + 1 : 0;
}

void WindowUnderTest::command(const char* text) {
    emit find<Flash>("Flash").FSCommand(QString::fromLatin1(text), {});
    QCoreApplication::processEvents(); // the window takes the command after the click returns
}

void WindowUnderTest::press(const char* faceButton) {
    Flash& face = find<Flash>("Flash");
    const auto* button = face.rootObject()->findChild<QQuickItem*>(QString::fromLatin1(faceButton));
    if (button == nullptr)
        throw std::runtime_error(std::string("no face button ") + faceButton);
    const QPointF centre = button->mapToScene({button->width() / 2, button->height() / 2});
    QTest::mouseClick(&face, Qt::LeftButton, {}, centre.toPoint());
    QCoreApplication::processEvents(); // the window takes the command after the click returns
}

QStringList WindowUnderTest::optionValues() {
    QStringList values;
    for (QWidget* control : m_form->findChildren<QWidget*>()) {
        QString value;
        if (auto* box = qobject_cast<QCheckBox*>(control))
            value = QString::number(box->checkState());
        else if (auto* option = qobject_cast<QRadioButton*>(control))
            value = QString::number(option->isChecked());
        else if (auto* list = qobject_cast<QComboBox*>(control))
            value = list->currentText();
        else if (auto* text = qobject_cast<QLineEdit*>(control))
            value = text->text();
        else
            continue;
        values << control->objectName() + "=" + value;
    }
    values.sort(); // raising a panel reorders the window's children
    return values;
}

QStringList WindowUnderTest::messages(const QString& caption) const {
    QStringList texts;
    for (const RecordedMessage& message : dialogs.messages)
        if (caption.isEmpty() || message.caption == caption)
            texts << message.text;
    return texts;
}

bool RealWindow::start(const QStringList& images, const QStringList& cdioDevices) {
    const QString appFolder = QCoreApplication::applicationDirPath();
    {
        const auto list = [](const QStringList& paths) {
            return std::optional(paths.join(':').toStdString());
        };
        const ScopedEnv env("MIVO_DISC_IMAGES", images.isEmpty() && cdioDevices.isEmpty()
                                                    ? std::nullopt
                                                    : list(images));
        const ScopedEnv devices("MIVO_CDIO_DEVICES", list(cdioDevices));
        audio = CreateAudioLibrary(
            {.program = appFolder.toStdString(), .data = appFolder.toStdString()},
            std::move(driveEvents));
    }
    return load(audio->library(), true);
}
