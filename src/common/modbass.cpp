#include "common/modbass.h"

#include <algorithm>
#include <cstring>

QString Ptr2Str(const char* address) {
    if (address == nullptr)
        return {};
    return QString::fromLocal8Bit(address, static_cast<qsizetype>(std::strlen(address)));
}

float Bytes2Seconds(BassCore& core, DWORD handle, DWORD bytes) {
    return core.BASS_ChannelBytes2Seconds(handle, static_cast<QWORD>(bytes));
}

BOOL SetPosition(BassCore& core, DWORD handle, DWORD bytes) {
    return core.BASS_ChannelSetPosition(handle, static_cast<QWORD>(bytes));
}

HSYNC SetSync(BassCore& core, DWORD handle, DWORD type, DWORD param, SYNCPROC* proc, void* user) {
    return core.BASS_ChannelSetSync(handle, type, static_cast<QWORD>(param), proc, user);
}

float DoneFraction(QWORD length, QWORD position) {
    constexpr QWORD kUnknown = static_cast<QWORD>(-1);
    const auto length32 = static_cast<DWORD>(length);
    const auto position32 = static_cast<DWORD>(position);
    if (length == kUnknown || position == kUnknown || length32 == 0)
        return 0.0f;
    return std::min(1.0f, static_cast<float>(position32) / static_cast<float>(length32));
}
