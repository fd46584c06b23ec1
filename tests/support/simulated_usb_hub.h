// Test helper: a USB hub that Wine's setupapi lists among the present devices
// with the USB hub interface.
//
// The hub is the device instance ROOT\LBHUB\<number> under
// HKLM\System\CurrentControlSet\Enum, of the USB setup class, with its
// location paths as a device property (the layout SimulatedCamera uses), and
// the interface key
// ##?#ROOT#LBHUB#<number>#{f18a0e88-c30c-11d0-8815-00a0c906bed8} under
// Control\DeviceClasses\{f18a0e88-c30c-11d0-8815-00a0c906bed8}, whose
// "DeviceInstance" names it. The device check's interface-path lookup makes
// Wine register a second interface under the USB class GUID; the destructor
// removes that one too. No hub request can reach such a hub.
#pragma once

#include <string>

namespace lensbeacon::test {

class SimulatedUsbHub {
  public:
    SimulatedUsbHub(unsigned number, const std::wstring& location);
    ~SimulatedUsbHub();
    SimulatedUsbHub(const SimulatedUsbHub&) = delete;
    SimulatedUsbHub& operator=(const SimulatedUsbHub&) = delete;

    // The path the device check forms for the hub request:
    // "\\?\root#lbhub#<number>#{f18a0e88-c30c-11d0-8815-00a0c906bed8}".
    std::wstring hubPath() const;

  private:
    void Remove();

    std::wstring number_;
};

}  // namespace lensbeacon::test
