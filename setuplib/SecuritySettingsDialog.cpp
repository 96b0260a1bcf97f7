// Stand-in until the dialog itself lands: it says so and answers as Cancel, so an installation
// never goes on without a password having been chosen.
#include "SecuritySettingsDialog.h"

#include "DebugLog.h"

namespace tessaly {

INT_PTR RunSecuritySettingsDialog(HINSTANCE, StringTable&) {
  DebugPrint(L"RunSecuritySettingsDialog(), the security-settings dialog (141) is not built yet\r\n");
  return 5;
}

}  // namespace tessaly
