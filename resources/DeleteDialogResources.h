// Resource IDs of the delete dialog (DeleteDialog.rc). Plain #defines only: read by windres and by
// C++ alike.
#pragma once

#define IDD_DELETEFILES 137
#define IDC_DELETE_FILELIST 1032
#define IDC_DELETE_BODYTOP 1033
#define IDC_DELETE_BODYBOTTOM 1034
#define IDC_DELETE_BODYMIDDLEBOLD 1035
