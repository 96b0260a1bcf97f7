#include "UpdateDialogModel.h"

#include <gtest/gtest.h>

namespace tessaly {
namespace {

TEST(UpdateDialogModel, StatesShowWhatTheUserMayDo) {
  struct Case {
    UpdateDialogState state;
    const wchar_t* status;
    bool yes, cancelEnabled, privacy, progress;
    uint32_t closeAfter;
  } cases[] = {
      {UpdateDialogState::Asking, L"IDS_CHECKFORUPDATES", true, true, true, false, 0},
      {UpdateDialogState::Checking, L"IDS_CHECKINGFORUPDATES", false, true, false, false, 0},
      {UpdateDialogState::NoUpdates, L"IDS_NOUPDATESAVAILABLE", false, false, false, false, 2000},
      {UpdateDialogState::Downloading, L"IDS_DOWNLOADINGUPDATES", false, true, false, true, 0},
      {UpdateDialogState::Launching, L"IDS_DOWNLOADINGUPDATES", false, false, false, true, 700},
  };
  for (const auto& c : cases) {
    UpdateDialogView view = ViewOf(c.state);
    SCOPED_TRACE(static_cast<int>(c.state));
    EXPECT_STREQ(view.statusTextId, c.status);
    EXPECT_EQ(view.yesEnabled, c.yes);
    EXPECT_EQ(view.noEnabled, c.cancelEnabled);
    EXPECT_EQ(view.privacyShown, c.privacy);
    EXPECT_EQ(view.progressShown, c.progress);
    EXPECT_EQ(view.closeAfterMilliseconds, c.closeAfter);
  }
  EXPECT_STREQ(ViewOf(UpdateDialogState::Asking).noTextId, L"IDS_NO");
  EXPECT_STREQ(ViewOf(UpdateDialogState::Checking).noTextId, L"IDS_CANCEL");
  EXPECT_STREQ(ViewOf(UpdateDialogState::Downloading).line2TextId, L"IDS_READY");
}

TEST(UpdateDialogModel, ReferenceIsTheLastCheckOnlyWhenBothValuesExist) {
  struct Case {
    std::optional<std::wstring> date, time;
    const wchar_t* wantDate;
    bool fromRegistry;
  } cases[] = {
      {L"08-01-2009", L"10:00:00", L"08-01-2009", true},
      {std::nullopt, L"10:00:00", L"Jul 29 2009", false},
      {L"08-01-2009", std::nullopt, L"Jul 29 2009", false},
      {std::nullopt, std::nullopt, L"Jul 29 2009", false},
  };
  for (const auto& c : cases) {
    CheckReference reference = ChooseCheckReference(c.date, c.time, L"Jul 29 2009", L"11:17:39");
    EXPECT_EQ(reference.date, c.wantDate);
    EXPECT_EQ(reference.fromRegistry, c.fromRegistry);
    EXPECT_EQ(reference.time, c.fromRegistry ? L"10:00:00" : L"11:17:39");
  }
}

TEST(UpdateDialogModel, ResultTexts) {
  EXPECT_EQ(StepFor(L"CHECK_COMPLETED"), UpdateStep::CompareManifest);
  EXPECT_EQ(StepFor(L"DOWNLOAD_COMPLETED"), UpdateStep::LaunchUpdater);
  EXPECT_EQ(StepFor(L"CHECK_FAILED"), UpdateStep::ShowNoUpdates);
  EXPECT_EQ(StepFor(L"DOWNLOAD_FAILED"), UpdateStep::ShowNoUpdates);
  EXPECT_EQ(StepFor(L"FILEDOWNLOAD_COMPLETED"), UpdateStep::Ignore);
  EXPECT_EQ(StepFor(L""), UpdateStep::Ignore);
}

TEST(UpdateDialogModel, ExpectedBytesStopAtTheFirstEmptyEntry) {
  std::vector<UpdateFile> files(4);
  files[0].fileName = L"a";
  files[0].size = 0xFFFFFFFFu;
  files[1].fileName = L"b";
  files[1].size = 0xFFFFFFFFu;  // the sum goes beyond 32 bits
  files[3].fileName = L"d";
  files[3].size = 5;
  EXPECT_EQ(ExpectedBytes(files), 2ull * 0xFFFFFFFFu);
  EXPECT_EQ(ExpectedBytes({}), 0u);
}

}  // namespace
}  // namespace tessaly
