// Lensmemo.dll in Wine, loaded by its full path and bound by export name as
// the indicator binds it: the section shared between processes, restore once
// until a save, the parsing of stored text, what a save writes, and that a
// missing key is never created.
#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "lensbeacon/names.h"
#include "lensbeacon/position_store.h"
#include "lensbeacon/proc_address.h"
#include "lensbeacon/unique_owner.h"
#include "probe_programs.h"
#include "registry_sandbox.h"

namespace lensbeacon::test {
namespace {

using Position = std::array<std::int32_t, 4>;
constexpr Position kUnset = {-1, -1, -1, -1};

const wchar_t* const kValueNames[4] = {kLastPositionXValue, kLastPositionYValue,
                                       kLastScreenWidthValue, kLastScreenHeightValue};

class PositionStorePort : public testing::Test {
  protected:
    void SetUp() override {
        library_.reset(::LoadLibraryW(DistPath(L"Lensmemo.dll").c_str()));
        ASSERT_TRUE(library_) << ::GetLastError();
        get_ = ProcAddress<GetPositionInformationFn>(library_.get(), kGetPositionInformationExport);
        set_ = ProcAddress<SetPositionInformationFn>(library_.get(), kSetPositionInformationExport);
        save_ =
            ProcAddress<SavePositionInformationFn>(library_.get(), kSavePositionInformationExport);
        restore_ = ProcAddress<RestorePositionInformationFn>(library_.get(),
                                                             kRestorePositionInformationExport);
        ASSERT_TRUE(get_ && set_ && save_ && restore_);
    }
    void TearDown() override {
        // The last process to unload the library drops the shared copy, so the
        // next test starts from the initial values.
        library_.reset();
    }

    Position Get() {
        Position p = {0, 0, 0, 0};
        EXPECT_EQ(get_(&p[0], &p[1], &p[2], &p[3]), TRUE);
        return p;
    }
    void Set(const Position& p) { EXPECT_EQ(set_(p[0], p[1], p[2], p[3]), TRUE); }
    void Save() { EXPECT_EQ(save_(), TRUE); }
    void Restore() { EXPECT_EQ(restore_(), TRUE); }

    // The text a value holds, when it is a terminated REG_SZ.
    std::wstring StoredText(const wchar_t* name) {
        DWORD type = 0;
        std::vector<unsigned char> data;
        if (!settings_.Read(name, type, data)) {
            return L"<missing>";
        }
        EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
        EXPECT_TRUE(data.size() >= 2 && data.size() % 2 == 0 && data[data.size() - 1] == 0 &&
                    data[data.size() - 2] == 0)
            << "not terminated";
        return std::wstring(reinterpret_cast<const wchar_t*>(data.data()), data.size() / 2 - 1);
    }

