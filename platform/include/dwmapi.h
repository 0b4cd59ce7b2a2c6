/* Desktop Window Manager. */
#pragma once

#include "windef.h"

STDAPI DwmFlush(void);
