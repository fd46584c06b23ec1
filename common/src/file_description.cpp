// The Windows calls behind program names: where a program file lies, and its
// version resource.
#include <cstdint>
#include <cwchar>
#include <string>
#include <vector>

#include "lensbeacon/camera_use_names.h"

namespace lensbeacon {
namespace {

// Version resources of real programs are a few KiB; a larger one is refused.
constexpr DWORD kMaxVersionBytes = 1 << 20;
// A real program lists a handful of string tables.
constexpr std::size_t kMaxTranslations = 64;

// Attributes of a file or folder that is not simply on the local disk: a
// reparse point (a link to another place, a mount point of another drive, a
// cloud file), data kept offline, and placeholders whose data is fetched
// when they are opened or read.
constexpr DWORD kRecallOnOpen = 0x00040000;        // FILE_ATTRIBUTE_RECALL_ON_OPEN
constexpr DWORD kRecallOnDataAccess = 0x00400000;  // FILE_ATTRIBUTE_RECALL_ON_DATA_ACCESS
constexpr DWORD kNotPlainlyLocal =
    FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_OFFLINE | kRecallOnOpen | kRecallOnDataAccess;

// Four lower-case hex digits, as the string table's key spells a word.
std::wstring Hex4(WORD value) {
    constexpr wchar_t kDigits[] = L"0123456789abcdef";
    std::wstring text(4, L'0');
    for (int i = 3; i >= 0; --i, value = static_cast<WORD>(value >> 4)) {
        text[static_cast<std::size_t>(i)] = kDigits[value & 0xF];
    }
    return text;
}

// The FileDescription of one string table; empty when it has none.
std::wstring DescriptionIn(const std::vector<std::uint8_t>& block,
                           const VersionTranslation& translation) {
    const std::wstring query = L"\\StringFileInfo\\" + Hex4(translation.language) +
                               Hex4(translation.codePage) + L"\\FileDescription";
    void* value = nullptr;
    UINT length = 0;
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

const FileSystemLooks kRealLooks = {::GetDriveTypeW, ::GetFileAttributesW};

}  // namespace

bool MayOpenForDescription(const std::wstring& path, const FileSystemLooks* looks) {
    if (looks == nullptr) {
        looks = &kRealLooks;
    }
    if (!IsLocalDrivePath(path)) {
        return false;
    }
    // The type of a drive is known without reading from it.
    const wchar_t root[] = {path[0], L':', L'\\', L'\0'};
    if (looks->driveType(root) != DRIVE_FIXED) {
        return false;
    }
    for (std::size_t end = path.find(L'\\', 3);; end = path.find(L'\\', end + 1)) {
        const std::wstring part = path.substr(0, end);
        const DWORD attributes = looks->attributes(part.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & kNotPlainlyLocal) != 0) {
            return false;
        }
        if (end == std::wstring::npos) {
            return true;
        }
    }
}

std::wstring ReadLocalFileDescription(const std::wstring& path) {
    if (!MayOpenForDescription(path)) {
        return {};
    }
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0 || size > kMaxVersionBytes) {
        return {};
    }
    std::vector<std::uint8_t> block(size);
    if (!::GetFileVersionInfoW(path.c_str(), 0, size, block.data())) {
        return {};
    }
    std::vector<VersionTranslation> listed;
    void* value = nullptr;
    UINT length = 0;
    if (::VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", &value, &length) &&
        value != nullptr) {
        // Pairs of words: a language, then a code page.
        const auto* words = static_cast<const WORD*>(value);
        const std::size_t count = length / (2 * sizeof(WORD));
        for (std::size_t i = 0; i < count && i < kMaxTranslations; ++i) {
            listed.push_back({words[2 * i], words[2 * i + 1]});
        }
    }
    for (const VersionTranslation& translation :
         DescriptionTranslations(::GetUserDefaultUILanguage(), listed)) {
        std::wstring description = DescriptionIn(block, translation);
        if (!description.empty()) {
            return description;
        }
    }
    return {};
}

}  // namespace lensbeacon
