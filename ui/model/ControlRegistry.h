// The control registry of a window: an MvLinkedList whose entries are keyed by a kind tag followed
// directly by the control's name ("[TOOLBAR]IDC_MAINTOOLBAR") and whose values are the wrappers,
// in creation order; and the group rules that ShowGroup applies to it. Portable: handles and
// wrappers are plain pointers here.
#pragma once

#include "MvLinkedList.h"

#include <functional>
#include <string>
#include <string_view>

namespace tessaly {

inline constexpr const wchar_t* kTagButton = L"[BUTTON]";
inline constexpr const wchar_t* kTagComboBox = L"[COMBOBOX]";
inline constexpr const wchar_t* kTagLabel = L"[LABEL]";
inline constexpr const wchar_t* kTagListView = L"[LISTVIEW]";
inline constexpr const wchar_t* kTagTabControl = L"[TABCONTROL]";
inline constexpr const wchar_t* kTagToolBar = L"[TOOLBAR]";
inline constexpr const wchar_t* kTagStatusBar = L"[STATUSBAR]";
inline constexpr const wchar_t* kTagChildWindow = L"[CHILDWINDOW]";
inline constexpr const wchar_t* kTagAnimation = L"[ANIMATION]";

inline constexpr const wchar_t* kGroupIndexNotFound = L"{Group Index Not Found}";

std::wstring RegistryKey(std::wstring_view kindTag, std::wstring_view name);

// Value of the entry whose whole key equals kindTag + name (case-sensitive), or null.
void* FindRegistered(const MvLinkedList& registry, std::wstring_view kindTag, std::wstring_view name);

// Visits entries in order and stops at the first entry without a value (the registry's end
// marker); visit returns false to stop early.
void WalkRegistry(const MvLinkedList& registry, const std::function<bool(const MvListEntry&)>& visit);

// Whether ShowGroup acts on an entry of this key: buttons, child windows, list views, tab controls
// and labels. Toolbar, status bar, combo boxes and animations are not touched by groups.
bool IsGroupShowable(std::wstring_view key);

// Whether a control with these group names is in group: one of its names begins with group
// (case-sensitive), so "GROUP_A" covers "GROUP_A[0]".
bool InGroup(const MvLinkedList& groups, std::wstring_view group);

// Name of the first group, or "{Group Index Not Found}".
const wchar_t* FirstGroupName(const MvLinkedList& groups);

}  // namespace tessaly
