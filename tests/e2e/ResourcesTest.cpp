// What the executable carries: its icon, version information and manifest.
#include "Road.h"

#include <set>
#include <utility>

namespace {

// Resource types, as numbers: RT_GROUP_ICON, RT_VERSION, RT_MANIFEST.
constexpr int kGroupIcon = 14;
constexpr int kVersion = 16;
constexpr int kManifest = 24;

class Resources : public ::testing::Test {
protected:
    void SetUp() override {
        module = LoadLibraryExW(testing_support::Wide(e2e::TarvexExe()).c_str(), nullptr,
                                LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(module, nullptr);
    }
    void TearDown() override { FreeLibrary(module); }

    std::string Resource(int type, int id) {
        HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(type));
        return found == nullptr ? std::string()
                                : std::string(static_cast<const char*>(
                                                  LockResource(LoadResource(module, found))),
                                              SizeofResource(module, found));
    }

    HMODULE module = nullptr;
};

TEST_F(Resources, OneIconOfFiveSizesInThreeDepths) {
    // An icon directory: 6 bytes of header, then 14 bytes an image (width, height, ...,
    // bits per pixel at 6).
    const std::string group = Resource(kGroupIcon, 1);
    ASSERT_GE(group.size(), 6u);
    std::multiset<std::pair<int, int>> images;
    for (std::size_t at = 6; at + 14 <= group.size(); at += 14) {
        const int width = static_cast<unsigned char>(group[at]);
        images.insert({width == 0 ? 256 : width, static_cast<unsigned char>(group[at + 6])});
    }
    std::multiset<std::pair<int, int>> expected;
    for (const int size : {16, 24, 32, 48, 128}) {
        for (const int bits : {4, 8, 32}) {
            expected.insert({size, bits});
        }
    }
    EXPECT_EQ(images, expected);
}

TEST_F(Resources, VersionAndManifest) {
    const std::string version = Resource(kVersion, 1);
    // The strings are stored in UTF-16.
    const auto utf16 = [](const std::string& text) {
        const std::wstring wide = testing_support::Wide(text);
        return std::string(reinterpret_cast<const char*>(wide.data()), wide.size() * 2);
    };
    for (const auto& [name, value] :
         {std::pair{"ProductName", "Tarvex"}, std::pair{"CompanyName", "Brenholt"}}) {
        const auto at = version.find(utf16(name));
        ASSERT_NE(at, std::string::npos) << name;
        EXPECT_NE(version.find(utf16(value), at), std::string::npos) << name;
    }
    const std::string manifest = Resource(kManifest, 1);
    for (const char* part : {"Microsoft.Windows.Common-Controls", "version=\"6.0.0.0\"",
                             "level=\"asInvoker\"", "supportedOS"}) {
        EXPECT_NE(manifest.find(part), std::string::npos) << part;
    }
}

} // namespace
