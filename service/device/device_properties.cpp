#include "device_properties.h"

#include <cstring>

namespace lensbeacon {
namespace {

constexpr std::size_t kMostRecentPowerStateOffset = 4;

// Character `index` of the wide text in `data`, which need not be aligned.
wchar_t CharacterAt(const uint8_t* data, std::size_t index) {
    wchar_t character = L'\0';
    std::memcpy(&character, data + index * sizeof(wchar_t), sizeof(character));
    return character;
}

}  // namespace

std::optional<int32_t> PowerStateFromPowerData(uint32_t type, const uint8_t* data,
                                               std::size_t size) {
    if (type != kPowerDataPropertyType || data == nullptr || size < kPowerDataSize) {
        return std::nullopt;
    }
    int32_t state = 0;
    std::memcpy(&state, data + kMostRecentPowerStateOffset, sizeof(state));
    return state;
}

bool FirstStringOfList(uint32_t type, const uint8_t* data, std::size_t size, DeviceText& first) {
    if (type != kStringListPropertyType || data == nullptr || size % sizeof(wchar_t) != 0) {
        return false;
    }
    const std::size_t count = size / sizeof(wchar_t);
    if (count < 2 || CharacterAt(data, count - 1) != L'\0' ||
        CharacterAt(data, count - 2) != L'\0') {
        return false;
    }
    std::size_t length = 0;
    while (CharacterAt(data, length) != L'\0') {
        ++length;
    }
    if (length >= kDeviceTextLength) {
        return false;
    }
    std::memcpy(first, data, length * sizeof(wchar_t));
    first[length] = L'\0';
    return true;
}

}  // namespace lensbeacon
