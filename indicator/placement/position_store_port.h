// The indicator's view of the position store library: the last published
// position with the screen size it was taken on, and its persistence. Calls
// whose entry point is not bound do nothing and answer false.
#pragma once

#include <cstdint>

namespace lensbeacon::indicator {

struct StoredPosition {
    std::int32_t x = -1;
    std::int32_t y = -1;
    std::int32_t screenWidth = -1;
    std::int32_t screenHeight = -1;
};

class PositionStorePort {
  public:
    virtual ~PositionStorePort() = default;

    // Fills `position`; leaves it untouched (all -1 by default) when unbound.
    [[nodiscard]] virtual bool Get(StoredPosition& position) = 0;
    [[nodiscard]] virtual bool Set(const StoredPosition& position) = 0;
    // Writes the shared position to the settings key.
    [[nodiscard]] virtual bool Save() = 0;
    // Loads the shared position from the settings key, once until a save.
    [[nodiscard]] virtual bool Restore() = 0;
};

}  // namespace lensbeacon::indicator
