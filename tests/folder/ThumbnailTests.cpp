// Thumbnails: the EXIF thumbnail found in hostile bytes, the pictures WIC makes, the disk cache.
#include <gtest/gtest.h>
#include <windows.h>
#include <wincodec.h>
#include <string>
#include <vector>
#include "folder/FolderTestSupport.h"
#include "items/ExifThumbnail.h"
#include "items/ThumbnailCache.h"
#include "items/ThumbnailPicture.h"
#include "support/JpegSamples.h"

namespace {
// The picture's pixels, top-down BGRA rows.
std::vector<DWORD> Pixels(HBITMAP picture)
{
    std::vector<DWORD> pixels(kThumbnailSide * kThumbnailSide);
    BITMAPINFO format = ThumbnailBitmapFormat();
    MemoryDCHandle dc(CreateCompatibleDC(nullptr));
    EXPECT_EQ(GetDIBits(dc.Get(), picture, 0, kThumbnailSide, pixels.data(), &format, DIB_RGB_COLORS), kThumbnailSide);
    return pixels;
}

const COLORREF kBackground = RGB(0x20, 0x80, 0x40);
const DWORD kBackgroundPixel = 0x208040, kRed = 0xFF0000, kBlue = 0x0000FF;

// COM for WIC, and a fresh folder of the test's own for the cache (never the user's), removed with what is in it.
class ThumbnailTest : public testing::Test {
protected:
    void SetUp() override
    {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        m_parent = std::wstring(temp) + L"LumoraThumbTest" + std::to_wstring(GetCurrentProcessId());
        m_root = m_parent + L"\\Cache";
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        m_jpeg = EncodeJpeg(160, 120);
    }
    void TearDown() override
    {
        const std::wstring from = m_parent + L'\0';  // a list of one
        SHFILEOPSTRUCTW remove = {nullptr, FO_DELETE, from.c_str(), nullptr, FOF_NO_UI, FALSE, nullptr, nullptr};
        SHFileOperationW(&remove);
        CoUninitialize();
    }
    // The names in a folder.
    static std::vector<std::wstring> Listing(const std::wstring& folder)
    {
        std::vector<std::wstring> names;
        WIN32_FIND_DATAW found;
        FindHandle find(FindFirstFileW((folder + L"\\*").c_str(), &found));
        for (bool fMore = find.IsValid(); fMore; fMore = FindNextFileW(find.Get(), &found))
            if (wcscmp(found.cFileName, L".") && wcscmp(found.cFileName, L"..")) names.push_back(found.cFileName);
        return names;
    }
    BitmapHandle Picture() { return MakeThumbnailPicture(m_jpeg.data(), m_jpeg.size(), kBackground); }
    CachedThumbnail Lookup(const ThumbnailCache& cache, const char* name, ULONGLONG size)
    {
        BitmapHandle found;
        const CachedThumbnail result = cache.Find(name, size, &found);
        EXPECT_TRUE(result != CachedThumbnail::Picture || Pixels(found.Get()) == Pixels(Picture().Get())) << "the picture kept";
        return result;
    }
    std::wstring m_parent, m_root;
    std::vector<BYTE> m_jpeg;
};

// Rewrites a file with what how makes of its bytes.
void Damage(const std::wstring& path, void (*how)(std::vector<BYTE>&))
{
    std::vector<BYTE> bytes(64 * 1024);
    DWORD cb = 0;
    ReadFile(FileHandle(CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)).Get(), bytes.data(), 65536, &cb, nullptr);
    bytes.resize(cb);
    how(bytes);
    WriteFile(FileHandle(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr)).Get(), bytes.data(), DWORD(bytes.size()), &cb, nullptr);
}
}  // namespace

