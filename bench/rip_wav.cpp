// A WAV rip through the real rip dialog on the real library, against `cp` of the same data.
//
//   bench_rip_wav
//
// Generates a 12-minute and a 2-minute one-track image with the mivo-discgen program beside
// this one, rips each in a child process (the main window and the rip dialog offscreen, the
// boxes answered by the recorder, sound on SDL's dummy driver) and copies the 12-minute image's
// data file with cp. Prints:
//   - the rip's throughput against cp's (goal: ratio >= 0.9);
//   - the longest gap between two turns of the event loop during the rip (goal: <= 20 ms),
//     measured with a 1 ms timer;
//   - each child's peak resident memory (goal: the same for both lengths).
// Timings are printed, never checked.
//
//   bench_rip_wav --child <image.cue> <output folder>   (used by the above)

#include "platform/audio/createaudiolibrary.h"
#include "shell/frmmain.h"
#include "support/recordingdialogs.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QQuickWindow>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>

namespace {

// ---------------------------------------------------------------------------------------------
// The child: one rip through the dialog

// Watches the rip: it starts when the extraction disables the main window and ends with the
// completion box; a 1 ms timer measures how long the event loop is kept waiting meanwhile.
class RipWatch : public QObject {
public:
    explicit RipWatch(QWidget& window) {
        window.installEventFilter(this);
        m_ticker.setTimerType(Qt::PreciseTimer);
        m_ticker.setInterval(1);
        connect(&m_ticker, &QTimer::timeout, this, [this] { turn(); });
        m_ticker.start();
        m_clock.start();
    }
    void finished() {
        if (m_end < 0)
            m_end = m_clock.nsecsElapsed();
    }
    double seconds() const { return (m_end - m_start) / 1e9; }
    double longestGapMs() const { return m_longestGap / 1e6; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::EnabledChange && m_start < 0 &&
            !static_cast<QWidget*>(watched)->isEnabled()) {
            m_start = m_clock.nsecsElapsed();
            m_lastTurn = m_start;
        }
        return false;
    }

private:
    void turn() {
        const qint64 now = m_clock.nsecsElapsed();
        if (m_start >= 0 && m_end < 0)
            m_longestGap = std::max(m_longestGap, now - m_lastTurn);
        m_lastTurn = now;
    }

    QTimer m_ticker;
    QElapsedTimer m_clock;
    qint64 m_start = -1;
    qint64 m_end = -1;
    qint64 m_lastTurn = 0;
    qint64 m_longestGap = 0;
};

long PeakResidentKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

int RipChild(const QString& appFolder, const QString& folder) {
    RecordingDialogs dialogs;
    RecordingDesktop desktop;
    const auto audio = CreateAudioLibrary(appFolder.toStdString());
    const QTemporaryDir settings; // the user's own settings stay out of the measurement
    frmMain form(
        MainWindowServices{audio->library(), dialogs, desktop, appFolder, settings.path()});
    form.Form_Initialize();
    auto* list = form.findChild<QTreeWidget*>(QStringLiteral("lsTracks"));
    if (!form.Form_Load() || list->topLevelItemCount() == 0) {
        std::fprintf(stderr, "the image is not listed as a drive with tracks\n");
        return 1;
    }
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        list->topLevelItem(i)->setCheckState(0, Qt::Checked);
    form.findChild<QLineEdit*>(QStringLiteral("txtExtractPath"))->setText(folder);
    form.findChild<QRadioButton*>(QStringLiteral("optExtractMode1"))->setChecked(true);
    dialogs.messages.clear();

    RipWatch watch(form);
    dialogs.onMessage = [&](const RecordedMessage& message) {
        if (message.caption == QStringLiteral("Ripping Completed"))
            watch.finished();
        return MessageResult::Ok;
    };
    form.Flash_FSCommand(QStringLiteral("IDC_FS_ExtractBtn"), QString());

    qint64 bytes = 0;
    for (const QFileInfo& file : QDir(folder).entryInfoList({"TRACK*.WAV"}, QDir::Files))
        bytes += file.size();
    std::printf("bytes=%lld\nseconds=%.6f\ngap_ms=%.3f\nmaxrss_kb=%ld\nboxes=%zu\n",
                static_cast<long long>(bytes), watch.seconds(), watch.longestGapMs(),
                PeakResidentKb(), dialogs.messages.size());
    form.close();
    return 0;
}

// ---------------------------------------------------------------------------------------------
// The parent: images, children, cp

struct RipFigures {
    double bytes = 0;
    double seconds = 0;
    double gapMs = 0;
    long maxrssKb = 0;
    int boxes = 0;
};

