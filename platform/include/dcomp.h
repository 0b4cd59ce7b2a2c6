/* DirectComposition (declarations grow with the dcomp stand-in). */
#pragma once

#include "d3d11.h"

struct IDCompositionDevice;
struct IDCompositionTarget;
struct IDCompositionVisual;
