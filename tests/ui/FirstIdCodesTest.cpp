// The first command identifiers of a process, through the main window's idCodes.
#include "FrameworkSupport.h"

#include "LogCapture.h"

namespace tessaly {
namespace {

using FirstIdCodes = test::MainWindowTest;

TEST_F(FirstIdCodes, Start5002AndKeepTheirNumbers) {
  test::LogCapture log;
  EXPECT_EQ(GetUniqueIdCode(L"IDC_RESCAN"), 5002);
  EXPECT_EQ(GetUniqueIdCode(L"IDC_STOP"), 5003);
  EXPECT_EQ(GetUniqueIdCode(L"IDC_PAUSE"), 5004);
  EXPECT_EQ(GetUniqueIdCode(L"IDC_RESCAN"), 5002);
  EXPECT_EQ(log.Count(L"5002=GetUniqueIdCode(IDC_RESCAN)\r\n"), 2u);
  EXPECT_STREQ(FindNameByValue(main_->idCodes, NumberValue(5003)), L"IDC_STOP");

  // Without a main window there is nowhere to keep a number.
  SetMainWindow(nullptr);
  EXPECT_EQ(GetUniqueIdCode(L"IDC_HELP"), 0);
}

}  // namespace
}  // namespace tessaly
