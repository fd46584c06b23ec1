// The indicator's benchmark: On event to visible window over camera
// sessions, beside the service's camera to On event, and its private memory
// shown and hidden.
#pragma once

namespace lensbeacon::bench {

void IndicatorLatencyAndMemory(int sessions);

}  // namespace lensbeacon::bench
