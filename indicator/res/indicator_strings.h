// String resources of the indicator: the words that join the caption and the
// names of the programs holding the camera.
#pragma once

#define IDS_CAMERA_ON_BY 200    // "%1: %2": the caption, then the names
#define IDS_NAME_SEPARATOR 201  // between two names
