#include "support/realmainwindow.h"

#include <QCoreApplication>

#include <cstdlib>
#include <optional>
#include <string>

namespace {
// Sets MIVO_DISC_IMAGES (or clears it) while the library lists its drives.
class ScopedDiscImages {
public:
    explicit ScopedDiscImages(const QStringList& images) {
        if (const char* old = std::getenv(kName))
            m_old = old;
        if (images.isEmpty())
            unsetenv(kName);
        else
            setenv(kName, images.join(':').toLocal8Bit().constData(), 1);
    }
    ~ScopedDiscImages() {
        if (m_old)
            setenv(kName, m_old->c_str(), 1);
        else
            unsetenv(kName);
    }

private:
    static constexpr const char* kName = "MIVO_DISC_IMAGES";
    std::optional<std::string> m_old;
};
} // namespace

RealMainWindow::~RealMainWindow() {
    if (m_form)
        m_form->close(); // the shutdown runs while the library is still there
}

bool RealMainWindow::start(const QStringList& images) {
    const QString appFolder = QCoreApplication::applicationDirPath();
    {
        const ScopedDiscImages env(images);
        m_audio = CreateAudioLibrary(appFolder.toStdString());
    }
    m_form = std::make_unique<frmMain>(
        MainWindowServices{m_audio->library(), dialogs, desktop, appFolder});
    m_form->Form_Initialize();
    return m_form->Form_Load();
}
