// What the indicator knows of the desktop programs it names: the
// FileDescription of each program file it has looked up, by path. Reading a
// file's version resource can take a while, so the indicator never waits for
// it: the names use what is known, a program not yet looked up is named by
// its file name, and the lookups it calls for run elsewhere and come back
// through Store.
//
// Plain code: the lookups themselves, and where they run, are the caller's.
#pragma once

#include <cstddef>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace lensbeacon::indicator {

// Lookups started by one refresh of the names, at most.
inline constexpr std::size_t kMaxLookupsPerRefresh = 8;
// Descriptions kept; past that the known ones are forgotten and looked up
// again as they are needed.
inline constexpr std::size_t kMaxKnownDescriptions = 64;

class ProgramDescriptions {
  public:
    // For the names: the description of the program file at `path` once it
    // has been looked up (empty when it has none), else empty, so that its
    // file name stands in. A path of the one shape that is ever opened
    // (IsLocalDrivePath), neither known nor under way, is noted for
    // TakeLookups; any other path is never looked up.
    std::wstring Describe(const std::wstring& path);

    // The paths to look up now: at most kMaxLookupsPerRefresh of those noted
    // since the last call, in the order noted. They are under way from here
    // until Store or Abandon. Paths noted beyond the cap are let go, and
    // noted again by the next Describe that asks for them.
    std::vector<std::wstring> TakeLookups();

    // The answer of a lookup: the file's description, empty when it has none
    // or may not be opened.
    void Store(const std::wstring& path, std::wstring description);

    // Lookups that could not be started: noted again when next asked for.
    void Abandon(const std::vector<std::wstring>& paths);

  private:
    std::map<std::wstring, std::wstring> known_;
    std::set<std::wstring> underWay_;
    std::vector<std::wstring> noted_;
};

}  // namespace lensbeacon::indicator
