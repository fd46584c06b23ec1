// Thin pass-through to setupapi and the hub driver. Every result is tested
// where it is returned; data the system hands back (property values, paths)
// is bounded by the size actually returned before it is copied.
#include "device_port_win32.h"

// clang-format off
#include <windows.h>
#include <setupapi.h>
#include <devpropdef.h>
// clang-format on

#include <cstddef>
#include <cstring>
#include <cwchar>
#include <new>

#include "device_properties.h"
#include "hub_connection.h"
#include "lensbeacon/proc_address.h"
#include "lensbeacon/unique_owner.h"

namespace lensbeacon {
namespace {

constexpr GUID kImagingClass = {
    0x6bdd1fc6, 0x810f, 0x11d0, {0xbe, 0xc7, 0x08, 0x00, 0x2b, 0xe2, 0x09, 0x2f}};
constexpr GUID kCameraClass = {
    0xca3e7ab9, 0xb4c3, 0x4ae6, {0x82, 0x51, 0x57, 0x9e, 0xf9, 0x33, 0x89, 0x0f}};
constexpr GUID kVideoCameraInterface = {
    0xe5323777, 0xf976, 0x4f5b, {0x9b, 0x55, 0xb9, 0x46, 0x99, 0xc4, 0x6e, 0x44}};
constexpr GUID kSensorCameraInterface = {
    0x24e552d7, 0x6523, 0x47f7, {0xa6, 0x47, 0xd3, 0x46, 0x5b, 0xf1, 0xf5, 0xca}};
constexpr GUID kUsbHubInterface = {
    0xf18a0e88, 0xc30c, 0x11d0, {0x88, 0x15, 0x00, 0xa0, 0xc9, 0x06, 0xbe, 0xd8}};
constexpr DEVPROPKEY kPowerDataKey = {
    {0xa45c254e, 0xdf1c, 0x4efd, {0x80, 0x20, 0x67, 0xd1, 0x46, 0xa8, 0x50, 0xe0}}, 32};
constexpr DEVPROPKEY kLocationPathsKey = {
    {0xa45c254e, 0xdf1c, 0x4efd, {0x80, 0x20, 0x67, 0xd1, 0x46, 0xa8, 0x50, 0xe0}}, 37};

#ifndef _WIN64
static_assert(sizeof(SP_DEVINFO_DATA) == 28);
static_assert(sizeof(SP_DEVICE_INTERFACE_DATA) == 28);
static_assert(sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W) == 6);
#endif

struct DevInfoTraits {
    using pointer = HDEVINFO;
    static pointer invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void close(pointer value) noexcept { ::SetupDiDestroyDeviceInfoList(value); }
};
using UniqueDevInfo = BasicOwner<DevInfoTraits>;

using GetDevicePropertyFunction = BOOL(WINAPI*)(HDEVINFO, PSP_DEVINFO_DATA, const DEVPROPKEY*,
                                                DEVPROPTYPE*, PBYTE, DWORD, PDWORD, DWORD);

// Copies the NUL-terminated text at the start of `source` (at most `count`
// characters are looked at; no terminator among them ends the text there).
// Refused when the text does not fit.
bool CopyBoundedText(const wchar_t* source, std::size_t count, DeviceText& target) {
    std::size_t length = 0;
    while (length < count && source[length] != L'\0') {
        ++length;
    }
    if (length >= kDeviceTextLength) {
        return false;
    }
    std::wmemcpy(target, source, length);
    target[length] = L'\0';
    return true;
}

// SetupDiGetDevicePropertyW, found in the already loaded "setupapi" at the
// first read and kept once found; looked up again while it is missing.
class PropertyReader {
  public:
    // The property's type and bytes in `buffer`, `size` of them; false on any
    // failure. The type is the one the second call reports.
    bool Read(HDEVINFO set, SP_DEVINFO_DATA& device, const DEVPROPKEY& key, DEVPROPTYPE& type,
              std::unique_ptr<BYTE[]>& buffer, DWORD& size) {
        if (function_ == nullptr) {
            function_ = ProcAddress<GetDevicePropertyFunction>(::GetModuleHandleW(L"setupapi"),
                                                               "SetupDiGetDevicePropertyW");
            if (function_ == nullptr) {
                return false;
            }
        }
        type = 0;
        DWORD required = 0;
        if (function_(set, &device, &key, &type, nullptr, 0, &required, 0) ||
            ::GetLastError() != ERROR_INSUFFICIENT_BUFFER || required == 0) {
            return false;
        }
        buffer.reset(new (std::nothrow) BYTE[required]());
        if (!buffer) {
            return false;
        }
        if (!function_(set, &device, &key, &type, buffer.get(), required, nullptr, 0)) {
            return false;
        }
        size = required;
        return true;
    }

  private:
    GetDevicePropertyFunction function_ = nullptr;
};

class Win32DeviceListPort final : public DeviceListPort {
  public:
    Win32DeviceListPort(UniqueDevInfo set, PropertyReader& properties)
        : set_(std::move(set)), properties_(properties) {}

