// The program's resources as Windows reads them (this test program links them as Tessaly.exe
// does): the main menu, every bitmap with its size and mask colour, the icon's sizes, the
// animation's format, the version block and what the manifest switches on.
#include "SystemInfo.h"
#include "TessalyResources.h"
#include "TessalyVersion.h"
#include "WinHandles.h"

#include <windows.h>
#include <commctrl.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <cstring>
#include <cwctype>
#include <set>
#include <string>
#include <vector>

namespace tessaly {
namespace {

HMODULE Program() { return GetModuleHandleW(nullptr); }

// ---- menu -----------------------------------------------------------------------------------------

struct MenuRow {
  const wchar_t* caption;  // nullptr: separator
  UINT id;
  bool greyed;
};

struct MenuColumn {
  const wchar_t* caption;
  std::vector<MenuRow> rows;
};

std::wstring ItemText(HMENU menu, int position) {
  wchar_t text[128] = {};
  MENUITEMINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_STRING;
  info.dwTypeData = text;
  info.cch = 127;
  GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info);
  return text;
}

TEST(ProgramResources, MainMenuHasEveryItemWithItsCommandAndInitialState) {
  const std::vector<MenuColumn> expected = {
      {L"IDS_FILE",
       {{L"IDS_SAVERESULT", 1023, true}, {L"IDS_PRINTRESULT", 1024, true}, {nullptr, 0, false},
        {L"IDS_CLOSEANDRUN", 1025, false}, {nullptr, 0, false}, {L"IDS_EXIT", 1026, false}}},
      {L"IDS_SCAN", {{L"IDS_STARTSCAN", 1027, false}, {L"IDS_STOPSCAN", 1028, true}, {L"IDS_PAUSESCAN", 1029, true}}},
      {L"IDS_EDIT",
       {{L"IDS_SELECTALL", 1030, true}, {L"IDS_UNSELECTALL", 1031, true}, {nullptr, 0, false},
        {L"IDS_DELETESELECTED", 1032, false}}},
      {L"IDS_VIEW",
       {{L"IDS_FILESHARINGSOFTWAREWINDOW", 1033, true}, {L"IDS_ALLFILESINSHAREDFOLDERSWINDOW", 1034, true},
        {L"IDS_MUSICVIDEOIMAGEFILESWINDOW", 1035, true}, {L"IDS_MAINMENUWINDOW", 1036, true}}},
      {L"IDS_TOOLS", {{L"IDS_OPTIONS", 1037, false}, {nullptr, 0, false}, {L"IDS_CHECKFORUPDATES", 1038, false}}},
      {L"IDS_HELP",
       {{L"IDS_INTRODUCTION", 1039, false}, {nullptr, 0, false}, {L"IDS_TSYUSERGUIDE", 1040, false},
        {L"IDS_FAQS", 1041, false}, {nullptr, 0, false}, {L"IDS_LICENSEAGREEMENT", 1042, false},
        {nullptr, 0, false}, {L"IDS_ABOUT", 1043, false}}},
  };
  win::UniqueMenu menu(LoadMenuW(Program(), MAKEINTRESOURCEW(IDR_MAINMENU)));
  ASSERT_TRUE(menu) << GetLastError();
  ASSERT_EQ(GetMenuItemCount(menu.get()), static_cast<int>(expected.size()));
  for (size_t c = 0; c < expected.size(); ++c) {
    const MenuColumn& column = expected[c];
    EXPECT_EQ(ItemText(menu.get(), static_cast<int>(c)), column.caption);
    HMENU popup = GetSubMenu(menu.get(), static_cast<int>(c));
    ASSERT_NE(popup, nullptr) << column.caption;
    ASSERT_EQ(GetMenuItemCount(popup), static_cast<int>(column.rows.size())) << column.caption;
    for (size_t r = 0; r < column.rows.size(); ++r) {
      const MenuRow& row = column.rows[r];
      MENUITEMINFOW info{};
      info.cbSize = sizeof info;
      info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID;
      ASSERT_TRUE(GetMenuItemInfoW(popup, static_cast<UINT>(r), TRUE, &info));
      const std::wstring where = std::wstring(column.caption) + L" item " + std::to_wstring(r);
      if (!row.caption) {
        EXPECT_TRUE(info.fType & MFT_SEPARATOR) << where;
        continue;
      }
      EXPECT_FALSE(info.fType & MFT_SEPARATOR) << where;
      EXPECT_EQ(ItemText(popup, static_cast<int>(r)), row.caption) << where;
      EXPECT_EQ(info.wID, row.id) << where;
      EXPECT_EQ((info.fState & MFS_GRAYED) == MFS_GRAYED, row.greyed) << where;
    }
  }
}

// ---- bitmaps --------------------------------------------------------------------------------------

struct Pixels {
  int width = 0;
  int height = 0;
  std::vector<COLORREF> rgb;  // top-down, 0x00BBGGRR
};

Pixels ReadBitmap(HINSTANCE module, int id) {
  Pixels pixels;
  win::UniqueBitmap bitmap(static_cast<HBITMAP>(
      LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  if (!bitmap) return pixels;
  BITMAP info{};
  GetObjectW(bitmap.get(), sizeof info, &info);
  BITMAPINFO request{};
  request.bmiHeader.biSize = sizeof request.bmiHeader;
  request.bmiHeader.biWidth = info.bmWidth;
  request.bmiHeader.biHeight = -info.bmHeight;
  request.bmiHeader.biPlanes = 1;
  request.bmiHeader.biBitCount = 32;
  request.bmiHeader.biCompression = BI_RGB;
  std::vector<RGBQUAD> quads(static_cast<size_t>(info.bmWidth) * info.bmHeight);
  HDC screen = GetDC(nullptr);
  const int lines = GetDIBits(screen, bitmap.get(), 0, info.bmHeight, quads.data(), &request, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  if (lines != info.bmHeight) return pixels;
  pixels.width = info.bmWidth;
  pixels.height = info.bmHeight;
  for (const RGBQUAD& q : quads) pixels.rgb.push_back(RGB(q.rgbRed, q.rgbGreen, q.rgbBlue));
  return pixels;
}

constexpr COLORREF kWhite = RGB(255, 255, 255);

enum class Look { Masked, MaskedGrey, Opaque };

struct BitmapCase {
  const char* name;
  int id;
  int width, height;
  Look look;
  int normalId;  // for a disabled variant: the bitmap it greys, else 0
};

const BitmapCase kProgramBitmaps[] = {
    {"toolbar rescan", IDB_TOOLBAR_RESCAN, 32, 32, Look::Masked, 0},
    {"toolbar rescan disabled", IDB_TOOLBAR_RESCAN_DISABLED, 32, 32, Look::MaskedGrey, IDB_TOOLBAR_RESCAN},
    {"toolbar stop", IDB_TOOLBAR_STOP, 32, 32, Look::Masked, 0},
    {"toolbar stop disabled", IDB_TOOLBAR_STOP_DISABLED, 32, 32, Look::MaskedGrey, IDB_TOOLBAR_STOP},
    {"toolbar pause", IDB_TOOLBAR_PAUSE, 32, 32, Look::Masked, 0},
    {"toolbar pause disabled", IDB_TOOLBAR_PAUSE_DISABLED, 32, 32, Look::MaskedGrey, IDB_TOOLBAR_PAUSE},
    {"toolbar delete", IDB_TOOLBAR_DELETE, 32, 32, Look::Masked, 0},
    {"toolbar save", IDB_TOOLBAR_SAVE, 32, 32, Look::Masked, 0},
    {"toolbar print", IDB_TOOLBAR_PRINT, 32, 32, Look::Masked, 0},
    {"toolbar help", IDB_TOOLBAR_HELP, 32, 32, Look::Masked, 0},
    {"toolbar faq", IDB_TOOLBAR_FAQ, 32, 32, Look::Masked, 0},
    {"left p2p", IDB_LEFT_P2P, 40, 40, Look::Masked, 0},
    {"left p2p disabled", IDB_LEFT_P2P_DISABLED, 40, 40, Look::MaskedGrey, IDB_LEFT_P2P},
    {"left shared", IDB_LEFT_SHARED, 40, 40, Look::Masked, 0},
    {"left shared disabled", IDB_LEFT_SHARED_DISABLED, 40, 40, Look::MaskedGrey, IDB_LEFT_SHARED},
    {"left media", IDB_LEFT_MEDIA, 40, 40, Look::Masked, 0},
    {"left media disabled", IDB_LEFT_MEDIA_DISABLED, 40, 40, Look::MaskedGrey, IDB_LEFT_MEDIA},
    {"left main menu", IDB_LEFT_MAINMENU, 40, 40, Look::Masked, 0},
    {"left main menu disabled", IDB_LEFT_MAINMENU_DISABLED, 40, 40, Look::MaskedGrey, IDB_LEFT_MAINMENU},
    {"topic p2p", IDB_TOPIC_P2P, 48, 48, Look::Masked, 0},
    {"topic shared", IDB_TOPIC_SHARED, 48, 48, Look::Masked, 0},
    {"topic media", IDB_TOPIC_MEDIA, 48, 48, Look::Masked, 0},
    {"topic faq", IDB_TOPIC_FAQ, 48, 48, Look::Masked, 0},
    {"topic logo", IDB_TOPIC_LOGO, 400, 100, Look::Opaque, 0},
    {"update banner", IDB_UPDATEBANNER, 320, 200, Look::Opaque, 0},
    {"setup banner", IDB_SETUPBANNER, 497, 68, Look::Opaque, 0},
};

// What every picture must be: its size, a real drawing (many colours, not one block), and for
// the white-keyed ones white corners around a drawing that covers a good part of the square.
void CheckPicture(const BitmapCase& c, const Pixels& pixels) {
  ASSERT_EQ(pixels.width, c.width) << c.name;
  ASSERT_EQ(pixels.height, c.height) << c.name;
  const std::set<COLORREF> colours(pixels.rgb.begin(), pixels.rgb.end());
  EXPECT_GE(colours.size(), 24u) << c.name << ": too few colours for a drawing";
  if (c.look == Look::Opaque) return;
  const size_t last = pixels.rgb.size() - 1;
  for (size_t corner : {size_t{0}, static_cast<size_t>(c.width - 1), last - (c.width - 1), last}) {
    EXPECT_EQ(pixels.rgb[corner], kWhite) << c.name << ": corner " << corner << " is not the mask colour";
  }
  size_t drawn = 0;
  for (COLORREF px : pixels.rgb) drawn += px != kWhite;
  EXPECT_GT(drawn * 100, pixels.rgb.size() * 30) << c.name << ": the drawing covers too little";
  EXPECT_LT(drawn * 100, pixels.rgb.size() * 95) << c.name << ": nothing is transparent";
  if (c.look == Look::MaskedGrey) {
    for (COLORREF px : pixels.rgb) {
      if (GetRValue(px) != GetGValue(px) || GetGValue(px) != GetBValue(px)) {
        ADD_FAILURE() << c.name << ": a disabled picture has colour " << std::hex << px;
        break;
      }
    }
  }
}

TEST(ProgramResources, EveryBitmapIsADrawingOfItsSize) {
  for (const BitmapCase& c : kProgramBitmaps) {
    const Pixels pixels = ReadBitmap(Program(), c.id);
    CheckPicture(c, pixels);
    if (c.normalId) {
      // A disabled variant has the same outline as its normal picture: the mask is identical.
      const Pixels normal = ReadBitmap(Program(), c.normalId);
      ASSERT_EQ(normal.rgb.size(), pixels.rgb.size()) << c.name;
      for (size_t i = 0; i < pixels.rgb.size(); ++i) {
        if ((pixels.rgb[i] == kWhite) != (normal.rgb[i] == kWhite)) {
          ADD_FAILURE() << c.name << ": mask differs from the normal picture at pixel " << i;
          break;
        }
      }
    }
  }
}

TEST(ProgramResources, ToolbarPicturesGoIntoAMaskedImageListWithTransparentCorners) {
  // As the toolbar loads them: LoadBitmap, then ImageList_AddMasked with white.
  win::UniqueImageList images(ImageList_Create(32, 32, ILC_COLOR32 | ILC_MASK, 7, 2));
  ASSERT_TRUE(images);
  for (int id : {IDB_TOOLBAR_RESCAN, IDB_TOOLBAR_STOP, IDB_TOOLBAR_PAUSE, IDB_TOOLBAR_DELETE, IDB_TOOLBAR_SAVE,
                 IDB_TOOLBAR_PRINT, IDB_TOOLBAR_HELP, IDB_TOOLBAR_FAQ}) {
    win::UniqueBitmap bitmap(LoadBitmapW(Program(), MAKEINTRESOURCEW(id)));
    ASSERT_TRUE(bitmap) << id;
    EXPECT_GE(ImageList_AddMasked(images.get(), bitmap.get(), kWhite), 0) << id;
  }
  EXPECT_EQ(ImageList_GetImageCount(images.get()), 8);
  // Draw image 0 onto black: the corner stays black (masked out), the middle does not.
  HDC screen = GetDC(nullptr);
  win::UniqueMemoryDc dc(CreateCompatibleDC(screen));
  win::UniqueBitmap canvas(CreateCompatibleBitmap(screen, 32, 32));
  ReleaseDC(nullptr, screen);
  ASSERT_TRUE(dc && canvas);
  win::ScopedSelectObject selected(dc.get(), canvas.get());
  RECT all{0, 0, 32, 32};
  FillRect(dc.get(), &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  ASSERT_TRUE(ImageList_Draw(images.get(), 0, dc.get(), 0, 0, ILD_TRANSPARENT));
  EXPECT_EQ(GetPixel(dc.get(), 0, 0), RGB(0, 0, 0));
  EXPECT_NE(GetPixel(dc.get(), 16, 20), RGB(0, 0, 0));
}

// ---- icon -----------------------------------------------------------------------------------------

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

TEST(ProgramResources, IconHasTheSizesTheShellAsksFor) {
  HRSRC found = FindResourceW(Program(), MAKEINTRESOURCEW(IDI_TESSALY), RT_GROUP_ICON);
  ASSERT_NE(found, nullptr);
  const auto* header = static_cast<const GroupIconHeader*>(LockResource(LoadResource(Program(), found)));
  ASSERT_NE(header, nullptr);
  const auto* entries = reinterpret_cast<const GroupIconEntry*>(header + 1);
  std::set<int> sizes;
  for (int i = 0; i < header->count; ++i) {
    sizes.insert(entries[i].width == 0 ? 256 : entries[i].width);
    EXPECT_EQ(entries[i].bitCount, 32);
  }
  EXPECT_EQ(sizes, (std::set<int>{16, 24, 32, 48, 256}));
  for (int size : {16, 32, 48}) {
    win::UniqueIcon icon(static_cast<HICON>(
        LoadImageW(Program(), MAKEINTRESOURCEW(IDI_TESSALY), IMAGE_ICON, size, size, 0)));
    ASSERT_TRUE(icon) << size;
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon.get(), &info));
    win::UniqueBitmap colour(info.hbmColor), mask(info.hbmMask);
    BITMAP bitmap{};
    GetObjectW(info.hbmColor, sizeof bitmap, &bitmap);
    EXPECT_EQ(bitmap.bmWidth, size);
  }
  // LoadIconW is what start-up and the tray use.
  EXPECT_NE(LoadIconW(Program(), MAKEINTRESOURCEW(IDI_TESSALY)), nullptr);
}

// ---- animation ------------------------------------------------------------------------------------

struct RiffView {
  const BYTE* data;
  DWORD size;
  // The first chunk with this id inside [begin, end), descending into LIST chunks.
  const BYTE* Find(const char* id, const BYTE* begin, const BYTE* end, DWORD* length) const {
    while (begin + 8 <= end) {
      DWORD chunkSize;
      std::memcpy(&chunkSize, begin + 4, 4);
      const BYTE* body = begin + 8;
      if (body + chunkSize > end) return nullptr;
      if (std::memcmp(begin, id, 4) == 0) {
        *length = chunkSize;
        return body;
      }
      if (std::memcmp(begin, "LIST", 4) == 0 || std::memcmp(begin, "RIFF", 4) == 0) {
        if (const BYTE* inner = Find(id, body + 4, body + chunkSize, length)) return inner;
      }
      begin = body + chunkSize + (chunkSize & 1);
    }
    return nullptr;
  }
};

TEST(ProgramResources, ProgressAnimationIsAnUncompressedSilentLoopThatTheControlPlays) {
  HRSRC found = FindResourceW(Program(), MAKEINTRESOURCEW(IDA_PROGRESS), L"AVI");
  ASSERT_NE(found, nullptr);
  RiffView avi{static_cast<const BYTE*>(LockResource(LoadResource(Program(), found))), SizeofResource(Program(), found)};
  ASSERT_NE(avi.data, nullptr);
  ASSERT_EQ(std::memcmp(avi.data + 8, "AVI ", 4), 0);
  const BYTE* end = avi.data + avi.size;
  DWORD length = 0;
  const BYTE* strh = avi.Find("strh", avi.data, end, &length);
  ASSERT_NE(strh, nullptr);
  EXPECT_EQ(std::memcmp(strh, "vids", 4), 0);
  DWORD unused = 0;
  EXPECT_EQ(avi.Find("auds", strh + length, end, &unused), nullptr) << "the animation has a sound stream";
  const BYTE* strf = avi.Find("strf", avi.data, end, &length);
  ASSERT_NE(strf, nullptr);
  BITMAPINFOHEADER format;
  std::memcpy(&format, strf, sizeof format);
  EXPECT_TRUE(format.biCompression == BI_RGB || format.biCompression == BI_RLE8);
  EXPECT_EQ(format.biWidth, 80);
  EXPECT_EQ(format.biHeight, 50);
  const BYTE* avih = avi.Find("avih", avi.data, end, &length);
  ASSERT_NE(avih, nullptr);
  DWORD frames;
  std::memcpy(&frames, avih + 16, 4);
  EXPECT_GE(frames, 8u);

  // The animation control opens and plays it in a loop from the module's resources.
  INITCOMMONCONTROLSEX init{sizeof init, ICC_ANIMATE_CLASS};
  InitCommonControlsEx(&init);
  win::UniqueWindow control(CreateWindowExW(0, ANIMATE_CLASSW, L"ProgressAnimation", WS_POPUP, 0, 0, 80, 50,
                                            nullptr, nullptr, Program(), nullptr));
  ASSERT_TRUE(control);
  EXPECT_TRUE(SendMessageW(control.get(), ACM_OPENW, reinterpret_cast<WPARAM>(Program()),
                           reinterpret_cast<LPARAM>(MAKEINTRESOURCEW(IDA_PROGRESS))));
  EXPECT_TRUE(SendMessageW(control.get(), ACM_PLAY, static_cast<WPARAM>(-1), MAKELONG(0, -1)));
  SendMessageW(control.get(), ACM_STOP, 0, 0);
}

// ---- version and manifest -------------------------------------------------------------------------

TEST(ProgramResources, VersionBlockCarriesTheProjectVersion) {
  const std::string narrow = TESSALY_VERSION_TEXT;
  EXPECT_EQ(std::wstring(ProductVersionText()), std::wstring(narrow.begin(), narrow.end()));
}

TEST(ProgramResources, ManifestSelectsCommonControlsSix) {
  HRSRC found = FindResourceW(Program(), MAKEINTRESOURCEW(1), RT_MANIFEST);
  ASSERT_NE(found, nullptr);
  const std::string manifest(static_cast<const char*>(LockResource(LoadResource(Program(), found))),
                             SizeofResource(Program(), found));
  EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
  EXPECT_NE(manifest.find("<dpiAware"), std::string::npos);
  EXPECT_NE(manifest.find("supportedOS"), std::string::npos);
  // The loader acted on it: the common controls this program imports are version 6.
  HMODULE comctl = nullptr;
  ASSERT_TRUE(GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                 reinterpret_cast<LPCWSTR>(reinterpret_cast<void*>(&InitCommonControlsEx)), &comctl));
  // Windows reports 6 from DllGetVersion; Wine's side-by-side copy reports 5.x, so its path is
  // the sign there.
  auto getVersion = reinterpret_cast<DLLGETVERSIONPROC>(reinterpret_cast<void*>(GetProcAddress(comctl, "DllGetVersion")));
  ASSERT_NE(getVersion, nullptr);
  DLLVERSIONINFO version{};
  version.cbSize = sizeof version;
  ASSERT_EQ(getVersion(&version), S_OK);
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(comctl, path, MAX_PATH);
  std::wstring lower = path;
  for (wchar_t& c : lower) c = static_cast<wchar_t>(towlower(c));
  const bool sideBySideSix = lower.find(L"\\winsxs\\") != std::wstring::npos &&
                             lower.find(L"common-controls_6595b64144ccf1df_6.") != std::wstring::npos;
  EXPECT_TRUE(version.dwMajorVersion == 6 || sideBySideSix)
      << "comctl32 " << version.dwMajorVersion << " from " << std::string(lower.begin(), lower.end());
}

}  // namespace
}  // namespace tessaly
