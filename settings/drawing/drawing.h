// The settings program's drawing toolbox in one include.
#pragma once

#include "drawing/drawing_resources.h"
#include "drawing/image_routines.h"
#include "drawing/image_set.h"
#include "drawing/memory_dc.h"
#include "drawing/picture_target.h"
#include "drawing/scale.h"
#include "drawing/text_drawing.h"