    bool Select(uint32_t index) override {
        device_ = {};
        device_.cbSize = sizeof(device_);
        selected_ = ::SetupDiEnumDeviceInfo(set_.get(), index, &device_) != FALSE;
        return selected_;
    }

    bool ReadInstanceId(DeviceText& id) override {
        return selected_ && ::SetupDiGetDeviceInstanceIdW(set_.get(), &device_, id,
                                                          kDeviceTextLength, nullptr) != FALSE;
    }

    bool ReadPowerState(int32_t& state) override {
        DEVPROPTYPE type = 0;
        std::unique_ptr<BYTE[]> buffer;
        DWORD size = 0;
        if (!selected_ ||
            !properties_.Read(set_.get(), device_, kPowerDataKey, type, buffer, size)) {
            return false;
        }
        const std::optional<int32_t> read = PowerStateFromPowerData(type, buffer.get(), size);
        if (!read) {
            return false;
        }
        state = *read;
        return true;
    }

    bool ReadLocationPath(DeviceText& location) override {
        DEVPROPTYPE type = 0;
        std::unique_ptr<BYTE[]> buffer;
        DWORD size = 0;
        return selected_ &&
               properties_.Read(set_.get(), device_, kLocationPathsKey, type, buffer, size) &&
               FirstStringOfList(type, buffer.get(), size, location);
    }

    bool ReadInterfacePath(DeviceText& path) override {
        if (!selected_) {
            return false;
        }
        SP_DEVICE_INTERFACE_DATA interfaceData = {};
        interfaceData.cbSize = sizeof(interfaceData);
        if (!::SetupDiCreateDeviceInterfaceW(set_.get(), &device_, &device_.ClassGuid, nullptr, 0,
                                             &interfaceData)) {
            return false;
        }
        DWORD required = 0;
        if (::SetupDiGetDeviceInterfaceDetailW(set_.get(), &interfaceData, nullptr, 0, &required,
                                               nullptr) ||
            ::GetLastError() != ERROR_INSUFFICIENT_BUFFER || required == 0) {
            return false;
        }
        // At least the fixed part, so that cbSize can be written.
        const DWORD size = required < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W)
                               ? static_cast<DWORD>(sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W))
                               : required;
        UniqueLocalMemory memory(::LocalAlloc(LPTR, size));
        if (!memory) {
            return false;
        }
        auto* detail = static_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(memory.get());
        detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
        if (!::SetupDiGetDeviceInterfaceDetailW(set_.get(), &interfaceData, detail, size, nullptr,
                                                nullptr)) {
            return false;
        }
        const std::size_t pathBytes =
            size - offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_W, DevicePath);
        return CopyBoundedText(detail->DevicePath, pathBytes / sizeof(wchar_t), path);
    }

  private:
    UniqueDevInfo set_;
    PropertyReader& properties_;
    SP_DEVINFO_DATA device_ = {};
    bool selected_ = false;
};

class Win32DevicePort final : public DevicePort {
  public:
    std::unique_ptr<DeviceListPort> OpenDevices(DeviceSource source) override {
        switch (source) {
            case DeviceSource::ImagingClass:
                return Open(kImagingClass, DIGCF_PRESENT);
            case DeviceSource::CameraClass:
                return Open(kCameraClass, DIGCF_PRESENT);
            case DeviceSource::VideoCameraInterface:
                return Open(kVideoCameraInterface, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
            case DeviceSource::SensorCameraInterface:
                return Open(kSensorCameraInterface, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
        }
        return nullptr;
    }

    std::unique_ptr<DeviceListPort> OpenUsbHubs() override {
        return Open(kUsbHubInterface, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    }

    std::optional<uint32_t> CountOpenPipes(const wchar_t* hubPath, int32_t port) override {
        UniqueFileHandle hub(::CreateFileW(hubPath, GENERIC_READ, FILE_SHARE_READ, nullptr,
                                           OPEN_EXISTING, 0, nullptr));
        if (!hub) {
            return std::nullopt;
        }
        ConnectionInformation information;
        PrepareConnectionRequest(port, information);
        DWORD returned = 0;
        if (!::DeviceIoControl(hub.get(), kGetNodeConnectionInformation, information,
                               sizeof(information), information, sizeof(information), &returned,
                               nullptr)) {
            return std::nullopt;
        }
        return OpenPipesFromAnswer(information, returned);
    }

  private:
    std::unique_ptr<DeviceListPort> Open(const GUID& classGuid, DWORD flags) {
        UniqueDevInfo set(::SetupDiGetClassDevsW(&classGuid, nullptr, nullptr, flags));
        if (!set) {
            return nullptr;
        }
        return std::unique_ptr<DeviceListPort>(
            new (std::nothrow) Win32DeviceListPort(std::move(set), properties_));
    }

    PropertyReader properties_;
};

}  // namespace

std::unique_ptr<DevicePort> CreateWin32DevicePort() {
    return std::unique_ptr<DevicePort>(new (std::nothrow) Win32DevicePort);
}

}  // namespace lensbeacon
