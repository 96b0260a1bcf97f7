// Stand-in until the dialog itself lands: it says so and answers as a refusal, so an
// installation never goes on without the licence having been agreed to.
#include "LicenseDialog.h"

#include "DebugLog.h"

namespace tessaly {

INT_PTR RunLicenseDialog(HINSTANCE, HWND, StringTable&, const std::wstring&) {
  DebugPrint(L"RunLicenseDialog(), the licence-agreement dialog (139) is not built yet\r\n");
  return 5;
}

}  // namespace tessaly
