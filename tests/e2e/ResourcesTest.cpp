// What the executable carries: its icon, version information and manifest.
#include "E2E.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>

namespace {

class Resources : public ::testing::Test {
protected:
    void SetUp() override {
        module = LoadLibraryExA(e2e::TarvexExe().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(module, nullptr);
    }
    void TearDown() override { FreeLibrary(module); }

    std::string Resource(LPCSTR type, LPCSTR name) {
        HRSRC found = FindResourceA(module, name, type);
        if (found == nullptr) {
            return {};
        }
        const auto* data = static_cast<const char*>(LockResource(LoadResource(module, found)));
        return std::string(data, SizeofResource(module, found));
    }

    HMODULE module = nullptr;
};

#pragma pack(push, 2)
struct GroupIconEntry {
    BYTE width, height, colorCount, reserved;
    WORD planes, bitCount;
    DWORD bytesInRes;
    WORD id;
};
#pragma pack(pop)

TEST_F(Resources, OneIconOfFifteenImages) {
    const std::string group = Resource(RT_GROUP_ICON, MAKEINTRESOURCEA(1));
    ASSERT_GE(group.size(), 6u);
    const WORD count = *reinterpret_cast<const WORD*>(group.data() + 4);
    ASSERT_EQ(count, 15);
    ASSERT_EQ(group.size(), 6 + count * sizeof(GroupIconEntry));
    std::set<std::pair<int, int>> images;
    for (WORD i = 0; i < count; ++i) {
        GroupIconEntry entry;
        memcpy(&entry, group.data() + 6 + i * sizeof entry, sizeof entry);
        images.insert({entry.width, entry.bitCount});
        // The bitmap header of the image agrees with the directory.
        const std::string image = Resource(RT_ICON, MAKEINTRESOURCEA(entry.id));
        ASSERT_GE(image.size(), sizeof(BITMAPINFOHEADER));
        const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(image.data());
        EXPECT_EQ(header->biWidth, entry.width);
        EXPECT_EQ(header->biHeight, 2 * entry.height);
        EXPECT_EQ(header->biBitCount, entry.bitCount);
    }
    std::set<std::pair<int, int>> expected;
    for (const int size : {16, 24, 32, 48, 128}) {
        for (const int bits : {4, 8, 32}) {
            expected.insert({size, bits});
        }
    }
    EXPECT_EQ(images, expected);
}

TEST_F(Resources, VersionInformationNamesTheProductAndItsMaker) {
    const std::string version = Resource(RT_VERSION, MAKEINTRESOURCEA(1));
    ASSERT_FALSE(version.empty());
    // The strings are stored in UTF-16; compare them as such.
    const auto utf16 = [](const std::string& text) {
        std::string wide;
        for (const char c : text) {
            wide += c;
            wide += '\0';
        }
        return wide;
    };
    for (const auto& [name, value] :
         {std::pair{"ProductName", "Tarvex"}, std::pair{"CompanyName", "Brenholt"},
          std::pair{"FileVersion", "1.0.0.0"}}) {
        const auto at = version.find(utf16(name));
        ASSERT_NE(at, std::string::npos) << name;
        EXPECT_NE(version.find(utf16(value), at), std::string::npos) << name;
    }
}

TEST_F(Resources, ManifestAsksForCommonControlsSixAndNoElevation) {
    const std::string manifest = Resource(RT_MANIFEST, MAKEINTRESOURCEA(1));
    EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
    EXPECT_NE(manifest.find("version=\"6.0.0.0\""), std::string::npos);
    EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos);
    EXPECT_NE(manifest.find("supportedOS"), std::string::npos);
}

} // namespace
