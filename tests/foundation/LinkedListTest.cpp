#include "MvLinkedList.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tessaly {
namespace {

std::vector<std::wstring> Names(const MvLinkedList& list) {
  std::vector<std::wstring> names;
  for (const MvListEntry& e : list) names.push_back(e.name ? *e.name : L"<none>");
  return names;
}

TEST(MvLinkedList, AddAppendsAndLinksBothWays) {
  MvLinkedList list;
  int a = 1, b = 2;
  EXPECT_EQ(list.Add(L"A", &a), &a);
  EXPECT_EQ(list.Add(nullptr, &b, true), &b);
  EXPECT_EQ(list.count, 2u);
  EXPECT_EQ(list.head->value, &a);
  EXPECT_EQ(list.tail->value, &b);
  EXPECT_EQ(list.tail->prev, list.head);
  EXPECT_EQ(list.head->next, list.tail);
  EXPECT_EQ(list.tail->Name(), nullptr);
}

TEST(MvLinkedList, FindModes) {
  MvLinkedList list;
  list.Add(nullptr, NumberValue(9));  // unnamed entries never match
  list.Add(L"FindAresGalaxy", NumberValue(1));
  list.Add(L"FindAres", NumberValue(2));
  list.Add(L"MutexCode", NumberValue(3));
  struct Case {
    const wchar_t* query;
    bool whole, caseSensitive;
    uintptr_t want;  // 0: no match
  } cases[] = {
      {L"FindAres", true, true, 2},      // exact name only
      {L"FindAres", false, true, 1},     // prefix: first in list order
      {L"findares", false, true, 0},     // prefix is case-sensitive
      {L"findares", false, false, 1},    // prefix ignoring case
      {L"MUTEXCODE", true, false, 3},    // whole ignoring case
      {L"MUTEXCODE", true, true, 0},
      {L"MutexCodeX", false, false, 0},  // query longer than every name
      {L"", true, true, 0},
  };
  for (const auto& c : cases) {
    MvListEntry* found = list.Find(c.query, c.whole, c.caseSensitive);
    uintptr_t got = found ? ValueNumber(found->value) : 0;
    EXPECT_EQ(got, c.want) << std::string(c.query, c.query + std::wcslen(c.query)) << " whole=" << c.whole
                           << " case=" << c.caseSensitive;
  }
}

TEST(MvLinkedList, FirstOfTwoEqualNamesKeepsAnswering) {
  MvLinkedList list;
  list.Add(L"X", NumberValue(1));
  list.Add(L"X", NumberValue(2));
  EXPECT_EQ(ValueNumber(list.Find(L"X")->value), 1u);
  list.Remove(L"X");
  EXPECT_EQ(ValueNumber(list.Find(L"X")->value), 2u);
}

TEST(MvLinkedList, RemoveUnlinkAndClear) {
  MvLinkedList list;
  list.Add(L"A", nullptr);
  list.Add(L"B", nullptr);
  list.Add(L"C", nullptr);
  list.Remove(L"missing");
  EXPECT_EQ(list.count, 3u);
  list.Remove(L"B");
  EXPECT_EQ(Names(list), (std::vector<std::wstring>{L"A", L"C"}));
  EXPECT_EQ(list.tail->prev, list.head);
  list.Unlink(list.head);
  EXPECT_EQ(Names(list), (std::vector<std::wstring>{L"C"}));
  EXPECT_EQ(list.head, list.tail);
  EXPECT_EQ(list.head->prev, nullptr);
  list.Clear();
  EXPECT_EQ(list.head, nullptr);
  EXPECT_EQ(list.tail, nullptr);
  EXPECT_EQ(list.count, 0u);
}

TEST(MvLinkedList, AddTokensSkipsEmptyTokens) {
  struct Case {
    const wchar_t* text;
    std::vector<std::wstring> want;
  } cases[] = {
      {L".mp3;;.wma;", {L".mp3", L".wma"}},
      {L";;.avi", {L".avi"}},
      {L"", {}},
      {L";;;", {}},
      {L".jpg", {L".jpg"}},
  };
  for (const auto& c : cases) {
    MvLinkedList list;
    EXPECT_EQ(list.AddTokens(c.text), static_cast<int>(c.want.size()));
    EXPECT_EQ(Names(list), c.want);
    for (const MvListEntry& e : list) {
      EXPECT_EQ(std::wstring(static_cast<wchar_t*>(e.value)), *e.name);  // value is a separate copy
      EXPECT_NE(static_cast<const void*>(e.value), static_cast<const void*>(e.name->c_str()));
    }
    list.FreeTokenValues();
  }
}

TEST(FindNameByValue, FindsFirstNameOrTheNotFoundText) {
  MvLinkedList list;
  list.Add(L"IDC_SCAN", NumberValue(100));
  list.Add(L"IDC_STOP", NumberValue(101));
  list.Add(L"IDC_AGAIN", NumberValue(101));
  EXPECT_STREQ(FindNameByValue(list, NumberValue(101)), L"IDC_STOP");
  EXPECT_STREQ(FindNameByValue(list, NumberValue(0)), L"{IdCodeNotFound}");
  EXPECT_STREQ(FindNameByValue(list, NumberValue(55)), L"{IdCodeNotFound}");
}

}  // namespace
}  // namespace tessaly
