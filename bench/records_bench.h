// Wake-ups from Windows' record of camera use: record to event latency in
// the default mode, the idle cost with records present, and a soak over both
// watch modes and both kinds of wake-up.
#pragma once

namespace lensbeacon::bench {

void RecordLatencyAndIdleCost(int sessions);
void RecordSoak(int sessions);

}  // namespace lensbeacon::bench
