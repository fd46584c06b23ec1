// The listener's state machine with a scripted system: which event each pass
// waits for, what the camera events learn about the console and the lock,
// which messages it posts, a lock change that crosses an On, and the looks
// at the input desktop while an On is held back.
#include <gtest/gtest.h>
#include <windows.h>
#include <wtsapi32.h>

#include <functional>
#include <string>
#include <vector>

#include "listener.h"
#include "session_change.h"

namespace lensbeacon::indicator {
namespace {

constexpr DWORD kStop = WAIT_OBJECT_0;
constexpr DWORD kCamera = WAIT_OBJECT_0 + 1;
constexpr DWORD kService = WAIT_OBJECT_0 + 2;
constexpr DWORD kTimeout = WAIT_TIMEOUT;

class FakeListenerPort : public ListenerPort {
  public:
    bool onOpens = true, offOpens = true, serviceOpens = true;
    std::vector<DWORD> waitResults;  // then stop
    bool sessionQuerySucceeds = true;
    DWORD processSession = 1, consoleSession = 1;
    bool inputQuerySucceeds = true;
    DWORD receivesInput = 1;
    std::vector<DWORD> inputAnswers;         // one per query, then receivesInput
    std::vector<bool> onSignaled;            // one per look at On, then true
    std::function<void()> duringInputQuery;  // what another thread does meanwhile

    std::vector<std::string> waits;  // "On/3", "Off/2" ...
    std::vector<DWORD> timeouts;     // of each wait
    std::vector<std::string> posts;  // "show", "hide", "quit"
    int closes = 0;
    int sessionQueries = 0, inputQueries = 0, onLooks = 0;

