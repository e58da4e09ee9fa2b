#include <gtest/gtest.h>

#include "image/ResourceDir.h"
#include "image/ResourceSection.h"
#include "tests/image/SectionBuilder.h"
#include "tests/support/ErrorText.h"

namespace {

constexpr uint32_t virtualAddress = 0x3000;

// A root whose only entry is a named one with `stored` as its name.
SectionBuilder RootNamed(const std::wstring& stored, uint16_t length)
{
    SectionBuilder section;
    const uint32_t root = section.AddTable(1, 0);
    const uint32_t child = section.AddTable(0, 0);
    section.SetEntry(root, 0, highBit | section.AddName(stored, length), highBit | child);
    return section;
}

std::string LookUpName(const std::wstring& stored, const std::wstring& wanted)
{
    const SectionBuilder section = RootNamed(stored, static_cast<uint16_t>(stored.size()));
    return ErrorText([&] { ResourceDir(section.View()).GetChildWithName(wanted); });
}

std::string FindError(const SectionBuilder& section, int id)
{
    return ErrorText([&] { FindBinResource(section.View(), id); });
}

}  // namespace

TEST(ResourceDirTest, FindsTheDataEntryOfAnId)
{
    const SectionBuilder section = ValidSection(virtualAddress);
    const ResourceData data = FindBinResource(section.View(), 5);
    EXPECT_EQ(data.size, 16u);
    const ResourceDir root(section.View());
    EXPECT_EQ(root.GetFirstEntry().name & highBit, highBit);
}

TEST(ResourceDirTest, NameMatchesLikeWcsncmpOverTheStoredLength)
{
    EXPECT_EQ(LookUpName(L"BIN", L"BIN"), "no error");
    EXPECT_EQ(LookUpName(L"BI", L"BIN"), "no error");
    EXPECT_EQ(LookUpName(L"", L"BIN"), "no error");
    EXPECT_EQ(LookUpName(std::wstring(L"BIN\0Z", 5), L"BIN"), "no error");
    EXPECT_EQ(LookUpName(L"BINX", L"BIN"), "ResourceDir::GetChildWithName");
    EXPECT_EQ(LookUpName(L"bin", L"BIN"), "ResourceDir::GetChildWithName");
    EXPECT_EQ(LookUpName(L"BIM", L"BIN"), "ResourceDir::GetChildWithName");
}

TEST(ResourceDirTest, TypeStoredInLowerCaseIsNotBin)
{
    SectionBuilder section;
    const uint32_t root = section.AddTable(1, 0);
    const uint32_t type = section.AddTable(0, 1);
    section.SetEntry(root, 0, highBit | section.AddName(L"bin"), highBit | type);
    section.SetEntry(type, 0, 5, highBit | section.AddTable(0, 0));
    EXPECT_EQ(FindError(section, 5), "ResourceDir::GetChildWithName");
    EXPECT_EQ(ErrorText([&] { ResourceDir(section.View()).GetChildWithName(L"bin").GetChildWithId(5); }),
              "no error");
}

TEST(ResourceDirTest, NamedEntryWithoutNameBitIsPassedOver)
{
    SectionBuilder section;
    const uint32_t root = section.AddTable(1, 0);
    section.SetEntry(root, 0, section.AddName(L"BIN"), highBit | section.AddTable(0, 0));
    EXPECT_EQ(FindError(section, 5), "ResourceDir::GetChildWithName");
}

TEST(ResourceDirTest, IdOnlyInTheNamedPartIsNotFound)
{
    SectionBuilder section;
    const uint32_t table = section.AddTable(1, 1);
    const uint32_t child = section.AddTable(0, 0);
    section.SetEntry(table, 0, 5, highBit | child);
    section.SetEntry(table, 1, 6, highBit | child);
    const ResourceDir dir(section.View());
    EXPECT_EQ(ErrorText([&] { dir.GetChildWithId(5); }), "ResourceDir::GetChildWithId");
    EXPECT_EQ(ErrorText([&] { dir.GetChildWithId(6); }), "no error");
}

TEST(ResourceDirTest, IdOutsideSixteenBitsNeverMatches)
{
    SectionBuilder section;
    const uint32_t table = section.AddTable(0, 2);
    const uint32_t child = section.AddTable(0, 0);
    section.SetEntry(table, 0, 5, highBit | child);
    section.SetEntry(table, 1, 0xFFFF, highBit | child);
    const ResourceDir dir(section.View());
    EXPECT_EQ(ErrorText([&] { dir.GetChildWithId(5 + 65536); }), "ResourceDir::GetChildWithId");
    EXPECT_EQ(ErrorText([&] { dir.GetChildWithId(-1); }), "ResourceDir::GetChildWithId");
    EXPECT_EQ(ErrorText([&] { dir.GetChildWithId(65535); }), "no error");
}

