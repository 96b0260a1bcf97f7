#include "LogCapture.h"
#include "MvEventHandler.h"
#include "MvFault.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tessaly {
namespace {

struct Recorder {
  std::vector<std::string> calls;
};

int32_t First(void* data, void* context) {
  static_cast<Recorder*>(context)->calls.push_back("first");
  return 11;
}
int32_t Second(void* data, void* context) {
  static_cast<Recorder*>(context)->calls.push_back("second:" + std::to_string(reinterpret_cast<intptr_t>(data)));
  return 22;
}
int32_t Faulting(void*, void* context) {
  static_cast<Recorder*>(context)->calls.push_back("faulting");
  throw MvFault(kFaultAccessViolation);
}
void Text(const wchar_t* text, void* context) {
  static_cast<Recorder*>(context)->calls.push_back("text:" + std::string(text, text + std::wcslen(text)));
}

TEST(MvEventHandler, NoMatchingEntryReturnsZeroAndCallsNothing) {
  MvEventHandler events;
  Recorder r;
  events.AddBinaryEventProc(L"EVENT_A", First, &r);
  EXPECT_EQ(events.ExecuteAll_BinaryEventProcs(L"EVENT_B", nullptr), 0);
  EXPECT_TRUE(r.calls.empty());
}

TEST(MvEventHandler, AllMatchingProceduresRunInOrderAndTheLastResultWins) {
  MvEventHandler events;
  Recorder r;
  events.AddBinaryEventProc(L"EVENT_A", First, &r);
  events.AddBinaryEventProc(L"EVENT_A", Second, &r);
  EXPECT_EQ(events.ExecuteAll_BinaryEventProcs(L"EVENT_A", reinterpret_cast<void*>(7)), 22);
  EXPECT_EQ(r.calls, (std::vector<std::string>{"first", "second:7"}));
}

TEST(MvEventHandler, SameProcedureRegisteredTwiceRunsTwice) {
  MvEventHandler events;
  Recorder r;
  events.AddBinaryEventProc(L"EVENT_A", First, &r);
  events.AddBinaryEventProc(L"EVENT_A", First, &r);
  events.ExecuteAll_BinaryEventProcs(L"EVENT_A", nullptr);
  EXPECT_EQ(r.calls.size(), 2u);
}

TEST(MvEventHandler, FlavoursReachOnlyTheirOwnProcedures) {
  MvEventHandler events;
  Recorder r;
  events.AddBinaryEventProc(L"[DISKSCANEVENT_ONNEWFILEFOUND]", First, &r);
  events.AddStringEventProc(L"[DISKSCANEVENT_ONNEWFILEFOUND]", Text, &r);
  events.ExecuteAll_StringEventProcs(L"[DISKSCANEVENT_ONNEWFILEFOUND]", L"C:\\a.mp3");
  EXPECT_EQ(r.calls, (std::vector<std::string>{"text:C:\\a.mp3"}));
  EXPECT_TRUE(events.HasStringProcs(L"[DISKSCANEVENT_ONNEWFILEFOUND]"));
  EXPECT_FALSE(events.HasStringProcs(L"OTHER"));
}

TEST(MvEventHandler, WindowNamespaceSeparatesSameEventNames) {
  MvEventHandler window;
  window.SetNamespace(L"{NS:IDD_MAIN}");
  MvEventHandler plain;
  Recorder r;
  window.AddBinaryEventProc(L"EVENT_WM_CREATE", First, &r);
  EXPECT_EQ(plain.ExecuteAll_BinaryEventProcs(L"EVENT_WM_CREATE", nullptr), 0);
  EXPECT_TRUE(r.calls.empty());
  EXPECT_EQ(window.ExecuteAll_BinaryEventProcs(L"EVENT_WM_CREATE", nullptr), 11);
}

TEST(MvEventHandler, NamespaceIsTakenAtRegistration) {
  MvEventHandler events;
  Recorder r;
  events.AddBinaryEventProc(L"EVENT_A", First, &r);  // registered under "{NS:}"
  events.SetNamespace(L"{NS:Later}");
  EXPECT_EQ(events.ExecuteAll_BinaryEventProcs(L"EVENT_A", nullptr), 0);
}

TEST(MvEventHandler, ThrowingProcedureEndsTheFiringAndIsLogged) {
  test::LogCapture log;
  MvEventHandler events;
  Recorder r;
  events.AddBinaryEventProc(L"EVENT_A", First, &r);
  events.AddBinaryEventProc(L"EVENT_A", Faulting, &r);
  events.AddBinaryEventProc(L"EVENT_A", Second, &r);
  events.AddStringEventProc(L"EVENT_A", [](const wchar_t*, void*) { throw std::runtime_error("x"); }, &r);
  EXPECT_EQ(events.ExecuteAll_BinaryEventProcs(L"EVENT_A", nullptr), 0);
  EXPECT_EQ(r.calls, (std::vector<std::string>{"first", "faulting"}));
  events.ExecuteAll_StringEventProcs(L"EVENT_A", L"t");
  EXPECT_EQ(log.Count(L"**EXCEPTION** MvEventHandler::ExecuteAll_BinaryEventProcs() Failed traversing Event(EVENT_A)\r\n"), 1u);
  EXPECT_EQ(log.Count(L"**EXCEPTION** MvEventHandler::ExecuteAll_StringEventProcs() Failed traversing Event(EVENT_A)\r\n"), 1u);
}

TEST(MvEventHandler, KeysLongerThan511CharactersAreRejected) {
  MvEventHandler events;
  Recorder r;
  const std::wstring fits(511 - 5, L'E');      // + "{NS:}" = 511
  const std::wstring tooLong(511 - 4, L'E');   // + "{NS:}" = 512
  EXPECT_TRUE(events.AddBinaryEventProc(fits, First, &r));
  EXPECT_FALSE(events.AddBinaryEventProc(tooLong, First, &r));
  EXPECT_EQ(events.ExecuteAll_BinaryEventProcs(fits, nullptr), 11);
  EXPECT_EQ(events.ExecuteAll_BinaryEventProcs(tooLong, nullptr), 0);
  EXPECT_EQ(r.calls.size(), 1u);
}

}  // namespace
}  // namespace tessaly
