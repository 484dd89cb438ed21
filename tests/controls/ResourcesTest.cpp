// The program's resource script, linked into this test: version strings, icon images, banner size
// and the manifest, read back through the same calls Windows and the program use.
#include <windows.h>

#include <commctrl.h>
#include <cwctype>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "quenlor/Version.h"
#include "ui/res/resource.h"

namespace {

// The project's version, as CMake configured it.
constexpr const wchar_t* kVersion = L"" QUENLOR_VERSION;

std::vector<BYTE> OwnVersionInfo() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path, &ignored);
    std::vector<BYTE> data(size);
    if (size == 0 || !GetFileVersionInfoW(path, 0, size, data.data())) data.clear();
    return data;
}

std::wstring VersionString(std::vector<BYTE>& info, const std::wstring& name) {
    void* value = nullptr;
    UINT length = 0;
    const std::wstring key = L"\\StringFileInfo\\080404B0\\" + name;
    if (!VerQueryValueW(info.data(), key.c_str(), &value, &length) || !value) return L"<missing>";
    return static_cast<const wchar_t*>(value);
}

TEST(Resources, VersionStringsInTheChineseUnicodeTable) {
    std::vector<BYTE> info = OwnVersionInfo();
    ASSERT_FALSE(info.empty()) << "no version resource";
    const std::pair<const wchar_t*, const wchar_t*> expected[] = {
        {L"FileVersion", kVersion},
        {L"ProductVersion", kVersion},
        {L"ProductName", L"Quenlor"},
        {L"InternalName", L"Quenlor"},
        {L"OriginalFilename", L"Quenlor.exe"},
        {L"CompanyName", L"Quenlor"},
        {L"FileDescription", L"Quenlor转换器"},
    };
    for (const auto& [name, value] : expected) EXPECT_EQ(VersionString(info, name), value) << name;

    struct LangCodePage {
        WORD language, codePage;
    }* translation = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translation), &length));
    ASSERT_GE(length, sizeof(LangCodePage));
    EXPECT_EQ(translation->language, 0x0804);
    EXPECT_EQ(translation->codePage, 1200);

    // The numbers Explorer shows and installers compare agree with the strings.
    VS_FIXEDFILEINFO* fixed = nullptr;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(QUENLOR_VERSION_MINOR, QUENLOR_VERSION_MAJOR));
    EXPECT_EQ(fixed->dwProductVersionLS, MAKELONG(0, QUENLOR_VERSION_PATCH));
}

#pragma pack(push, 2)
struct GroupIconEntry {
    BYTE width, height, colours, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
struct GroupIconHeader {
    WORD reserved, type, count;
};
#pragma pack(pop)

TEST(Resources, IconCarriesA16ColourImageAndTheModernSizes) {
    HMODULE self = GetModuleHandleW(nullptr);
    HRSRC group = FindResourceW(self, MAKEINTRESOURCEW(IDI_QUENLOR), RT_GROUP_ICON);
    ASSERT_NE(group, nullptr);
    const auto* header =
        static_cast<const GroupIconHeader*>(LockResource(LoadResource(self, group)));
    ASSERT_NE(header, nullptr);
    const auto* entries = reinterpret_cast<const GroupIconEntry*>(header + 1);
    std::set<int> sizes;
    bool sixteenColour32 = false;
    for (int i = 0; i < header->count; ++i) {
        const GroupIconEntry& e = entries[i];
        const int size = e.width ? e.width : 256;
        sizes.insert(size);
        if (size == 32 && e.bitCount == 4 && e.colours == 16) sixteenColour32 = true;
        // Every image is really there and matches its directory entry.
        HRSRC image = FindResourceW(self, MAKEINTRESOURCEW(e.id), RT_ICON);
        ASSERT_NE(image, nullptr) << "image " << e.id;
        EXPECT_EQ(SizeofResource(self, image), e.bytes);
    }
    EXPECT_EQ(sizes, (std::set<int>{16, 32, 48, 256}));
    EXPECT_TRUE(sixteenColour32) << "no 32 x 32 image in 16 colours";

    for (int size : {16, 32, 48, 256}) {
        HICON icon = static_cast<HICON>(
            LoadImageW(self, MAKEINTRESOURCEW(IDI_QUENLOR), IMAGE_ICON, size, size, 0));
        ASSERT_NE(icon, nullptr) << size;
        ICONINFO parts{};
        ASSERT_TRUE(GetIconInfo(icon, &parts));
        BITMAP mask{};
        GetObjectW(parts.hbmMask, sizeof mask, &mask);
        EXPECT_EQ(mask.bmWidth, size);
        if (parts.hbmColor) DeleteObject(parts.hbmColor);
        DeleteObject(parts.hbmMask);
        DestroyIcon(icon);
    }
}

TEST(Resources, BannerIs315By45Pixels) {
    HBITMAP banner = static_cast<HBITMAP>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_BANNER), IMAGE_BITMAP, 0, 0, 0));
    ASSERT_NE(banner, nullptr);
    BITMAP info{};
    ASSERT_NE(GetObjectW(banner, sizeof info, &info), 0);
    EXPECT_EQ(info.bmWidth, 315);
    EXPECT_EQ(info.bmHeight, 45);
    DeleteObject(banner);
}