    bool OpenEvent(CameraEvent which) override {
        return which == CameraEvent::On    ? onOpens
               : which == CameraEvent::Off ? offOpens
                                           : serviceOpens;
    }
    DWORD WaitAny(CameraEvent awaited, DWORD count, DWORD timeoutMs) override {
        waits.push_back((awaited == CameraEvent::On ? "On/" : "Off/") + std::to_string(count));
        timeouts.push_back(timeoutMs);
        const std::size_t pass = waits.size() - 1;
        const DWORD result = pass < waitResults.size() ? waitResults[pass] : kStop;
        // A wait without a time-out never times out: a script that says so
        // for one is wrong, and so is a listener that polls when it should not.
        EXPECT_FALSE(result == kTimeout && timeoutMs == INFINITE) << "pass " << pass;
        return result;
    }
    bool IsSignaled(CameraEvent which) override {
        EXPECT_EQ(which, CameraEvent::On);
        const std::size_t look = static_cast<std::size_t>(onLooks++);
        return look < onSignaled.size() ? onSignaled[look] : true;
    }
    void CloseEvents() override { ++closes; }
    bool ProcessSessionId(DWORD& session) override {
        ++sessionQueries;
        session = processSession;
        return sessionQuerySucceeds;
    }
    DWORD ActiveConsoleSessionId() override { return consoleSession; }
    void DesktopReceivesInput(DWORD& value) override {
        ++inputQueries;
        if (duringInputQuery) {
            duringInputQuery();
        }
        const std::size_t query = static_cast<std::size_t>(inputQueries - 1);
        if (inputQuerySucceeds) {
            value = query < inputAnswers.size() ? inputAnswers[query] : receivesInput;
        }
    }
    void PostShowHide(LPARAM showOrHide) override {
        posts.push_back(showOrHide == kOsdShow ? "show" : showOrHide == kOsdHide ? "hide" : "?");
    }
    void PostQuit() override { posts.push_back("quit"); }
};

using Posts = std::vector<std::string>;
using Timeouts = std::vector<DWORD>;
constexpr DWORD kForever = INFINITE;
constexpr DWORD kPoll = kInputPollMs;

TEST(Listener, CameraAlreadyOnShowsAtOnceAndWaitsAlternately) {
    IndicatorState state;
    FakeListenerPort api;
    api.waitResults = {kCamera, kCamera, kCamera};
    EXPECT_EQ(RunListener(state, api), 0u);
    EXPECT_EQ(api.waits, (std::vector<std::string>{"On/3", "Off/3", "On/3", "Off/3"}));
    EXPECT_EQ(api.posts, (Posts{"show", "hide", "show"}));
    EXPECT_EQ(state.cameraOn.load(), 1);
    EXPECT_EQ(state.consoleState.load(), 1);
    EXPECT_EQ(state.lockState.load(), 1);
    // The console is learnt once, the input desktop asked at every On.
    EXPECT_EQ(api.sessionQueries, 1);
    EXPECT_EQ(api.inputQueries, 2);
    EXPECT_EQ(api.closes, 1);
}

TEST(Listener, OnWhileLockedRecordsTheCameraButPostsNothingAndOffAlwaysHides) {
    IndicatorState state;
    state.lockState = 1;  // learnt at an earlier On; now the session is locked
    FakeListenerPort api;
    api.receivesInput = 0;
    api.waitResults = {kCamera};
    RunListener(state, api);
    EXPECT_TRUE(api.posts.empty());
    EXPECT_EQ(state.cameraOn.load(), 1);
    EXPECT_EQ(api.inputQueries, 1);

    api.waits.clear();
    api.waitResults = {kCamera, kCamera};
    RunListener(state, api);
    EXPECT_EQ(api.posts, (Posts{"hide"}));
    EXPECT_EQ(state.cameraOn.load(), 0);
}

TEST(Listener, ServiceEventQuitsAndStopOrFailedWaitEndsQuietly) {
    for (const DWORD end : {kStop, static_cast<DWORD>(WAIT_FAILED), kService}) {
        IndicatorState state;
        FakeListenerPort api;
        api.waitResults = {kCamera, end};  // the second wait is for Off
        RunListener(state, api);
        const Posts expected = end == kService ? Posts{"show", "quit"} : Posts{"show"};
        EXPECT_EQ(api.posts, expected) << end;
        EXPECT_EQ(api.waits.size(), 2u);
        EXPECT_EQ(api.closes, 1);
    }
}

TEST(Listener, MissingOnOrOffQuitsAtOnceAndMissingServiceWaitsOnTwo) {
    for (const bool onMissing : {true, false}) {
        IndicatorState state;
        FakeListenerPort api;
        (onMissing ? api.onOpens : api.offOpens) = false;
        RunListener(state, api);
        EXPECT_EQ(api.posts, (Posts{"quit"}));
        EXPECT_TRUE(api.waits.empty());
        EXPECT_EQ(api.closes, 1);
    }
    IndicatorState state;
    FakeListenerPort api;
    api.serviceOpens = false;
    api.waitResults = {kCamera, kService};  // cannot come from two handles
    RunListener(state, api);
    EXPECT_EQ(api.waits, (std::vector<std::string>{"On/2", "Off/2"}));
    EXPECT_EQ(api.posts, (Posts{"show"}));
}

TEST(Listener, FirstEventLearnsConsoleAndLockState) {
    struct Case {
        BOOL ordinary;
        bool sessionRead;
        DWORD processSession;
        bool inputRead;
        DWORD receivesInput;
        std::int32_t console, lock;
        bool shows;
    };
    const Case cases[] = {
        {TRUE, true, 1, true, 1, 1, 1, true},    // console, user desktop in front
        {TRUE, true, 2, true, 1, 0, 1, false},   // another session than the console's
        {TRUE, false, 2, true, 1, 1, 1, true},   // session unknown: on the console
        {TRUE, true, 1, true, 0, 1, 0, false},   // user desktop, locked
        {FALSE, true, 1, true, 1, 1, 0, true},   // logon desktop in front: locked
        {FALSE, true, 1, true, 0, 1, 1, false},  // logon desktop, unlocked
        {FALSE, true, 1, false, 0, 1, 0, true},  // input unknown: receives input
    };
    for (const Case& c : cases) {
        IndicatorState state;
        state.ordinaryDesktop = c.ordinary;
        FakeListenerPort api;
        api.sessionQuerySucceeds = c.sessionRead;
        api.processSession = c.processSession;
        api.inputQuerySucceeds = c.inputRead;
        api.receivesInput = c.receivesInput;
        api.waitResults = {kCamera};
        RunListener(state, api);
        const auto row = &c - cases;
        EXPECT_EQ(state.consoleState.load(), c.console) << "row " << row;
        EXPECT_EQ(state.lockState.load(), c.lock) << "row " << row;
        EXPECT_EQ(api.posts, c.shows ? Posts{"show"} : Posts{}) << "row " << row;
    }
}

class SessionPosts : public SessionChangePort {
  public:
    Posts posts;
    void RestorePosition() override {}
    void SavePosition() override {}
    void PostShowHide(LPARAM showOrHide) override {
        posts.push_back(showOrHide == kOsdShow ? "show" : "hide");
    }
};

TEST(Listener, LockChangeHandledDuringAnOnIsNeitherLostNorOverwritten) {
    struct Case {
        WPARAM code;
        std::int32_t lockBefore;
        DWORD receivesInput;  // what the query saw, before the change
        Posts listenerPosts, sessionPosts;
        std::int32_t lockAfter;
    };
    const Case cases[] = {
        {WTS_SESSION_UNLOCK, 0, 0, {"show"}, {"show"}, 1},
        {WTS_SESSION_LOCK, 1, 1, {}, {"hide"}, 0},
    };
    for (const Case& c : cases) {
        IndicatorState state;
        state.consoleState = 1;
        state.lockState = c.lockBefore;
        SessionPosts session;
        FakeListenerPort api;
        api.receivesInput = c.receivesInput;
        api.duringInputQuery = [&] { HandleSessionChange(c.code, state, session); };
        api.waitResults = {kCamera};
        RunListener(state, api);
        const auto row = &c - cases;
        // The notification found cameraOn stored, and the listener kept the
        // newer lock state.
        EXPECT_EQ(session.posts, c.sessionPosts) << "row " << row;
        EXPECT_EQ(api.posts, c.listenerPosts) << "row " << row;
        EXPECT_EQ(state.lockState.load(), c.lockAfter) << "row " << row;
    }
}

// A consent prompt holds input as the camera comes on: nothing shows, the
// listener looks again every kInputPollMs while it waits for Off, and shows
// the indicator once the user's desktop has input again, then stops looking.
TEST(Listener, AnOnHeldBackByASecureDesktopShowsOnceTheUserDesktopHasInputAgain) {
    IndicatorState state;
    FakeListenerPort api;
    api.inputAnswers = {0, 0, 0, 1};
    api.waitResults = {kCamera, kTimeout, kTimeout, kTimeout, kCamera};
    RunListener(state, api);
    EXPECT_EQ(api.posts, (Posts{"show", "hide"}));
    EXPECT_EQ(api.timeouts, (Timeouts{kForever, kPoll, kPoll, kPoll, kForever, kForever}));
    EXPECT_EQ(api.waits,
              (std::vector<std::string>{"On/3", "Off/3", "Off/3", "Off/3", "Off/3", "On/3"}));
    EXPECT_EQ(api.inputQueries, 4);
    EXPECT_EQ(api.onLooks, 3);
    EXPECT_EQ(state.lockState.load(), 1);
}

// The camera goes off while the prompt is still up: On is no longer
// signalled at the next look, so nothing shows, the desktop is not asked
// again, and the wait for Off has no time-out any more.
TEST(Listener, AnOnGoneBeforeTheUserDesktopReturnsShowsNothing) {
    IndicatorState state;
    FakeListenerPort api;
    api.inputAnswers = {0, 0, 1};
    api.onSignaled = {true, false};
    api.waitResults = {kCamera, kTimeout, kTimeout};
    RunListener(state, api);
    EXPECT_TRUE(api.posts.empty());
    EXPECT_EQ(api.timeouts, (Timeouts{kForever, kPoll, kPoll, kForever}));
    EXPECT_EQ(api.inputQueries, 2);
    EXPECT_EQ(state.lockState.load(), 0);
}

// Which Ons are looked at again, and that no wait for On (camera off) and no
// wait after Off ever has a time-out. Each row: On, then Off, then the wait
// for the next On.
TEST(Listener, OnlyTheUserDesktopHeldBackByInputPollsAndNeverWhileTheCameraIsOff) {
    struct Case {
        const char* what;
        BOOL ordinary;
        DWORD processSession;
        DWORD receivesInput;
        DWORD offWaitTimeout;
        Posts posts;
    };
    const Case cases[] = {
        {"user desktop, input elsewhere", TRUE, 1, 0, kPoll, {"hide"}},
        {"user desktop shown", TRUE, 1, 1, kForever, {"show", "hide"}},
        {"another session than the console's", TRUE, 2, 0, kForever, {"hide"}},
        {"logon desktop, session unlocked", FALSE, 1, 0, kForever, {"hide"}},
        {"logon desktop shown", FALSE, 1, 1, kForever, {"show", "hide"}},
    };
    for (const Case& c : cases) {
        IndicatorState state;
        state.ordinaryDesktop = c.ordinary;
        FakeListenerPort api;
        api.processSession = c.processSession;
        api.receivesInput = c.receivesInput;
        api.waitResults = {kCamera, kCamera};
        RunListener(state, api);
        EXPECT_EQ(api.timeouts, (Timeouts{kForever, c.offWaitTimeout, kForever})) << c.what;
        EXPECT_EQ(api.posts, c.posts) << c.what;
        EXPECT_EQ(api.onLooks, 0) << c.what;
        EXPECT_EQ(api.inputQueries, 1) << c.what;
    }
}

// An unlock notification handled while a look at the desktop is under way:
// of the two, exactly one shows the indicator, whichever order they take.
TEST(Listener, AnUnlockCrossingALookShowsTheIndicatorOnce) {
    for (const bool unlockDuringLook : {true, false}) {
        IndicatorState state;
        SessionPosts session;
        FakeListenerPort api;
        api.inputAnswers = {0, 1};
        api.duringInputQuery = [&] {
            if (unlockDuringLook && api.inputQueries == 2) {
                HandleSessionChange(WTS_SESSION_UNLOCK, state, session);
            }
        };
        api.waitResults = {kCamera, kTimeout};
        RunListener(state, api);
        if (!unlockDuringLook) {
            HandleSessionChange(WTS_SESSION_UNLOCK, state, session);
        }
        const std::size_t shows = api.posts.size() + session.posts.size();
        EXPECT_EQ(shows, 1u) << unlockDuringLook;
        EXPECT_EQ(session.posts, unlockDuringLook ? Posts{"show"} : Posts{}) << unlockDuringLook;
        EXPECT_EQ(api.posts, unlockDuringLook ? Posts{} : Posts{"show"}) << unlockDuringLook;
        EXPECT_EQ(state.lockState.load(), 1);
    }
}

}  // namespace
}  // namespace lensbeacon::indicator
