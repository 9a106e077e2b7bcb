// Rips through the real rip dialog on the real library, each against a baseline run in the
// same process tree on the same data:
//   WAV   against a copy of the image's data file put on the disk (`dd conv=fsync`), as the rip
//         puts its file (goal: throughput ratio >= 0.9, i.e. time ratio <= 1.11);
//   MP3   (the Mivo default, lame -b 128) against the same lame command alone, reading the
//         ripped WAV on its standard input (goal <= 1.05);
//   OGG   (oggenc --managed -b 128) against the same oggenc command alone (goal <= 1.05);
//   WMA   (128 kbps) against `ffmpeg -c:a wmav2 -b:a 128k` on the ripped WAV (goal <= 1.1).
// And the encoders at once ("cores"): an 8-track disc of 3-minute tracks ripped to MP3 (Mivo
// Default) and to FLAC (level 5) with one encoder and with one per core, against `lame -b 128`
// and `flac -5` alone run on the tracks one after the other (goal: the rip with K encoders
// takes at most 1.15/K of the one-after-the-other time); and the peak memory of the same rip of
// a 3-minute and of a 30-minute disc.
// And "Read each track twice" ("twice"): the same 8-track disc ripped to WAV and to FLAC with
// each track read until two reads agree, against the same rip reading each track once (the
// test read writes nothing and the encoder waits for the reads to agree: goal well under 2).
// And "Also make" ("also"): the same 8-track disc ripped to FLAC (level 5) with MP3 (Mivo
// Default) made from the same reading, against FLAC alone and MP3 alone, each with one encoder
// per core (goal: well under the sum of the two, near the slower of the two, as the disc is
// read once and both encoders share the cores).
//
//   bench_rip [wav|mp3|ogg|wma|cores|twice|also ...]      (all when none is named)
//
// Generates a 12-minute and a 2-minute one-track image with the mivo-discgen program beside
// this one and rips each in a child process (the main window and the rip dialog offscreen, the
// boxes answered by the recorder, sound on SDL's dummy driver). Prints for each format:
//   - the rip's time against its baseline's;
//   - the longest gap between two turns of the event loop during the rip (goal: <= 20 ms),
//     measured with a 5 ms timer (finer ticks would take the encoder's processor time);
//   - each child's peak resident memory (goal: the same for both lengths).
// Timings are printed, never checked.
//
//   bench_rip --child <format>[+<second format>] <image.cue> <output folder> <encoders> [twice]
//   (used by the above)

#include "platform/audio/createaudiolibrary.h"
#include "shell/frmmain.h"
#include "support/recordingdialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QQuickWindow>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QThread>
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

