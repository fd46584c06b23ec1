// The USB hub's connection-information request and its answer, as bytes: a
// packed USB_NODE_CONNECTION_INFORMATION with room for 30 pipe entries, used
// for input and output. The answer comes from a driver, so it is read only as
// far as the hub says it wrote.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace lensbeacon {

inline constexpr uint32_t kGetNodeConnectionInformation = 0x22040C;
inline constexpr std::size_t kConnectionInformationSize = 365;
using ConnectionInformation = uint8_t[kConnectionInformationSize];

// The zero-filled request for `port` (the connection index).
void PrepareConnectionRequest(int32_t port, ConnectionInformation& request);

// The number of open pipes from the first `returned` bytes of the answer.
// Empty when the answer is too short to hold the connection status or when
// the port reports no device connected (status 0).
[[nodiscard]] std::optional<uint32_t> OpenPipesFromAnswer(const uint8_t* answer,
                                                          std::size_t returned);

}  // namespace lensbeacon
