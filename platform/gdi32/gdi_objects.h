// gdi32 objects as other stand-in DLLs see them.
#pragma once

#include <windows.h>

#include <optional>

#include "common/knobs.h"

namespace ilk {

struct SolidBrush {
  COLORREF color;  // 0x00BBGGRR
};

// The colour of a brush made by CreateSolidBrush; none for anything else.
ILK_API std::optional<COLORREF> BrushColor(HBRUSH brush);

}  // namespace ilk
