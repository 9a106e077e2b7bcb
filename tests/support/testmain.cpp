// Every test program runs inside a QApplication on the offscreen platform, so
// widgets, timers and the skin movie work without a display.
#include <QApplication>
#include <QQuickWindow>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("SDL_AUDIODRIVER"))
        qputenv("SDL_AUDIODRIVER", "dummy");
    // Run by hand, a test still never reaches the internet.
    for (const char* database : {"MIVO_ACCURATERIP_URL", "MIVO_MUSICBRAINZ_URL", "MIVO_GNUDB_URL"})
        if (qEnvironmentVariableIsEmpty(database))
            qputenv(database, "http://127.0.0.1:9/");
    QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
