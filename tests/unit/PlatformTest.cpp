#include <gtest/gtest.h>

#include <windows.h>

// The launcher ships as 32-bit code and most users run it on 64-bit Windows,
// so the tests must run exactly that: a 32-bit process under WoW64.
TEST(Platform, TestsRunAs32BitCodeInAWow64Process)
{
    EXPECT_EQ(4u, sizeof(void*));
    BOOL wow64 = FALSE;
    ASSERT_TRUE(IsWow64Process(GetCurrentProcess(), &wow64));
    EXPECT_TRUE(wow64);
    wchar_t folder[MAX_PATH] = {};
    EXPECT_NE(0u, GetSystemWow64DirectoryW(folder, MAX_PATH));
}