std::optional<QString> GenerateImage(const QString& generator, const QString& dir, int minutes,
                                     const QString& name) {
    if (QProcess::execute(generator, {"long", dir, QString::number(minutes), "1", name}) != 0)
        return std::nullopt;
    const QString cue = dir + "/" + name + ".cue";
    return QFileInfo::exists(cue) ? std::optional(cue) : std::nullopt;
}

std::optional<RipFigures> RunChild(const QString& self, const QString& cue, const QString& out) {
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("MIVO_DISC_IMAGES", cue);
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("SDL_AUDIODRIVER", "dummy");
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(self, {"--child", cue, out});
    if (!child.waitForFinished(-1) || child.exitCode() != 0)
        return std::nullopt;
    std::map<QString, QString> values;
    for (const QByteArray& line : child.readAllStandardOutput().split('\n')) {
        const int eq = line.indexOf('=');
        if (eq > 0)
            values[QString::fromLatin1(line.left(eq))] = QString::fromLatin1(line.mid(eq + 1));
    }
    return RipFigures{values["bytes"].toDouble(), values["seconds"].toDouble(),
                      values["gap_ms"].toDouble(), values["maxrss_kb"].toLong(),
                      values["boxes"].toInt()};
}

// Wall time of `cp source target`, best of two.
double CopySeconds(const QString& source, const QString& target) {
    double best = -1;
    for (int round = 0; round < 2; ++round) {
        QFile::remove(target);
        QElapsedTimer clock;
        clock.start();
        if (QProcess::execute("cp", {source, target}) != 0)
            return -1;
        const double seconds = clock.nsecsElapsed() / 1e9;
        best = best < 0 ? seconds : std::min(best, seconds);
    }
    return best;
}

void WarmPageCache(const QString& path) {
    QFile file(path);
    if (file.open(QIODevice::ReadOnly))
        while (!file.read(1 << 20).isEmpty()) {
        }
}

int RunBench(const QString& self, const QString& appFolder) {
    QTemporaryDir temp;
    const QString generator = appFolder + "/mivo-discgen";
    std::fprintf(stderr, "generating images in %s\n", qPrintable(temp.path()));
    const auto longCue = GenerateImage(generator, temp.path() + "/long", 12, "long12");
    const auto shortCue = GenerateImage(generator, temp.path() + "/short", 2, "short2");
    if (!longCue || !shortCue) {
        std::fprintf(stderr, "could not generate the images with %s\n", qPrintable(generator));
        return 1;
    }
    const QString longBin = temp.path() + "/long/long12.bin";
    WarmPageCache(longBin);
    WarmPageCache(temp.path() + "/short/short2.bin");

    const auto shortRip = RunChild(self, *shortCue, temp.path() + "/out-short");
    const auto longRip = RunChild(self, *longCue, temp.path() + "/out-long");
    const double cpSeconds = CopySeconds(longBin, temp.path() + "/copy.bin");
    if (!shortRip || !longRip || cpSeconds <= 0) {
        std::fprintf(stderr, "a rip or the copy failed\n");
        return 1;
    }
    const double binBytes = QFileInfo(longBin).size();
    const double ripRate = longRip->bytes / longRip->seconds / 1e6;
    const double cpRate = binBytes / cpSeconds / 1e6;
    std::printf("12-minute track: %.1f MB ripped in %.3f s = %.1f MB/s (boxes: %d)\n",
                longRip->bytes / 1e6, longRip->seconds, ripRate, longRip->boxes);
    std::printf("cp of its BIN:   %.1f MB in %.3f s = %.1f MB/s\n", binBytes / 1e6, cpSeconds,
                cpRate);
    std::printf("ratio rip/cp: %.2f (goal >= 0.9)\n", ripRate / cpRate);
    std::printf("longest event-loop gap during the rip: %.2f ms (12 min), %.2f ms (2 min) "
                "(goal <= 20 ms)\n",
                longRip->gapMs, shortRip->gapMs);
    std::printf("peak resident memory: %ld KB (2-minute track), %ld KB (12-minute track), "
                "difference %ld KB (goal: independent of track length)\n",
                shortRip->maxrssKb, longRip->maxrssKb, longRip->maxrssKb - shortRip->maxrssKb);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("SDL_AUDIODRIVER", "dummy");
    QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    QApplication app(argc, argv);
    const QString appFolder = QCoreApplication::applicationDirPath();
    const QStringList args = app.arguments();
    if (args.size() == 4 && args[1] == "--child")
        return RipChild(appFolder, args[3]);
    return RunBench(QCoreApplication::applicationFilePath(), appFolder);
}