TEST(ExifThumbnailTest, FindsWellFormedThumbnailsAndRefusesEveryFault)
{
    // One block: the patch written at a place counted from the TIFF header (little-endian values),
    // the bytes kept (-1: all), and whether the thumbnail is found.
    struct ExifRow { const char* label; bool fBigEndian, fApp0; int at; std::vector<BYTE> patch; int cut; bool fFound; };
    const ExifRow rows[] = {
        {"II well formed", false, false, 0, {}, -1, true},
        {"MM well formed", true, false, 0, {}, -1, true},
        {"APP0 before APP1", false, true, 0, {}, -1, true},
        {"cut right after APP1", false, false, 0, {}, kTiff + kThumbAt + kThumbLength, true},
        {"not a JPEG", false, false, -kTiff, {0x89, 'P'}, -1, false},
        {"SOS before APP1", false, false, -9, {0xDA}, -1, false},
        {"APP1 length past the end", false, false, -8, {0xFF, 0xFF}, -1, false},
        {"no Exif name", false, false, -3, {'g'}, -1, false},
        {"unknown byte order", false, false, 0, {'I', 'M'}, -1, false},
        {"TIFF magic not 42", false, false, 2, {43}, -1, false},
        {"IFD0 past the end", false, false, 4, {0xF0, 0xFF, 0xFF, 0xFF}, -1, false},
        {"IFD0 count past the end", false, false, 8, {0xFF, 0xFF}, -1, false},
        {"no IFD1 (thumbnail tags in IFD0 only)", false, false, 34, {0, 0, 0, 0}, -1, false},
        {"IFD1 points back to IFD0", false, false, 34, {8, 0, 0, 0}, -1, false},
        {"IFD1 count past the end", false, false, 38, {3, 0}, -1, false},
        {"thumbnail offset past the end", false, false, 48, {0xF0, 0xFF, 0xFF, 0xFF}, -1, false},
        {"thumbnail one byte too long", false, false, 60, {kThumbLength + 1}, -1, false},
        {"thumbnail length of gigabytes", false, false, 60, {0, 0, 0, 0xC0}, -1, false},
        {"thumbnail offset wraps round", false, false, 48, {0xFF, 0xFF, 0xFF, 0xFF}, -1, false},
        {"thumbnail without SOI", false, false, kThumbAt, {0xFF, 0xE0}, -1, false},
        {"cut inside the thumbnail", false, false, 0, {}, kTiff + kThumbAt + 4, false},
    };
    for (const ExifRow& row : rows) {
        SCOPED_TRACE(row.label);
        std::vector<BYTE> bytes = ExifJpeg(row.fBigEndian, row.fApp0);
        const int tiff = kTiff + (row.fApp0 ? kApp0Size : 0);
        std::copy(row.patch.begin(), row.patch.end(), bytes.begin() + tiff + row.at);
        if (row.cut >= 0) bytes.resize(row.cut);
        GuardedBytes guarded(bytes);
        ExifThumbnail found = {};
        EXPECT_EQ(FindExifThumbnail(guarded.Bytes(), bytes.size(), &found) ? found.offset : 0, row.fFound ? size_t(tiff + kThumbAt) : 0);
        EXPECT_EQ(found.length, row.fFound ? size_t(kThumbLength) : 0);
    }
    const std::pair<const char*, bool> names[] = {{"DSC00001.JPG", true}, {"a.jpeg", true}, {"B.JpG", true},
        {"JPG", false}, {"x.jpg.txt", false}, {"x.jpe", false}, {"", false}, {nullptr, false}};
    for (const auto& [name, fJpeg] : names) EXPECT_EQ(IsJpegName(name), fJpeg) << (name ? name : "null");
}

