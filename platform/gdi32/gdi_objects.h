// gdi32 objects as other stand-in DLLs see them.
#pragma once

#include <windows.h>

#include <optional>

#include "common/knobs.h"

namespace ilk::gdi32 {

struct SolidBrush {
  COLORREF color;  // 0x00BBGGRR
};

// The colour of a brush made by CreateSolidBrush; none for anything else.
INTERLOCK_EXPORT std::optional<COLORREF> BrushColor(HBRUSH brush);

}  // namespace ilk::gdi32
