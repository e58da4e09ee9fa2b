#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>

#include "image/ExeImage.h"
#include "image/ResourceDir.h"
#include "image/ResourceSection.h"
#include "image/SectionTable.h"
#include "log/SetupLog.h"
#include "tests/support/ErrorText.h"
#include "tests/support/LogWatch.h"
#include "tests/support/TempFolder.h"

namespace {

const std::wstring dataFolder = IMAGE_TEST_DATA;

std::string Expected(const std::wstring& type, int id, int language)
{
    return ReadWholeFile(dataFolder + type + L"-" + std::to_wstring(id) + L"-" + std::to_wstring(language) + L".dat");
}

std::wstring CurrentDirectory()
{
    wchar_t folder[MAX_PATH];
    const DWORD length = GetCurrentDirectoryW(MAX_PATH, folder);
    return std::wstring(folder, length);
}

std::wstring ModulePath()
{
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    return std::wstring(path, length);
}

class ExeImageTest : public ::testing::Test {
protected:
    std::wstring Target() const { return folder.Path() + L"target.bin"; }
    std::string Save(int id) const
    {
        return ErrorText([&] { image.SaveResourceToFile(id, Target()); });
    }

    TempFolder folder;
    ExeImage image;
};

}  // namespace

struct SizedResource {
    int id;
    int language;
    size_t size;
};

class ExeImageSizeTest : public ExeImageTest, public ::testing::WithParamInterface<SizedResource> {
};

TEST_P(ExeImageSizeTest, CopiesTheResourceByteForByte)
{
    ASSERT_EQ(Save(GetParam().id), "no error");
    const std::string copied = folder.ReadFile(L"target.bin");
    EXPECT_EQ(copied.size(), GetParam().size);
    EXPECT_TRUE(copied == Expected(L"BIN", GetParam().id, GetParam().language));
}

INSTANTIATE_TEST_SUITE_P(Sizes, ExeImageSizeTest,
                         ::testing::Values(SizedResource{201, 0x409, 0}, SizedResource{202, 0x407, 1},
                                           SizedResource{203, 0x409, 1048576}, SizedResource{204, 0x409, 1048577},
                                           SizedResource{205, 0x409, 3 * 1048576 + 4321}),
                         [](const ::testing::TestParamInfo<SizedResource>& info) {
                             return "Bytes" + std::to_string(info.param.size);
                         });

TEST_F(ExeImageTest, ResourceInTwoLanguagesFailsWithoutFile)
{
    EXPECT_EQ(Save(206), "ResourceDir::GetResourceData");
    EXPECT_FALSE(FileExists(Target()));
}

TEST_F(ExeImageTest, MissingIdFailsWithoutFile)
{
    EXPECT_EQ(Save(999), "ResourceDir::GetChildWithId");
    EXPECT_EQ(Save(201 + 65536), "ResourceDir::GetChildWithId");
    EXPECT_FALSE(FileExists(Target()));
}

TEST_F(ExeImageTest, FailedLookupLeavesAnExistingTargetAlone)
{
    folder.WriteFile(L"target.bin", "keep me");
    EXPECT_EQ(Save(999), "ResourceDir::GetChildWithId");
    EXPECT_EQ(folder.ReadFile(L"target.bin"), "keep me");
}

TEST_F(ExeImageTest, TypeStoredAsLowerCaseBinIsNotFound)
{
    EXPECT_EQ(Save(207), "ResourceDir::GetChildWithId");
    EXPECT_FALSE(FileExists(Target()));

    const ResourceSection section = image.Resources();
    const ResourceDir root(section.Bytes());
    const ResourceData data = root.GetChildWithName(L"bin").GetChildWithId(207).GetResourceData();
    EXPECT_EQ(data.size, 5u);
    EXPECT_EQ(ErrorText([&] { root.GetChildWithName(L"BIN").GetChildWithId(207); }), "ResourceDir::GetChildWithId");
}

TEST_F(ExeImageTest, ItemWhoseBytesDoNotMatchTheRecordedChecksumIsDeleted)
{
    folder.WriteFile(L"target.bin", "older file");
    EXPECT_EQ(Save(208), "The installer file is damaged. Please download it again.");
    EXPECT_FALSE(FileExists(Target()));
}

