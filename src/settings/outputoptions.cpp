#include "settings/outputoptions.h"

#include "common/dialogs.h"
#include "settings/outputformats.h"
#include "settings/settingvalues.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStackedLayout>
#include <QThread>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kFlacDefaultLevel = 5;

const char* const kMivoDefaultInfo[] = {"Output File Information:",
                                        "Channels:                Stereo",
                                        "Audio Format :          MPEG layer III",
                                        "Audio Sample Rate: 44KHz",
                                        "Output Bit Rate:      128 kbps",
                                        "Mivo Default is mp3 format with special settings"};

const char* const kWavInfo[] = {"Output File Information (Same as CD-Quality):",
                                "Channels:                Stereo",
                                "Audio Format :          PCM",
                                "Audio Sample Rate: 44KHz",
                                "Sample Size:           16 bit",
                                "Output Bit Rate:     1411 kbps",
                                "No options are available for WAV format"};

const QStringList kMP3CBitrates = {"320 Kbps", "288 Kbps", "256 Kbps", "224 Kbps", "192 Kbps",
                                   "160 Kbps", "128 Kbps", "96 Kbps",  "64 Kbps",  "32 Kbps"};
const QStringList kMP3VBitrates = {"288 Kbps", "256 Kbps", "224 Kbps", "192 Kbps", "160 Kbps",
                                   "128 Kbps", "96 Kbps",  "64 Kbps",  "32 Kbps"};
const QStringList kOGGBitrates = {"320 Kbps", "288 Kbps", "256 Kbps", "224 Kbps", "192 Kbps",
                                  "160 Kbps", "128 Kbps", "96 Kbps",  "64 Kbps"};

QFrame* MakeSettingsFrame(int index) {
    auto* frame = new QFrame;
    frame->setObjectName(QStringLiteral("frFormatSettings%1").arg(index));
    frame->setFrameShape(QFrame::StyledPanel);
    return frame;
}

template <std::size_t N> void AddInfoLabels(QFrame* frame, const char* const (&lines)[N]) {
    auto* layout = new QVBoxLayout(frame);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->setSpacing(2);
    for (const char* line : lines)
        layout->addWidget(new QLabel(QString::fromLatin1(line), frame));
    layout->addStretch();
}

QComboBox* MakeBitrateList(const QString& name, const QStringList& items, const QString& label) {
    auto* list = new QComboBox;
    list->setObjectName(name);
    list->addItems(items);
    // 128 Kbps until the settings load says otherwise; a stored rate that makes no sense
    // leaves this one.
    list->setCurrentIndex(static_cast<int>(items.indexOf(QStringLiteral("128 Kbps"))));
    list->setAccessibleName(label);
    return list;
}

// A CBR/VBR pair with one bit-rate list for each, as the MP3 and OGG panels have them.
void BuildEncoderPanel(QFrame* frame, const QString& format, QRadioButton*& cbr, QRadioButton*& vbr,
                       QComboBox*& cbrList, QComboBox*& vbrList, const QStringList& cbrItems,
                       const QStringList& vbrItems) {
    cbr = new QRadioButton(QStringLiteral("Constant bitrate (CBR)"), frame);
    cbr->setObjectName(QStringLiteral("opt%1CBR").arg(format));
    cbr->setChecked(true);
    vbr = new QRadioButton(QStringLiteral("Variable bitrate (VBR)"), frame);
    vbr->setObjectName(QStringLiteral("opt%1VBR").arg(format));
    cbrList = MakeBitrateList(QStringLiteral("cmb%1CBitrate").arg(format), cbrItems,
                              format + QStringLiteral(" constant bitrate"));
    vbrList = MakeBitrateList(QStringLiteral("cmb%1VBitrate").arg(format), vbrItems,
                              format + QStringLiteral(" variable bitrate"));
    auto* grid = new QGridLayout(frame);
    grid->setContentsMargins(6, 4, 6, 4);
    grid->addWidget(cbr, 0, 0);
    grid->addWidget(cbrList, 0, 1);
    grid->addWidget(vbr, 1, 0);
    grid->addWidget(vbrList, 1, 1);
    grid->setRowStretch(2, 1);
}

} // namespace

OutputOptions::OutputOptions(const Services& services, const Panels& panels, QObject* parent)
    : QObject(parent), m_services(services), m_dialogs(services.dialogs),
      m_owner(panels.fileFormat), m_register(services.settingsFolder) {
    BuildFileFormatPanel(panels.fileFormat);
    BuildGeneralOptionsPanel(panels.generalOptions);
}

