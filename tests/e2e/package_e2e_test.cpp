// The installer package in Wine's msiexec, silent as administrators deploy
// it: installed, installed again, upgraded in place by a higher version and
// removed, with the real service and a simulated camera in between.
#include <windows.h>

#include <msi.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>
#include <vector>

#include "installed_suite.h"
#include "lensbeacon/names.h"
#include "lensbeacon/sc_handle.h"
#include "lensbeacon/unique_owner.h"
#include "probe_programs.h"
#include "registry_sandbox.h"
#include "screen_capture.h"
#include "simulated_camera.h"

#define LENSBEACON_WIDEN2(text) L##text
#define LENSBEACON_WIDEN(text) LENSBEACON_WIDEN2(text)

namespace lensbeacon::test {
namespace {

using namespace std::chrono_literals;

constexpr wchar_t kUpgradeCode[] = L"{CDBEB606-86F0-4C32-83AC-A5C7E49B64F3}";
constexpr wchar_t kNextVersion[] = LENSBEACON_WIDEN(LENSBEACON_NEXT_PACKAGE_VERSION);
constexpr wchar_t kShortcutName[] = L"\\Lensbeacon settings.lnk";
constexpr const wchar_t* kPackagedFiles[] = {
    L"Lenswatch.exe", L"InstLenswatch.exe", L"Hoistrun.exe", L"Plainrun.exe",  L"LenspopUI.exe",
    L"Lenspop.exe",   L"Lensmemo.dll",      L"Lensdial.exe", L"Lenscheck.exe",
};
constexpr auto kAppear = 10s;
// The indicator's default place and size on a 1920 x 1080 screen.
constexpr RECT kDefaultPlace{896, 9, 896 + 128, 9 + 75};

DWORD Msiexec(const std::wstring& arguments) {
    return RunCommandLine(L"", L"msiexec.exe " + arguments);
}

std::wstring Quoted(const std::wstring& text) {
    return L"\"" + text + L"\"";
}

std::wstring ShellFolder(int folder) {
    wchar_t path[MAX_PATH] = {};
    EXPECT_EQ(::SHGetFolderPathW(nullptr, folder, nullptr, SHGFP_TYPE_CURRENT, path), S_OK);
    return path;
}

// The package's folder as this process sees it: "Program Files" for a
// package of the test's own architecture, the WOW64 one under WOW64.
std::wstring InstallFolder() {
    return ShellFolder(CSIDL_PROGRAM_FILES) + L"\\Lensbeacon\\";
}

bool FileExists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The shortcut, in the all-users Start menu or, where Wine puts it, the
// installing user's.
bool ShortcutExists() {
    return FileExists(ShellFolder(CSIDL_COMMON_PROGRAMS) + kShortcutName) ||
           FileExists(ShellFolder(CSIDL_PROGRAMS) + kShortcutName);
}

std::vector<std::wstring> InstalledProducts() {
    std::vector<std::wstring> products;
    wchar_t code[39] = {};
    for (DWORD index = 0; ::MsiEnumRelatedProductsW(kUpgradeCode, 0, index, code) == ERROR_SUCCESS;
         ++index) {
        products.emplace_back(code);
    }
    return products;
}

std::wstring ProductVersion(const std::wstring& product) {
    wchar_t version[64] = {};
    DWORD size = 64;
    EXPECT_EQ(::MsiGetProductInfoW(product.c_str(), INSTALLPROPERTY_VERSIONSTRING, version, &size),
              static_cast<UINT>(ERROR_SUCCESS));
    return version;
}

void RemoveInstalledProducts() {
    for (const std::wstring& product : InstalledProducts()) {
        EXPECT_EQ(Msiexec(L"/x " + product + L" /qn"), 0u);
    }
}

std::wstring ServiceImagePath() {
    UniqueRegKey key;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE,
                        L"System\\CurrentControlSet\\Services\\LenswatchService", 0, KEY_READ,
                        key.put()) != ERROR_SUCCESS) {
        return L"";
    }
    wchar_t path[MAX_PATH] = {};
    DWORD size = sizeof(path) - sizeof(wchar_t);
    if (::RegGetValueW(key.get(), nullptr, L"ImagePath",
                       RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, path,
                       &size) != ERROR_SUCCESS) {
        return L"";
    }
    return path;
}

