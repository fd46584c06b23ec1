#include "lensbeacon/camera_use_live.h"

#include <algorithm>
#include <cwctype>

#include "lensbeacon/camera_use_names.h"

namespace lensbeacon {
namespace {

bool EqualIgnoringCase(std::wstring_view a, std::wstring_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [](wchar_t x, wchar_t y) { return std::towupper(x) == std::towupper(y); });
}

// Where the folder `name` starts in `path` as a whole path element (between
// backslashes), searched from the left; npos when it is not there.
std::size_t FindFolder(std::wstring_view path, std::wstring_view name) {
    for (std::size_t at = path.find(L'\\'); at != std::wstring_view::npos;
         at = path.find(L'\\', at + 1)) {
        const std::size_t start = at + 1;
        if (start + name.size() < path.size() && path[start + name.size()] == L'\\' &&
            EqualIgnoringCase(path.substr(start, name.size()), name)) {
            return start;
        }
    }
    return std::wstring_view::npos;
}

}  // namespace

std::wstring PackageFamilyOfImagePath(std::wstring_view imagePath) {
    constexpr std::wstring_view kAppsFolder = L"WindowsApps";
    const std::size_t apps = FindFolder(imagePath, kAppsFolder);
    if (apps == std::wstring_view::npos) {
        return {};
    }
    const std::size_t start = apps + kAppsFolder.size() + 1;
    const std::size_t end = imagePath.find(L'\\', start);
    if (end == std::wstring_view::npos) {
        return {};  // the package folder itself, not a program inside it
    }
    // Name_Version_Arch_ResourceId_PublisherId: the name holds no '_', the
    // resource id is usually empty.
    const std::wstring_view folder = imagePath.substr(start, end - start);
    std::size_t parts[4] = {};
    std::size_t count = 0;
    for (std::size_t i = 0; i < folder.size(); ++i) {
        if (folder[i] == L'_') {
            if (count == 4) {
                return {};
            }
            parts[count++] = i;
        }
    }
    if (count != 4 || parts[0] == 0 || parts[3] + 1 == folder.size()) {
        return {};
    }
    std::wstring family(folder.substr(0, parts[0] + 1));
    family.append(folder.substr(parts[3] + 1));
    return family;
}

bool IsProgramOfRecord(const CameraUseRecord& record, std::wstring_view imagePath) {
    if (record.app.empty() || imagePath.empty()) {
        return false;
    }
    if (record.packaged) {
        const std::wstring family = PackageFamilyOfImagePath(imagePath);
        return !family.empty() && EqualIgnoringCase(family, record.app);
    }
    return EqualIgnoringCase(DesktopProgramPath(record.app), imagePath);
}

bool IsRecordLive(const CameraUseRecord& record, const std::vector<std::wstring>& imagePaths) {
    return std::any_of(imagePaths.begin(), imagePaths.end(),
                       [&](const std::wstring& path) { return IsProgramOfRecord(record, path); });
}

std::vector<CameraUseRecord> LiveHeldRecords(const std::vector<CameraUseRecord>& records,
                                             const std::vector<std::wstring>& imagePaths) {
    std::vector<CameraUseRecord> live;
    for (const CameraUseRecord& record : records) {
        if (HoldsCamera(record) && IsRecordLive(record, imagePaths)) {
            live.push_back(record);
        }
    }
    return live;
}

bool AnyHeldRecord(const std::vector<CameraUseRecord>& records) {
    return std::any_of(records.begin(), records.end(),
                       [](const CameraUseRecord& record) { return HoldsCamera(record); });
}

}  // namespace lensbeacon
