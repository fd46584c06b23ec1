// What the installer was asked to do, read from its command line.
#pragma once

namespace lensbeacon {

enum class InstallerOperation { None, InstallAndStart, InstallOnly, Uninstall };

struct InstallerRequest {
    InstallerOperation operation = InstallerOperation::None;
    bool verbose = false;  // write debug lines
};

// `arguments` as split by CommandLineToArgvW: entry 0 is the program, entry 1
// the operation ("-i", "-is" or "-u"), entry 2 optionally "-debug"; case is
// ignored and further entries are ignored. Null entries count as unknown.
InstallerRequest ParseArguments(int count, const wchar_t* const* arguments);

}  // namespace lensbeacon
