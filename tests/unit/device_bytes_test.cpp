// The device check's untrusted bytes: the hub's connection answer, the two
// device properties and the port numbers in location paths.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "device_paths.h"
#include "device_properties.h"
#include "hub_connection.h"

namespace lensbeacon {
namespace {

std::vector<uint8_t> Answer(uint32_t pipes, uint32_t status) {
    std::vector<uint8_t> answer(kConnectionInformationSize, 0xCC);
    std::memcpy(answer.data() + 27, &pipes, sizeof(pipes));
    std::memcpy(answer.data() + 31, &status, sizeof(status));
    return answer;
}

TEST(HubConnection, RequestCarriesOnlyThePort) {
    ConnectionInformation request;
    std::memset(request, 0xCC, sizeof(request));
    PrepareConnectionRequest(3, request);
    int32_t port = 0;
    std::memcpy(&port, request, sizeof(port));
    EXPECT_EQ(port, 3);
    for (std::size_t i = sizeof(port); i < sizeof(request); ++i) {
        ASSERT_EQ(request[i], 0) << i;
    }
}

TEST(HubConnection, AnswerGivesOpenPipesOfAConnectedPortOnly) {
    EXPECT_EQ(OpenPipesFromAnswer(Answer(5, 1).data(), kConnectionInformationSize), 5u);
    EXPECT_EQ(OpenPipesFromAnswer(Answer(0, 1).data(), kConnectionInformationSize), 0u);
    // A port that reports no device connected.
    EXPECT_EQ(OpenPipesFromAnswer(Answer(5, 0).data(), kConnectionInformationSize), std::nullopt);
    // Just long enough to hold the status, and one byte short of it.
    EXPECT_EQ(OpenPipesFromAnswer(Answer(7, 1).data(), 35), 7u);
    EXPECT_EQ(OpenPipesFromAnswer(Answer(7, 1).data(), 34), std::nullopt);
    EXPECT_EQ(OpenPipesFromAnswer(Answer(7, 1).data(), 0), std::nullopt);
    EXPECT_EQ(OpenPipesFromAnswer(nullptr, kConnectionInformationSize), std::nullopt);
}

TEST(DeviceProperties, PowerDataMustBeAWholeBinaryRecord) {
    std::vector<uint8_t> data(kPowerDataSize, 0);
    data[4] = 4;
    EXPECT_EQ(PowerStateFromPowerData(0x1003, data.data(), data.size()), 4);
    EXPECT_EQ(PowerStateFromPowerData(0x1004, data.data(), data.size()), std::nullopt);
    EXPECT_EQ(PowerStateFromPowerData(0x0003, data.data(), data.size()), std::nullopt);
    EXPECT_EQ(PowerStateFromPowerData(0x1003, data.data(), 8), std::nullopt);
    EXPECT_EQ(PowerStateFromPowerData(0x1003, data.data(), data.size() - 1), std::nullopt);
    data.push_back(0);
    EXPECT_EQ(PowerStateFromPowerData(0x1003, data.data(), data.size()), 4) << "a grown record";
}

std::vector<uint8_t> Bytes(const std::wstring& text) {
    std::vector<uint8_t> bytes(text.size() * sizeof(wchar_t) + 1);  // +1: test unaligned reads
    std::memcpy(bytes.data() + 1, text.data(), text.size() * sizeof(wchar_t));
    return bytes;
}

TEST(DeviceProperties, LocationPathsMustBeADoubleTerminatedStringList) {
    DeviceText first = L"untouched";
    const std::wstring list = std::wstring(L"A(1)") + L'\0' + L"B(2)" + L'\0' + L'\0';
    std::vector<uint8_t> bytes = Bytes(list);
    ASSERT_TRUE(FirstStringOfList(0x2012, bytes.data() + 1, bytes.size() - 1, first));
    EXPECT_STREQ(first, L"A(1)");

    std::wcscpy(first, L"untouched");
    EXPECT_FALSE(FirstStringOfList(0x0012, bytes.data() + 1, bytes.size() - 1, first));
    EXPECT_FALSE(FirstStringOfList(0x2012, bytes.data() + 1, bytes.size() - 2, first));  // odd
    bytes = Bytes(std::wstring(L"A(1)") + L'\0');  // one terminator only
    EXPECT_FALSE(FirstStringOfList(0x2012, bytes.data() + 1, bytes.size() - 1, first));
    bytes = Bytes(std::wstring(kDeviceTextLength, L'L') + L'\0' + L'\0');  // too long to copy
    EXPECT_FALSE(FirstStringOfList(0x2012, bytes.data() + 1, bytes.size() - 1, first));
    EXPECT_STREQ(first, L"untouched");
}

TEST(PortFromLocationPath, ReadsNumbersAsTheRuntimeWould) {
    EXPECT_EQ(PortFromLocationPath(L"USB( 4)"), 4);
    EXPECT_EQ(PortFromLocationPath(L"USB(+4)"), 4);
    EXPECT_EQ(PortFromLocationPath(L"USB(-2)"), -2);
    EXPECT_EQ(PortFromLocationPath(L"USB(6)#X(x)"), 6);  // no digits: 0, go left
    EXPECT_EQ(PortFromLocationPath(L"USB(99999999999)"), INT32_MAX);
}

}  // namespace
}  // namespace lensbeacon
