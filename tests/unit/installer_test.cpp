// The installer's command line and its install/uninstall sequence, driven
// through a recording fake of the service manager.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "command_line.h"
#include "installer.h"

namespace lensbeacon {
namespace {

// One SERVICE_FAILURE_ACTIONSW as the installer passed it, copied during the
// call (its pointers are valid only then).
struct FailureActions {
    DWORD resetPeriod = 0;
    bool hasRebootMessage = false;
    bool hasCommand = false;
    std::vector<std::pair<SC_ACTION_TYPE, DWORD>> actions;  // type and delay, in order
};

// Records every call as a short word ("open-manager", "create", ...); each
// call answers with the error queued for it, or success.
class FakeServiceManager : public ServiceManagerPort {
  public:
    std::vector<std::wstring> calls;
    std::vector<FailureActions> failureActions;
    std::vector<std::wstring> debugLines;
    std::wstring createdPath;
    std::map<std::wstring, std::deque<DWORD>> errors;  // per call word, in order
    std::deque<DWORD> states;                          // answers of QueryState
    DWORD lastState = SERVICE_RUNNING;

    void Fail(const std::wstring& call, DWORD error) { errors[call].push_back(error); }

    DWORD OpenManager() override { return Record(L"open-manager"); }
    DWORD OpenExisting() override { return Record(L"open-service"); }
    DWORD RequestStop() override { return Record(L"stop"); }
    std::optional<DWORD> QueryState() override {
        if (!states.empty()) {
            lastState = states.front();
            states.pop_front();
        }
        if (Record(L"query") != ERROR_SUCCESS) {
            return std::nullopt;
        }
        return lastState;
    }
    DWORD Delete() override { return Record(L"delete"); }
    DWORD Create(const wchar_t* binaryPathName) override {
        createdPath = binaryPathName;
        return Record(L"create");
    }
    DWORD Start() override { return Record(L"start"); }
    DWORD SetFailureActions(const SERVICE_FAILURE_ACTIONSW& actions) override {
        FailureActions copy;
        copy.resetPeriod = actions.dwResetPeriod;
        copy.hasRebootMessage = actions.lpRebootMsg != nullptr;
        copy.hasCommand = actions.lpCommand != nullptr;
        for (DWORD i = 0; actions.lpsaActions != nullptr && i < actions.cActions; ++i) {
            copy.actions.emplace_back(actions.lpsaActions[i].Type, actions.lpsaActions[i].Delay);
        }
        failureActions.push_back(std::move(copy));
        return Record(L"failure-actions");
    }
    void CloseAll() override { Record(L"close"); }
    void DeleteServiceKey() override { Record(L"delete-key"); }
    void Wait(DWORD milliseconds) override { Record(L"wait " + std::to_wstring(milliseconds)); }
    void WriteDebugLine(const wchar_t* line) override { debugLines.emplace_back(line); }

