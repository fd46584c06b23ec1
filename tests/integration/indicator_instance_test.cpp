// The indicator's single-instance mutex, hotkey event and listener thread
// against the real kernel objects and message queues.
#include <gtest/gtest.h>

#include "hotkey.h"
#include "indicator_state.h"
#include "lensbeacon/names.h"
#include "lensbeacon/unique_owner.h"
#include "listener.h"
#include "single_instance.h"

namespace lensbeacon::indicator {
namespace {

TEST(IndicatorInstance, OneInstancePerDesktopKind) {
    SingleInstance first;
    ASSERT_TRUE(first.Acquire(TRUE));
    EXPECT_TRUE(first.Holds());
    SingleInstance second;
    EXPECT_FALSE(second.Acquire(TRUE));
    EXPECT_FALSE(second.Holds());
    // The logon-desktop name is independent of the user-desktop one.
    SingleInstance logon;
    EXPECT_TRUE(logon.Acquire(FALSE));
    EXPECT_TRUE(logon.Holds());
    first.Release();
    EXPECT_TRUE(second.Acquire(TRUE));
}

TEST(IndicatorInstance, ANameTakenByAnotherKindOfObjectDoesNotStopTheStart) {
    const UniqueHandle squatter(::CreateEventW(nullptr, TRUE, FALSE, kLogonDesktopMutexName));
    ASSERT_TRUE(squatter);
    SingleInstance instance;
    EXPECT_TRUE(instance.Acquire(FALSE));
    EXPECT_FALSE(instance.Holds());
}

TEST(IndicatorHotkey, Wparam235SetsTheChangeEvent) {
    EXPECT_EQ(RegisterHotkeyMessage(), ::RegisterWindowMessageW(kHotkeyMessageName));
    const UniqueHandle change(::CreateEventW(nullptr, TRUE, FALSE, kChangeEventName));
    ASSERT_TRUE(change);
    EXPECT_FALSE(OnHotkeyMessage(234));
    EXPECT_EQ(::WaitForSingleObject(change.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_TRUE(OnHotkeyMessage(kHotkeyCameraChanged));
    EXPECT_EQ(::WaitForSingleObject(change.get(), 0), WAIT_OBJECT_0);
}

using UniqueWindow = UniqueOwner<HWND, ::DestroyWindow>;

// Waits for the next message posted to `window`; false if none comes within
// a bound long enough never to be reached by a working listener.
bool NextPost(HWND window, MSG& message) {
    for (int round = 0; round < 100; ++round) {
        if (::PeekMessageW(&message, window, 0, 0, PM_REMOVE)) {
            return true;
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_POSTMESSAGE);
    }
    return false;
}

TEST(IndicatorListener, TurnsTheCameraEventsIntoPostsAndStops) {
    const UniqueHandle on(::CreateEventW(nullptr, TRUE, FALSE, kOnEventName));
    const UniqueHandle off(::CreateEventW(nullptr, TRUE, TRUE, kOffEventName));
    const UniqueHandle service(::CreateEventW(nullptr, TRUE, FALSE, kServiceEventName));
    ASSERT_TRUE(on && off && service);
    const UniqueWindow frame(::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                               nullptr, nullptr, nullptr));
    const UniqueWindow indicator(::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                                   nullptr, nullptr, nullptr));
    ASSERT_TRUE(frame && indicator);

    IndicatorState state;
    state.consoleState = 1;
    state.lockState = 1;
    Listener listener(state, frame.get(), indicator.get());
    ASSERT_TRUE(listener.Start());

    ASSERT_TRUE(::ResetEvent(off.get()) && ::SetEvent(on.get()));
    MSG message = {};
    ASSERT_TRUE(NextPost(indicator.get(), message));
    EXPECT_EQ(message.message, WM_OSD_SHOWHIDE);
    EXPECT_EQ(message.wParam, reinterpret_cast<WPARAM>(frame.get()));
    EXPECT_EQ(message.lParam, kOsdShow);

    ASSERT_TRUE(::ResetEvent(on.get()) && ::SetEvent(off.get()));
    ASSERT_TRUE(NextPost(indicator.get(), message));
    EXPECT_EQ(message.lParam, kOsdHide);

    ASSERT_TRUE(::SetEvent(service.get()));
    ASSERT_TRUE(NextPost(frame.get(), message));
    EXPECT_EQ(message.message, WM_OSD_QUIT);
    listener.Stop();
    EXPECT_FALSE(listener.Running());

    // Stopped while it waits: the thread ends without posting anything.
    ASSERT_TRUE(::ResetEvent(service.get()));
    Listener waiting(state, frame.get(), indicator.get());
    ASSERT_TRUE(waiting.Start());
    waiting.Stop();
    EXPECT_FALSE(::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
}

}  // namespace
}  // namespace lensbeacon::indicator
