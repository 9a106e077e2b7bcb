#pragma once

// The output options: the format with its settings panels (Grapping Format) and the output
// folder (General Options), and the settings that keep them.

#include "common/audiolibrary.h"
#include "settings/cregister.h"
#include "settings/outputchoice.h"

#include <QObject>
#include <QStringList>

#include <array>
#include <functional>

class Dialogs;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QStackedLayout;
class QVBoxLayout;
class QWidget;

class OutputOptions : public QObject {
    Q_OBJECT
public:
    struct Services {
        Dialogs& dialogs;
        BassCore& core;
        BassWma& wma;           // offers the WMA bit rates
        QString settingsFolder; // where the settings file lives
    };
    struct Panels {
        QGroupBox* fileFormat;
        QGroupBox* generalOptions;
    };
    OutputOptions(const Services& services, const Panels& panels, QObject* parent = nullptr);

    void optExtractMode_Click(int index);
    void cmdBrowseFolder_Click();
    void LoadWMAEncoderRates();
    void LoadFileFormat();
    void LoadSettings();
    // False, after a box naming the settings file and the reason, when a value was not saved.
    bool SaveSettings();
    // Where the saved drive choice comes from: the position of the chosen drive, -1 for none.
    void setDriveIndexSource(std::function<int()> source) { m_driveIndex = std::move(source); }

    // The choices as the controls hold them now.
    OutputChoice choice() const;
    // Whether a scanned disc is looked up in the online databases.
    bool lookUpOnline() const;

signals:
    // The settings load found this drive position; the drive list decides whether it exists.
    void driveIndexLoaded(int index);
    // "Cover art" was ticked or unticked, by the user or the settings load.
    void coverArtChanged(bool on);

private:
    void BuildFileFormatPanel(QGroupBox* panel);
    void BuildWmaPanel(QFrame* frame);
    void BuildFlacPanel(QFrame* frame);
    void BuildGeneralOptionsPanel(QGroupBox* panel);
    QString BrowseForFolder(QWidget* owner, const QString& title);
    void ShowWholeFolder();
    QString ReadSetting(const QString& name, const QString& fallback);
    void LoadListIndex(QComboBox* list, const QString& name, int fallback);
    void LoadCbrChoice(QRadioButton* cbr, QRadioButton* vbr, const QString& name);
    void LoadCheck(QCheckBox* box, const QString& name);
    void ReportUnreadableSettings();
    // Files for a music library: ReplayGain and cover art (General Options), a second format
    // (Output format).
    void BuildLibraryOptions(QVBoxLayout* generalOptions);
    void BuildAlsoMake(QVBoxLayout* fileFormat);
    void ShowFormatOptions(int format, bool alsoMade);
    void FollowPrimaryFormat(int format);
    int alsoFormat() const;
    void LoadLibraryOptions();
    void SaveLibraryOptions(const std::function<void(const QString&, const QString&)>& write);
    void FillLibraryChoice(OutputChoice& choice) const;
    // One encoder for each processor core, as far as the setting goes.
    static int DefaultEncoders();
    static constexpr int kMostEncoders = 16;

    Services m_services;
    Dialogs& m_dialogs;
    QWidget* m_owner; // the window the boxes and the folder chooser belong to
    CRegister m_register;
    std::function<int()> m_driveIndex;
    QStringList m_reportedHives; // settings files the user has been told were not understood

    std::array<QRadioButton*, 6> optExtractMode{};
    std::array<QFrame*, 6> frFormatSettings{};
    QButtonGroup* m_extractModeGroup = nullptr;      // optExtractMode, ids 0..5
    QStackedLayout* m_formatSettingsStack = nullptr; // frFormatSettings, one in front
    QComboBox* cmbWMAEncodingBitrate = nullptr;
    QCheckBox* chkWMAFileTags = nullptr;
    QGroupBox* frameOutputTags = nullptr;
    std::array<QLineEdit*, 8> txtWMATags{};
    QRadioButton* optMP3CBR = nullptr;
    QRadioButton* optMP3VBR = nullptr;
    QComboBox* cmbMP3CBitrate = nullptr;
    QComboBox* cmbMP3VBitrate = nullptr;
    QRadioButton* optOGGCBR = nullptr;
    QRadioButton* optOGGVBR = nullptr;
    QComboBox* cmbOGGCBitrate = nullptr;
    QComboBox* cmbOGGVBitrate = nullptr;
    QComboBox* cmbFLACLevel = nullptr;
    QLineEdit* txtExtractPath = nullptr;
    QSpinBox* spnEncoders = nullptr;
    QLineEdit* txtFileNames = nullptr;
    QCheckBox* chkAccurateRip = nullptr;
    QCheckBox* chkLookUpOnline = nullptr;
    QCheckBox* chkReadTwice = nullptr;
    QCheckBox* chkRemovePreEmphasis = nullptr;
    QPushButton* cmdBrowseFolder = nullptr;
    // Files for a music library.
    QCheckBox* chkReplayGain = nullptr;
    QCheckBox* chkCoverArt = nullptr;
    QLabel* lblFormatOptions = nullptr; // whose options the panel shows
    QComboBox* cmbAlsoMake = nullptr;   // "None", then every format by its number
    QLineEdit* txtAlsoFileNames = nullptr;
    QCheckBox* chkWholeDisc = nullptr; // one file for the whole disc
};
