#include "settings/outputoptions.h"

#include "common/dialogs.h"
#include "settings/outputformats.h"
#include "settings/settingvalues.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>

// The controls are the live settings; the settings file only changes when the user saves. A
// stored text that makes no sense for its control leaves that control as it is.

namespace {

const QString kSection = QStringLiteral("Software\\Vantrope\\Settings");

QString TagValueName(std::size_t box) {
    return QStringLiteral("WMA Tag#%1").arg(box);
}

} // namespace

QString OutputOptions::ReadSetting(const QString& name, const QString& fallback) {
    return m_register.REGGetSetting(HKEY_LOCAL_MACHINE, kSection, name, fallback);
}

// "-1" is a list with no selection.
void OutputOptions::LoadListIndex(QComboBox* list, const QString& name, int fallback) {
    const std::optional<int> index = ParseInteger(ReadSetting(name, QString::number(fallback)));
    if (index && *index >= -1 && *index < list->count())
        list->setCurrentIndex(*index);
}

// The two options are exclusive, so a stored false shows as the VBR option, which is also how
// the rip reads a CBR option that is not selected.
void OutputOptions::LoadCbrChoice(QRadioButton* cbr, QRadioButton* vbr, const QString& name) {
    if (const std::optional<bool> constant = ParseTruth(ReadSetting(name, QStringLiteral("1"))))
        (*constant ? cbr : vbr)->setChecked(true);
}

// A box keeps its state when nothing, or nothing understood, was saved for it.
void OutputOptions::LoadCheck(QCheckBox* box, const QString& name) {
    if (const std::optional<bool> checked = ParseTruth(ReadSetting(name, {})))
        box->setChecked(*checked);
}

// Each settings file that could not be read or understood is named to the user once per run.
void OutputOptions::ReportUnreadableSettings() {
    for (const QString& file : m_register.unreadableHives()) {
        if (m_reportedHives.contains(file))
            continue;
        m_reportedHives.append(file);
        m_dialogs.showMessage(
            m_owner->window(),
            QStringLiteral("The settings file %1 could not be read or was not understood.\r\n"
                           "Mivo uses the default settings until they are saved again.")
                .arg(file),
            QStringLiteral("Settings"), MessageIcon::Exclamation, MessageButtons::Ok);
    }
}

void OutputOptions::LoadFileFormat() {
    const std::optional<int> format =
        ParseInteger(ReadSetting(QStringLiteral("File Format"), QStringLiteral("0")));
    if (format && *format >= 0 && *format < static_cast<int>(optExtractMode.size()))
        optExtractMode[static_cast<std::size_t>(*format)]->setChecked(true); // its panel to front
    ReportUnreadableSettings();
}

void OutputOptions::LoadSettings() {
    txtExtractPath->setText(ReadSetting(QStringLiteral("Extract Path"), DefaultExtractPath()));
    LoadFileFormat();
    LoadCbrChoice(optOGGCBR, optOGGVBR, QStringLiteral("OGG CBR Check"));
    LoadListIndex(cmbOGGCBitrate, QStringLiteral("OGG CBR Bitrate"), 6);
    LoadListIndex(cmbOGGVBitrate, QStringLiteral("OGG VBR Bitrate"), 6);
    LoadCbrChoice(optMP3CBR, optMP3VBR, QStringLiteral("MP3 CBR Check"));
    LoadListIndex(cmbMP3CBitrate, QStringLiteral("MP3 CBR Bitrate"), 6);
    LoadListIndex(cmbMP3VBitrate, QStringLiteral("MP3 VBR Bitrate"), 5);
    LoadListIndex(cmbWMAEncodingBitrate, QStringLiteral("WMA Bitrate"), 4);
    LoadListIndex(cmbFLACLevel, QStringLiteral("FLAC Level"), 5);
    txtFileNames->setText(ReadSetting(QStringLiteral("File Names"), QStringLiteral("TRACK{n}")));
    LoadCheck(chkAccurateRip, QStringLiteral("Check AccurateRip"));
    LoadCheck(chkLookUpOnline, QStringLiteral("Look Up Online"));
    LoadCheck(chkReadTwice, QStringLiteral("Read Twice"));
    LoadLibraryOptions();
    LoadCheck(chkRemovePreEmphasis, QStringLiteral("Remove Pre-emphasis"));
    const std::optional<int> encoders = ParseInteger(ReadSetting(QStringLiteral("Encoders"), {}));
    spnEncoders->setValue(
        encoders && *encoders >= 1 && *encoders <= kMostEncoders ? *encoders : DefaultEncoders());
    // A tag box keeps its text when nothing was saved for it.
    for (std::size_t i = 0; i < txtWMATags.size(); ++i)
        txtWMATags[i]->setText(ReadSetting(TagValueName(i), txtWMATags[i]->text()));
    if (const std::optional<int> drive =
            ParseInteger(ReadSetting(QStringLiteral("Drive Index"), QStringLiteral("0"))))
        emit driveIndexLoaded(*drive);
}