void OutputOptions::BuildFileFormatPanel(QGroupBox* frFileFormat) {
    auto* panelLayout = frFileFormat->layout();
    panelLayout->addWidget(
        new QLabel(QStringLiteral("Select the output file format"), frFileFormat));

    // Three options a row, so every caption shows whole in the panel's width.
    auto* options = new QGridLayout;
    options->setContentsMargins(0, 0, 0, 0);
    options->setSpacing(2);
    m_extractModeGroup = new QButtonGroup(frFileFormat);
    for (int i = 0; i < static_cast<int>(optExtractMode.size()); ++i) {
        optExtractMode[i] = new QRadioButton(QString::fromLatin1(OutputFormats()[i].caption));
        optExtractMode[i]->setObjectName(QStringLiteral("optExtractMode%1").arg(i));
        m_extractModeGroup->addButton(optExtractMode[i], i);
        options->addWidget(optExtractMode[i], i / 3, i % 3);
    }
    static_cast<QVBoxLayout*>(panelLayout)->addLayout(options);

    lblFormatOptions = new QLabel(frFileFormat);
    lblFormatOptions->setObjectName(QStringLiteral("lblFormatOptions"));
    panelLayout->addWidget(lblFormatOptions);
    auto* stackHolder = new QWidget(frFileFormat);
    m_formatSettingsStack = new QStackedLayout(stackHolder);
    for (int i = 0; i < static_cast<int>(frFormatSettings.size()); ++i) {
        frFormatSettings[i] = MakeSettingsFrame(i);
        m_formatSettingsStack->addWidget(frFormatSettings[i]);
    }
    AddInfoLabels(frFormatSettings[0], kMivoDefaultInfo);
    AddInfoLabels(frFormatSettings[1], kWavInfo);

    BuildWmaPanel(frFormatSettings[2]);
    BuildEncoderPanel(frFormatSettings[3], QStringLiteral("MP3"), optMP3CBR, optMP3VBR,
                      cmbMP3CBitrate, cmbMP3VBitrate, kMP3CBitrates, kMP3VBitrates);
    BuildEncoderPanel(frFormatSettings[4], QStringLiteral("OGG"), optOGGCBR, optOGGVBR,
                      cmbOGGCBitrate, cmbOGGVBitrate, kOGGBitrates, kOGGBitrates);
    BuildFlacPanel(frFormatSettings[5]);
    panelLayout->addWidget(stackHolder);
    BuildAlsoMake(static_cast<QVBoxLayout*>(panelLayout));

    // Whoever selects an option (the user or the settings load), its panel comes to the front.
    for (int i = 0; i < static_cast<int>(optExtractMode.size()); ++i)
        connect(optExtractMode[i], &QRadioButton::toggled, this, [this, i](bool selected) {
            if (selected)
                optExtractMode_Click(i);
        });
    optExtractMode[0]->setChecked(true);
}

void OutputOptions::BuildWmaPanel(QFrame* wma) {
    auto* wmaLayout = new QGridLayout(wma);
    wmaLayout->setContentsMargins(6, 4, 6, 4);
    wmaLayout->setVerticalSpacing(2);
    wmaLayout->addWidget(new QLabel(QStringLiteral("WMA Encoding Bitrate"), wma), 0, 0);
    cmbWMAEncodingBitrate = new QComboBox(wma);
    cmbWMAEncodingBitrate->setObjectName(QStringLiteral("cmbWMAEncodingBitrate"));
    cmbWMAEncodingBitrate->setAccessibleName(QStringLiteral("WMA Encoding Bitrate"));
    wmaLayout->addWidget(cmbWMAEncodingBitrate, 0, 1);
    chkWMAFileTags = new QCheckBox(QStringLiteral("WMA File Tags"), wma);
    chkWMAFileTags->setObjectName(QStringLiteral("chkWMAFileTags"));
    chkWMAFileTags->setChecked(true);
    wmaLayout->addWidget(chkWMAFileTags, 1, 0, 1, 2);
    frameOutputTags = new QGroupBox(QStringLiteral("WMA File ID Tags"), wma);
    frameOutputTags->setObjectName(QStringLiteral("frameOutputTags"));
    auto* tagGrid = new QGridLayout(frameOutputTags);
    tagGrid->setContentsMargins(4, 2, 4, 2);
    tagGrid->setVerticalSpacing(2);
    for (int i = 0; i < 8; ++i) {
        const QString word = QString::fromLatin1(kWMATagLabels[i]);
        txtWMATags[i] = new QLineEdit(word, frameOutputTags);
        txtWMATags[i]->setObjectName(QStringLiteral("txtWMATags%1").arg(i));
        txtWMATags[i]->setAccessibleName(word);
        // Two columns of label and box keep the panel narrow.
        const int row = i % 4;
        const int column = i / 4 * 2;
        tagGrid->addWidget(new QLabel(word, frameOutputTags), row, column);
        tagGrid->addWidget(txtWMATags[i], row, column + 1);
    }
    wmaLayout->addWidget(frameOutputTags, 2, 0, 1, 2);
}

