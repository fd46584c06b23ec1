// The real event calls behind the trace's signals to the watch loop.
#include <windows.h>

#include "camera_trace.h"

namespace lensbeacon {
namespace {

const TraceEventApi kRealEvents = {::SetEvent, ::ResetEvent};

}  // namespace

const TraceEventApi& RealTraceEventApi() {
    return kRealEvents;
}

}  // namespace lensbeacon
