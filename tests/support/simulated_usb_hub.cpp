#include "simulated_usb_hub.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "lensbeacon/unique_owner.h"
#include "registry_sandbox.h"

namespace lensbeacon::test {
namespace {

constexpr wchar_t kEnumFolder[] = L"System\\CurrentControlSet\\Enum\\ROOT\\LBHUB\\";
constexpr wchar_t kClassesFolder[] = L"System\\CurrentControlSet\\Control\\DeviceClasses\\";
constexpr wchar_t kHubInterface[] = L"{f18a0e88-c30c-11d0-8815-00a0c906bed8}";
constexpr wchar_t kUsbClass[] = L"{36fc9e60-c465-11cf-8056-444553540000}";
constexpr wchar_t kLocationPathsKey[] =
    L"\\Properties\\{a45c254e-df1c-4efd-8020-67d146a850e0}\\0025";
constexpr DWORD kStringListProperty = 0x2012;

void WriteString(const std::wstring& key, const wchar_t* name, const std::wstring& text) {
    WriteMachineValue(key, name, REG_SZ, text.c_str(),
                      static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

void DeleteTree(const std::wstring& key) {
    const LSTATUS status = ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, key.c_str());
    EXPECT_TRUE(status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) << status;
}

// The interface key of device ROOT\LBHUB\<number> under an interface class.
std::wstring InterfaceKey(const std::wstring& number, const wchar_t* interfaceClass) {
    return std::wstring(kClassesFolder) + interfaceClass + L"\\##?#ROOT#LBHUB#" + number + L"#" +
           interfaceClass;
}

}  // namespace

SimulatedUsbHub::SimulatedUsbHub(unsigned number, const std::wstring& location) {
    wchar_t digits[16] = {};
    std::swprintf(digits, 16, L"%04u", number);
    number_ = digits;
    Remove();
    const std::wstring device = kEnumFolder + number_;
    WriteString(device, L"ClassGUID", kUsbClass);
    std::vector<wchar_t> list(location.begin(), location.end());
    list.push_back(L'\0');
    list.push_back(L'\0');
    WriteMachineValue(device + kLocationPathsKey, nullptr, 0xFFFF0000u | kStringListProperty,
                      list.data(), static_cast<DWORD>(list.size() * sizeof(wchar_t)));
    const std::wstring interfaceKey = InterfaceKey(number_, kHubInterface);
    WriteString(interfaceKey, L"DeviceInstance", L"ROOT\\LBHUB\\" + number_);
    WriteString(interfaceKey + L"\\#", L"SymbolicLink",
                L"\\\\?\\ROOT#LBHUB#" + number_ + L"#" + kHubInterface);
}

SimulatedUsbHub::~SimulatedUsbHub() {
    Remove();
}

std::wstring SimulatedUsbHub::hubPath() const {
    return L"\\\\?\\root#lbhub#" + number_ + L"#" + kHubInterface;
}

void SimulatedUsbHub::Remove() {
    DeleteTree(kEnumFolder + number_);
    DeleteTree(InterfaceKey(number_, kHubInterface));
    DeleteTree(InterfaceKey(number_, kUsbClass));
}

}  // namespace lensbeacon::test