TEST(ResourceDirTest, EntryPointingAtDataIsNoDirectory)
{
    SectionBuilder section;
    const uint32_t root = section.AddTable(1, 0);
    section.SetEntry(root, 0, highBit | section.AddName(L"BIN"), section.AddDataEntry(virtualAddress, 0));
    EXPECT_EQ(FindError(section, 5), "ResourceDir::ResourceDir");
}

TEST(ResourceDirTest, EmptyTablesFailAtTheFirstEntry)
{
    SectionBuilder empty;
    empty.AddTable(0, 0);
    EXPECT_EQ(FindError(empty, 5), "ResourceDir::GetFirstEntry");

    SectionBuilder emptyType;
    const uint32_t root = emptyType.AddTable(1, 0);
    emptyType.SetEntry(root, 0, highBit | emptyType.AddName(L"BIN"), highBit | emptyType.AddTable(0, 0));
    EXPECT_EQ(FindError(emptyType, 5), "ResourceDir::GetFirstEntry");
}

TEST(ResourceDirTest, TablesWithoutTheWantedKindOfEntry)
{
    SectionBuilder idsOnly;
    const uint32_t root = idsOnly.AddTable(0, 1);
    idsOnly.SetEntry(root, 0, 5, highBit | idsOnly.AddTable(0, 0));
    EXPECT_EQ(FindError(idsOnly, 5), "ResourceDir::GetChildWithName");

    SectionBuilder namesOnly;
    const uint32_t namedRoot = namesOnly.AddTable(1, 0);
    const uint32_t type = namesOnly.AddTable(1, 0);
    namesOnly.SetEntry(namedRoot, 0, highBit | namesOnly.AddName(L"BIN"), highBit | type);
    namesOnly.SetEntry(type, 0, highBit | namesOnly.AddName(L"X"), highBit | namesOnly.AddTable(0, 0));
    EXPECT_EQ(FindError(namesOnly, 5), "ResourceDir::GetChildWithId");
}

TEST(ResourceDirTest, LanguageTableMustHoldOneDataEntry)
{
    const SectionBuilder section = ValidSection(virtualAddress);
    EXPECT_EQ(FindError(section, 6), "ResourceDir::GetResourceData");
    EXPECT_EQ(FindError(section, 7), "ResourceDir::GetResourceData");
    EXPECT_EQ(FindError(section, 9), "ResourceDir::GetChildWithId");
}

TEST(ResourceDirTest, TableOutsideTheSectionFails)
{
    SectionBuilder section = ValidSection(virtualAddress);
    section.SetEntry(0, 0, section.Read32(16), highBit | section.Size());
    EXPECT_EQ(FindError(section, 5), "ResourceDir::ResourceDir");
    EXPECT_EQ(ErrorText([] { ResourceDir(ByteView{}); }), "ResourceDir::ResourceDir");
}

TEST(ResourceDirTest, EntriesRunningPastTheSectionFail)
{
    SectionBuilder section;
    section.AddTable(0, 0);
    section.bytes[14] = 1;
    EXPECT_EQ(ErrorText([&] { ResourceDir(section.View()); }), "ResourceDir::ResourceDir");
}

TEST(ResourceDirTest, NameOutsideTheSectionFails)
{
    SectionBuilder outside = RootNamed(L"BIN", 3);
    outside.SetEntry(0, 0, highBit | (outside.Size() - 1), outside.Read32(20));
    EXPECT_EQ(FindError(outside, 5), "ResourceDir::GetChildWithName");

    const SectionBuilder tooLong = RootNamed(L"BIN", 4);
    EXPECT_EQ(FindError(tooLong, 5), "ResourceDir::GetChildWithName");
}

TEST(ResourceDirTest, DataEntryOutsideTheSectionFails)
{
    SectionBuilder section;
    const uint32_t root = section.AddTable(1, 0);
    const uint32_t type = section.AddTable(0, 1);
    const uint32_t language = section.AddTable(0, 1);
    section.SetEntry(root, 0, highBit | section.AddName(L"BIN"), highBit | type);
    section.SetEntry(type, 0, 5, highBit | language);
    section.AddBytes(8, 0);
    section.SetEntry(language, 0, 0x409, section.Size() - 8);
    EXPECT_EQ(FindError(section, 5), "ResourceDir::GetResourceData");
}

