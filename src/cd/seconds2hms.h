#pragma once

#include <QString>

// "mm:ss" under an hour, "hh:mm:ss" from then on.
QString Seconds2HMS(int lngSeconds);
