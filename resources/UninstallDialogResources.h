// Resource IDs of the uninstall progress dialog (UninstallDialog.rc). Plain #defines only: read by
// windres and by C++ alike.
#pragma once

#define IDD_UNINSTALLPROGRESS 138
#define IDC_UNINSTALL_PLEASEWAIT 1034