UniqueScHandle OpenService(DWORD access) {
    UniqueScHandle manager(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    if (!manager) {
        return {};
    }
    return UniqueScHandle(::OpenServiceW(manager.get(), kServiceName, access));
}

// The running service's process id; 0 when it is not running.
DWORD ServiceProcessId() {
    UniqueScHandle service = OpenService(SERVICE_QUERY_STATUS);
    SERVICE_STATUS_PROCESS status{};
    DWORD needed = 0;
    if (!service ||
        !::QueryServiceStatusEx(service.get(), SC_STATUS_PROCESS_INFO,
                                reinterpret_cast<BYTE*>(&status), sizeof(status), &needed)) {
        return 0;
    }
    return status.dwCurrentState == SERVICE_RUNNING ? status.dwProcessId : 0;
}

// How many services carry the suite's display name.
int ServicesNamedLikeTheSuite() {
    UniqueScHandle manager(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ENUMERATE_SERVICE));
    EXPECT_TRUE(manager);
    std::vector<BYTE> buffer(256 * 1024);
    DWORD needed = 0;
    DWORD count = 0;
    DWORD resume = 0;
    EXPECT_TRUE(::EnumServicesStatusExW(
        manager.get(), SC_ENUM_PROCESS_INFO, SERVICE_WIN32, SERVICE_STATE_ALL, buffer.data(),
        static_cast<DWORD>(buffer.size()), &needed, &count, &resume, nullptr));
    const auto* services = reinterpret_cast<const ENUM_SERVICE_STATUS_PROCESSW*>(buffer.data());
    int named = 0;
    for (DWORD i = 0; i < count; ++i) {
        named += ::lstrcmpiW(services[i].lpDisplayName, kServiceDisplayName) == 0 ? 1 : 0;
    }
    return named;
}

std::wstring ProcessImage(DWORD processId) {
    UniqueHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    wchar_t path[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    if (!process || !::QueryFullProcessImageNameW(process.get(), 0, path, &size)) {
        return L"";
    }
    return path;
}

std::wstring QuotedServicePath() {
    return Quoted(InstallFolder() + L"Lenswatch.exe");
}

// The service as the package registers it: own process, automatic start,
// LocalSystem, the suite's display name, its quoted path.
void ExpectServiceRegistration() {
    EXPECT_EQ(ServiceImagePath(), QuotedServicePath());
    UniqueScHandle service = OpenService(SERVICE_QUERY_CONFIG);
    ASSERT_TRUE(service);
    std::vector<BYTE> buffer(8192);
    DWORD needed = 0;
    auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGW*>(buffer.data());
    ASSERT_TRUE(
        ::QueryServiceConfigW(service.get(), config, static_cast<DWORD>(buffer.size()), &needed));
    EXPECT_EQ(config->dwServiceType, static_cast<DWORD>(SERVICE_WIN32_OWN_PROCESS));
    EXPECT_EQ(config->dwStartType, static_cast<DWORD>(SERVICE_AUTO_START));
    EXPECT_STREQ(config->lpServiceStartName, L"LocalSystem");
    EXPECT_STREQ(config->lpDisplayName, kServiceDisplayName);
    EXPECT_EQ(ServicesNamedLikeTheSuite(), 1);
}

bool DwordIs(const RegistrySandbox& settings, const wchar_t* name, DWORD expected) {
    DWORD type = 0;
    std::vector<unsigned char> data;
    DWORD value = 0;
    if (!settings.Read(name, type, data) || type != REG_DWORD || data.size() != sizeof(value)) {
        return false;
    }
    std::memcpy(&value, data.data(), sizeof(value));
    return value == expected;
}

bool ValueExists(const RegistrySandbox& settings, const wchar_t* name) {
    DWORD type = 0;
    std::vector<unsigned char> data;
    return settings.Read(name, type, data);
}

// The glyph of the indicator the service starts, read from the screen at
// its default place (Wine draws every desktop on the one X screen).
bool GlyphShown() {
    return IndicatorGlyphIn(CaptureScreen(kDefaultPlace));
}

void ExpectNothingLeft(const RegistrySandbox& settings) {
    EXPECT_TRUE(InstalledProducts().empty());
    EXPECT_FALSE(OpenService(SERVICE_QUERY_STATUS)) << "the service is still registered";
    EXPECT_EQ(ServiceImagePath(), L"") << "the service's key is left";
    EXPECT_FALSE(FileExists(InstallFolder())) << "the install folder is left";
    EXPECT_FALSE(ShortcutExists());
    EXPECT_FALSE(settings.KeyExists()) << "the settings key is left";
    UniqueRegKey setupKey;
    EXPECT_NE(::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Orvane\\Lensbeacon Setup", 0,
                              KEY_READ, setupKey.put()),
              ERROR_SUCCESS)
        << "the copy of the settings kept for an upgrade is left";
    // A process may take a moment to end after it reported its stop.
    EXPECT_TRUE(WaitUntil([] { return !ProcessRunning(L"Lenspop.exe"); }, kAppear))
        << "the indicator outlived the removal";
    EXPECT_TRUE(WaitUntil([] { return !ProcessRunning(kServiceProgramFile); }, kAppear));
}

