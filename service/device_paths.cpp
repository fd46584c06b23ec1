#include "device_paths.h"

#include <cstdlib>
#include <cwchar>
#include <iterator>

namespace lensbeacon {
namespace {

constexpr wchar_t kUsbHubInterfaceGuid[] = L"{f18a0e88-c30c-11d0-8815-00a0c906bed8}";

// Index of the last `c` among the first `end` characters, or -1.
std::ptrdiff_t LastIndexOf(const wchar_t* text, std::size_t end, wchar_t c) {
    for (std::size_t i = end; i > 0; --i) {
        if (text[i - 1] == c) {
            return static_cast<std::ptrdiff_t>(i - 1);
        }
    }
    return -1;
}

}  // namespace

int32_t PortFromLocationPath(const wchar_t* location) {
    std::size_t end = std::wcslen(location);
    for (;;) {
        const std::ptrdiff_t close = LastIndexOf(location, end, L')');
        if (close < 0) {
            return 0;
        }
        const std::ptrdiff_t open = LastIndexOf(location, static_cast<std::size_t>(close), L'(');
        if (open < 0) {
            return 0;
        }
        // _wtoi stops at the first non-digit, at the latest at the ')'.
        const int number = _wtoi(location + open + 1);
        if (number != 0) {
            return number;
        }
        end = static_cast<std::size_t>(open);
    }
}

bool HubPathFromInterfacePath(const wchar_t* interfacePath, DeviceText& hubPath) {
    const std::ptrdiff_t hash = LastIndexOf(interfacePath, std::wcslen(interfacePath), L'#');
    if (hash < 0) {
        return false;
    }
    const std::size_t prefix = static_cast<std::size_t>(hash) + 1;
    const std::size_t guid = std::size(kUsbHubInterfaceGuid) - 1;
    if (prefix + guid >= kDeviceTextLength) {
        return false;
    }
    std::wmemcpy(hubPath, interfacePath, prefix);
    std::wmemcpy(hubPath + prefix, kUsbHubInterfaceGuid, guid);
    hubPath[prefix + guid] = L'\0';
    return true;
}

}  // namespace lensbeacon
