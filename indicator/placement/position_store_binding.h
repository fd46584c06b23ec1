// Lensmemo.dll bound at run time. The library is loaded by its full path in a
// given folder (the program's own folder by default), never by bare name: the
// logon-desktop instance runs as the local system account, and a bare name
// would run whatever library of that name the search order finds first. A
// missing library, or a missing export, leaves the calls through it skipped.
#pragma once

#include <windows.h>

#include "lensbeacon/position_store.h"
#include "lensbeacon/unique_owner.h"
#include "position_store_port.h"

namespace lensbeacon::indicator {

class Win32PositionStorePort final : public PositionStorePort {
  public:
    Win32PositionStorePort() noexcept = default;

    // Loads Lensmemo.dll from the program's own folder and looks up its
    // exports. False, with nothing bound, when the library cannot be loaded.
    [[nodiscard]] bool Bind();
    // The same from `folder`, which ends in a backslash.
    [[nodiscard]] bool Bind(const wchar_t* folder);
    [[nodiscard]] bool IsBound() const noexcept { return static_cast<bool>(library_); }

    [[nodiscard]] bool Get(StoredPosition& position) override;
    [[nodiscard]] bool Set(const StoredPosition& position) override;
    [[nodiscard]] bool Save() override;
    [[nodiscard]] bool Restore() override;

  private:
    // Declared first so the entry points are cleared before it unloads.
    UniqueModule library_;
    GetPositionInformationFn get_ = nullptr;
    SetPositionInformationFn set_ = nullptr;
    SavePositionInformationFn save_ = nullptr;
    RestorePositionInformationFn restore_ = nullptr;
};

}  // namespace lensbeacon::indicator
