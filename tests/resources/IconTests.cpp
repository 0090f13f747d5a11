// Icon 100 of the built module: the module's first icon, one 32 x 32 image with 16
// colours whose mask leaves the background transparent and the camera opaque.
#include <gtest/gtest.h>
#include <windows.h>
#include <cstring>
#include <vector>
#include "BuiltModule.h"
#include "resources/resource.h"

namespace {

#pragma pack(push, 2)
struct GroupIconEntry {
    BYTE width, height, colorCount, reserved;
    WORD planes, bitCount;
    DWORD bytesInRes;
    WORD id;
};
struct GroupIconHeader {
    WORD reserved, type, count;
};
#pragma pack(pop)

constexpr int kSize = 32;

std::vector<BYTE> ResourceBytes(HMODULE module, LPCSTR name, LPCSTR type)
{
    HRSRC hResource = FindResourceA(module, name, type);
    HGLOBAL hData = hResource ? LoadResource(module, hResource) : nullptr;
    const BYTE* data = hData ? static_cast<const BYTE*>(LockResource(hData)) : nullptr;
    if (!data) return {};
    return std::vector<BYTE>(data, data + SizeofResource(module, hResource));
}

BOOL CALLBACK TakeFirstName(HMODULE, LPCSTR, LPSTR name, LONG_PTR lParam)
{
    *reinterpret_cast<ULONG_PTR*>(lParam) = reinterpret_cast<ULONG_PTR>(name);
    return FALSE;  // the first one is enough
}

// The raw image of icon 100: header, palette, colour bits, mask bits.
class CameraIconImage : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(BuiltModule(), nullptr);
        const std::vector<BYTE> group = ResourceBytes(BuiltModule(), MAKEINTRESOURCEA(IDI_CAMERA), MAKEINTRESOURCEA(14));
        ASSERT_GE(group.size(), sizeof(GroupIconHeader) + sizeof(GroupIconEntry));
        GroupIconHeader header;
        std::memcpy(&header, group.data(), sizeof(header));
        ASSERT_EQ(header.count, 1);
        std::memcpy(&m_entry, group.data() + sizeof(header), sizeof(m_entry));
        m_image = ResourceBytes(BuiltModule(), MAKEINTRESOURCEA(m_entry.id), MAKEINTRESOURCEA(3));  // RT_ICON
        ASSERT_GE(m_image.size(), sizeof(BITMAPINFOHEADER));
        std::memcpy(&m_info, m_image.data(), sizeof(m_info));
    }

    // True when the mask marks the pixel (x, y from the top left) transparent.
    bool IsTransparent(int x, int y) const
    {
        const size_t maskOffset = m_info.biSize + 16 * sizeof(RGBQUAD) + kSize * kSize / 2;
        const size_t row = maskOffset + static_cast<size_t>(kSize - 1 - y) * 4;  // bottom-up rows of 4 bytes
        return (m_image.at(row + x / 8) & (0x80 >> (x % 8))) != 0;
    }

    GroupIconEntry m_entry = {};
    std::vector<BYTE> m_image;
    BITMAPINFOHEADER m_info = {};
};

TEST_F(CameraIconImage, IsOne32By32ImageWith16Colours)
{
    EXPECT_EQ(m_entry.width, kSize);
    EXPECT_EQ(m_entry.height, kSize);
    EXPECT_EQ(m_entry.colorCount, 16);
    EXPECT_EQ(m_info.biWidth, kSize);
    EXPECT_EQ(m_info.biHeight, 2 * kSize);  // colour bits and mask
    EXPECT_EQ(m_info.biBitCount, 4);
    EXPECT_EQ(m_info.biPlanes, 1);
    EXPECT_EQ(m_image.size(), m_info.biSize + 16 * sizeof(RGBQUAD) + kSize * kSize / 2 + kSize * kSize / 8);
}

TEST_F(CameraIconImage, MaskShowsTheCameraOnATransparentBackground)
{
    const POINT transparent[] = {{0, 0}, {kSize - 1, 0}, {0, kSize - 1}, {kSize - 1, kSize - 1}, {16, 1}, {1, 16}};
    const POINT opaque[] = {{16, 16}, {15, 18}, {17, 19}, {4, 14}, {27, 20}};
    for (const POINT& p : transparent) EXPECT_TRUE(IsTransparent(p.x, p.y)) << p.x << "," << p.y;
    for (const POINT& p : opaque) EXPECT_FALSE(IsTransparent(p.x, p.y)) << p.x << "," << p.y;
}

TEST(CameraIcon, LoadsAt32By32)
{
    ASSERT_NE(BuiltModule(), nullptr);
    HICON hIcon = static_cast<HICON>(LoadImageA(BuiltModule(), MAKEINTRESOURCEA(IDI_CAMERA), IMAGE_ICON, kSize, kSize, 0));
    ASSERT_NE(hIcon, nullptr);
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(hIcon, &info));
    BITMAP bitmap = {};
    GetObjectA(info.hbmMask, sizeof(bitmap), &bitmap);
    EXPECT_EQ(bitmap.bmWidth, kSize);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(hIcon);
}

// "DefaultIcon" names the module's icon by index 0: icon 100 must come first.
TEST(CameraIcon, IsTheModulesFirstIcon)
{
    ASSERT_NE(BuiltModule(), nullptr);
    ULONG_PTR first = 0;
    EnumResourceNamesA(BuiltModule(), MAKEINTRESOURCEA(14), TakeFirstName, reinterpret_cast<LONG_PTR>(&first));
    EXPECT_EQ(first, static_cast<ULONG_PTR>(IDI_CAMERA));
}

}  // namespace