TEST_F(ExeImageTest, ExistingTargetIsReplaced)
{
    folder.WriteFile(L"target.bin", std::string(2 * 1048576, 'x'));
    ASSERT_EQ(Save(202), "no error");
    EXPECT_EQ(folder.ReadFile(L"target.bin"), Expected(L"BIN", 202, 0x407));
}

TEST_F(ExeImageTest, TargetThatCannotBeCreatedIsLoggedAsImageError)
{
    const std::wstring target = folder.Path() + L"missing\\target.bin";
    const LogWatch log;
    EXPECT_EQ(ErrorText([&] { image.SaveResourceToFile(201, target); }), "Image loading failed");
    EXPECT_EQ(log.Appended(), "ExeImage: CreateFile failed Error: " + std::to_string(ERROR_PATH_NOT_FOUND) + "\n");
    EXPECT_FALSE(FileExists(target));
}

TEST(ExeImageOpenTest, LogsTheModulePath)
{
    const LogWatch log;
    const ExeImage image;
    EXPECT_EQ(log.Appended(), "ExeImage: module path is " + ToUtf8(ModulePath()) + "\n");
    ASSERT_GE(image.Bytes().size, 2u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(image.Bytes().data), 2), "MZ");
}

TEST(ExeImageOpenTest, CurrentDirectoryIsKeptAfterSuccessAndFailure)
{
    const std::wstring before = CurrentDirectory();
    const TempFolder folder;
    ASSERT_TRUE(SetCurrentDirectoryW(folder.Path().c_str()));
    const std::wstring inside = CurrentDirectory();
    {
        const ExeImage image;
        EXPECT_EQ(CurrentDirectory(), inside);
        EXPECT_EQ(ErrorText([&] { image.SaveResourceToFile(201, folder.Path() + L"no\\such"); }),
                  "Image loading failed");
        EXPECT_EQ(CurrentDirectory(), inside);
        EXPECT_EQ(ErrorText([&] { image.SaveResourceToFile(999, folder.Path() + L"x"); }),
                  "ResourceDir::GetChildWithId");
        EXPECT_EQ(CurrentDirectory(), inside);
    }
    SetCurrentDirectoryW(before.c_str());
}

// The table is found in this test program's own file, and a file cut short or
// with a broken header anywhere before the table's end yields none.
TEST(SectionTableTest, FoundInTheOwnFileAndNotInADamagedOne)
{
    const ExeImage image;
    const ByteView file = image.Bytes();
    const auto* loaded = reinterpret_cast<const unsigned char*>(GetModuleHandleW(nullptr));
    const auto* headers = reinterpret_cast<const IMAGE_NT_HEADERS*>(
        loaded + reinterpret_cast<const IMAGE_DOS_HEADER*>(loaded)->e_lfanew);
    const std::optional<SectionTable> table = FindSectionTable(file);
    ASSERT_TRUE(table.has_value());
    ASSERT_EQ(table->count, headers->FileHeader.NumberOfSections);
    EXPECT_EQ(0, std::memcmp(table->headers, IMAGE_FIRST_SECTION(headers), table->count * sizeof(IMAGE_SECTION_HEADER)));

    const size_t tableEnd = reinterpret_cast<const unsigned char*>(table->headers + table->count) - file.data;
    const size_t peHeader = reinterpret_cast<const IMAGE_DOS_HEADER*>(file.data)->e_lfanew;
    for (size_t size : {size_t{0}, size_t{0x3F}, peHeader + 2, peHeader + 23, tableEnd - 1})
        EXPECT_FALSE(FindSectionTable(ByteView{file.data, size}).has_value()) << size;
    EXPECT_TRUE(FindSectionTable(ByteView{file.data, tableEnd}).has_value());

    std::string copy(reinterpret_cast<const char*>(file.data), tableEnd);
    const auto damaged = [&copy] { return ByteView{reinterpret_cast<const unsigned char*>(copy.data()), copy.size()}; };
    copy[peHeader + 1] = 'X';
    EXPECT_FALSE(FindSectionTable(damaged()).has_value()) << "PE signature";
    copy[peHeader + 1] = 'E';
    copy[0] = 'Z';
    EXPECT_FALSE(FindSectionTable(damaged()).has_value()) << "MZ signature";
    copy[0] = 'M';
    copy[0x3C] = copy[0x3D] = copy[0x3E] = copy[0x3F] = '\xFF';
    EXPECT_FALSE(FindSectionTable(damaged()).has_value()) << "header offset beyond the file";
}
