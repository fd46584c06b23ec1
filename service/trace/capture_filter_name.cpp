#include "capture_filter_name.h"

#include <cstring>
#include <cwchar>

namespace lensbeacon {
namespace {

constexpr wchar_t kSuffix[] = L"vidcap.ax";
constexpr wchar_t kSystemFolderModule[] = L"\\windows\\system32\\vidcap.ax";
constexpr wchar_t kWow64FolderModule[] = L"\\windows\\syswow64\\vidcap.ax";
constexpr std::size_t kSuffixLength = sizeof(kSuffix) / sizeof(wchar_t) - 1;
constexpr std::size_t kModuleLength = sizeof(kSystemFolderModule) / sizeof(wchar_t) - 1;
static_assert(kModuleLength == 27);
static_assert(sizeof(kWow64FolderModule) == sizeof(kSystemFolderModule));

wchar_t ToLowerAscii(wchar_t c) {
    return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

// The name's characters, read one at a time from bytes that may be unaligned.
class NameText {
  public:
    NameText(const void* text, std::size_t length)
        : bytes_(static_cast<const unsigned char*>(text)), length_(length) {}

    std::size_t length() const { return length_; }

    wchar_t LowerAt(std::size_t index) const {
        wchar_t c;
        std::memcpy(&c, bytes_ + index * sizeof(wchar_t), sizeof(c));
        return ToLowerAscii(c);
    }

    // `lowerNeedle` (lower case) starts at `start`.
    bool MatchesAt(std::size_t start, const wchar_t* lowerNeedle, std::size_t needleLength) const {
        for (std::size_t i = 0; i < needleLength; ++i) {
            if (LowerAt(start + i) != lowerNeedle[i]) {
                return false;
            }
        }
        return true;
    }

    bool Contains(const wchar_t* lowerNeedle, std::size_t needleLength) const {
        if (needleLength > length_) {
            return false;
        }
        for (std::size_t start = 0; start + needleLength <= length_; ++start) {
            if (MatchesAt(start, lowerNeedle, needleLength)) {
                return true;
            }
        }
        return false;
    }

  private:
    const unsigned char* bytes_;
    std::size_t length_;
};

}  // namespace

bool IsCaptureFilterImage(const void* text, std::size_t length, bool windows64) {
    if (text == nullptr || length < kModuleLength) {
        return false;
    }
    const NameText name(text, length);
    // Cheap rejection first: almost no image ends in the filter's file name.
    if (!name.MatchesAt(length - kSuffixLength, kSuffix, kSuffixLength)) {
        return false;
    }
    if (name.Contains(kSystemFolderModule, kModuleLength)) {
        return true;
    }
    return windows64 && name.Contains(kWow64FolderModule, kModuleLength);
}

bool IsCaptureFilterImage(const wchar_t* name, bool windows64) {
    if (name == nullptr) {
        return false;
    }
    return IsCaptureFilterImage(name, std::wcslen(name), windows64);
}

}  // namespace lensbeacon
