#include "hub_connection.h"

#include <cstring>

namespace lensbeacon {
namespace {

constexpr std::size_t kConnectionIndexOffset = 0;
constexpr std::size_t kNumberOfOpenPipesOffset = 27;
constexpr std::size_t kConnectionStatusOffset = 31;

uint32_t ReadUint32(const uint8_t* bytes, std::size_t offset) {
    uint32_t value = 0;
    std::memcpy(&value, bytes + offset, sizeof(value));
    return value;
}

}  // namespace

void PrepareConnectionRequest(int32_t port, ConnectionInformation& request) {
    std::memset(request, 0, sizeof(request));
    std::memcpy(request + kConnectionIndexOffset, &port, sizeof(port));
}

std::optional<uint32_t> OpenPipesFromAnswer(const uint8_t* answer, std::size_t returned) {
    if (answer == nullptr || returned < kConnectionStatusOffset + sizeof(uint32_t)) {
        return std::nullopt;
    }
    if (ReadUint32(answer, kConnectionStatusOffset) == 0) {
        return std::nullopt;
    }
    return ReadUint32(answer, kNumberOfOpenPipesOffset);
}

}  // namespace lensbeacon
