#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <set>
#include <stdexcept>
#include <string>

#include "image/ResourceDir.h"
#include "image/ResourceSection.h"
#include "tests/image/SectionBuilder.h"

namespace {

constexpr uint32_t virtualAddress = 0x5000;
constexpr int runs = 100000;
volatile unsigned char touched;

// Bytes placed so that the last one is followed by an inaccessible page:
// reading even one byte too far ends the process instead of passing unseen.
class GuardedBuffer {
public:
    explicit GuardedBuffer(size_t capacity)
    {
        SYSTEM_INFO info;
        GetSystemInfo(&info);
        page_ = info.dwPageSize;
        usable_ = (capacity + page_ - 1) / page_ * page_;
        base_ = static_cast<unsigned char*>(
            VirtualAlloc(nullptr, usable_ + page_, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        DWORD old;
        if (!base_ || !VirtualProtect(base_ + usable_, page_, PAGE_NOACCESS, &old))
            throw std::runtime_error("GuardedBuffer");
    }
    ~GuardedBuffer() { VirtualFree(base_, 0, MEM_RELEASE); }
    GuardedBuffer(const GuardedBuffer&) = delete;
    GuardedBuffer& operator=(const GuardedBuffer&) = delete;

    unsigned char* Fill(const unsigned char* bytes, size_t size)
    {
        unsigned char* start = base_ + usable_ - size;
        std::memcpy(start, bytes, size);
        return start;
    }

private:
    size_t page_ = 0;
    size_t usable_ = 0;
    unsigned char* base_ = nullptr;
};

const std::set<std::string> definedErrors = {
    "ResourceSection::ResourceSection", "ResourceSection::RvaToFilePosition", "ResourceDir::ResourceDir",
    "ResourceDir::GetFirstEntry",       "ResourceDir::GetChildWithName",      "ResourceDir::GetChildWithId",
    "ResourceDir::GetResourceData",
};

uint32_t InterestingValue(std::mt19937& random, uint32_t size)
{
    const uint32_t values[] = {0,
                               1,
                               0xFFFFFFFF,
                               highBit,
                               highBit | (random() % (size + 32)),
                               random() % (size + 32),
                               virtualAddress + random() % (size + 32),
                               static_cast<uint32_t>(random())};
    return values[random() % (sizeof values / sizeof values[0])];
}

void Mutate(std::vector<unsigned char>& bytes, std::mt19937& random)
{
    const int count = 1 + random() % 4;
    for (int i = 0; i < count; ++i) {
        const size_t at = random() % bytes.size();
        if (random() % 2 == 0 || at + 4 > bytes.size()) {
            bytes[at] = static_cast<unsigned char>(random());
            continue;
        }
        const uint32_t value = InterestingValue(random, static_cast<uint32_t>(bytes.size()));
        std::memcpy(&bytes[at], &value, sizeof value);
    }
}

// Walks one damaged copy like SaveResourceToFile does and touches the first
// and last data byte, which the checks promise lie inside the buffer.
void Walk(const unsigned char* file, size_t fileSize, const IMAGE_SECTION_HEADER& header, int id,
          const std::wstring& type)
{
    const ResourceSection section(&header, 1, ByteView{file, fileSize});
    const ResourceData data =
        ResourceDir(section.Bytes()).GetChildWithName(type).GetChildWithId(id).GetResourceData();
    const uint64_t position = section.RvaToFilePosition(data.offsetToData, data.size);
    if (data.size != 0)
        touched = file[position] ^ file[position + data.size - 1];
}

}  // namespace

TEST(ResourceMutationTest, DamagedSectionsEndInSuccessOrADefinedError)
{
    const SectionBuilder valid = ValidSection(virtualAddress);
    GuardedBuffer buffer(valid.Size());
    std::mt19937 random(20240601);
    const int ids[] = {3, 5, 6, 7, 0x8000};
    const std::wstring types[] = {L"BIN", L"TXT", L"", L"X"};
    int successes = 0;
    for (int run = 0; run < runs; ++run) {
        std::vector<unsigned char> bytes = valid.bytes;
        Mutate(bytes, random);
        const size_t size = random() % 10 == 0 ? random() % (bytes.size() + 1) : bytes.size();
        const unsigned char* file = buffer.Fill(bytes.data(), size);
        const uint32_t rawSize = random() % 10 == 0 ? InterestingValue(random, valid.Size()) : valid.Size();
        const uint32_t rawPointer = random() % 20 == 0 ? random() % (size + 2) : 0;
        const IMAGE_SECTION_HEADER header = SectionHeader(".rsrc", virtualAddress, rawSize, rawPointer);
        try {
            Walk(file, size, header, ids[random() % 5], types[random() % 4]);
            ++successes;
        } catch (const std::runtime_error& error) {
            ASSERT_EQ(definedErrors.count(error.what()), 1u) << error.what() << " in run " << run;
        }
    }
    EXPECT_GT(successes, runs / 100);
    RecordProperty("successes", successes);
}

TEST(ResourceMutationTest, GuardPageFollowsTheBuffer)
{
    GuardedBuffer buffer(10);
    const unsigned char bytes[3] = {1, 2, 3};
    const unsigned char* start = buffer.Fill(bytes, 3);
    MEMORY_BASIC_INFORMATION info;
    ASSERT_NE(VirtualQuery(start + 3, &info, sizeof info), 0u);
    EXPECT_EQ(info.Protect, static_cast<DWORD>(PAGE_NOACCESS));
}
