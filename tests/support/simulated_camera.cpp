#include "simulated_camera.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "lensbeacon/unique_owner.h"
#include "registry_sandbox.h"

namespace lensbeacon::test {
namespace {

constexpr wchar_t kImagingClass[] = L"{6bdd1fc6-810f-11d0-bec7-08002be2092f}";
constexpr wchar_t kPropertyFolder[] = L"\\Properties\\{a45c254e-df1c-4efd-8020-67d146a850e0}\\";
constexpr wchar_t kPowerDataPid[] = L"0020";
constexpr wchar_t kLocationPathsPid[] = L"0025";
constexpr DWORD kBinaryProperty = 0x1003;
constexpr DWORD kStringListProperty = 0x2012;
constexpr DWORD kPowerDataSize = 56;

}  // namespace

SimulatedCamera::SimulatedCamera(unsigned number, const std::wstring& location, CameraPower power) {
    wchar_t digits[16] = {};
    std::swprintf(digits, 16, L"%04u", number);
    instanceId_ = std::wstring(L"ROOT\\IMAGE\\") + digits;
    key_ = L"System\\CurrentControlSet\\Enum\\" + instanceId_;
    Remove();
    WriteMachineValue(key_, L"ClassGUID", REG_SZ, kImagingClass, sizeof(kImagingClass));
    if (!location.empty()) {
        std::vector<wchar_t> list(location.begin(), location.end());
        list.push_back(L'\0');
        list.push_back(L'\0');
        SetLocationPaths(list);
    }
    SetPower(power);
}

SimulatedCamera::~SimulatedCamera() {
    Remove();
}

void SimulatedCamera::SetPower(CameraPower power) {
    std::vector<unsigned char> data(kPowerDataSize, 0);
    const uint32_t size = kPowerDataSize;
    const uint32_t state = static_cast<uint32_t>(power);
    std::memcpy(data.data(), &size, sizeof(size));        // PD_Size
    std::memcpy(data.data() + 4, &state, sizeof(state));  // PD_MostRecentPowerState
    SetPowerData(data);
}

void SimulatedCamera::SetPowerData(const std::vector<unsigned char>& bytes) {
    SetProperty(kPowerDataPid, kBinaryProperty, bytes.data(), static_cast<DWORD>(bytes.size()));
}

void SimulatedCamera::SetLocationPaths(const std::vector<wchar_t>& characters) {
    SetProperty(kLocationPathsPid, kStringListProperty, characters.data(),
                static_cast<DWORD>(characters.size() * sizeof(wchar_t)));
}

void SimulatedCamera::SetProperty(const wchar_t* pid, DWORD propertyType, const void* data,
                                  DWORD size) {
    WriteMachineValue(key_ + kPropertyFolder + pid, nullptr, 0xFFFF0000u | propertyType, data,
                      size);
}

void SimulatedCamera::Remove() {
    const LSTATUS status = ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, key_.c_str());
    EXPECT_TRUE(status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) << status;
}

}  // namespace lensbeacon::test
