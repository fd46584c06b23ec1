#include "installer.h"

#include <cwchar>
#include <iterator>

#include "lensbeacon/bounded_text.h"
#include "service_identity.h"

namespace lensbeacon {
namespace {

// The service gets about five seconds to stop or to finish starting.
constexpr int kStatePolls = 10;
constexpr DWORD kPollInterval = 500;
// Pause after removing a registration, before the manager is used again.
constexpr DWORD kSettleDelay = 500;
// After a day without an abnormal end the manager counts failures from the
// first restart action again.
constexpr DWORD kFailureCountResetSeconds = 24 * 60 * 60;

struct StopResult {
    bool opened = false;          // the service existed and was opened
    DWORD error = ERROR_SUCCESS;  // what keeps it from being removed
};

class Installer {
  public:
    Installer(ServiceManagerPort& services, bool verbose)
        : services_(services), verbose_(verbose) {}

    DWORD Install(const wchar_t* ownFolder, bool start) {
        Log(L"InstallSpecService");
        PathBuffer path;
        if (ownFolder == nullptr || !QuotedServicePath(ownFolder, path)) {
            // Refused before anything is touched: an existing registration stays.
            return ERROR_FILENAME_EXCED_RANGE;
        }
        // An earlier registration is stopped and removed first.
        if (StopAndDelete().opened) {
            services_.Wait(kSettleDelay);
        }
        services_.DeleteServiceKey();

        DWORD error = services_.OpenManager();
        if (error != ERROR_SUCCESS) {
            return error;
        }
        error = services_.Create(path);
        if (error != ERROR_SUCCESS) {
            services_.CloseAll();
            return error;
        }
        // Set before the start, so a service that ends abnormally at once
        // already comes back.
        SetRestartOnFailure();
        if (start) {
            error = services_.Start();
            if (error == ERROR_SUCCESS) {
                WaitUntil([](DWORD state) { return state != SERVICE_START_PENDING; });
            }
        }
        services_.CloseAll();
        return error;
    }

    DWORD Uninstall() {
        Log(L"UninstallSpecService");
        const StopResult result = StopAndDelete();
        if (result.opened) {
            services_.Wait(kSettleDelay);
        }
        services_.DeleteServiceKey();
        return result.error;
    }

  private:
    // Stops the service if it runs and deletes its registration.
    StopResult StopAndDelete() {
        Log(L"StopSpecService");
        StopResult result;
        result.error = services_.OpenManager();
        if (result.error != ERROR_SUCCESS) {
            LogFailure(L"OpenSCManager fail", result.error);
            return result;
        }
        const DWORD openError = services_.OpenExisting();
        if (openError != ERROR_SUCCESS) {
            LogFailure(L"OpenService fail", openError);
            services_.CloseAll();
            // No service to remove is the outcome asked for.
            result.error = openError == ERROR_SERVICE_DOES_NOT_EXIST ? ERROR_SUCCESS : openError;
            return result;
        }
        result.opened = true;

        const DWORD stopError = services_.RequestStop();
        if (stopError != ERROR_INVALID_SERVICE_CONTROL && stopError != ERROR_SERVICE_NOT_ACTIVE) {
            // Also after other errors: the service may be stopping already.
            WaitUntil([](DWORD state) { return state == SERVICE_STOPPED; });
        }
        // A service that has not stopped yet is deleted anyway; the manager
        // removes it once it stops.
        const DWORD deleteError = services_.Delete();
        if (deleteError != ERROR_SUCCESS) {
            LogFailure(L"DeleteService fail", deleteError);
        }
        result.error = deleteError == ERROR_SERVICE_MARKED_FOR_DELETE ? ERROR_SUCCESS : deleteError;
        services_.CloseAll();
        return result;
    }

    // Has the manager restart the new service when it ends abnormally: 5 s
    // after the first failure, 30 s after the second, 60 s after the third
    // and every later one. A failure is an end without a SERVICE_STOPPED
    // report; a stop asked for through the manager ends with one and is not
    // a failure. Nothing sets SERVICE_CONFIG_FAILURE_ACTIONS_FLAG, so a
    // stopped report with an exit code does not count either. A failing call
    // leaves the registration working without restarts: it is reported and
    // the install goes on.
    void SetRestartOnFailure() {
        SC_ACTION actions[] = {
            {SC_ACTION_RESTART, 5000}, {SC_ACTION_RESTART, 30000}, {SC_ACTION_RESTART, 60000}};
        SERVICE_FAILURE_ACTIONSW failureActions{};
        failureActions.dwResetPeriod = kFailureCountResetSeconds;
        failureActions.lpRebootMsg = nullptr;  // no reboot action, so no message
        failureActions.lpCommand = nullptr;    // no run-command action
        failureActions.cActions = static_cast<DWORD>(std::size(actions));
        failureActions.lpsaActions = actions;
        const DWORD error = services_.SetFailureActions(failureActions);
        if (error != ERROR_SUCCESS) {
            LogFailure(L"ChangeServiceConfig2 fail", error);
        }
    }

    // Polls the open service's state until `reached` says so, at most ten
    // times, waiting between polls.
    template <typename Predicate>
    void WaitUntil(Predicate reached) {
        for (int poll = 0; poll < kStatePolls; ++poll) {
            const std::optional<DWORD> state = services_.QueryState();
            if (state && reached(*state)) {
                return;
            }
            services_.Wait(kPollInterval);
        }
    }

    void Log(const wchar_t* operation) {
        if (!verbose_) {
            return;
        }
        wchar_t line[kPathCapacity];
        if (std::swprintf(line, kPathCapacity, L"[InstLenswatch] %ls", operation) > 0) {
            services_.WriteDebugLine(line);
        }
    }

    void LogFailure(const wchar_t* message, DWORD error) {
        if (!verbose_) {
            return;
        }
        wchar_t line[kPathCapacity];
        if (std::swprintf(line, kPathCapacity, L"[InstLenswatch] %ls with Error = 0x%x", message,
                          static_cast<unsigned>(error)) > 0) {
            services_.WriteDebugLine(line);
        }
    }

    ServiceManagerPort& services_;
    const bool verbose_;
};

}  // namespace

bool QuotedServicePath(const wchar_t* ownFolder, PathBuffer& path) {
    return BoundedText(path)
        .Append(L'"')
        .Append(ownFolder)
        .Append(kServiceProgramFile)
        .Append(L'"')
        .ok();
}

DWORD RunInstaller(const InstallerRequest& request, const wchar_t* ownFolder,
                   ServiceManagerPort& services) {
    Installer installer(services, request.verbose);
    switch (request.operation) {
        case InstallerOperation::InstallAndStart:
            return installer.Install(ownFolder, true);
        case InstallerOperation::InstallOnly:
            return installer.Install(ownFolder, false);
        case InstallerOperation::Uninstall:
            return installer.Uninstall();
        case InstallerOperation::None:
            break;
    }
    return ERROR_SUCCESS;
}

}  // namespace lensbeacon