bool OutputOptions::SaveSettings() {
    // Every value is tried, so one that fails does not lose the others; the first reason is told.
    QString failure;
    const auto write = [&](const QString& name, const QString& text) {
        if (!m_register.REGSaveSetting(HKEY_LOCAL_MACHINE, kSection, name, text) &&
            failure.isEmpty())
            failure = m_register.lastError();
    };
    const auto index = [](const QComboBox* list) { return QString::number(list->currentIndex()); };

    write(QStringLiteral("Extract Path"), txtExtractPath->text());
    if (const int format = m_extractModeGroup->checkedId(); format >= 0)
        write(QStringLiteral("File Format"), QString::number(format));
    write(QStringLiteral("OGG CBR Check"), TruthText(optOGGCBR->isChecked()));
    write(QStringLiteral("OGG CBR Bitrate"), index(cmbOGGCBitrate));
    write(QStringLiteral("OGG VBR Bitrate"), index(cmbOGGVBitrate));
    write(QStringLiteral("MP3 CBR Check"), TruthText(optMP3CBR->isChecked()));
    write(QStringLiteral("MP3 CBR Bitrate"), index(cmbMP3CBitrate));
    write(QStringLiteral("MP3 VBR Bitrate"), index(cmbMP3VBitrate));
    write(QStringLiteral("WMA Bitrate"), index(cmbWMAEncodingBitrate));
    write(QStringLiteral("FLAC Level"), index(cmbFLACLevel));
    write(QStringLiteral("Encoders"), QString::number(spnEncoders->value()));
    write(QStringLiteral("File Names"), txtFileNames->text());
    write(QStringLiteral("Check AccurateRip"), TruthText(chkAccurateRip->isChecked()));
    write(QStringLiteral("Look Up Online"), TruthText(chkLookUpOnline->isChecked()));
    write(QStringLiteral("Read Twice"), TruthText(chkReadTwice->isChecked()));
    SaveLibraryOptions(write);
    write(QStringLiteral("Remove Pre-emphasis"), TruthText(chkRemovePreEmphasis->isChecked()));
    for (std::size_t i = 0; i < txtWMATags.size(); ++i)
        write(TagValueName(i), txtWMATags[i]->text());
    if (m_driveIndex)
        write(QStringLiteral("Drive Index"), QString::number(m_driveIndex()));

    if (failure.isEmpty())
        return true;
    m_dialogs.showMessage(
        m_owner->window(), QStringLiteral("The settings could not be saved.\r\n%1").arg(failure),
        QStringLiteral("Settings not saved"), MessageIcon::Exclamation, MessageButtons::Ok);
    return false;
}

// The options for files ready for a music library.
void OutputOptions::LoadLibraryOptions() {
    LoadCheck(chkReplayGain, QStringLiteral("Write ReplayGain"));
    LoadCheck(chkCoverArt, QStringLiteral("Cover Art"));
    const std::optional<int> also = ParseInteger(ReadSetting(QStringLiteral("Also Make"), {}));
    if (also && *also >= -1 && *also < int(OutputFormats().size()) &&
        *also != m_extractModeGroup->checkedId())
        cmbAlsoMake->setCurrentIndex(*also + 1);
    txtAlsoFileNames->setText(ReadSetting(QStringLiteral("Also Make Names"), QString()));
    LoadCheck(chkWholeDisc, QStringLiteral("Whole Disc Image"));
}

void OutputOptions::SaveLibraryOptions(
    const std::function<void(const QString&, const QString&)>& write) {
    write(QStringLiteral("Write ReplayGain"), TruthText(chkReplayGain->isChecked()));
    write(QStringLiteral("Cover Art"), TruthText(chkCoverArt->isChecked()));
    write(QStringLiteral("Also Make"), QString::number(alsoFormat()));
    write(QStringLiteral("Also Make Names"), txtAlsoFileNames->text());
    write(QStringLiteral("Whole Disc Image"), TruthText(chkWholeDisc->isChecked()));
}