namespace {

constexpr uint32_t rawSize = 0x200;
constexpr uint32_t rawPointer = 0x400;

std::vector<unsigned char> FileOf(size_t size)
{
    return std::vector<unsigned char>(size, 0);
}

ResourceSection SectionOf(const std::vector<unsigned char>& file)
{
    const IMAGE_SECTION_HEADER headers[] = {SectionHeader(".text", 0x1000, 0x100, 0x200),
                                            SectionHeader(".rsrc", virtualAddress, rawSize, rawPointer)};
    return ResourceSection(headers, 2, ByteView{file.data(), file.size()});
}

std::string PositionError(const ResourceSection& section, uint32_t rva, uint32_t size)
{
    return ErrorText([&] { section.RvaToFilePosition(rva, size); });
}

}  // namespace

TEST(ResourceSectionTest, RvaMapsIntoTheRawData)
{
    const std::vector<unsigned char> file = FileOf(rawPointer + rawSize);
    const ResourceSection section = SectionOf(file);
    EXPECT_EQ(section.RvaToFilePosition(virtualAddress, 0), rawPointer);
    EXPECT_EQ(section.RvaToFilePosition(virtualAddress + 0x10, rawSize - 0x10), rawPointer + 0x10);
    EXPECT_EQ(section.Bytes().data, file.data() + rawPointer);
    EXPECT_EQ(section.Bytes().size, rawSize);
}

TEST(ResourceSectionTest, RvaAtTheEndOfTheRawDataFails)
{
    const std::vector<unsigned char> file = FileOf(rawPointer + rawSize);
    const ResourceSection section = SectionOf(file);
    EXPECT_EQ(PositionError(section, virtualAddress + rawSize, 0), "ResourceSection::RvaToFilePosition");
    EXPECT_EQ(PositionError(section, virtualAddress - 1, 0), "ResourceSection::RvaToFilePosition");
    EXPECT_EQ(PositionError(section, virtualAddress + rawSize - 1, 1), "no error");
}

TEST(ResourceSectionTest, DataRunningPastTheSectionOrFileFails)
{
    const std::vector<unsigned char> whole = FileOf(rawPointer + rawSize);
    EXPECT_EQ(PositionError(SectionOf(whole), virtualAddress + 0x10, rawSize - 0xF),
              "ResourceSection::RvaToFilePosition");
    EXPECT_EQ(PositionError(SectionOf(whole), virtualAddress + 0x10, 0xFFFFFFFF),
              "ResourceSection::RvaToFilePosition");

    const std::vector<unsigned char> cut = FileOf(rawPointer + 0x100);
    const ResourceSection section = SectionOf(cut);
    EXPECT_EQ(section.Bytes().size, 0x100u);
    EXPECT_EQ(PositionError(section, virtualAddress + 0xF0, 0x10), "no error");
    EXPECT_EQ(PositionError(section, virtualAddress + 0xF0, 0x11), "ResourceSection::RvaToFilePosition");
}

TEST(ResourceSectionTest, FoundByItsExactNameTheLastMatchWinning)
{
    const std::vector<unsigned char> file = FileOf(0x1000);
    const IMAGE_SECTION_HEADER headers[] = {SectionHeader(".rsrc", 0x1000, 0x100, 0x100),
                                            SectionHeader(".rsrcX", 0x2000, 0x100, 0x200),
                                            SectionHeader(".rsrc", 0x3000, 0x100, 0x300),
                                            SectionHeader(".RSRC", 0x4000, 0x100, 0x400)};
    const ResourceSection section(headers, 4, ByteView{file.data(), file.size()});
    EXPECT_EQ(section.RvaToFilePosition(0x3000, 0), 0x300u);
}

TEST(ResourceSectionTest, MissingOrUnreadableSectionFails)
{
    const std::vector<unsigned char> file = FileOf(0x400);
    const ByteView view{file.data(), file.size()};
    const IMAGE_SECTION_HEADER text = SectionHeader(".text", 0x1000, 0x100, 0x100);
    const IMAGE_SECTION_HEADER beyond = SectionHeader(".rsrc", 0x1000, 0x100, 0x400);
    const char* error = "ResourceSection::ResourceSection";
    EXPECT_EQ(ErrorText([&] { ResourceSection(&text, 1, view); }), error);
    EXPECT_EQ(ErrorText([&] { ResourceSection(&text, 0, view); }), error);
    EXPECT_EQ(ErrorText([&] { ResourceSection(&beyond, 1, view); }), error);
    EXPECT_EQ(ErrorText([&] { ResourceSection(nullptr, 1, view); }), error);
}
