#include "settings/outputoptions.h"

#include "common/dialogs.h"

#include <QComboBox>

// The persisted settings arrive with the settings store. Until then nothing is
// stored, so a load leaves the user's current choices alone and only gives the
// bit-rate lists the selection they have when nothing was saved.

void OutputOptions::LoadFileFormat() {}

void OutputOptions::LoadSettings() {
    const std::pair<QComboBox*, int> defaults[] = {
        {cmbOGGCBitrate, 6}, {cmbOGGVBitrate, 6}, {cmbMP3CBitrate, 6}, {cmbMP3VBitrate, 5}};
    for (const auto& [list, index] : defaults)
        if (list != nullptr && list->currentIndex() < 0)
            list->setCurrentIndex(index);
}

bool OutputOptions::SaveSettings() {
    m_dialogs.showMessage(m_owner->window(),
                          QStringLiteral("Settings cannot be saved in this version yet; your "
                                         "choices stay in effect until Mivo is closed."),
                          QStringLiteral("Settings not saved"), MessageIcon::Exclamation,
                          MessageButtons::Ok);
    return false;
}
