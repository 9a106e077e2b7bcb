#include "playback/player.h"

#include "cd/door.h"

#include "common/modbass.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>

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

// Buttons by index (7 does not exist) and where they sit in the panel's grid.
struct ButtonPlace {
    int index;
    const char* caption;
    int row;
    int column;
};
const ButtonPlace kButtons[] = {
    {0, "&Play", 0, 0}, {1, "P&ause/Resume", 0, 1}, {2, "&Stop", 0, 2}, {8, "&Fade Out", 0, 3},
    {3, "&Lock", 1, 0}, {4, "&Unlock", 1, 1},       {5, "&Open", 1, 2}, {6, "&Close", 1, 3},
};

bool IsUserStep(int action) {
    return action != QAbstractSlider::SliderNoAction && action != QAbstractSlider::SliderMove;
}
} // namespace

void Player::BuildButtons(QGroupBox* panel) {
    auto* buttons = new QGridLayout;
    buttons->setSpacing(2);
    for (const ButtonPlace& place : kButtons) {
        auto* button = new QPushButton(QString::fromLatin1(place.caption), panel);
        button->setObjectName(QStringLiteral("cmdButton_%1").arg(place.index));
        cmdButton[place.index] = button;
        buttons->addWidget(button, place.row, place.column);
        connect(button, &QPushButton::clicked, this,
                [this, index = place.index] { cmdButton_Click(index); });
    }
    static_cast<QVBoxLayout*>(panel->layout())->addLayout(buttons);
}

void Player::EnableDoorButtons(bool canOpen, bool canLock) {
    cmdButton[3]->setEnabled(canLock);
    cmdButton[4]->setEnabled(canLock);
    cmdButton[5]->setEnabled(canOpen);
    cmdButton[6]->setEnabled(canOpen);
}

// The volume, balance and position sliders with their labels, below the track list.
void Player::BuildSliders(QGroupBox* panel) {
    auto* controls = new QWidget(panel);
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
    // The value labels are read with what they show; the description says what that is.
    lblBalance->setAccessibleDescription(QStringLiteral("Balance"));
    lblTrackPosition->setAccessibleDescription(QStringLiteral("Track position"));

    // Position and balance on the left, the volume to their right, all in two rows.
    grid->addWidget(SliderPosition, 0, 0);
    grid->addWidget(lblTrackPosition, 0, 1);
    grid->addWidget(SliderBalance, 1, 0);
    grid->addWidget(lblBalance, 1, 1);
    grid->addWidget(SliderVolume, 0, 2, 2, 1, Qt::AlignHCenter);
    grid->addWidget(lblVolume, 0, 3, 2, 1, Qt::AlignVCenter);
    grid->setColumnStretch(0, 1);
    panel->layout()->addWidget(controls);
    ConnectSliders();
}

// valueChanged follows every change, also by code; actionTriggered only what the user does
// with the keyboard, the wheel or the mouse. While an action runs the slider's value still
// lags behind what the user asked for, so the handlers read sliderPosition(), which already
// holds it. A click on the groove or a key steps the position and seeks at once; a drag of
// the handle seeks when it is released.
void Player::ConnectSliders() {
    connect(SliderVolume, &QSlider::valueChanged, this, &Player::SliderVolume_Change);
    connect(SliderVolume, &QSlider::actionTriggered, this, [this](int action) {
        if (action != QAbstractSlider::SliderNoAction)
            SliderVolume_Scroll();
    });
    connect(SliderBalance, &QSlider::actionTriggered, this, [this](int action) {
        if (action != QAbstractSlider::SliderNoAction)
            SliderBalance_Scroll();
    });
    connect(SliderPosition, &QSlider::sliderPressed, this, &Player::SliderPosition_MouseDown);
    connect(SliderPosition, &QSlider::sliderReleased, this, [this] {
        SliderPosition_MouseUp();
        SliderPosition_Click();
    });
    connect(SliderPosition, &QSlider::actionTriggered, this, [this](int action) {
        if (IsUserStep(action) && !bSeeking)
            SliderPosition_Click();
    });
}

void Player::cmdButton_Click(int index) {
    BassCore& core = m_services.core;
    switch (index) {
    case 0:
        PlaySelectedRow();
        return;
    case 1:
        if (core.BASS_ChannelIsActive(lStream) == BASS_ACTIVE_PAUSED)
            core.BASS_ChannelResume(lStream);
        else
            pause();
        return;
    case 2:
        stop();
        return;
    case 3:
        m_door.lock();
        return;
    case 4:
        m_door.unlock();
        return;
    case 5:
        m_door.open();
        return;
    case 6:
        m_door.close();
        return;
    case 8:
        FadeOut();
        return;
    default:
        return;
    }
}

void Player::SliderVolume_Change() {
    lblVolume->setText(VolumeCaption(SliderVolume->value()));
}

void Player::SliderVolume_Scroll() {
    const int position = SliderVolume->sliderPosition();
    m_services.core.BASS_ChannelSetAttributes(lStream, -1, std::abs(position), -101);
    lblVolume->setText(VolumeCaption(position));
}

void Player::SliderBalance_Scroll() {
    const int pan = SliderBalance->sliderPosition();
    m_services.core.BASS_ChannelSetAttributes(lStream, -1, -1, pan);
    lblBalance->setText(QString::number(pan));
}

void Player::SliderPosition_MouseDown() {
    bSeeking = true;
}

void Player::SliderPosition_MouseUp() {
    bSeeking = false;
}

void Player::SliderPosition_Click() {
    const auto length = static_cast<DWORD>(m_services.core.BASS_StreamGetLength(lStream));
    const double target = std::nearbyint(SliderPosition->sliderPosition() / 10000.0 * length);
    SetPosition(m_services.core, lStream, static_cast<DWORD>(target));
}
