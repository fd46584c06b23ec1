// Test helper: a camera device that Wine's setupapi lists as present.
//
// The camera is a device instance under HKLM\System\CurrentControlSet\Enum:
// ROOT\IMAGE\<number> of the imaging class, ROOT\CAMERA\<number> of the
// Camera class, or ROOT\LBMEDIA\<number> of the media class. The last two
// expose the video camera interface (a key under Control\DeviceClasses names
// the device, the layout SimulatedUsbHub uses). Wine needs only its "ClassGUID" to list it
// by class with DIGCF_PRESENT. Device properties live in the
// default value of Properties\{fmtid}\<pid as 4 hex digits>, whose registry
// type is 0xFFFF0000 | property type:
//   ...\{a45c254e-df1c-4efd-8020-67d146a850e0}\0020  power data: a 56-byte
//       CM_POWER_DATA (type 0x1003, binary), most recent state at byte 4
//   ...\{a45c254e-df1c-4efd-8020-67d146a850e0}\0025  location paths: a
//       double-NUL-terminated string list (type 0x2012)
// The constructor replaces whatever an earlier run left under the same
// number; the destructor removes the device.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace lensbeacon::test {

enum class CameraPower : uint32_t { D0 = 1, D1 = 2, D2 = 3, D3 = 4 };

// Where the device check finds the camera.
enum class CameraKind { ImagingClass, CameraClass, VideoInterfaceOnly };

class SimulatedCamera {
  public:
    // A camera at `location` ("" = no location property) in state `power`.
    SimulatedCamera(unsigned number, const std::wstring& location, CameraPower power,
                    CameraKind kind = CameraKind::ImagingClass);
    ~SimulatedCamera();
    SimulatedCamera(const SimulatedCamera&) = delete;
    SimulatedCamera& operator=(const SimulatedCamera&) = delete;

    // "ROOT\IMAGE\0000" and so on: what SetupDiGetDeviceInstanceIdW reports.
    const std::wstring& instanceId() const { return instanceId_; }

    void SetPower(CameraPower power);
    // Raw property values, for malformed data.
    void SetPowerData(const std::vector<unsigned char>& bytes);
    void SetLocationPaths(const std::vector<wchar_t>& characters);
    // Any bytes under the power data (0020) or location paths (0025)
    // property, with any property type: what a damaged registry may hold.
    void SetRawProperty(const wchar_t* pid, DWORD propertyType,
                        const std::vector<unsigned char>& bytes) {
        SetProperty(pid, propertyType, bytes.data(), static_cast<DWORD>(bytes.size()));
    }
    void Remove();

  private:
    void SetProperty(const wchar_t* pid, DWORD propertyType, const void* data, DWORD size);

    std::wstring instanceId_;
    std::wstring key_;
    std::wstring interfaceKey_;  // empty for an imaging-class camera
};

}  // namespace lensbeacon::test
