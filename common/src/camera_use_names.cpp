#include "lensbeacon/camera_use_names.h"

#include <algorithm>
#include <cwctype>

namespace lensbeacon {

std::wstring DesktopProgramPath(std::wstring_view keyName) {
    std::wstring path(keyName);
    std::replace(path.begin(), path.end(), L'#', L'\\');
    return path;
}

std::wstring PackagedAppName(std::wstring_view familyName) {
    std::wstring_view name = familyName.substr(0, familyName.find(L'_'));
    const std::size_t dot = name.rfind(L'.');
    if (dot != std::wstring_view::npos && dot + 1 < name.size()) {
        name = name.substr(dot + 1);
    }
    return std::wstring(name);
}

std::wstring FileNameWithoutExtension(std::wstring_view path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    std::wstring_view file = slash == std::wstring_view::npos ? path : path.substr(slash + 1);
    const std::size_t dot = file.rfind(L'.');
    if (dot != std::wstring_view::npos && dot > 0) {
        file = file.substr(0, dot);
    }
    return std::wstring(file);
}

std::wstring PlainProgramName(std::wstring_view raw) {
    std::wstring plain;
    plain.reserve(std::min(raw.size(), kMaxProgramNameLength + 1));
    for (const wchar_t c : raw) {
        const bool blank = std::iswcntrl(c) || std::iswspace(c);
        if (blank) {
            if (!plain.empty() && plain.back() != L' ') {
                plain.push_back(L' ');
            }
        } else {
            plain.push_back(c);
        }
        if (plain.size() > kMaxProgramNameLength) {
            break;
        }
    }
    while (!plain.empty() && plain.back() == L' ') {
        plain.pop_back();
    }
    if (plain.size() > kMaxProgramNameLength) {
        plain.resize(kMaxProgramNameLength - 1);
        plain.push_back(L'\x2026');  // ellipsis
    }
    return plain;
}

std::vector<std::wstring> NamesOfCameraHolders(std::vector<CameraUseRecord> records,
                                               const DescriptionReader& describe) {
    std::erase_if(records, [](const CameraUseRecord& record) { return !HoldsCamera(record); });
    std::stable_sort(
        records.begin(), records.end(),
        [](const CameraUseRecord& a, const CameraUseRecord& b) { return a.start > b.start; });
    std::vector<std::wstring> names;
    for (const CameraUseRecord& record : records) {
        if (names.size() == kMaxNamedPrograms) {
            break;
        }
        std::wstring name;
        if (record.packaged) {
            name = PlainProgramName(PackagedAppName(record.app));
        } else {
            const std::wstring path = DesktopProgramPath(record.app);
            name = PlainProgramName(describe ? describe(path) : std::wstring());
            if (name.empty()) {
                name = PlainProgramName(FileNameWithoutExtension(path));
            }
        }
        if (!name.empty() && std::find(names.begin(), names.end(), name) == names.end()) {
            names.push_back(std::move(name));
        }
    }
    return names;
}

}  // namespace lensbeacon
