// The installer's command line and its install/uninstall sequence, driven
// through a recording fake of the service manager.
#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <string>
#include <vector>

#include "command_line.h"
#include "installer.h"

namespace lensbeacon {
namespace {

// Records every call as a short word ("open-manager", "create", ...); each
// call answers with the error queued for it, or success.
class FakeServiceManager : public ServiceManager {
  public:
    std::vector<std::wstring> calls;
    std::vector<std::wstring> debugLines;
    std::wstring createdPath;
    std::map<std::wstring, std::deque<DWORD>> errors;  // per call word, in order
    std::deque<DWORD> states;                          // answers of QueryState
    DWORD lastState = SERVICE_RUNNING;

    void Fail(const std::wstring& call, DWORD error) { errors[call].push_back(error); }

    DWORD OpenManager() override { return Record(L"open-manager"); }
    DWORD OpenExisting() override { return Record(L"open-service"); }
    DWORD RequestStop() override { return Record(L"stop"); }
    DWORD QueryState(DWORD& currentState) override {
        if (!states.empty()) {
            lastState = states.front();
            states.pop_front();
        }
        currentState = lastState;
        return Record(L"query");
    }
    DWORD Delete() override { return Record(L"delete"); }
    DWORD Create(const wchar_t* binaryPathName) override {
        createdPath = binaryPathName;
        return Record(L"create");
    }
    DWORD Start() override { return Record(L"start"); }
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
                                L"open-manager", L"create", L"start", L"query", L"wait 500",
                                L"query", L"wait 500", L"query", L"close"}));
    EXPECT_EQ(scm.createdPath, kQuotedPath);
    EXPECT_TRUE(scm.debugLines.empty());
}

TEST(InstallerInstall, ExistingServiceIsStoppedAndDeletedFirst) {
    FakeServiceManager scm;
    scm.states = {SERVICE_STOP_PENDING, SERVICE_STOPPED, SERVICE_RUNNING};
    EXPECT_EQ(RunInstaller(Request(InstallerOperation::InstallAndStart), kFolder, scm),
              ERROR_SUCCESS);
    EXPECT_EQ(scm.calls, (Calls{L"open-manager", L"open-service", L"stop", L"query", L"wait 500",
                                L"query", L"delete", L"close", L"wait 500", L"delete-key",
                                L"open-manager", L"create", L"start", L"query", L"close"}));
}

TEST(InstallerInstall, InstallOnlyDoesNotStart) {
    FakeServiceManager scm;
    scm.Fail(L"open-service", ERROR_SERVICE_DOES_NOT_EXIST);
    EXPECT_EQ(RunInstaller(Request(InstallerOperation::InstallOnly), kFolder, scm), ERROR_SUCCESS);
    EXPECT_EQ(scm.calls, (Calls{L"open-manager", L"open-service", L"close", L"delete-key",
                                L"open-manager", L"create", L"close"}));
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
    }
    {
        FakeServiceManager scm;
        scm.Fail(L"open-service", ERROR_SERVICE_DOES_NOT_EXIST);
        scm.Fail(L"start", ERROR_FILE_NOT_FOUND);
        EXPECT_EQ(RunInstaller(Request(InstallerOperation::InstallAndStart), kFolder, scm),
                  ERROR_FILE_NOT_FOUND);
        // No wait for a service that did not start.
        EXPECT_EQ(scm.calls, (Calls{L"open-manager", L"open-service", L"close", L"delete-key",
                                    L"open-manager", L"create", L"start", L"close"}));
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
