#include "settings/outputoptions.h"

#include "common/errorreporting.h"
#include "settings/wmaratecaption.h"

#include <QComboBox>

// The WMA bit rates the encoder offers for CD audio, each item holding its rate in bits per
// second; the first is selected. Without an encoder the list stays as it was.
void OutputOptions::LoadWMAEncoderRates() {
    const DWORD* rates = m_services.wma.BASS_WMA_EncodeGetRates(44100, 0);
    if (rates == nullptr) {
        ShowCodedError(m_dialogs, m_owner->window(), QStringLiteral("Error: Can't find a codec"),
                       m_services.core.BASS_ErrorGetCode());
        return;
    }
    for (; *rates != 0; ++rates)
        cmbWMAEncodingBitrate->addItem(WmaRateCaption(*rates), static_cast<int>(*rates));
    if (cmbWMAEncodingBitrate->count() > 0)
        cmbWMAEncodingBitrate->setCurrentIndex(0);
}
