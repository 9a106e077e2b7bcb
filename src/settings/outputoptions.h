#pragma once

// The output options: the format with its settings panels (Grapping Format) and the output
// folder (General Options), and the settings that keep them.

#include "common/audiolibrary.h"
#include "settings/outputchoice.h"

#include <QObject>

#include <array>

class Dialogs;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QStackedLayout;
class QWidget;

class OutputOptions : public QObject {
    Q_OBJECT
public:
    struct Services {
        Dialogs& dialogs;
        BassCore& core;
        BassWma& wma; // offers the WMA bit rates
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
    bool SaveSettings();

    // The choices as the controls hold them now.
    OutputChoice choice() const;

private:
    void BuildFileFormatPanel(QGroupBox* panel);
    void BuildWmaPanel(QFrame* frame);
    void BuildGeneralOptionsPanel(QGroupBox* panel);
    QString BrowseForFolder(QWidget* owner, const QString& title);

    Services m_services;
    Dialogs& m_dialogs;
    QWidget* m_owner; // the window the boxes and the folder chooser belong to

    std::array<QRadioButton*, 5> optExtractMode{};
    std::array<QFrame*, 5> frFormatSettings{};
    QButtonGroup* m_extractModeGroup = nullptr;      // optExtractMode, ids 0..4
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
    QLineEdit* txtExtractPath = nullptr;
    QPushButton* cmdBrowseFolder = nullptr;
};
