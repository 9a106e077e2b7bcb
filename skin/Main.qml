// The face of Mivo CD Player. Every button sends a named command to the
// program (fsCommand); the program answers through the variables of `_root`:
// the seven transport flags, the door lock, the scan status, what the display
// band shows (the disc's title and performer, the playing track and where it is),
// and the disc's cover. A file dropped on the display is handed to the program.
// Tab walks the buttons; Space or Enter presses the one with the focus.
import QtQuick

Rectangle {
    id: face
    objectName: "face"
    width: 700
    height: 603
    color: "#15181d"

    signal fsCommand(string command, string args)
    signal fileDropped(url file)

    function send(command) { face.fsCommand(command, "") }

    readonly property bool locked: _root.lock === "1"
    readonly property bool canLock: _root.CanLock !== "0"
    readonly property bool doorOpen: _root.DoorOpen === "1"

    gradient: Gradient {
        GradientStop { position: 0.0; color: "#2a2f38" }
        GradientStop { position: 1.0; color: "#101216" }
    }

    component SkinButton: Rectangle {
        id: button
        property string label
        property string command
        property bool active: true
        property color accent: "#3b82c4"
        signal pressed

        width: 130
        height: 30
        radius: 6
        enabled: active
        opacity: enabled ? 1.0 : 0.35
        color: mouse.pressed ? Qt.darker(accent, 1.4) : (mouse.containsMouse ? accent : "#2f3540")
        border.color: activeFocus ? "#ffd166" : Qt.lighter(accent, 1.3)
        border.width: activeFocus ? 3 : 1

        activeFocusOnTab: enabled
        Keys.onSpacePressed: face.send(command)
        Keys.onReturnPressed: face.send(command)
        Keys.onEnterPressed: face.send(command)
        Accessible.role: Accessible.Button
        Accessible.name: label
        Accessible.onPressAction: face.send(command)

        Text {
            anchors.centerIn: parent
            text: button.label
            color: "#eef2f7"
            font.pixelSize: 13
            font.bold: true
        }
        MouseArea {
            id: mouse
            anchors.fill: parent
            hoverEnabled: true
            onClicked: face.send(button.command)
        }
    }

    // ---- title bar: drag the window by it ----
    Rectangle {
        id: titleBar
        x: 0; y: 0; width: parent.width; height: 44
        color: "#0c0e12"
        Text {
            x: 18; anchors.verticalCenter: parent.verticalCenter
            text: "MIVO  CD PLAYER"
            color: "#8fc3f0"
            font.pixelSize: 18; font.bold: true; font.letterSpacing: 3
        }
        MouseArea {
            objectName: "dragArea"
            anchors.fill: parent
            Accessible.role: Accessible.Button
            Accessible.name: "Move window"
            Accessible.onPressAction: face.send("IDC_FS_Drag")
            onPressed: face.send("IDC_FS_Drag")
        }
        SkinButton { objectName: "btnHelp"; x: 470; y: 7; width: 66; label: "Help"; command: "IDC_FS_Help" }
        SkinButton { objectName: "btnMinimize"; x: 544; y: 7; width: 66; label: "_"; command: "IDC_FS_Minimize"; Accessible.name: "Minimize" }
        SkinButton { objectName: "btnClose"; x: 618; y: 7; width: 66; label: "X"; command: "IDC_FS_Close"; accent: "#c44b3b"; Accessible.name: "Close" }
    }

    // ---- transport: above the panels, so it stays in reach while one is shown ----
    Row {
        x: 45; y: 60; spacing: 8
        SkinButton { objectName: "btnBegin"; width: 74; label: "|<<"; command: "IDC_FS_Begin"; active: _root.BeginEnabled === "1"; Accessible.name: "First track" }
        SkinButton { objectName: "btnPrevious"; width: 74; label: "<<"; command: "IDC_FS_Previous"; active: _root.PreviousEnabled === "1"; Accessible.name: "Previous track" }
        SkinButton { objectName: "btnPlay"; width: 90; label: "Play"; command: "IDC_FS_Play"; active: _root.PlayEnabled === "1"; accent: "#3ba86b" }
        SkinButton { objectName: "btnPause"; width: 90; label: "Pause"; command: "IDC_FS_Pause"; active: _root.PauseEnabled === "1" }
        SkinButton { objectName: "btnStop"; width: 90; label: "Stop"; command: "IDC_FS_Stop"; active: _root.StopEnabled === "1" }
        SkinButton { objectName: "btnNext"; width: 74; label: ">>"; command: "IDC_FS_Next"; active: _root.NextEnabled === "1"; Accessible.name: "Next track" }
        SkinButton { objectName: "btnEnd"; width: 74; label: ">>|"; command: "IDC_FS_End"; active: _root.EndEnabled === "1"; Accessible.name: "Last track" }
    }

    // ---- left column: the option panels ----
    Column {
        x: 22; y: 120; spacing: 10
        Text { text: "PANELS"; color: "#7d8794"; font.pixelSize: 11; font.bold: true }
        SkinButton { objectName: "btnShowExtract"; label: "Tracks"; command: "IDC_FS_ShowExtract" }
        SkinButton { objectName: "btnCDDrive"; label: "CD Drive"; command: "IDC_FS_CD Drive" }
        SkinButton { objectName: "btnOutputFormat"; label: "Output format"; command: "IDC_FS_output format" }
        SkinButton { objectName: "btnShowSettings"; label: "Settings"; command: "IDC_FS_ShowSettings" }
        SkinButton { objectName: "btnGeneral"; label: "General"; command: "IDC_FS_General" }
        SkinButton { objectName: "btnHide"; label: "Hide panels"; command: "IDC_FS_Hide" }
        SkinButton { objectName: "btnExtract"; label: "Back to player"; command: "IDC_FS_Extract" }
    }

    // ---- right column: rip, settings and the door ----
    Column {
        x: 552; y: 120; spacing: 10
        Text { text: "RIP"; color: "#7d8794"; font.pixelSize: 11; font.bold: true }
        SkinButton { objectName: "btnExtractBtn"; label: "Rip ticked tracks"; command: "IDC_FS_ExtractBtn"; accent: "#3ba86b" }
        SkinButton { objectName: "btnApply"; label: "Save settings"; command: "IDC_FS_Apply" }
        SkinButton { objectName: "btnSettings"; label: "Reload settings"; command: "IDC_FS_Settings" }
        Item { width: 1; height: 12 }
        Text { text: "DOOR"; color: "#7d8794"; font.pixelSize: 11; font.bold: true }
        SkinButton { objectName: "btnOpenFiles"; label: "Open / Close"; command: "IDC_FS_OpenFiles"; active: _root.CanOpen !== "0" && !face.locked }
        SkinButton { objectName: "btnLock"; label: "Lock"; command: "IDC_FS_lock"; active: face.canLock }
        SkinButton { objectName: "btnUnlock"; label: "Unlock"; command: "IDC_FS_Unlock"; active: face.canLock }
        Rectangle {
            objectName: "lockIndicator"
            // A drive that cannot lock is never shown locked or unlocked.
            property string label: !face.canLock ? "No lock" : (face.locked ? "Locked" : "Unlocked")
            enabled: face.canLock
            opacity: enabled ? 1.0 : 0.35
            width: 130; height: 30; radius: 15
            color: face.locked ? "#7a2e24" : "#1f3b2c"
            border.color: face.locked ? "#e0705f" : "#5fbf8a"
            Accessible.role: Accessible.Button
            Accessible.name: face.canLock ? "Door " + label + ", toggle" : "Door cannot be locked"
            Accessible.onPressAction: face.send("IDC_FS_unlock")
            Text {
                objectName: "lockText"
                anchors.centerIn: parent
                text: parent.label
                color: "#eef2f7"; font.pixelSize: 12; font.bold: true
            }
            MouseArea { anchors.fill: parent; onClicked: face.send("IDC_FS_unlock") }
        }
        Text {
            objectName: "doorText"
            text: face.doorOpen ? "Door open" : "Door closed"
            color: "#b9c2cf"; font.pixelSize: 12
            Accessible.role: Accessible.StaticText
            Accessible.name: text
        }
    }

    function twoDigits(number) { return number.length < 2 ? "0" + number : number }

    // ---- the display: the band at its top stays in sight above every panel ----
    Rectangle {
        objectName: "display"
        x: 176; y: 108; width: 372; height: 487
        radius: 10
        color: "#0b1a26"
        border.color: "#24506f"
        Column {
            objectName: "displayBand"
            x: 14; y: 10; width: parent.width - 28; spacing: 6
            Text {
                objectName: "discLine"
                width: parent.width
                elide: Text.ElideRight
                text: _root.DiscTitle === "" ? "No audio disc"
                      : _root.DiscTitle + (_root.DiscPerformer === "" ? "" : " — " + _root.DiscPerformer)
                color: "#eef2f7"; font.pixelSize: 15; font.bold: true
                Accessible.role: Accessible.StaticText
                Accessible.name: "Disc: " + text
            }
            Text {
                objectName: "trackLine"
                width: parent.width
                text: _root.PlayState === "playing" || _root.PlayState === "paused"
                      ? (_root.PlayState === "paused" ? "Paused" : "Playing") + "  ·  Track "
                        + face.twoDigits(_root.TrackNumber) + "  ·  " + _root.TrackPosition
                        + " / " + _root.TrackLength
                      : "Stopped"
                color: "#8fc3f0"; font.pixelSize: 14
                Accessible.role: Accessible.StaticText
                Accessible.name: text
            }
        }
        // The disc's cover where the program has one, else the logo.
        Image {
            id: cover
            objectName: "coverArt"
            anchors.horizontalCenter: parent.horizontalCenter
            y: 62; width: 224; height: 224
            source: _root.CoverArt
            visible: _root.CoverArt !== "" && status === Image.Ready
            fillMode: Image.PreserveAspectFit
            smooth: true
            cache: false
            Accessible.role: Accessible.Graphic
            Accessible.name: "Cover of " + (_root.DiscTitle === "" ? "the disc" : _root.DiscTitle)
        }
        Text {
            objectName: "logo"
            anchors.horizontalCenter: parent.horizontalCenter
            y: 200
            visible: !cover.visible
            text: "MIVO"
            color: "#2f6f9f"
            font.pixelSize: 64; font.bold: true; font.letterSpacing: 8
        }
        // An image file dropped here becomes the disc's cover.
        DropArea {
            anchors.fill: parent
            onEntered: (drag) => { drag.accepted = drag.hasUrls }
            onDropped: (drop) => { if (drop.hasUrls) face.fileDropped(drop.urls[0]) }
            Rectangle {
                anchors.fill: parent
                radius: 10
                visible: parent.containsDrag
                color: "transparent"
                border.color: "#ffd166"; border.width: 3
            }
        }
        Text {
            objectName: "statusText"
            anchors.horizontalCenter: parent.horizontalCenter
            y: 300
            horizontalAlignment: Text.AlignHCenter
            text: _root.PlayEnabled === "1" ? "Disc ready. Press Play, or Tracks to choose."
                                            : "No audio disc. Insert one or choose a drive."
            color: "#8fc3f0"
            font.pixelSize: 13
        }
    }

}
