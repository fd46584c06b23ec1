// The real event calls behind the trace's signals to the watch loop.
#include <windows.h>

#include "camera_trace.h"

namespace lensbeacon {
namespace {

const TraceEventPort kRealEvents = {::SetEvent, ::ResetEvent};

}  // namespace

const TraceEventPort& Win32TraceEventPort() {
    return kRealEvents;
}

}  // namespace lensbeacon