TEST(Resources, SkinPicturesHaveTheirSizesAndDepths) {
    struct Case {
        const char* name;
        int id, width, height, bits;
    } cases[] = {{"PicCaption", IDB_PICCAPTION, 640, 48, 24},
                 {"PicBorder", IDB_PICBORDER, 70, 10, 8},
                 {"PicCaption at 125 %", IDB_PICCAPTION_120, 800, 60, 24},
                 {"PicBorder at 125 %", IDB_PICBORDER_120, 91, 13, 8},
                 {"PicCaption at 150 %", IDB_PICCAPTION_144, 960, 72, 24},
                 {"PicBorder at 150 %", IDB_PICBORDER_144, 105, 15, 8},
                 {"PicCaption at 200 %", IDB_PICCAPTION_192, 1280, 96, 24},
                 {"PicBorder at 200 %", IDB_PICBORDER_192, 140, 20, 8}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HBITMAP picture =
            static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(c.id),
                                            IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        ASSERT_NE(picture, nullptr);
        DIBSECTION info{};
        ASSERT_EQ(GetObjectW(picture, sizeof info, &info), static_cast<int>(sizeof info));
        EXPECT_EQ(info.dsBm.bmWidth, c.width);
        EXPECT_EQ(info.dsBm.bmHeight, c.height);
        EXPECT_EQ(info.dsBmih.biBitCount, c.bits);
        DeleteObject(picture);
    }
}

// The colours of a picture, read through a 32-bit DIB.
std::set<COLORREF> PictureColours(int id) {
    HBITMAP picture = static_cast<HBITMAP>(LoadImageW(
        GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    BITMAP info{};
    GetObjectW(picture, sizeof info, &info);
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = info.bmWidth;
    format.bmiHeader.biHeight = -info.bmHeight;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    std::vector<COLORREF> pixels(static_cast<size_t>(info.bmWidth) * info.bmHeight);
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, picture, 0, info.bmHeight, pixels.data(), &format, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    DeleteObject(picture);
    return std::set<COLORREF>(pixels.begin(), pixels.end());
}

TEST(Resources, LargerBordersAreWidenedByWholePixelsNotBlurred) {
    const std::set<COLORREF> design = PictureColours(IDB_PICBORDER);
    ASSERT_GE(design.size(), 5u);
    for (int id : {IDB_PICBORDER_120, IDB_PICBORDER_144, IDB_PICBORDER_192}) {
        SCOPED_TRACE(id);
        // No colour in between two stripes: every pixel is one of the design's.
        EXPECT_EQ(PictureColours(id), design);
    }
}

TEST(Resources, ManifestAsksForCommonControls6AndDeclaresDpiAndSystems) {
    HMODULE self = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(self, MAKEINTRESOURCEW(IDR_MANIFEST), RT_MANIFEST);
    ASSERT_NE(found, nullptr);
    const auto* text = static_cast<const char*>(LockResource(LoadResource(self, found)));
    const std::string manifest(text, SizeofResource(self, found));
    for (const char* needle :
         {"Microsoft.Windows.Common-Controls", "version=\"6.0.0.0\"", "<dpiAware", "<dpiAwareness",
          "{e2011457-1546-43c5-a5fe-008deee3d3f0}",     // Vista
          "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",     // 7
          "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"}) {  // 10 and 11
        EXPECT_NE(manifest.find(needle), std::string::npos) << needle;
    }

    // The loader applied it: the common controls come from the side-by-side version 6 assembly.
    HMODULE comctl = LoadLibraryW(L"comctl32.dll");
    ASSERT_NE(comctl, nullptr);
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(comctl, path, MAX_PATH);
    std::wstring lower(path);
    for (wchar_t& c : lower) c = towlower(c);
    EXPECT_NE(lower.find(L"microsoft.windows.common-controls_6595b64144ccf1df_6."),
              std::wstring::npos)
        << "comctl32 loaded from " << std::string(lower.begin(), lower.end());
    FreeLibrary(comctl);
}

}  // namespace
