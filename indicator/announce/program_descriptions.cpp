#include "program_descriptions.h"

#include <algorithm>
#include <utility>

#include "lensbeacon/camera_use_names.h"

namespace lensbeacon::indicator {

std::wstring ProgramDescriptions::Describe(const std::wstring& path) {
    if (const auto found = known_.find(path); found != known_.end()) {
        return found->second;
    }
    if (IsLocalDrivePath(path) && !underWay_.contains(path) &&
        std::find(noted_.begin(), noted_.end(), path) == noted_.end()) {
        noted_.push_back(path);
    }
    return {};
}

std::vector<std::wstring> ProgramDescriptions::TakeLookups() {
    std::vector<std::wstring> lookups = std::move(noted_);
    noted_.clear();
    if (lookups.size() > kMaxLookupsPerRefresh) {
        lookups.resize(kMaxLookupsPerRefresh);
    }
    underWay_.insert(lookups.begin(), lookups.end());
    return lookups;
}

void ProgramDescriptions::Store(const std::wstring& path, std::wstring description) {
    if (underWay_.erase(path) == 0) {
        return;  // not asked for: an answer to a lookup from before
    }
    if (known_.size() >= kMaxKnownDescriptions) {
        known_.clear();
    }
    known_[path] = std::move(description);
}

void ProgramDescriptions::Abandon(const std::vector<std::wstring>& paths) {
    for (const std::wstring& path : paths) {
        underWay_.erase(path);
    }
}

}  // namespace lensbeacon::indicator