// Lossless: only how hard the encoder works changes, never the sound.
void OutputOptions::BuildFlacPanel(QFrame* flac) {
    auto* grid = new QGridLayout(flac);
    grid->setContentsMargins(6, 4, 6, 4);
    auto* caption = new QLabel(QStringLiteral("Compression level"), flac);
    cmbFLACLevel = new QComboBox(flac);
    cmbFLACLevel->setObjectName(QStringLiteral("cmbFLACLevel"));
    cmbFLACLevel->setAccessibleName(caption->text());
    for (int level = 0; level <= 8; ++level)
        cmbFLACLevel->addItem(level == 0   ? QStringLiteral("0 (fastest)")
                              : level == 8 ? QStringLiteral("8 (smallest)")
                                           : QString::number(level));
    cmbFLACLevel->setCurrentIndex(kFlacDefaultLevel);
    caption->setBuddy(cmbFLACLevel);
    auto* about = new QLabel(QStringLiteral("FLAC is lossless: every level keeps the disc's exact "
                                            "sound, in a file a third to half the size of WAV."),
                             flac);
    about->setWordWrap(true);
    grid->addWidget(caption, 0, 0);
    grid->addWidget(cmbFLACLevel, 0, 1);
    grid->addWidget(about, 1, 0, 1, 2);
    grid->setRowStretch(2, 1);
}

void OutputOptions::BuildGeneralOptionsPanel(QGroupBox* frGeneralOptions) {
    auto* panelLayout = static_cast<QVBoxLayout*>(frGeneralOptions->layout());
    auto* label = new QLabel(QStringLiteral("Specifiy the folder which the tracks will be ripped "
                                            "into:-"),
                             frGeneralOptions);
    label->setWordWrap(true);
    panelLayout->addWidget(label);

    auto* row = new QHBoxLayout;
    txtExtractPath = new QLineEdit(DefaultExtractPath());
    txtExtractPath->setObjectName(QStringLiteral("txtExtractPath"));
    txtExtractPath->setAccessibleName(label->text());
    cmdBrowseFolder = new QPushButton(QStringLiteral("Browse..."));
    cmdBrowseFolder->setObjectName(QStringLiteral("cmdBrowseFolder"));
    row->addWidget(txtExtractPath, 1);
    row->addWidget(cmdBrowseFolder);
    panelLayout->addLayout(row);

    connect(cmdBrowseFolder, &QPushButton::clicked, this, &OutputOptions::cmdBrowseFolder_Click);
    connect(txtExtractPath, &QLineEdit::editingFinished, this, &OutputOptions::ShowWholeFolder);

    auto* namesRow = new QHBoxLayout;
    auto* namesLabel = new QLabel(QStringLiteral("File names:"), frGeneralOptions);
    txtFileNames = new QLineEdit(QStringLiteral("TRACK{n}"), frGeneralOptions);
    txtFileNames->setObjectName(QStringLiteral("txtFileNames"));
    txtFileNames->setAccessibleName(QStringLiteral("File names"));
    txtFileNames->setToolTip(QStringLiteral("{n} or {nn} the track's number, {title}, {artist}, "
                                            "{album}, {year}, {format}; a / makes a folder"));
    namesLabel->setBuddy(txtFileNames);
    namesRow->addWidget(namesLabel);
    namesRow->addWidget(txtFileNames, 1);
    panelLayout->addLayout(namesRow);

    auto* encodersRow = new QHBoxLayout;
    auto* encodersLabel = new QLabel(QStringLiteral("Encoders at once:"), frGeneralOptions);
    spnEncoders = new QSpinBox(frGeneralOptions);
    spnEncoders->setObjectName(QStringLiteral("spnEncoders"));
    spnEncoders->setRange(1, kMostEncoders);
    spnEncoders->setValue(DefaultEncoders());
    spnEncoders->setAccessibleName(QStringLiteral("Encoders at once"));
    spnEncoders->setToolTip(QStringLiteral("How many tracks are encoded at the same time while "
                                           "the disc is read; one for each processor core is "
                                           "fastest"));
    encodersLabel->setBuddy(spnEncoders);
    encodersRow->addWidget(encodersLabel);
    encodersRow->addWidget(spnEncoders);
    encodersRow->addStretch(1);
    panelLayout->addLayout(encodersRow);

    chkAccurateRip = new QCheckBox(QStringLiteral("Check rips with AccurateRip"), frGeneralOptions);
    chkAccurateRip->setObjectName(QStringLiteral("chkAccurateRip"));
    chkAccurateRip->setChecked(true);
    chkAccurateRip->setToolTip(QStringLiteral("Compares every ripped track with what other people "
                                              "ripped from the same disc"));
    chkLookUpOnline = new QCheckBox(QStringLiteral("Look up discs online"), frGeneralOptions);
    chkLookUpOnline->setObjectName(QStringLiteral("chkLookUpOnline"));
    chkLookUpOnline->setChecked(true);
    chkLookUpOnline->setToolTip(QStringLiteral("Asks MusicBrainz, then gnudb, for the titles of a "
                                               "disc when it is scanned"));
    chkRemovePreEmphasis = new QCheckBox(QStringLiteral("Remove pre-emphasis"), frGeneralOptions);
    chkRemovePreEmphasis->setObjectName(QStringLiteral("chkRemovePreEmphasis"));
    chkRemovePreEmphasis->setToolTip(
        QStringLiteral("Turns the treble of tracks mastered with pre-emphasis down again in MP3, "
                       "OGG and WMA files; WAV and FLAC files keep the disc's own samples"));
    panelLayout->addWidget(chkAccurateRip);
    panelLayout->addWidget(chkLookUpOnline);

    chkReadTwice = new QCheckBox(QStringLiteral("Read each track twice"), frGeneralOptions);
    chkReadTwice->setObjectName(QStringLiteral("chkReadTwice"));
    chkReadTwice->setToolTip(QStringLiteral("Reads every track a second time and compares the "
                                            "two; when they differ, reads it again until two "
                                            "reads agree. Slower, but a bad read is caught"));
    panelLayout->addWidget(chkReadTwice);
    BuildLibraryOptions(panelLayout);
    panelLayout->addWidget(chkRemovePreEmphasis);
}

