// The one Windows call behind program names: a file's version resource.
#include <cstdint>
#include <cwchar>
#include <string>
#include <vector>

#include "lensbeacon/camera_use_names.h"

namespace lensbeacon {
namespace {

// Version resources of real programs are a few KiB; a larger one is refused.
constexpr DWORD kMaxVersionBytes = 1 << 20;

struct Translation {
    WORD language;
    WORD codePage;
};

// Four lower-case hex digits, as the string table's key spells a word.
std::wstring Hex4(WORD value) {
    constexpr wchar_t kDigits[] = L"0123456789abcdef";
    std::wstring text(4, L'0');
    for (int i = 3; i >= 0; --i, value = static_cast<WORD>(value >> 4)) {
        text[static_cast<std::size_t>(i)] = kDigits[value & 0xF];
    }
    return text;
}

}  // namespace

std::wstring ReadFileDescription(const std::wstring& path) {
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0 || size > kMaxVersionBytes) {
        return {};
    }
    std::vector<std::uint8_t> block(size);
    if (!::GetFileVersionInfoW(path.c_str(), 0, size, block.data())) {
        return {};
    }
    void* value = nullptr;
    UINT length = 0;
    if (!::VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", &value, &length) ||
        value == nullptr || length < sizeof(Translation)) {
        return {};
    }
    const auto* translation = static_cast<const Translation*>(value);
    const std::wstring query = L"\\StringFileInfo\\" + Hex4(translation->language) +
                               Hex4(translation->codePage) + L"\\FileDescription";
    value = nullptr;
    length = 0;
    if (!::VerQueryValueW(block.data(), query.c_str(), &value, &length) || value == nullptr ||
        length == 0) {
        return {};
    }
    // The length counts characters and may or may not include the NUL; the
    // text ends at the first NUL within it.
    const auto* text = static_cast<const wchar_t*>(value);
    std::wstring description(text, length);
    description.resize(std::wcslen(description.c_str()));
    return description;
}

}  // namespace lensbeacon
