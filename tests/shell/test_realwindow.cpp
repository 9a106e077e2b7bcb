// The real program on the real library: under a virtual X server the mivo
// executable comes up with its skin, and the same composition lists the demo
// disc's drive.
#include "support/windowtest.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QImage>
#include <QProcess>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

namespace {
QString Tool(const char* name) {
    return QStandardPaths::findExecutable(QString::fromLatin1(name));
}

// Starts a private X server on a display number it picks itself; stops it when done.
class VirtualDisplay {
public:
    bool start() {
        m_server.start(Tool("Xvfb"),
                       {"-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp"});
        if (!m_server.waitForStarted(5000))
            return false;
        // The server writes its display number once it accepts connections.
        while (!m_server.canReadLine() && m_server.waitForReadyRead(20000)) {
        }
        const QByteArray number = m_server.readLine().trimmed();
        if (number.isEmpty())
            return false;
        m_display = ":" + QString::fromLatin1(number);
        return run("xdpyinfo", {}) == 0;
    }
    ~VirtualDisplay() {
        m_server.terminate(); // lets the server remove its lock file
        if (!m_server.waitForFinished(5000))
            m_server.kill();
        m_server.waitForFinished();
    }
    QProcessEnvironment environment() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", m_display);
        env.insert("QT_QPA_PLATFORM", "xcb");
        env.insert("SDL_AUDIODRIVER", "dummy");
        env.remove("MIVO_DISC_IMAGES");
        return env;
    }
    int run(const char* tool, const QStringList& args, QByteArray* output = nullptr) const {
        QProcess process;
        process.setProcessEnvironment(environment());
        process.start(Tool(tool), args);
        process.waitForFinished(10000);
        if (output)
            *output = process.readAllStandardOutput();
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }

private:
    QString m_display;
    QProcess m_server;
};

int DistinctColours(const QImage& image) {
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 3)
        for (int x = 0; x < image.width(); x += 3)
            colours.insert(image.pixel(x, y));
    return colours.size();
}
} // namespace

TEST(MivoWindow, ComesUpUnderAnXServerWithItsSkin) {
    if (Tool("Xvfb").isEmpty() || Tool("xwininfo").isEmpty() || Tool("import").isEmpty())
        GTEST_SKIP() << "Xvfb, xwininfo or ImageMagick's import is not installed";
    VirtualDisplay display;
    ASSERT_TRUE(display.start());

    QProcess mivo;
    mivo.setProcessEnvironment(display.environment());
    mivo.start(QCoreApplication::applicationDirPath() + "/mivo", {});
    ASSERT_TRUE(mivo.waitForStarted(5000));

    bool shown = false;
    QByteArray info;
    for (int tries = 0; tries < 300 && !shown; ++tries) {
        // The window is named before it is mapped at its size: wait until it is on screen.
        shown = display.run("xwininfo", {"-name", "Mivo CD Player"}, &info) == 0 &&
                info.contains("IsViewable");
        if (!shown)
            QThread::msleep(100);
    }
    ASSERT_TRUE(shown) << mivo.readAllStandardError().toStdString();
    EXPECT_TRUE(info.contains("Width: 700")) << info.toStdString();
    EXPECT_TRUE(info.contains("Height: 603")) << info.toStdString();

    QTemporaryDir dir;
    const QString shot = dir.filePath("window.png");
    QThread::msleep(1000); // let the skin draw its first frame
    ASSERT_EQ(display.run("import", {"-window", "Mivo CD Player", shot}), 0);
    const QImage image(shot);
    ASSERT_FALSE(image.isNull());
    EXPECT_GT(DistinctColours(image), 20) << "the window grab looks blank";
    EXPECT_EQ(mivo.state(), QProcess::Running) << "mivo ended early";

    // A desktop session ends programs with SIGTERM; the player must not ignore it.
    mivo.terminate();
    EXPECT_TRUE(mivo.waitForFinished(10000)) << "mivo did not end on SIGTERM";
    if (mivo.state() != QProcess::NotRunning)
        mivo.kill();
}