class PackageEndToEnd : public ::testing::Test {
  protected:
    void SetUp() override { RemoveInstalledProducts(); }
    void TearDown() override { RemoveInstalledProducts(); }

    const std::wstring package_ = Quoted(DistPath(L"Lensbeacon.msi"));
    const std::wstring nextPackage_ = Quoted(TestBinPath(L"Lensbeacon-next.msi"));
    RegistrySandbox settings_{kSettingsKey};
};

TEST_F(PackageEndToEnd, InstallsShowsTheCameraAndRemovesItselfWhileShowing) {
    SimulatedCamera camera(0, L"PCIROOT(0)#PCI(1400)#USBROOT(0)#USB(3)", CameraPower::D3);
    ASSERT_EQ(Msiexec(L"/i " + package_ + L" /qn CHECKUSBCAMERA=1"), 0u);

    for (const wchar_t* file : kPackagedFiles) {
        EXPECT_TRUE(FileExists(InstallFolder() + file)) << "missing " << file;
    }
    EXPECT_TRUE(ShortcutExists());
    ExpectServiceRegistration();
    const DWORD service = ServiceProcessId();
    ASSERT_NE(service, 0u) << "the service is not running";
    EXPECT_EQ(Quoted(ProcessImage(service)), QuotedServicePath());
    EXPECT_TRUE(DwordIs(settings_, kCheckUsbCameraValue, 1));
    EXPECT_FALSE(ValueExists(settings_, kShowOsdValue));
    EXPECT_FALSE(ValueExists(settings_, kShowCfgTipValue)) << "written without its property";

    ASSERT_TRUE(WaitUntil([] { return ProcessRunning(L"Lenspop.exe"); }, kAppear))
        << "the installed service started no indicator";
    EXPECT_FALSE(GlyphShown()) << "shown while the camera is off";
    camera.SetPower(CameraPower::D0);
    EXPECT_TRUE(WaitUntil(GlyphShown, kAppear)) << "the camera did not reach the screen";

    // The same package again is a maintenance run that changes nothing.
    ASSERT_EQ(Msiexec(L"/i " + package_ + L" /qn"), 0u);
    EXPECT_EQ(ServiceProcessId(), service) << "the service was restarted";
    EXPECT_EQ(InstalledProducts().size(), 1u);
    EXPECT_TRUE(DwordIs(settings_, kCheckUsbCameraValue, 1));
    EXPECT_TRUE(GlyphShown());

    // Removal while the indicator shows: the service's end closes it first.
    ASSERT_EQ(Msiexec(L"/x " + package_ + L" /qn"), 0u);
    ExpectNothingLeft(settings_);
}

TEST_F(PackageEndToEnd, AHigherVersionUpgradesInPlaceAndKeepsTheSettings) {
    ASSERT_EQ(Msiexec(L"/i " + package_ + L" /qn SHOWCFGTIP=1"), 0u);
    ASSERT_TRUE(WaitForSuiteEvents(15s));
    const DWORD before = ServiceProcessId();
    ASSERT_NE(before, 0u);
    // The user's switch off, and a position the indicator saved.
    settings_.SetDword(kShowOsdValue, 0);
    settings_.SetDword(kLastPositionXValue, 300);
    settings_.SetDword(kLastPositionYValue, 40);
    settings_.SetDword(kLastScreenWidthValue, 1920);
    settings_.SetDword(kLastScreenHeightValue, 1080);

    ASSERT_EQ(Msiexec(L"/i " + nextPackage_ + L" /qn"), 0u);
    const std::vector<std::wstring> products = InstalledProducts();
    ASSERT_EQ(products.size(), 1u) << "the older version was not removed";
    EXPECT_EQ(ProductVersion(products[0]), kNextVersion);
    ExpectServiceRegistration();
    const DWORD after = ServiceProcessId();
    EXPECT_NE(after, 0u) << "the service is not running after the upgrade";
    EXPECT_NE(after, before) << "the service still runs the old binaries";
    EXPECT_EQ(Quoted(ProcessImage(after)), QuotedServicePath());
    EXPECT_TRUE(DwordIs(settings_, kShowOsdValue, 0));
    EXPECT_TRUE(DwordIs(settings_, kLastPositionXValue, 300));
    EXPECT_TRUE(DwordIs(settings_, kLastPositionYValue, 40));
    EXPECT_TRUE(DwordIs(settings_, kLastScreenWidthValue, 1920));
    EXPECT_TRUE(DwordIs(settings_, kLastScreenHeightValue, 1080));
    EXPECT_TRUE(DwordIs(settings_, kShowCfgTipValue, 1)) << "the administrator's value was lost";

    ASSERT_EQ(Msiexec(L"/x " + nextPackage_ + L" /qn"), 0u);
    ExpectNothingLeft(settings_);
}

}  // namespace
}  // namespace lensbeacon::test
