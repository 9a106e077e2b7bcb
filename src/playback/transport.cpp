#include "shell/frmmain.h"

#include "common/modbass.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTreeWidget>

#include <cmath>
#include <cstdlib>

namespace {
QSlider* MakeSlider(QWidget* parent, const QString& name, Qt::Orientation orientation, int minimum,
                    int maximum, int pageStep, int singleStep) {
    auto* slider = new QSlider(orientation, parent);
    slider->setObjectName(name);
    slider->setRange(minimum, maximum);
    slider->setPageStep(pageStep);
    slider->setSingleStep(singleStep);
    return slider;
}

QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& caption) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(name);
    return label;
}

// Half goes to the even neighbour: position -45 shows 4, -55 shows 6.
QString VolumeCaption(int position) {
    const double tenths = std::nearbyint(std::abs(position) / 10.0);
    return QStringLiteral("Volume : ") + QString::number(static_cast<int>(tenths));
}

bool IsUserStep(int action) {
    return action != QAbstractSlider::SliderNoAction && action != QAbstractSlider::SliderMove;
}
} // namespace

// The volume, balance and position sliders with their labels, below the track list.
void frmMain::BuildPlaybackControls() {
    auto* controls = new QWidget(frMain);
    controls->setObjectName(QStringLiteral("playbackControls"));
    auto* grid = new QGridLayout(controls);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(0);

    // Top is full volume: the position is the negated volume.
    SliderVolume =
        MakeSlider(controls, QStringLiteral("SliderVolume"), Qt::Vertical, -100, 0, 1, 10);
    SliderVolume->setInvertedAppearance(true);
    SliderVolume->setInvertedControls(true); // the up key moves the handle up, to louder
    SliderVolume->setFixedHeight(40);
    SliderBalance =
        MakeSlider(controls, QStringLiteral("SliderBalance"), Qt::Horizontal, -100, 100, 10, 1);
    SliderBalance->setTickPosition(QSlider::TicksBelow);
    SliderBalance->setTickInterval(10);
    SliderPosition =
        MakeSlider(controls, QStringLiteral("SliderPosition"), Qt::Horizontal, 0, 10000, 1000, 100);
    SliderPosition->setTickPosition(QSlider::TicksBelow);
    SliderPosition->setTickInterval(500);

    lblVolume = MakeLabel(controls, QStringLiteral("lblVolume"), QStringLiteral("Volume"));
    lblBalance = MakeLabel(controls, QStringLiteral("lblBalance"), QStringLiteral("0"));
    lblTrackPosition = MakeLabel(controls, QStringLiteral("lblTrackPosition"), QString());
    lblTrackPosition->setMinimumWidth(90);

    SliderVolume->setAccessibleName(QStringLiteral("Volume"));
    SliderBalance->setAccessibleName(QStringLiteral("Balance"));
    SliderPosition->setAccessibleName(QStringLiteral("Track position"));
    lblBalance->setAccessibleName(QStringLiteral("Balance"));
    lblTrackPosition->setAccessibleName(QStringLiteral("Track position"));

    // Position and balance on the left, the volume to their right, all in two rows.
    grid->addWidget(SliderPosition, 0, 0);
    grid->addWidget(lblTrackPosition, 0, 1);
    grid->addWidget(SliderBalance, 1, 0);
    grid->addWidget(lblBalance, 1, 1);
    grid->addWidget(SliderVolume, 0, 2, 2, 1, Qt::AlignHCenter);
    grid->addWidget(lblVolume, 0, 3, 2, 1, Qt::AlignVCenter);
    grid->setColumnStretch(0, 1);
    frMain->layout()->addWidget(controls);

    ConnectTransportButtons();
    ConnectSliders();
}

void frmMain::ConnectTransportButtons() {
    for (int index = 0; index < static_cast<int>(cmdButton.size()); ++index)
        if (cmdButton[index] != nullptr)
            connect(cmdButton[index], &QPushButton::clicked, this,
                    [this, index] { cmdButton_Click(index); });
    if (lsTracks != nullptr)
        connect(lsTracks, &QTreeWidget::itemDoubleClicked, this, [this] { lsTracks_DblClick(); });
}

