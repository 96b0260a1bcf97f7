#include "MvListView.h"

#include "Framework.h"
#include "Win32Check.h"
#include "model/ControlRegistry.h"

#include <commctrl.h>

#include <vector>

namespace tessaly {
namespace {

constexpr UINT kUncheckedImage = 1;
constexpr UINT kCheckedImage = 2;

}  // namespace

MvListView::MvListView(std::wstring listName, HWND existing) : MvControl(std::move(listName), ControlKind::ListView) {
  hwnd = existing;
  UpdateRect();
}

bool MvListView::InsertColumn(const wchar_t* columnText, int columnWidth) {
  if (!hwnd) return false;
  std::wstring copy(columnText ? columnText : L"");
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH;
  column.cx = columnWidth;
  column.pszText = copy.data();
  const LRESULT index = SendMessageW(hwnd, LVM_INSERTCOLUMNW, static_cast<WPARAM>(columnCount), reinterpret_cast<LPARAM>(&column));
  if (index < 0) {
    FrameworkError().Report(L"MvListView::InsertColumn(%s): LVM_INSERTCOLUMNW failed for %s", name, copy);
    return false;
  }
  ++columnCount;
  return true;
}

int MvListView::AddItem(int image, const wchar_t* itemText, LPARAM data) {
  if (!hwnd) return -1;
  std::wstring copy(itemText ? itemText : L"");
  LVITEMW item{};
  item.mask = LVIF_TEXT | LVIF_PARAM | (image >= 0 ? LVIF_IMAGE : 0);
  item.iItem = ItemCount();
  item.pszText = copy.data();
  item.lParam = data;
  item.iImage = image;
  const auto index = static_cast<int>(SendMessageW(hwnd, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
  if (index < 0) FrameworkError().Report(L"MvListView::AddItem(%s): LVM_INSERTITEMW failed for %s", name, copy);
  return index;
}

bool MvListView::SetItemText(int item, int subItem, const wchar_t* itemText) {
  if (!hwnd) return false;
  std::wstring copy(itemText ? itemText : L"");
  LVITEMW row{};
  row.mask = LVIF_TEXT;
  row.iItem = item;
  row.iSubItem = subItem;
  row.pszText = copy.data();
  row.iImage = -1;
  return SendMessageW(hwnd, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&row)) != 0;
}

bool MvListView::SetFirstItemText(const wchar_t* itemText) { return SetItemText(0, 0, itemText); }

LPARAM MvListView::GetItemData(int item) const {
  if (!hwnd) return 0;
  LVITEMW row{};
  row.mask = LVIF_PARAM;
  row.iItem = item;
  if (!SendMessageW(hwnd, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&row))) return 0;
  return row.lParam;
}

std::wstring MvListView::GetItemText(int item, int subItem, int capacity) const {
  if (!hwnd || capacity <= 0) return {};
  std::vector<wchar_t> buffer(static_cast<size_t>(capacity), L'\0');
  LVITEMW row{};
  row.iSubItem = subItem;
  row.pszText = buffer.data();
  row.cchTextMax = capacity;
  const auto length = static_cast<int>(SendMessageW(hwnd, LVM_GETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&row)));
  return std::wstring(buffer.data(), length > 0 && length < capacity ? static_cast<size_t>(length) : wcsnlen(buffer.data(), buffer.size()));
}

bool MvListView::IsChecked(int item) const {
  if (!hwnd) return false;
  const auto state = static_cast<UINT>(SendMessageW(hwnd, LVM_GETITEMSTATE, static_cast<WPARAM>(item), LVIS_STATEIMAGEMASK));
  return (state >> 12) != kUncheckedImage;
}

void MvListView::SetCheckAll(int from, bool checked) {
  if (!hwnd) return;
  const int count = ItemCount();
  for (int item = from < 0 ? 0 : from; item < count; ++item) {
    LVITEMW state{};
    state.stateMask = LVIS_STATEIMAGEMASK;
    state.state = INDEXTOSTATEIMAGEMASK(checked ? kCheckedImage : kUncheckedImage);
    SendMessageW(hwnd, LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&state));
  }
}

bool MvListView::DeleteItem(int item) {
  return hwnd && SendMessageW(hwnd, LVM_DELETEITEM, static_cast<WPARAM>(item), 0) != 0;
}

int MvListView::ItemCount() const {
  return hwnd ? static_cast<int>(SendMessageW(hwnd, LVM_GETITEMCOUNT, 0, 0)) : 0;
}

void MvListView::SetGreyBackground() {
  if (hwnd && !SendMessageW(hwnd, LVM_SETBKCOLOR, 0, static_cast<LPARAM>(RGB(0x80, 0x80, 0x80)))) {
    FrameworkError().Report(L"MvListView::SetGreyBackground(%s): LVM_SETBKCOLOR failed", name);
  }
}

MvListView* CreateListView(const wchar_t* name, int32_t x, int32_t y, int32_t width, int32_t height) {
  MvChildWindow* main = MainWindow();
  if (!main || !name) return nullptr;
  HWND window = CreateControlWindow(WC_LISTVIEWW, name, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | LVS_REPORT, x, y, width,
                                    height, main->hwnd, name);
  if (!window) return nullptr;
  auto list = std::make_unique<MvListView>(name);
  list->hwnd = window;
  list->x = x;
  list->y = y;
  list->width = width;
  list->height = height;
  MvControl* registered = main->Register(kTagListView, std::move(list));
  if (!registered) DestroyWindow(window);
  return static_cast<MvListView*>(registered);
}

MvListView* FindListView(const wchar_t* name) {
  MvChildWindow* main = MainWindow();
  if (!main || !name) return nullptr;
  return static_cast<MvListView*>(main->FindControl(kTagListView, name));
}

}  // namespace tessaly
