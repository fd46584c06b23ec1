#include "command_line.h"

#include <cwchar>

namespace lensbeacon {
namespace {

bool Matches(const wchar_t* argument, const wchar_t* expected) {
    return argument != nullptr && ::_wcsicmp(argument, expected) == 0;
}

}  // namespace

InstallerRequest ParseArguments(int count, const wchar_t* const* arguments) {
    InstallerRequest request;
    if (arguments == nullptr || count < 2) {
        return request;
    }
    request.verbose = count >= 3 && Matches(arguments[2], L"-debug");
    // First match wins.
    if (Matches(arguments[1], L"-i")) {
        request.operation = InstallerOperation::InstallAndStart;
    } else if (Matches(arguments[1], L"-is")) {
        request.operation = InstallerOperation::InstallOnly;
    } else if (Matches(arguments[1], L"-u")) {
        request.operation = InstallerOperation::Uninstall;
    }
    return request;
}

}  // namespace lensbeacon
