// answer_setup_dialogs install|remove [PASSWORD]: answers the dialogs of a quiet installation or
// removal running meanwhile, for scripts/demo. install: the licence (I Agree) and the security
// settings (PASSWORD, default "tessaly-demo"); remove: the login (PASSWORD). Ends with 0 when
// every dialog was answered, 1 after two minutes without them, 2 on bad arguments.
#include "SetupDialogAnswers.h"

#include <string>
#include <vector>

int wmain(int argc, wchar_t** argv) {
  using namespace tessaly::test;
  if (argc < 2) return 2;
  const std::wstring mode = argv[1];
  const std::wstring password = argc > 2 ? argv[2] : L"tessaly-demo";
  std::vector<SetupDialogAnswerer::Step> steps;
  if (mode == L"install") {
    steps = {AgreeToTheLicence(), ChooseThePassword(password)};
  } else if (mode == L"remove") {
    steps = {LogIn(password)};
  } else {
    return 2;
  }
  const int wanted = static_cast<int>(steps.size());
  SetupDialogAnswerer answers(std::move(steps), 120000);
  return answers.Finish() == wanted ? 0 : 1;
}
