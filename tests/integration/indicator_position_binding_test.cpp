// The indicator's binding of Lensmemo.dll in Wine: loaded only by full path
// from the folder it is given, every call skipped when nothing is bound, and
// a position set through the binding read back through it.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "position_store_binding.h"
#include "probe_programs.h"

namespace lensbeacon::indicator {
namespace {

void ExpectUnbound(Win32PositionStorePort& binding) {
    EXPECT_FALSE(binding.IsBound());
    StoredPosition position;
    EXPECT_FALSE(binding.Get(position));
    EXPECT_EQ(position.x, -1);
    EXPECT_EQ(position.screenHeight, -1);
    EXPECT_FALSE(binding.Set({1, 2, 3, 4}));
    EXPECT_FALSE(binding.Save());
    EXPECT_FALSE(binding.Restore());
}

TEST(Win32PositionStorePort, WithoutTheLibraryInTheFolderNothingIsBound) {
    test::ScratchFolder empty(L"no position store");
    Win32PositionStorePort binding;
    EXPECT_FALSE(binding.Bind(empty.Folder().c_str()));
    ExpectUnbound(binding);
}

TEST(Win32PositionStorePort, NeverLoadsByBareOrRelativeName) {
    // The current folder holds a library of that name, which a bare-name load
    // would find.
    test::ScratchFolder planted(L"planted store");
    planted.CopyIn(test::DistPath(L"Lensmemo.dll"), L"Lensmemo.dll");
    wchar_t previous[MAX_PATH] = {};
    ASSERT_GT(::GetCurrentDirectoryW(MAX_PATH, previous), 0u);
    ASSERT_TRUE(::SetCurrentDirectoryW(planted.Folder().c_str()));
    Win32PositionStorePort binding;
    const bool bare = binding.Bind(L"");
    const bool relative = binding.Bind(L".\\");
    ASSERT_TRUE(::SetCurrentDirectoryW(previous));
    EXPECT_FALSE(bare);
    EXPECT_FALSE(relative);
    ExpectUnbound(binding);
}

TEST(Win32PositionStorePort, SetThenGetRoundTripsThroughTheRealLibrary) {
    Win32PositionStorePort binding;
    ASSERT_TRUE(binding.Bind(test::DistPath(L"").c_str()));
    ASSERT_TRUE(binding.IsBound());
    EXPECT_TRUE(binding.Set({640, 30, 1920, 1080}));
    StoredPosition position;
    ASSERT_TRUE(binding.Get(position));
    EXPECT_EQ(position.x, 640);
    EXPECT_EQ(position.y, 30);
    EXPECT_EQ(position.screenWidth, 1920);
    EXPECT_EQ(position.screenHeight, 1080);
}

}  // namespace
}  // namespace lensbeacon::indicator
