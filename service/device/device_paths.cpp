#include "device_paths.h"

#include <cstdint>
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

// The number at the start of `text` as _wtoi reads it: leading blanks, an
// optional sign, then decimal digits up to the first other character. Out of
// range values saturate.
int32_t ReadLeadingNumber(const wchar_t* text) {
    while (*text == L' ' || (*text >= L'\t' && *text <= L'\r')) {
        ++text;
    }
    const bool negative = *text == L'-';
    if (*text == L'-' || *text == L'+') {
        ++text;
    }
    constexpr int64_t kLimit = int64_t{INT32_MAX} + 1;
    int64_t magnitude = 0;
    for (; *text >= L'0' && *text <= L'9'; ++text) {
        if (magnitude < kLimit) {
            magnitude = magnitude * 10 + (*text - L'0');
        }
    }
    if (negative) {
        return magnitude >= kLimit ? INT32_MIN : static_cast<int32_t>(-magnitude);
    }
    return magnitude >= kLimit ? INT32_MAX : static_cast<int32_t>(magnitude);
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
        // The number stops at the first non-digit, at the latest at the ')'.
        const int32_t number = ReadLeadingNumber(location + open + 1);
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