// valueChanged follows every change, also by code; actionTriggered only what the
// user does with the keyboard, the wheel or the mouse.
void frmMain::ConnectSliders() {
    connect(SliderVolume, &QSlider::valueChanged, this, &frmMain::SliderVolume_Change);
    connect(SliderVolume, &QSlider::actionTriggered, this, &frmMain::SliderVolume_Action);
    connect(SliderBalance, &QSlider::actionTriggered, this, &frmMain::SliderBalance_Action);
    connect(SliderPosition, &QSlider::sliderPressed, this, &frmMain::SliderPosition_MouseDown);
    connect(SliderPosition, &QSlider::sliderReleased, this, [this] {
        SliderPosition_MouseUp();
        SliderPosition_Click();
    });
    connect(SliderPosition, &QSlider::actionTriggered, this, &frmMain::SliderPosition_Action);
}

// While an action runs the slider's value still lags behind what the user asked
// for, so the handlers read sliderPosition(), which already holds it.
void frmMain::SliderVolume_Action(int action) {
    if (action != QAbstractSlider::SliderNoAction)
        SliderVolume_Scroll();
}

void frmMain::SliderBalance_Action(int action) {
    if (action != QAbstractSlider::SliderNoAction)
        SliderBalance_Scroll();
}

// A click on the groove or a key steps the position and seeks at once; a drag
// of the handle seeks when it is released.
void frmMain::SliderPosition_Action(int action) {
    if (IsUserStep(action) && !bSeeking)
        SliderPosition_Click();
}

void frmMain::cmdButton_Click(int index) {
    switch (index) {
    case 0:
        PlaySelectedRow();
        return;
    case 1:
        if (core().BASS_ChannelIsActive(lStream) == BASS_ACTIVE_PAUSED)
            core().BASS_ChannelResume(lStream);
        else
            core().BASS_ChannelPause(lStream);
        return;
    case 2:
        core().BASS_ChannelStop(lStream);
        return;
    case 3:
        cd().BASS_CD_Door(lDrive, BASS_CD_DOOR_LOCK);
        return;
    case 4:
        cd().BASS_CD_Door(lDrive, BASS_CD_DOOR_UNLOCK);
        return;
    case 5:
        core().BASS_ChannelStop(lStream);
        cd().BASS_CD_Door(lDrive, BASS_CD_DOOR_OPEN);
        return;
    case 6:
        cd().BASS_CD_Door(lDrive, BASS_CD_DOOR_CLOSE);
        ShowDriveInfo();
        return;
    case 8:
        FadeOut();
        return;
    default:
        return;
    }
}

void frmMain::lsTracks_DblClick() {
    PlaySelectedRow();
}

// Without a selected row there is nothing to play and nothing happens.
void frmMain::PlaySelectedRow() {
    const int selected = SelectedRow();
    if (selected > 0)
        PlayTrack(TrackOfRow(lsTracks->topLevelItem(selected - 1)));
}

void frmMain::SliderVolume_Change() {
    lblVolume->setText(VolumeCaption(SliderVolume->value()));
}

void frmMain::SliderVolume_Scroll() {
    const int position = SliderVolume->sliderPosition();
    core().BASS_ChannelSetAttributes(lStream, -1, std::abs(position), -101);
    lblVolume->setText(VolumeCaption(position));
}

void frmMain::SliderBalance_Scroll() {
    const int pan = SliderBalance->sliderPosition();
    core().BASS_ChannelSetAttributes(lStream, -1, -1, pan);
    lblBalance->setText(QString::number(pan));
}

void frmMain::SliderPosition_MouseDown() {
    bSeeking = true;
}

void frmMain::SliderPosition_MouseUp() {
    bSeeking = false;
}

void frmMain::SliderPosition_Click() {
    const auto length = static_cast<DWORD>(core().BASS_StreamGetLength(lStream));
    const double target = std::nearbyint(SliderPosition->sliderPosition() / 10000.0 * length);
    SetPosition(core(), lStream, static_cast<DWORD>(target));
}

void frmMain::FadeOut() {
    core().BASS_ChannelSlideAttributes(lStream, -1, 0, -101, 5000);
}
