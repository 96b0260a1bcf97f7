// Resource IDs of the update and about dialogs (UpdateDialogs.rc). Plain #defines only: read by
// windres and by C++ alike.
#pragma once

// Update dialog; its banner is IDB_UPDATEBANNER (103).
#define IDD_CHECKFORUPDATES 102
#define IDC_UPDATE_YES 1004
#define IDC_UPDATE_NO 1005
#define IDC_UPDATE_STATUS 1006
#define IDC_UPDATE_IMPORTANT 1007
#define IDC_UPDATE_PRIVACY1 1008
#define IDC_UPDATE_PRIVACY2 1009
#define IDC_UPDATE_PROGRESS 1010

// About dialog.
#define IDD_ABOUT 143
#define IDC_ABOUT_VERSION 1049
