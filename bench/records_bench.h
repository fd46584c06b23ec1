// Wake-ups from Windows' record of camera use: record to event latency in
// the default mode, the idle cost with records present, a soak over both
// watch modes and both kinds of wake-up, and a laptop's USB camera.
#pragma once

namespace lensbeacon::bench {

void RecordLatencyAndIdleCost(int sessions);
void RecordSoak(int sessions);
// A laptop's USB camera of the Camera class on the root hub, held by a
// running program: record to event latency; the service's cost with only a
// stale record held, and while a program rewrites its record in a loop.
void UsbRecordLatency(int sessions);
void StaleRecordAndRewriteCost(int rewrites);

}  // namespace lensbeacon::bench