int OutputOptions::DefaultEncoders() {
    return std::clamp(QThread::idealThreadCount(), 1, kMostEncoders);
}

void OutputOptions::optExtractMode_Click(int index) {
    ShowFormatOptions(index, false);
    FollowPrimaryFormat(index);
}

// The folder chooser; the chosen folder without a trailing separator, or empty text when the
// user cancels. It starts in the folder the box names, so the user sees where ripping goes now.
QString OutputOptions::BrowseForFolder(QWidget* owner, const QString& title) {
    const QString chosen =
        m_dialogs.browseForFolder(owner, title, OutputFolderOf(txtExtractPath->text()));
    return chosen.isEmpty() ? QString() : QDir::cleanPath(chosen);
}

// A relative folder typed into the box is shown as the folder in the home it names, so the user
// sees where the files go; "~/Music" is clear as it is and stays.
void OutputOptions::ShowWholeFolder() {
    const QString typed = txtExtractPath->text();
    const bool home = typed == QLatin1String("~") || typed.startsWith(QLatin1String("~/"));
    if (!home && QDir::isRelativePath(typed) && !typed.trimmed().isEmpty())
        txtExtractPath->setText(OutputFolderOf(typed));
}

void OutputOptions::cmdBrowseFolder_Click() {
    const QString folder = BrowseForFolder(
        m_owner->window(), QStringLiteral("Please, Select a folder to be the extraction path."));
    if (!folder.isEmpty())
        txtExtractPath->setText(folder);
}

bool OutputOptions::lookUpOnline() const {
    return chkLookUpOnline->isChecked();
}

OutputChoice OutputOptions::choice() const {
    OutputChoice choice;
    choice.format = m_extractModeGroup->checkedId();
    choice.mp3Cbr = optMP3CBR->isChecked();
    choice.mp3CbrText = cmbMP3CBitrate->currentText();
    choice.mp3VbrText = cmbMP3VBitrate->currentText();
    choice.oggCbr = optOGGCBR->isChecked();
    choice.oggCbrText = cmbOGGCBitrate->currentText();
    choice.oggVbrText = cmbOGGVBitrate->currentText();
    if (cmbWMAEncodingBitrate->currentIndex() >= 0)
        choice.wmaBitrate = cmbWMAEncodingBitrate->currentData().toInt();
    choice.wmaTags = chkWMAFileTags->isChecked();
    for (std::size_t i = 0; i < txtWMATags.size(); ++i)
        choice.wmaTagTexts[i] = txtWMATags[i]->text();
    choice.flacLevel = cmbFLACLevel->currentIndex();
    choice.folder = OutputFolderOf(txtExtractPath->text());
    choice.encoders = spnEncoders->value();
    choice.checkAccurateRip = chkAccurateRip->isChecked();
    choice.readTwice = chkReadTwice->isChecked();
    choice.removePreEmphasis = chkRemovePreEmphasis->isChecked();
    choice.fileNames = txtFileNames->text();
    FillLibraryChoice(choice);
    return choice;
}
