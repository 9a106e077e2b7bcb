#pragma once

#include "common/audiolibrary.h"

// The family's BOOL results.
inline constexpr BOOL kFalse = 0;
inline constexpr BOOL kTrue = 1;