  private:
    DWORD Record(const std::wstring& call) {
        calls.push_back(call);
        auto found = errors.find(call);
        if (found == errors.end() || found->second.empty()) {
            return ERROR_SUCCESS;
        }
        const DWORD error = found->second.front();
        found->second.pop_front();
        return error;
    }
};

using Calls = std::vector<std::wstring>;

constexpr const wchar_t* kFolder = L"C:\\Program Files\\Lensbeacon\\";
constexpr const wchar_t* kQuotedPath = L"\"C:\\Program Files\\Lensbeacon\\Lenswatch.exe\"";

InstallerRequest Request(InstallerOperation operation, bool verbose = false) {
    InstallerRequest request;
    request.operation = operation;
    request.verbose = verbose;
    return request;
}

// --- command line -----------------------------------------------------------

InstallerRequest Parse(std::vector<const wchar_t*> arguments) {
    return ParseArguments(static_cast<int>(arguments.size()), arguments.data());
}

TEST(InstallerCommandLine, OperationsIgnoreCase) {
    EXPECT_EQ(Parse({L"x", L"-i"}).operation, InstallerOperation::InstallAndStart);
    EXPECT_EQ(Parse({L"x", L"-I"}).operation, InstallerOperation::InstallAndStart);
    EXPECT_EQ(Parse({L"x", L"-is"}).operation, InstallerOperation::InstallOnly);
    EXPECT_EQ(Parse({L"x", L"-iS"}).operation, InstallerOperation::InstallOnly);
    EXPECT_EQ(Parse({L"x", L"-u"}).operation, InstallerOperation::Uninstall);
    EXPECT_EQ(Parse({L"x", L"-U"}).operation, InstallerOperation::Uninstall);
    EXPECT_FALSE(Parse({L"x", L"-u"}).verbose);
}

TEST(InstallerCommandLine, DebugOnlyAsSecondEntry) {
    EXPECT_TRUE(Parse({L"x", L"-i", L"-DEBUG"}).verbose);
    EXPECT_TRUE(Parse({L"x", L"-u", L"-debug", L"more"}).verbose);
    EXPECT_FALSE(Parse({L"x", L"-i", L"-debugs"}).verbose);
    EXPECT_FALSE(Parse({L"x", L"-i", L"more", L"-debug"}).verbose);
    // "-debug" as the operation does nothing.
    const InstallerRequest request = Parse({L"x", L"-debug", L"-i"});
    EXPECT_EQ(request.operation, InstallerOperation::None);
    EXPECT_FALSE(request.verbose);
}

TEST(InstallerCommandLine, MissingOrUnknownOperationDoesNothing) {
    EXPECT_EQ(Parse({L"x"}).operation, InstallerOperation::None);
    EXPECT_EQ(Parse({}).operation, InstallerOperation::None);
    EXPECT_EQ(ParseArguments(3, nullptr).operation, InstallerOperation::None);
    EXPECT_EQ(Parse({L"x", L"i"}).operation, InstallerOperation::None);
    EXPECT_EQ(Parse({L"x", L"-install"}).operation, InstallerOperation::None);
    EXPECT_EQ(Parse({L"x", L""}).operation, InstallerOperation::None);
    EXPECT_EQ(Parse({L"x", nullptr, nullptr}).operation, InstallerOperation::None);
}

// --- service program path ---------------------------------------------------

TEST(InstallerServicePath, QuotedAndBoundedTo260Characters) {
    PathBuffer path;
    ASSERT_TRUE(QuotedServicePath(kFolder, path));
    EXPECT_STREQ(path, kQuotedPath);
    ASSERT_TRUE(QuotedServicePath(L"", path));
    EXPECT_STREQ(path, L"\"Lenswatch.exe\"");

    // 2 quotes + 13 for the name: a folder of 244 fills 259 characters.
    const std::wstring fits(244, L'a');
    ASSERT_TRUE(QuotedServicePath(fits.c_str(), path));
    EXPECT_EQ(std::wstring(path), L"\"" + fits + L"Lenswatch.exe\"");
    const std::wstring tooLong(245, L'a');
    EXPECT_FALSE(QuotedServicePath(tooLong.c_str(), path));
    EXPECT_STREQ(path, L"");
}

// --- install ----------------------------------------------------------------

TEST(InstallerInstall, FreshInstallCreatesQuotedServiceAndStartsIt) {
    FakeServiceManager scm;
    scm.Fail(L"open-service", ERROR_SERVICE_DOES_NOT_EXIST);
    scm.states = {SERVICE_START_PENDING, SERVICE_START_PENDING, SERVICE_RUNNING};
    EXPECT_EQ(RunInstaller(Request(InstallerOperation::InstallAndStart), kFolder, scm),
              ERROR_SUCCESS);
    EXPECT_EQ(scm.calls, (Calls{L"open-manager", L"open-service", L"close", L"delete-key",
                                L"open-manager", L"create", L"failure-actions", L"start", L"query",
                                L"wait 500", L"query", L"wait 500", L"query", L"close"}));
    EXPECT_EQ(scm.createdPath, kQuotedPath);
    EXPECT_TRUE(scm.debugLines.empty());
}

TEST(InstallerInstall, ExistingServiceIsStoppedAndDeletedFirst) {
    FakeServiceManager scm;
    scm.states = {SERVICE_STOP_PENDING, SERVICE_STOPPED, SERVICE_RUNNING};
    EXPECT_EQ(RunInstaller(Request(InstallerOperation::InstallAndStart), kFolder, scm),
              ERROR_SUCCESS);
    EXPECT_EQ(scm.calls,
              (Calls{L"open-manager", L"open-service", L"stop", L"query", L"wait 500", L"query",
                     L"delete", L"close", L"wait 500", L"delete-key", L"open-manager", L"create",
                     L"failure-actions", L"start", L"query", L"close"}));
}

TEST(InstallerInstall, InstallOnlyDoesNotStart) {
    FakeServiceManager scm;
    scm.Fail(L"open-service", ERROR_SERVICE_DOES_NOT_EXIST);
    EXPECT_EQ(RunInstaller(Request(InstallerOperation::InstallOnly), kFolder, scm), ERROR_SUCCESS);
    EXPECT_EQ(scm.calls, (Calls{L"open-manager", L"open-service", L"close", L"delete-key",
                                L"open-manager", L"create", L"failure-actions", L"close"}));
}

TEST(InstallerInstall, StateWaitsEndAfterTenPolls) {
    FakeServiceManager scm;
    scm.lastState = SERVICE_START_PENDING;  // never leaves start pending
    scm.Fail(L"stop", ERROR_SERVICE_NOT_ACTIVE);
    EXPECT_EQ(RunInstaller(Request(InstallerOperation::InstallAndStart), kFolder, scm),
              ERROR_SUCCESS);
    int queries = 0;
    int waits = 0;
    for (const auto& call : scm.calls) {
        queries += call == L"query";
        waits += call == L"wait 500";
    }
    // Not running: no stop wait. Start wait: ten polls and ten waits; plus
    // the pause after the old registration was deleted.
    EXPECT_EQ(queries, 10);
    EXPECT_EQ(waits, 11);
    EXPECT_EQ(scm.calls.back(), L"close");
}

TEST(InstallerInstall, StopWaitAlsoAfterOtherStopErrorsButNotWhenNotRunning) {
    FakeServiceManager scm;
    scm.Fail(L"stop", ERROR_SERVICE_CANNOT_ACCEPT_CTRL);
    scm.states = {SERVICE_STOPPED};
    EXPECT_EQ(RunInstaller(Request(InstallerOperation::InstallOnly), kFolder, scm), ERROR_SUCCESS);
    EXPECT_EQ(scm.calls[3], L"query");

    FakeServiceManager idle;
    idle.Fail(L"stop", ERROR_INVALID_SERVICE_CONTROL);
    EXPECT_EQ(RunInstaller(Request(InstallerOperation::InstallOnly), kFolder, idle), ERROR_SUCCESS);
    EXPECT_EQ(idle.calls[3], L"delete");
}

TEST(InstallerInstall, ExitCodeIsTheErrorOfTheFailingStep) {
    {
        FakeServiceManager scm;
        scm.Fail(L"open-manager", ERROR_ACCESS_DENIED);
        scm.Fail(L"open-manager", ERROR_ACCESS_DENIED);
        EXPECT_EQ(RunInstaller(Request(InstallerOperation::InstallAndStart), kFolder, scm),
                  ERROR_ACCESS_DENIED);
        EXPECT_EQ(scm.calls, (Calls{L"open-manager", L"delete-key", L"open-manager"}));
    }
    {
        FakeServiceManager scm;
        scm.Fail(L"open-service", ERROR_SERVICE_DOES_NOT_EXIST);
        scm.Fail(L"create", ERROR_SERVICE_MARKED_FOR_DELETE);
        EXPECT_EQ(RunInstaller(Request(InstallerOperation::InstallAndStart), kFolder, scm),
                  ERROR_SERVICE_MARKED_FOR_DELETE);
        EXPECT_EQ(scm.calls.back(), L"close");
        EXPECT_EQ(scm.calls[scm.calls.size() - 2], L"create");
        // No service, so no failure actions.
        EXPECT_TRUE(scm.failureActions.empty());
    }
    {
        FakeServiceManager scm;
        scm.Fail(L"open-service", ERROR_SERVICE_DOES_NOT_EXIST);
        scm.Fail(L"start", ERROR_FILE_NOT_FOUND);
        EXPECT_EQ(RunInstaller(Request(InstallerOperation::InstallAndStart), kFolder, scm),
                  ERROR_FILE_NOT_FOUND);
        // No wait for a service that did not start.
        EXPECT_EQ(scm.calls,
                  (Calls{L"open-manager", L"open-service", L"close", L"delete-key", L"open-manager",
                         L"create", L"failure-actions", L"start", L"close"}));
    }
    {
        // A failed delete of the old registration surfaces through create.
        FakeServiceManager scm;
        scm.lastState = SERVICE_STOPPED;
        scm.Fail(L"delete", ERROR_ACCESS_DENIED);
        scm.Fail(L"create", ERROR_SERVICE_EXISTS);
        EXPECT_EQ(RunInstaller(Request(InstallerOperation::InstallOnly), kFolder, scm),
                  ERROR_SERVICE_EXISTS);
    }
}

TEST(InstallerInstall, PathThatDoesNotFitRefusesBeforeTouchingAnything) {
    const std::wstring longFolder(250, L'x');
    for (const wchar_t* folder : {longFolder.c_str(), static_cast<const wchar_t*>(nullptr)}) {
        FakeServiceManager scm;
        EXPECT_EQ(RunInstaller(Request(InstallerOperation::InstallAndStart, true), folder, scm),
                  ERROR_FILENAME_EXCED_RANGE);
        EXPECT_TRUE(scm.calls.empty());
        EXPECT_EQ(scm.debugLines, (Calls{L"[InstLenswatch] InstallSpecService"}));
    }
}

// --- restart after an abnormal end ------------------------------------------

TEST(InstallerRecovery, RestartsAfter5Then30Then60SecondsAndForgetsFailuresAfterADay) {
    const std::vector<std::pair<SC_ACTION_TYPE, DWORD>> restarts{
        {SC_ACTION_RESTART, 5000}, {SC_ACTION_RESTART, 30000}, {SC_ACTION_RESTART, 60000}};
    struct Case {
        const char* name;
        InstallerOperation operation;
        bool existing;  // a registration is there already and is replaced
    };
    for (const Case& c : {Case{"-i", InstallerOperation::InstallAndStart, false},
                          Case{"-is", InstallerOperation::InstallOnly, false},
                          Case{"-i again", InstallerOperation::InstallAndStart, true},
                          Case{"-is again", InstallerOperation::InstallOnly, true}}) {
        SCOPED_TRACE(c.name);
        FakeServiceManager scm;
        if (!c.existing) {
            scm.Fail(L"open-service", ERROR_SERVICE_DOES_NOT_EXIST);
        }
        scm.lastState = c.existing ? SERVICE_STOPPED : SERVICE_RUNNING;
        EXPECT_EQ(RunInstaller(Request(c.operation), kFolder, scm), ERROR_SUCCESS);
        ASSERT_EQ(scm.failureActions.size(), 1u);
        const FailureActions& set = scm.failureActions.front();
        EXPECT_EQ(set.actions, restarts);
        EXPECT_EQ(set.resetPeriod, 86400u);
        EXPECT_FALSE(set.hasRebootMessage);
        EXPECT_FALSE(set.hasCommand);
        // On the service just created, before it is started.
        const auto create = std::find(scm.calls.begin(), scm.calls.end(), L"create");
        ASSERT_NE(create, scm.calls.end());
        ASSERT_NE(create + 1, scm.calls.end());
        EXPECT_EQ(*(create + 1), L"failure-actions");
    }
}

TEST(InstallerRecovery, FailureToSetThemIsReportedButDoesNotFailTheInstall) {
    {
        FakeServiceManager scm;
        scm.Fail(L"open-service", ERROR_SERVICE_DOES_NOT_EXIST);
        scm.Fail(L"failure-actions", ERROR_ACCESS_DENIED);
        scm.states = {SERVICE_RUNNING};
        EXPECT_EQ(RunInstaller(Request(InstallerOperation::InstallAndStart, true), kFolder, scm),
                  ERROR_SUCCESS);
        // The service is still started and waited for.
        EXPECT_EQ(scm.calls,
                  (Calls{L"open-manager", L"open-service", L"close", L"delete-key", L"open-manager",
                         L"create", L"failure-actions", L"start", L"query", L"close"}));
        EXPECT_EQ(scm.debugLines,
                  (Calls{L"[InstLenswatch] InstallSpecService", L"[InstLenswatch] StopSpecService",
                         L"[InstLenswatch] OpenService fail with Error = 0x424",
                         L"[InstLenswatch] ChangeServiceConfig2 fail with Error = 0x5"}));
    }
    {
        FakeServiceManager scm;
        scm.Fail(L"open-service", ERROR_SERVICE_DOES_NOT_EXIST);
        scm.Fail(L"failure-actions", ERROR_INVALID_LEVEL);
        EXPECT_EQ(RunInstaller(Request(InstallerOperation::InstallOnly, true), kFolder, scm),
                  ERROR_SUCCESS);
        EXPECT_EQ(scm.calls.back(), L"close");
        EXPECT_EQ(std::count(scm.calls.begin(), scm.calls.end(), L"start"), 0);
        EXPECT_EQ(scm.debugLines.back(),
                  L"[InstLenswatch] ChangeServiceConfig2 fail with Error = 0x7c");
    }
    {
        // Without "-debug" the failure is silent, and a start failure that
        // follows is still the exit code.
        FakeServiceManager scm;
        scm.Fail(L"open-service", ERROR_SERVICE_DOES_NOT_EXIST);
        scm.Fail(L"failure-actions", ERROR_ACCESS_DENIED);
        scm.Fail(L"start", ERROR_FILE_NOT_FOUND);
        EXPECT_EQ(RunInstaller(Request(InstallerOperation::InstallAndStart), kFolder, scm),
                  ERROR_FILE_NOT_FOUND);
        EXPECT_TRUE(scm.debugLines.empty());
    }
}

// --- uninstall --------------------------------------------------------------

TEST(InstallerUninstall, StopsDeletesAndRemovesLeftoverKey) {
    FakeServiceManager scm;
    scm.states = {SERVICE_STOPPED};
    EXPECT_EQ(RunInstaller(Request(InstallerOperation::Uninstall), kFolder, scm), ERROR_SUCCESS);
    EXPECT_EQ(scm.calls, (Calls{L"open-manager", L"open-service", L"stop", L"query", L"delete",
                                L"close", L"wait 500", L"delete-key"}));
}

TEST(InstallerUninstall, MissingServiceIsSuccess) {
    FakeServiceManager scm;
    scm.Fail(L"open-service", ERROR_SERVICE_DOES_NOT_EXIST);
    EXPECT_EQ(RunInstaller(Request(InstallerOperation::Uninstall), nullptr, scm), ERROR_SUCCESS);
    EXPECT_EQ(scm.calls, (Calls{L"open-manager", L"open-service", L"close", L"delete-key"}));
}

TEST(InstallerUninstall, ExitCodeIsTheErrorOfTheFailingStep) {
    {
        FakeServiceManager scm;
        scm.Fail(L"open-manager", ERROR_ACCESS_DENIED);
        EXPECT_EQ(RunInstaller(Request(InstallerOperation::Uninstall), kFolder, scm),
                  ERROR_ACCESS_DENIED);
        EXPECT_EQ(scm.calls, (Calls{L"open-manager", L"delete-key"}));
    }
    {
        FakeServiceManager scm;
        scm.Fail(L"open-service", ERROR_ACCESS_DENIED);
        EXPECT_EQ(RunInstaller(Request(InstallerOperation::Uninstall), kFolder, scm),
                  ERROR_ACCESS_DENIED);
    }
    {
        FakeServiceManager scm;
        scm.lastState = SERVICE_STOPPED;
        scm.Fail(L"delete", ERROR_ACCESS_DENIED);
        EXPECT_EQ(RunInstaller(Request(InstallerOperation::Uninstall), kFolder, scm),
                  ERROR_ACCESS_DENIED);
        EXPECT_EQ(scm.calls.back(), L"delete-key");
    }
    {
        // Already marked for deletion: the manager removes it once it stops.
        FakeServiceManager scm;
        scm.lastState = SERVICE_STOPPED;
        scm.Fail(L"delete", ERROR_SERVICE_MARKED_FOR_DELETE);
        EXPECT_EQ(RunInstaller(Request(InstallerOperation::Uninstall), kFolder, scm),
                  ERROR_SUCCESS);
    }
}

TEST(InstallerUninstall, ServiceThatDoesNotStopIsDeletedAfterTenPolls) {
    FakeServiceManager scm;
    scm.lastState = SERVICE_STOP_PENDING;
    scm.Fail(L"query", ERROR_ACCESS_DENIED);  // a failed poll counts too
    EXPECT_EQ(RunInstaller(Request(InstallerOperation::Uninstall), kFolder, scm), ERROR_SUCCESS);
    Calls expected{L"open-manager", L"open-service", L"stop"};
    for (int poll = 0; poll < 10; ++poll) {
        expected.insert(expected.end(), {L"query", L"wait 500"});
    }
    expected.insert(expected.end(), {L"delete", L"close", L"wait 500", L"delete-key"});
    EXPECT_EQ(scm.calls, expected);
}

// --- nothing to do, debug lines ----------------------------------------------

TEST(InstallerRun, NothingAskedTouchesNothing) {
    FakeServiceManager scm;
    InstallerRequest request;
    request.verbose = true;
    EXPECT_EQ(RunInstaller(request, kFolder, scm), ERROR_SUCCESS);
    EXPECT_TRUE(scm.calls.empty());
    EXPECT_TRUE(scm.debugLines.empty());
}

TEST(InstallerRun, DebugLinesOnlyWhenVerboseInTheirExactForm) {
    auto failingScm = [](FakeServiceManager& scm) {
        scm.Fail(L"open-service", ERROR_SERVICE_DOES_NOT_EXIST);
        scm.Fail(L"open-service", ERROR_ACCESS_DENIED);
        scm.Fail(L"open-manager", ERROR_SUCCESS);
        scm.Fail(L"open-manager", ERROR_SUCCESS);
        scm.Fail(L"open-manager", ERROR_SUCCESS);
        scm.Fail(L"open-manager", RPC_S_SERVER_UNAVAILABLE);
        scm.lastState = SERVICE_STOPPED;
    };
    FakeServiceManager verbose;
    failingScm(verbose);
    RunInstaller(Request(InstallerOperation::Uninstall, true), kFolder, verbose);
    RunInstaller(Request(InstallerOperation::InstallOnly, true), kFolder, verbose);
    RunInstaller(Request(InstallerOperation::Uninstall, true), kFolder, verbose);
    EXPECT_EQ(verbose.debugLines,
              (Calls{L"[InstLenswatch] UninstallSpecService", L"[InstLenswatch] StopSpecService",
                     L"[InstLenswatch] OpenService fail with Error = 0x424",
                     L"[InstLenswatch] InstallSpecService", L"[InstLenswatch] StopSpecService",
                     L"[InstLenswatch] OpenService fail with Error = 0x5",
                     L"[InstLenswatch] UninstallSpecService", L"[InstLenswatch] StopSpecService",
                     L"[InstLenswatch] OpenSCManager fail with Error = 0x6ba"}));

    FakeServiceManager deleting;
    deleting.lastState = SERVICE_STOPPED;
    deleting.Fail(L"delete", ERROR_SERVICE_MARKED_FOR_DELETE);
    RunInstaller(Request(InstallerOperation::Uninstall, true), kFolder, deleting);
    EXPECT_EQ(deleting.debugLines.back(), L"[InstLenswatch] DeleteService fail with Error = 0x430");

    FakeServiceManager quiet;
    failingScm(quiet);
    RunInstaller(Request(InstallerOperation::Uninstall), kFolder, quiet);
    RunInstaller(Request(InstallerOperation::InstallOnly), kFolder, quiet);
    RunInstaller(Request(InstallerOperation::Uninstall), kFolder, quiet);
    EXPECT_FALSE(quiet.calls.empty());
    EXPECT_TRUE(quiet.debugLines.empty());
}

}  // namespace
}  // namespace lensbeacon
