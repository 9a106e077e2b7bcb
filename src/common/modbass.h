#pragma once

// Small helpers around the audio library, shared by the player and the rippers.

#include "common/audiolibrary.h"

#include <QString>

// Text of a zero-terminated string the library returned (a drive description, a
// CD-TEXT entry), decoded from the system's 8-bit encoding. Null gives empty text.
QString Ptr2Str(const char* address);

// The byte count (a 32-bit value) widened to the library's 64-bit positions.
float Bytes2Seconds(BassCore& core, DWORD handle, DWORD bytes);
BOOL SetPosition(BassCore& core, DWORD handle, DWORD bytes);
HSYNC SetSync(BassCore& core, DWORD handle, DWORD type, DWORD param, SYNCPROC* proc, void* user);

// Part of a stream done, 0 to 1, from its length and position; 0 while the length is 0
// or either cannot be read.
float DoneFraction(QWORD length, QWORD position);
