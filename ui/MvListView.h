// List-view wrapper, for the main window's lists and for list views that live in dialogs.
#pragma once

#include "MvControl.h"

#include <windows.h>

namespace tessaly {

class MvListView : public MvControl {
 public:
  explicit MvListView(std::wstring name) : MvControl(std::move(name), ControlKind::ListView) {}
  // Wraps a list view that lives in a dialog (not registered anywhere).
  MvListView(std::wstring name, HWND existing);

  // LVM_INSERTCOLUMNW at index columnCount; counted on success.
  bool InsertColumn(const wchar_t* columnText, int columnWidth);
  // Appends at LVM_GETITEMCOUNT with text and item data, and the image when image >= 0. The new
  // index, or -1.
  int AddItem(int image, const wchar_t* itemText, LPARAM data);
  bool SetItemText(int item, int subItem, const wchar_t* itemText);
  bool SetFirstItemText(const wchar_t* itemText);
  // Item data (LVIF_PARAM) of item, 0 when it cannot be read.
  LPARAM GetItemData(int item) const;
  // The text of item's column subItem (at most capacity - 1 characters).
  std::wstring GetItemText(int item, int subItem, int capacity = 1024) const;
  // True unless the state image is 1 (the unchecked box).
  bool IsChecked(int item) const;
  // State image 2 (checked) or 1 (unchecked) on every item from `from` to the last.
  void SetCheckAll(int from, bool checked);
  bool DeleteItem(int item);
  int ItemCount() const;
  void SetGreyBackground();

  int32_t columnCount = 0;
};

// "SysListView32", WS_CHILD|WS_VISIBLE|WS_CLIPSIBLINGS|LVS_REPORT; "[LISTVIEW]" + name in the main
// window.
MvListView* CreateListView(const wchar_t* name, int32_t x, int32_t y, int32_t width, int32_t height);
MvListView* FindListView(const wchar_t* name);

}  // namespace tessaly
