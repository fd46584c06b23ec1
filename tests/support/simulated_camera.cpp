#include "simulated_camera.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "lensbeacon/unique_owner.h"
#include "registry_sandbox.h"

namespace lensbeacon::test {
namespace {

constexpr wchar_t kImagingClass[] = L"{6bdd1fc6-810f-11d0-bec7-08002be2092f}";
constexpr wchar_t kCameraClass[] = L"{ca3e7ab9-b4c3-4ae6-8251-579ef933890f}";
constexpr wchar_t kMediaClass[] = L"{4d36e96c-e325-11ce-bfc1-08002be10318}";
constexpr wchar_t kVideoCameraInterface[] = L"{e5323777-f976-4f5b-9b55-b94699c46e44}";
constexpr wchar_t kClassesFolder[] = L"System\\CurrentControlSet\\Control\\DeviceClasses\\";
constexpr wchar_t kPropertyFolder[] = L"\\Properties\\{a45c254e-df1c-4efd-8020-67d146a850e0}\\";
constexpr wchar_t kPowerDataPid[] = L"0020";
constexpr wchar_t kLocationPathsPid[] = L"0025";
constexpr DWORD kBinaryProperty = 0x1003;
constexpr DWORD kStringListProperty = 0x2012;
constexpr DWORD kPowerDataSize = 56;

void WriteString(const std::wstring& key, const wchar_t* name, const std::wstring& text) {
    WriteMachineValue(key, name, REG_SZ, text.c_str(),
                      static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

}  // namespace

SimulatedCamera::SimulatedCamera(unsigned number, const std::wstring& location, CameraPower power,
                                 CameraKind kind) {
    wchar_t digits[16] = {};
    std::swprintf(digits, 16, L"%04u", number);
    const wchar_t* enumerator = kind == CameraKind::ImagingClass  ? L"IMAGE"
                                : kind == CameraKind::CameraClass ? L"CAMERA"
                                                                  : L"LBMEDIA";
    instanceId_ = std::wstring(L"ROOT\\") + enumerator + L"\\" + digits;
    key_ = L"System\\CurrentControlSet\\Enum\\" + instanceId_;
    // A Camera-class camera exposes the video camera interface too, as real
    // ones do; the check judges it once.
    if (kind != CameraKind::ImagingClass) {
        interfaceKey_ = std::wstring(kClassesFolder) + kVideoCameraInterface + L"\\##?#ROOT#" +
                        enumerator + L"#" + digits + L"#" + kVideoCameraInterface;
    }
    Remove();
    WriteString(key_, L"ClassGUID",
                kind == CameraKind::ImagingClass  ? kImagingClass
                : kind == CameraKind::CameraClass ? kCameraClass
                                                  : kMediaClass);
    if (!interfaceKey_.empty()) {
        WriteString(interfaceKey_, L"DeviceInstance", instanceId_);
        WriteString(interfaceKey_ + L"\\#", L"SymbolicLink",
                    std::wstring(L"\\\\?\\ROOT#") + enumerator + L"#" + digits + L"#" +
                        kVideoCameraInterface);
    }
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
    for (const std::wstring* key : {&key_, &interfaceKey_}) {
        if (key->empty()) {
            continue;
        }
        const LSTATUS status = ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, key->c_str());
        EXPECT_TRUE(status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) << status;
    }
}

}  // namespace lensbeacon::test