// Watches the rip: it starts when the rip dialog shows (the job starts at once there) and ends
// with the completion box; a 5 ms timer measures how long the event loop is kept waiting
// meanwhile.
class RipWatch : public QObject {
public:
    RipWatch() {
        qApp->installEventFilter(this);
        m_ticker.setTimerType(Qt::PreciseTimer);
        m_ticker.setInterval(5);
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
        if (event->type() == QEvent::Show && m_start < 0 &&
            watched->objectName() == QStringLiteral("frmRipp")) {
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

// The option controls a format is chosen with, and the rate (128 kbps) in its list.
struct FormatChoice {
    const char* option;
    const char* list;
    int index;
};

const std::map<QString, FormatChoice> kFormats = {
    {"wav", {"optExtractMode1", nullptr, 0}},
    {"mp3", {"optExtractMode0", nullptr, 0}},
    {"ogg", {"optExtractMode4", "cmbOGGCBitrate", 6}},
    {"wma", {"optExtractMode2", "cmbWMAEncodingBitrate", 4}},
    {"flac", {"optExtractMode5", "cmbFLACLevel", 5}},
};

void Choose(frmMain& form, const FormatChoice& choice) {
    form.findChild<QRadioButton*>(QString::fromLatin1(choice.option))->setChecked(true);
    if (choice.list)
        form.findChild<QComboBox*>(QString::fromLatin1(choice.list))->setCurrentIndex(choice.index);
}

// "Also make" holds each format under its number, the number its option is named with.
bool ChooseAlsoMake(frmMain& form, const FormatChoice& choice) {
    const int format = QString::fromLatin1(choice.option).back().digitValue();
    auto* also = form.findChild<QComboBox*>(QStringLiteral("cmbAlsoMake"));
    const int row = also->findData(format);
    if (row < 0)
        return false;
    also->setCurrentIndex(row);
    if (choice.list)
        form.findChild<QComboBox*>(QString::fromLatin1(choice.list))->setCurrentIndex(choice.index);
    return true;
}

// "flac" or "flac+mp3": the format and the one made beside it from the same reading.
bool KnownFormats(const QString& formats) {
    const QStringList parts = formats.split('+');
    return parts.size() <= 2 && std::all_of(parts.begin(), parts.end(), [](const QString& part) {
               return kFormats.count(part) > 0;
           });
}

// Every track's file, the second format's in their sub-folder too.
qint64 RippedBytes(const QString& folder) {
    qint64 bytes = 0;
    QDirIterator files(folder, {"TRACK*"}, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext())
        bytes += files.nextFileInfo().size();
    return bytes;
}

int RipChild(const QString& appFolder, const QString& formats, const QString& folder, int encoders,
             bool twice) {
    RecordingDialogs dialogs;
    RecordingDesktop desktop;
    const auto audio = CreateAudioLibrary({appFolder.toStdString(), appFolder.toStdString()});
    const QTemporaryDir settings; // the user's own settings stay out of the measurement
    frmMain form(MainWindowServices{audio->library(), dialogs, desktop, appFolder, appFolder,
                                    settings.path(), 0});
    form.Form_Initialize();
    auto* list = form.findChild<QTreeWidget*>(QStringLiteral("lsTracks"));
    if (!form.Form_Load() || list->topLevelItemCount() == 0) {
        std::fprintf(stderr, "the image is not listed as a drive with tracks\n");
        return 1;
    }
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        list->topLevelItem(i)->setCheckState(0, Qt::Checked);
    form.findChild<QLineEdit*>(QStringLiteral("txtExtractPath"))->setText(folder);
    const QStringList format = formats.split('+');
    Choose(form, kFormats.at(format.front()));
    if (format.size() > 1 && !ChooseAlsoMake(form, kFormats.at(format.back()))) {
        std::fprintf(stderr, "\"Also make\" does not offer %s\n", qPrintable(format.back()));
        return 1;
    }
    form.findChild<QSpinBox*>(QStringLiteral("spnEncoders"))->setValue(encoders);
    form.findChild<QCheckBox*>(QStringLiteral("chkReadTwice"))->setChecked(twice);
    dialogs.messages.clear();

    RipWatch watch;
    dialogs.onMessage = [&](const RecordedMessage& message) {
        if (message.caption == QStringLiteral("Ripping Completed"))
            watch.finished();
        return MessageResult::Ok;
    };
    form.Flash_FSCommand(QStringLiteral("IDC_FS_ExtractBtn"), QString());

    const qint64 bytes = RippedBytes(folder);
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
                                     const QString& name, int tracks = 1) {
    if (QProcess::execute(
            generator, {"long", dir, QString::number(minutes), QString::number(tracks), name}) != 0)
        return std::nullopt;
    const QString cue = dir + "/" + name + ".cue";
    return QFileInfo::exists(cue) ? std::optional(cue) : std::nullopt;
}

std::optional<RipFigures> RunChild(const QString& self, const QString& format, const QString& cue,
                                   const QString& out, int encoders = 1, bool twice = false) {
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("MIVO_DISC_IMAGES", cue);
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("SDL_AUDIODRIVER", "dummy");
    // The databases are not part of the measurement: a closed port answers at once.
    for (const char* database : {"MIVO_ACCURATERIP_URL", "MIVO_MUSICBRAINZ_URL", "MIVO_GNUDB_URL"})
        env.insert(database, "http://127.0.0.1:9/");
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QStringList arguments{"--child", format, cue, out, QString::number(encoders)};
    if (twice)
        arguments << "twice";
    child.start(self, arguments);
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

// Wall time of a command, best of two; a negative time when it fails. The command reads
// input (when given) on its standard input and says nothing on the terminal.
double CommandSeconds(const QString& program, const QStringList& arguments,
                      const QString& input = {}) {
    double best = -1;
    for (int round = 0; round < 2; ++round) {
        QProcess command;
        if (!input.isEmpty())
            command.setStandardInputFile(input);
        command.setStandardOutputFile(QProcess::nullDevice());
        command.setStandardErrorFile(QProcess::nullDevice());
        QElapsedTimer clock;
        clock.start();
        command.start(program, arguments);
        if (!command.waitForFinished(-1) || command.exitCode() != 0)
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

// The baseline of a format: the same work without the player, on the same data; the
// encoders with the command lines the rip gives them, reading the WAV on standard input.
double BaselineSeconds(const QString& format, const QString& bin, const QString& wav,
                       const QString& dir) {
    // The rip puts every file on the disk before it takes its name, so the copy does too.
    if (format == "wav")
        return CommandSeconds("dd",
                              {"if=" + bin, "of=" + dir + "/copy.bin", "bs=1M", "conv=fsync"});
    if (format == "mp3")
        return CommandSeconds("lame", {"-b", "128", "-", dir + "/alone.mp3"}, wav);
    if (format == "ogg")
        return CommandSeconds("oggenc", {"--managed", "-b", "128", "-", "-o", dir + "/alone.ogg"},
                              wav);
    return CommandSeconds("ffmpeg",
                          {"-y", "-i", wav, "-c:a", "wmav2", "-b:a", "128k", dir + "/alone.wma"});
}

struct Images {
    QString longCue, shortCue, longBin;
};

int BenchFormat(const QString& self, const QString& format, const Images& images,
                const QString& dir) {
    const auto shortRip = RunChild(self, format, images.shortCue, dir + "/" + format + "-short");
    // The machine is shared: the best of two rips stands against the best of two baselines.
    auto longRip = RunChild(self, format, images.longCue, dir + "/" + format + "-long");
    const auto again = RunChild(self, format, images.longCue, dir + "/" + format + "-again");
    if (longRip && again && again->seconds < longRip->seconds)
        longRip = again;
    const double baseline =
        BaselineSeconds(format, images.longBin, dir + "/wav-long/TRACK1.WAV", dir);
    if (!shortRip || !longRip || baseline <= 0) {
        std::fprintf(stderr, "%s: a rip or its baseline failed\n", qPrintable(format));
        return 1;
    }
    std::printf("%s, 12-minute track: rip %.3f s (%.1f MB written, boxes %d), baseline %.3f s, "
                "ratio rip/baseline %.2f\n",
                qPrintable(format), longRip->seconds, longRip->bytes / 1e6, longRip->boxes,
                baseline, longRip->seconds / baseline);
    std::printf("%s, longest event-loop gap during the rip: %.2f ms (12 min), %.2f ms (2 min) "
                "(goal <= 20 ms)\n",
                qPrintable(format), longRip->gapMs, shortRip->gapMs);
    std::printf("%s, peak resident memory: %ld KB (2 min), %ld KB (12 min), difference %ld KB "
                "(goal: independent of track length)\n",
                qPrintable(format), shortRip->maxrssKb, longRip->maxrssKb,
                longRip->maxrssKb - shortRip->maxrssKb);
    return 0;
}

// The encoder alone on every track's WAV, one after the other: the baseline of the rips with
// several encoders.
double EncodersAloneSeconds(const QString& format, const QString& wavFolder, const QString& dir) {
    double total = 0;
    for (int n = 1; n <= 8; ++n) {
        const QString wav = wavFolder + "/TRACK" + QString::number(n) + ".WAV";
        const double seconds =
            format == "mp3"
                ? CommandSeconds("lame", {"-b", "128", "-", dir + "/alone.mp3"}, wav)
                : CommandSeconds("flac", {"-5", "-f", "-s", "-o", dir + "/alone.flac", "-"}, wav);
        if (seconds < 0)
            return -1;
        total += seconds;
    }
    return total;
}

int BenchCores(const QString& self, const QString& generator, const QString& dir) {
    const int cores = std::max(1, QThread::idealThreadCount());
    const auto disc8 = GenerateImage(generator, dir + "/disc8", 24, "disc8", 8);
    const auto disc3 = GenerateImage(generator, dir + "/disc3", 3, "disc3", 1);
    const auto disc30 = GenerateImage(generator, dir + "/disc30", 30, "disc30", 10);
    if (!disc8 || !disc3 || !disc30 || !RunChild(self, "wav", *disc8, dir + "/disc8-wav")) {
        std::fprintf(stderr, "cores: the images or their WAV rip failed\n");
        return 1;
    }
    int failures = 0;
    for (const QString format : {"mp3", "flac"}) {
        const double alone = EncodersAloneSeconds(format, dir + "/disc8-wav", dir);
        const auto one = RunChild(self, format, *disc8, dir + "/" + format + "-k1", 1);
        const auto many = RunChild(self, format, *disc8, dir + "/" + format + "-kn", cores);
        const auto small = RunChild(self, format, *disc3, dir + "/" + format + "-3", cores);
        const auto big = RunChild(self, format, *disc30, dir + "/" + format + "-30", cores);
        if (alone <= 0 || !one || !many || !small || !big) {
            std::fprintf(stderr, "cores, %s: a rip or its baseline failed\n", qPrintable(format));
            ++failures;
            continue;
        }
        std::printf("%s, 8 tracks of 3 minutes: encoder alone one after the other %.2f s; rip "
                    "with 1 encoder %.2f s (ratio %.2f), with %d encoders %.2f s (ratio %.2f, "
                    "goal <= %.2f)\n",
                    qPrintable(format), alone, one->seconds, one->seconds / alone, cores,
                    many->seconds, many->seconds / alone, 1.15 / cores);
        std::printf("%s, longest event-loop gap: %.2f ms with 1 encoder, %.2f ms with %d (goal "
                    "<= 20 ms)\n",
                    qPrintable(format), one->gapMs, many->gapMs, cores);
        std::printf("%s, peak resident memory with %d encoders: %ld KB (3-minute disc), %ld KB "
                    "(30-minute disc)\n",
                    qPrintable(format), cores, small->maxrssKb, big->maxrssKb);
    }
    return failures;
}

// The faster of two rips of the disc in the format, each track read once or until two reads
// agree.
std::optional<RipFigures> BestRip(const QString& self, const QString& format, const QString& cue,
                                  const QString& out, bool twice) {
    auto best = RunChild(self, format, cue, out + "-1", 1, twice);
    const auto again = RunChild(self, format, cue, out + "-2", 1, twice);
    if (best && again && again->seconds < best->seconds)
        best = again;
    return best;
}

int BenchTwice(const QString& self, const QString& generator, const QString& dir) {
    const auto disc8 = GenerateImage(generator, dir + "/twice8", 24, "twice8", 8);
    if (!disc8) {
        std::fprintf(stderr, "twice: the image could not be generated\n");
        return 1;
    }
    WarmPageCache(dir + "/twice8/twice8.bin");
    for (const QString format : {"wav", "flac"}) {
        const auto once = BestRip(self, format, *disc8, dir + "/once-" + format, false);
        const auto twice = BestRip(self, format, *disc8, dir + "/twice-" + format, true);
        // Each rip says one thing: the completion box.
        if (!once || !twice || once->boxes != 1 || twice->boxes != 1) {
            std::fprintf(stderr, "twice, %s: a rip failed or said more than its count\n",
                         qPrintable(format));
            return 1;
        }
        std::printf("%s, 8 tracks of 3 minutes: read once %.2f s, read twice %.2f s, ratio %.2f "
                    "(%.1f MB written each)\n",
                    qPrintable(format), once->seconds, twice->seconds,
                    twice->seconds / once->seconds, twice->bytes / 1e6);
    }
    return 0;
}

// FLAC with MP3 made beside it against each alone, one encoder per core, the best of two rips
// each.
int BenchAlso(const QString& self, const QString& generator, const QString& dir) {
    const int cores = std::max(1, QThread::idealThreadCount());
    const auto disc8 = GenerateImage(generator, dir + "/also8", 24, "also8", 8);
    if (!disc8) {
        std::fprintf(stderr, "also: the image could not be generated\n");
        return 1;
    }
    WarmPageCache(dir + "/also8/also8.bin");
    std::map<QString, RipFigures> rips;
    for (const QString formats : {"flac", "mp3", "flac+mp3"}) {
        auto best = RunChild(self, formats, *disc8, dir + "/also-" + formats + "-1", cores);
        const auto again = RunChild(self, formats, *disc8, dir + "/also-" + formats + "-2", cores);
        if (best && again && again->seconds < best->seconds)
            best = again;
        if (best)
            std::printf("also, %s: %.2f s, %.1f MB written, boxes %d\n", qPrintable(formats),
                        best->seconds, best->bytes / 1e6, best->boxes);
        if (!best || best->boxes != 1) {
            std::fprintf(stderr, "also, %s: a rip failed or said more than its count\n",
                         qPrintable(formats));
            return 1;
        }
        rips[formats] = *best;
    }
    const RipFigures& flac = rips["flac"];
    const RipFigures& mp3 = rips["mp3"];
    const RipFigures& both = rips["flac+mp3"];
    std::printf("also, 8 tracks of 3 minutes, %d encoders: FLAC alone %.2f s (%.1f MB), MP3 "
                "alone %.2f s (%.1f MB), FLAC + MP3 from one reading %.2f s (%.1f MB)\n",
                cores, flac.seconds, flac.bytes / 1e6, mp3.seconds, mp3.bytes / 1e6, both.seconds,
                both.bytes / 1e6);
    std::printf("also, FLAC + MP3 against FLAC alone + MP3 alone: ratio %.2f; against the slower "
                "of the two: ratio %.2f\n",
                both.seconds / (flac.seconds + mp3.seconds),
                both.seconds / std::max(flac.seconds, mp3.seconds));
    std::printf("also, longest event-loop gap: %.2f ms (FLAC + MP3); peak resident memory: %ld KB "
                "(FLAC + MP3), %ld KB (FLAC), %ld KB (MP3)\n",
                both.gapMs, both.maxrssKb, flac.maxrssKb, mp3.maxrssKb);
    return 0;
}

// The formats' rips against their baselines, on a 12-minute and a 2-minute image made in dir.
int BenchFormats(const QString& self, const QString& generator, const QString& dir,
                 QStringList formats) {
    const auto longCue = GenerateImage(generator, dir + "/long", 12, "long12");
    const auto shortCue = GenerateImage(generator, dir + "/short", 2, "short2");
    if (!longCue || !shortCue) {
        std::fprintf(stderr, "could not generate the images with %s\n", qPrintable(generator));
        return 1;
    }
    const Images images{*longCue, *shortCue, dir + "/long/long12.bin"};
    WarmPageCache(images.longBin);
    WarmPageCache(dir + "/short/short2.bin");
    // The encoders' baselines read the WAV rip of the long track.
    formats.removeAll("wav");
    formats.prepend("wav");
    int failures = 0;
    for (const QString& format : formats)
        failures += BenchFormat(self, format, images, dir);
    return failures;
}

int RunBench(const QString& self, const QString& appFolder, QStringList formats) {
    QTemporaryDir temp;
    const QString generator = appFolder + "/mivo-discgen";
    std::fprintf(stderr, "generating images in %s\n", qPrintable(temp.path()));
    const bool cores = formats.removeAll("cores") > 0;
    const bool twice = formats.removeAll("twice") > 0;
    const bool also = formats.removeAll("also") > 0;
    int failures = 0;
    if (!formats.isEmpty() || cores)
        failures += BenchFormats(self, generator, temp.path(), formats);
    if (cores)
        failures += BenchCores(self, generator, temp.path());
    if (twice)
        failures += BenchTwice(self, generator, temp.path());
    if (also)
        failures += BenchAlso(self, generator, temp.path());
    return failures == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("SDL_AUDIODRIVER", "dummy");
    QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    QApplication app(argc, argv);
    const QString appFolder = QCoreApplication::applicationDirPath();
    const QStringList args = app.arguments();
    if (args.size() >= 6 && args[1] == "--child" && KnownFormats(args[2]))
        return RipChild(appFolder, args[2], args[4], args[5].toInt(), args.value(6) == "twice");
    QStringList formats = args.mid(1);
    if (formats.isEmpty())
        formats = {"wav", "mp3", "ogg", "wma", "cores", "twice", "also"};
    for (const QString& format : formats)
        if (!kFormats.count(format) && format != "cores" && format != "twice" && format != "also") {
            std::fprintf(stderr, "usage: bench_rip [wav|mp3|ogg|wma|cores|twice|also ...]\n");
            return 2;
        }
    return RunBench(QCoreApplication::applicationFilePath(), appFolder, formats);
}
