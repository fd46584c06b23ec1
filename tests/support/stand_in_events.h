// Test helper: the service's six events, made by the test instead of the
// service, so that it drives the indicator itself: Off and Setting Enable
// set, as the service starts them.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstddef>

#include "lensbeacon/names.h"
#include "lensbeacon/unique_owner.h"
#include "probe_programs.h"

namespace lensbeacon::test {

class StandInEvents {
  public:
    StandInEvents() {
        for (std::size_t i = 0; i < kEventCount; ++i) {
            const auto id = static_cast<EventId>(i);
            const bool manual = id != EventId::Change && id != EventId::SettingChange;
            const bool initially = id == EventId::Off || id == EventId::SettingEnable;
            events_[i].reset(::CreateEventW(nullptr, manual, initially, EventName(id)));
            EXPECT_TRUE(events_[i]) << "error " << ::GetLastError();
        }
    }
    HANDLE operator[](EventId id) const { return events_[static_cast<std::size_t>(id)].get(); }
    void CameraOn() const {
        EXPECT_TRUE(::ResetEvent((*this)[EventId::Off]));
        EXPECT_TRUE(::SetEvent((*this)[EventId::On]));
    }
    void CameraOff() const {
        EXPECT_TRUE(::ResetEvent((*this)[EventId::On]));
        EXPECT_TRUE(::SetEvent((*this)[EventId::Off]));
    }
    // Ends every running `program` (an indicator), which leaves the Service
    // event set; then the events are as a new start needs them: Service
    // clear, the camera off.
    void EndIndicators(const wchar_t* program) const {
        EXPECT_TRUE(::SetEvent((*this)[EventId::Service]));
        WaitForProcessesToEnd(program);
        EXPECT_TRUE(::ResetEvent((*this)[EventId::Service]));
        CameraOff();
    }

  private:
    UniqueHandle events_[kEventCount];
};

}  // namespace lensbeacon::test