TEST_F(ThumbnailTest, FitsEveryFilesPictureIntoTheSquareAndRefusesGarbage)
{
    // The bytes read, whether they are the whole file, and the picture's place (-1: none).
    struct Row { const char* label; std::vector<BYTE> bytes; bool fWhole; int left, top; };
    const Row rows[] = {
        {"whole landscape 160 x 120", EncodeJpeg(160, 120), true, 0, 12},
        {"whole portrait 60 x 240", EncodeJpeg(60, 240), true, 36, 0},
        {"EXIF thumbnail of a first segment", WithExif(EncodeJpeg(60, 240), ExifJpeg(true, true, EncodeJpeg(160, 120))), false, 0, 12},
        {"undecodable EXIF thumbnail, whole file", WithExif(EncodeJpeg(60, 240), ExifJpeg(false, false)), true, 36, 0},
        {"first segment without EXIF", EncodeJpeg(160, 120), false, -1, -1},
        {"garbage", std::vector<BYTE>(600, 0x5A), true, -1, -1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        BitmapHandle picture = MakeFilePicture(row.bytes.data(), row.bytes.size(), row.fWhole, kBackground);
        ASSERT_EQ(picture.IsValid(), row.left >= 0);
        if (!picture) continue;
        const std::vector<DWORD> pixels = Pixels(picture.Get());
        auto at = [&](int x, int y) { return pixels[y * kThumbnailSide + x] & 0xFFFFFF; };
        auto isNear = [&](int x, int y, DWORD c) { return abs(int(at(x, y) >> 16) - int(c >> 16)) < 40 && abs(int(at(x, y) & 0xFF) - int(c & 0xFF)) < 40; };
        const int right = kThumbnailSide - 1 - row.left, bottom = kThumbnailSide - 1 - row.top, middle = kThumbnailSide / 2;
        EXPECT_TRUE(isNear(row.left + 2, middle, kRed) && isNear(right - 2, middle, kBlue));
        EXPECT_TRUE(isNear(middle - 4, row.top + 2, kRed) && isNear(middle - 4, bottom - 2, kRed));
        // The background around it: above and below, or left and right.
        EXPECT_EQ(row.left ? at(row.left - 1, middle) : at(middle, row.top - 1), kBackgroundPixel);
        EXPECT_EQ(row.left ? at(right + 1, middle) : at(middle, bottom + 1), kBackgroundPixel);
    }
}

TEST_F(ThumbnailTest, HitsMissesAndDamagedEntries)
{
    ThumbnailCache cache(m_root.c_str());
    ASSERT_EQ(Lookup(cache, "DSC00001.JPG", 3000000), CachedThumbnail::Miss);
    ASSERT_TRUE(cache.Store("DSC00001.JPG", 3000000, Picture().Get()));
    ASSERT_TRUE(cache.Store("MEMO0001.WAV", 4000, nullptr));
    EXPECT_EQ(Lookup(cache, "DSC00001.JPG", 3000000), CachedThumbnail::Picture);
    EXPECT_EQ(Lookup(ThumbnailCache(m_root.c_str()), "DSC00001.JPG", 3000000), CachedThumbnail::Picture) << "another window";
    EXPECT_EQ(Lookup(cache, "DSC00001.JPG", 3000001), CachedThumbnail::Miss) << "another size";
    EXPECT_EQ(Lookup(cache, "MEMO0001.WAV", 4000), CachedThumbnail::NoPicture);
    const std::pair<const char*, void (*)(std::vector<BYTE>&)> damages[] = {
        {"cut short", [](std::vector<BYTE>& b) { b.resize(b.size() - 1); }},
        {"a byte more", [](std::vector<BYTE>& b) { b.push_back(0); }},
        {"another name inside", [](std::vector<BYTE>& b) { b[16] = 'X'; }},
        {"another size inside", [](std::vector<BYTE>& b) { b[8] ^= 1; }},
        {"foreign text", [](std::vector<BYTE>& b) { b.assign({'h', 'e', 'l', 'l', 'o'}); }},
    };
    for (const auto& [label, how] : damages) {
        SCOPED_TRACE(label);
        Damage(cache.EntryPath("DSC00001.JPG", 3000000), how);
        EXPECT_EQ(Lookup(cache, "DSC00001.JPG", 3000000), CachedThumbnail::Miss);
        ASSERT_TRUE(cache.Store("DSC00001.JPG", 3000000, Picture().Get()));
        EXPECT_EQ(Lookup(cache, "DSC00001.JPG", 3000000), CachedThumbnail::Picture);
    }
}

TEST_F(ThumbnailTest, KeepsWithinItsLimitOldestOutFirst)
{
    const ULONGLONG cbEntry = 56 + kThumbnailSide * kThumbnailSide * 4;
    ThumbnailCache cache(m_root.c_str(), 3 * cbEntry);
    const char* names[] = {"P1.JPG", "P2.JPG", "P3.JPG", "P4.JPG", "P5.JPG"};
    const DWORD ages[] = {4, 0, 1, 2, 3};  // written long ago, in an order unlike the names': P2 first, then P3
    for (int i = 0; i < 5; ++i) {
        ASSERT_TRUE(cache.Store(names[i], 100, Picture().Get()));
        FILETIME written = {0, 0x01C00000u + ages[i]};
        FileHandle entry(CreateFileW(cache.EntryPath(names[i], 100).c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(SetFileTime(entry.Get(), nullptr, nullptr, &written));
    }
    for (int i = 0; i < 5; ++i) EXPECT_EQ(Lookup(cache, names[i], 100), i == 1 || i == 2 ? CachedThumbnail::Miss : CachedThumbnail::Picture) << names[i];
}

TEST_F(ThumbnailTest, HostileNamesStayInsideTheFolder)
{
    ThumbnailCache cache(m_root.c_str());
    const std::pair<const char*, bool> names[] = {
        {"..\\..\\EVIL.JPG", true}, {"../x.jpg", true}, {"C:\\x.jpg", true}, {"\\\\server\\share\\x", true},
        {"CON", true}, {"a:b*?\"<>|", true}, {"\xE9\xFF\x01", true}, {"0123456789abcdef0123456789ABCDEF", true},
        {"0123456789abcdef0123456789ABCDEF!", false}, {"", false}, {nullptr, false},
    };
    for (const auto& [name, fKept] : names) {
        SCOPED_TRACE(name ? name : "null");
        EXPECT_EQ(cache.Store(name, 7, Picture().Get()), fKept);
        EXPECT_EQ(Lookup(cache, name, 7), fKept ? CachedThumbnail::Picture : CachedThumbnail::Miss);
        EXPECT_EQ(Listing(m_parent), std::vector<std::wstring>{L"Cache"});
    }
    for (const std::wstring& entry : Listing(m_root))
        EXPECT_EQ(entry.find_first_not_of(L"0123456789ABCDEF-"), entry.size() - 6) << "odd entry name";
    EXPECT_EQ(Listing(m_root).size(), 8u);
}