    RegistrySandbox settings_{kSettingsKey};
    UniqueModule library_;
    GetPositionInformationFn get_ = nullptr;
    SetPositionInformationFn set_ = nullptr;
    SavePositionInformationFn save_ = nullptr;
    RestorePositionInformationFn restore_ = nullptr;
};

std::wstring PeerCommandLine(const Position& expected, const Position& next) {
    std::wstring line = L"position_store_peer.exe \"" + DistPath(L"Lensmemo.dll") + L"\"";
    for (std::int32_t v : expected) {
        line += L" " + std::to_wstring(v);
    }
    for (std::int32_t v : next) {
        line += L" " + std::to_wstring(v);
    }
    return line;
}

TEST_F(PositionStorePort, StartsUnsetAndIsSharedWithAnotherProcess) {
    EXPECT_EQ(Get(), kUnset);
    Set({10, -20, 1920, 1080});
    // The peer's restore finds no key and changes nothing; it sees these
    // values, then sets its own; its exit is the hand-over.
    EXPECT_EQ(RunCommandLine(TestBinPath(L"position_store_peer.exe"),
                             PeerCommandLine({10, -20, 1920, 1080}, {5, 6, 1280, 1024})),
              0u);
    EXPECT_EQ(Get(), (Position{5, 6, 1280, 1024}));
}

TEST_F(PositionStorePort, RestoreParsesStoredTextAndReadsOnceUntilASave) {
    settings_.SetString(kLastPositionXValue, L"250");
    settings_.SetString(kLastPositionYValue, L" -17abc");
    settings_.SetString(kLastScreenWidthValue, L"abc");
    // No screen height stored: that field keeps its value.
    Restore();
    EXPECT_EQ(Get(), (Position{250, -17, 0, -1}));

    settings_.SetString(kLastPositionXValue, L"999");
    Restore();
    EXPECT_EQ(Get().at(0), 250) << "a second restore read the registry again";

    // Another process's restore is skipped too: the flag is shared, so the
    // peer still sees 250 although the registry now holds 999.
    EXPECT_EQ(RunCommandLine(TestBinPath(L"position_store_peer.exe"),
                             PeerCommandLine({250, -17, 0, -1}, {250, -17, 0, -1})),
              0u);

    Save();
    EXPECT_EQ(StoredText(kLastPositionXValue), L"250");
    settings_.SetString(kLastPositionXValue, L"77");
    Restore();
    EXPECT_EQ(Get(), (Position{77, -17, 0, -1}));
}

TEST_F(PositionStorePort, UnreadableValuesLeaveTheirFieldsUnchanged) {
    // No terminator within the data.
    const wchar_t unterminated[3] = {L'1', L'2', L'3'};
    settings_.SetRaw(kLastPositionXValue, REG_SZ, unterminated, sizeof(unterminated));
    // Longer than 256 bytes.
    settings_.SetString(kLastPositionYValue, std::wstring(200, L'7'));
    // Empty data.
    settings_.SetRaw(kLastScreenWidthValue, REG_SZ, nullptr, 0);
    settings_.SetString(kLastScreenHeightValue, L"  88");
    Restore();
    const Position read = Get();
    // The registry either hands the three characters back unterminated, and
    // the field stays unset, or (64-bit Wine) terminates them itself, and they
    // read as the number they are; nothing past them is ever taken.
    EXPECT_TRUE(read.at(0) == -1 || read.at(0) == 123) << read.at(0);
    EXPECT_EQ(read.at(1), -1);
    EXPECT_EQ(read.at(2), -1);
    EXPECT_EQ(read.at(3), 88);
}

TEST_F(PositionStorePort, SaveWritesAllFourValuesAsDecimalText) {
    settings_.CreateKey();
    Set({-5, 0, 2147483647, static_cast<std::int32_t>(-2147483647 - 1)});
    Save();
    EXPECT_EQ(StoredText(kLastPositionXValue), L"-5");
    EXPECT_EQ(StoredText(kLastPositionYValue), L"0");
    EXPECT_EQ(StoredText(kLastScreenWidthValue), L"2147483647");
    EXPECT_EQ(StoredText(kLastScreenHeightValue), L"-2147483648");
}

TEST_F(PositionStorePort, UnsetFieldsAreSavedAsMinusOne) {
    settings_.CreateKey();
    Save();
    for (const wchar_t* name : kValueNames) {
        EXPECT_EQ(StoredText(name), L"-1");
    }
}

TEST_F(PositionStorePort, MissingKeyIsNeverCreatedAndStillCountsAsRestored) {
    ASSERT_FALSE(settings_.KeyExists());
    Set({1, 2, 3, 4});
    Save();
    EXPECT_FALSE(settings_.KeyExists());
    Restore();
    EXPECT_EQ(Get(), (Position{1, 2, 3, 4}));
    // Marked restored although nothing was read: the values that appear now
    // are not read until the next save.
    settings_.SetString(kLastPositionXValue, L"42");
    Restore();
    EXPECT_EQ(Get(), (Position{1, 2, 3, 4}));
}

}  // namespace
}  // namespace lensbeacon::test
