#include "common/errorreporting.h"

#include "common/dialogs.h"
#include "common/product.h"

#include <map>

namespace {
const QString kCrLf = QStringLiteral("\r\n");
}

void ShowError(Dialogs& dialogs, QWidget* owner, const QString& module, const QString& routine,
               int number, const QString& description) {
    const QString text = "Error in routine : " + routine + "in module : " + module + kCrLf +
                         "Error #" + QString::number(number) + kCrLf + description;
    dialogs.showMessage(owner, text, kProductName, MessageIcon::None, MessageButtons::Ok);
}

void ShowCodedError(Dialogs& dialogs, QWidget* owner, const QString& message, int code) {
    QString text = message;
    if (code != -1)
        text += kCrLf + kCrLf + "Error Code : " + QString::number(code);
    dialogs.showMessage(owner, text, QStringLiteral("Error"), MessageIcon::Critical,
                        MessageButtons::Ok);
}

QString BassErrorText(int code) {
    static const std::map<int, QString> kTexts = {
        {0, "All is OK"},
        {1, "Memory Error"},
        {2, "Can't Open the File"},
        {3, "Can't Find a Free Sound Driver"},
        {4, "The Sample Buffer Was Lost - Please Report This!"},
        {5, "Invalid Handle"},
        {6, "Unsupported Format"},
        {7, "Invalid Playback Position"},
        {8, "BASS_Init Has Not Been Successfully Called"},
        {9, "BASS_Start Has Not Been Successfully Called"},
        {12, "No CD in drive"},
        {13, "Can't Play the Selected CD Track"},
        {14, "Already Initialized"},
        {16, "Not Paused"},
        {17, "Not An Audio Track"},
        {18, "Can't Get a Free Channel"},
        {19, "An Illegal Type Was Specified"},
        {20, "An Illegal Parameter Was Specified"},
        {21, "No 3D Support"},
        {22, "No EAX Support"},
        {23, "Illegal Device Number"},
        {24, "Not Playing"},
        {25, "Illegal Sample Rate"},
        {27, "The Stream is Not a File Stream (WAV/MP3)"},
        {29, "No Hardware Voices Available"},
        {31, "The MOD music has no sequence data"},
        {32, "No Internet connection could be opened"},
        {33, "Couldn't create the file"},
        {34, "Effects are not enabled"},
        {35, "The channel is playing"},
        {37, "The requested data is not available"},
        {38, "The channel is a 'decoding channel'"},
        {1002, "The disc image's file is shorter than its sheet says"},
        {1003, "The disc is still being read"},
        {-1, "Some Other Mystery Error"},
    };
    const auto found = kTexts.find(code);
    return found == kTexts.end() ? QString() : found->second;
}
