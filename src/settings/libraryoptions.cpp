// The options for files ready for a music library: ReplayGain tags and cover art on the General
// Options panel, and on the Output format panel a second format made from the same reading,
// with its own options as the panel holds them for that format and its own file names.

#include "metadata/trackfilename.h"
#include "settings/outputformats.h"
#include "settings/outputoptions.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QStackedLayout>
#include <QStandardItemModel>
#include <QVBoxLayout>

namespace {

QString Caption(int format) {
    return QString::fromLatin1(OutputFormats()[format].caption).remove('&');
}

// The formats that keep the disc's samples, as an image of the disc must.
bool WholeDiscFormat(int format) {
    const OutputFormat* chosen = FindOutputFormat(format);
    return chosen != nullptr && (chosen->path == RipPath::Wav || chosen->path == RipPath::Flac);
}

QCheckBox* OptionBox(QWidget* panel, const char* name, const QString& text, const QString& tip) {
    auto* box = new QCheckBox(text, panel);
    box->setObjectName(QString::fromLatin1(name));
    box->setChecked(true);
    box->setToolTip(tip);
    return box;
}

} // namespace

void OutputOptions::BuildLibraryOptions(QVBoxLayout* panel) {
    chkReplayGain =
        OptionBox(panel->parentWidget(), "chkReplayGain", QStringLiteral("Write ReplayGain tags"),
                  QStringLiteral("Measures each track's loudness while it is read and "
                                 "tags the files, so players can play every track "
                                 "and album equally loud"));
    chkCoverArt = OptionBox(panel->parentWidget(), "chkCoverArt", QStringLiteral("Cover art"),
                            QStringLiteral("Fetches the disc's cover from the Cover Art Archive, "
                                           "shows it in the window and puts it into the files "
                                           "and beside them"));
    panel->addWidget(chkReplayGain);
    panel->addWidget(chkCoverArt);
    connect(chkCoverArt, &QCheckBox::toggled, this, &OutputOptions::coverArtChanged);
    // Left empty, the second format's names follow the first's, in a folder of their own.
    const auto showDefault = [this](const QString& names) {
        txtAlsoFileNames->setPlaceholderText(SecondFormatPattern(names, {}, false));
    };
    connect(txtFileNames, &QLineEdit::textChanged, this, showDefault);
    showDefault(txtFileNames->text());
}

void OutputOptions::BuildAlsoMake(QVBoxLayout* panel) {
    auto* grid = new QGridLayout;
    grid->setContentsMargins(0, 4, 0, 0);
    grid->setVerticalSpacing(2);
    auto* alsoLabel = new QLabel(QStringLiteral("Also make:"), panel->parentWidget());
    cmbAlsoMake = new QComboBox(panel->parentWidget());
    cmbAlsoMake->setObjectName(QStringLiteral("cmbAlsoMake"));
    cmbAlsoMake->setAccessibleName(QStringLiteral("Also make"));
    cmbAlsoMake->setToolTip(QStringLiteral("A second file of each track in another format, from "
                                           "the same reading of the disc, with that format's "
                                           "options on this panel"));
    cmbAlsoMake->addItem(QStringLiteral("None"), -1);
    for (int format = 0; format < int(OutputFormats().size()); ++format)
        cmbAlsoMake->addItem(Caption(format), format);
    alsoLabel->setBuddy(cmbAlsoMake);
    auto* namesLabel = new QLabel(QStringLiteral("Its file names:"), panel->parentWidget());
    txtAlsoFileNames = new QLineEdit(panel->parentWidget());
    txtAlsoFileNames->setObjectName(QStringLiteral("txtAlsoFileNames"));
    txtAlsoFileNames->setAccessibleName(QStringLiteral("File names of the second format"));
    txtAlsoFileNames->setToolTip(QStringLiteral("Left empty: the File names of the General "
                                                "Options, in a folder named after the format "
                                                "({format})"));
    txtAlsoFileNames->setEnabled(false);
    namesLabel->setBuddy(txtAlsoFileNames);
    grid->addWidget(alsoLabel, 0, 0);
    grid->addWidget(cmbAlsoMake, 0, 1);
    grid->addWidget(namesLabel, 1, 0);
    grid->addWidget(txtAlsoFileNames, 1, 1);
    grid->setColumnStretch(1, 1);
    panel->addLayout(grid);
    chkWholeDisc =
        new QCheckBox(QStringLiteral("One file for the whole disc"), panel->parentWidget());
    chkWholeDisc->setObjectName(QStringLiteral("chkWholeDisc"));
    chkWholeDisc->setToolTip(QStringLiteral("WAV or FLAC: when every audio track is ripped, the "
                                            "disc's audio in one file with a cue sheet that "
                                            "points into it, instead of a file for each track"));
    panel->addWidget(chkWholeDisc);

    // Picking a second format brings its options to the front, as picking the first does.
    connect(cmbAlsoMake, &QComboBox::activated, this, [this] {
        const int also = alsoFormat();
        ShowFormatOptions(also >= 0 ? also : m_extractModeGroup->checkedId(), also >= 0);
    });
    connect(cmbAlsoMake, &QComboBox::currentIndexChanged, this,
            [this] { txtAlsoFileNames->setEnabled(alsoFormat() >= 0); });
}

void OutputOptions::ShowFormatOptions(int format, bool alsoMade) {
    if (format < 0)
        return;
    m_formatSettingsStack->setCurrentIndex(format);
    frFormatSettings[format]->raise();
    frFormatSettings[format]->update();
    lblFormatOptions->setText(Caption(format) + QStringLiteral(" options") +
                              (alsoMade ? QStringLiteral(" (also made):") : QStringLiteral(":")));
}

// The first format is never made twice: it cannot be picked as the second, and a second format
// that becomes the first is made once.
void OutputOptions::FollowPrimaryFormat(int format) {
    auto* items = qobject_cast<QStandardItemModel*>(cmbAlsoMake->model());
    for (int row = 1; items && row < items->rowCount(); ++row)
        items->item(row)->setEnabled(row - 1 != format);
    if (cmbAlsoMake->currentData().toInt() == format)
        cmbAlsoMake->setCurrentIndex(0);
    chkWholeDisc->setEnabled(WholeDiscFormat(format));
}

int OutputOptions::alsoFormat() const {
    const int also = cmbAlsoMake->currentIndex() > 0 ? cmbAlsoMake->currentData().toInt() : -1;
    return also == m_extractModeGroup->checkedId() ? -1 : also;
}

void OutputOptions::FillLibraryChoice(OutputChoice& choice) const {
    choice.replayGain = chkReplayGain->isChecked();
    choice.coverArt = chkCoverArt->isChecked();
    choice.alsoFormat = alsoFormat();
    choice.wholeDiscImage = chkWholeDisc->isChecked() && WholeDiscFormat(choice.format);
    const OutputFormat* first = FindOutputFormat(choice.format);
    const OutputFormat* second = FindOutputFormat(choice.alsoFormat);
    if (second == nullptr)
        return;
    const bool sameExtension =
        first && QString::fromLatin1(first->extension)
                         .compare(QLatin1String(second->extension), Qt::CaseInsensitive) == 0;
    choice.alsoFileNames =
        SecondFormatPattern(txtFileNames->text(), txtAlsoFileNames->text(), sameExtension);
}
