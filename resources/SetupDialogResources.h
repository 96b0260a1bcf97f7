// Resource IDs of the licence-agreement and security-settings dialogs (LicenseDialog.rc,
// SecuritySettingsDialog.rc). Plain #defines only: read by windres and by C++ alike. Their banner
// is IDB_SETUPBANNER (140).
#pragma once

// Licence agreement: in Tessaly.exe (read from the menu) and in Tessres.dll (the installation).
#define IDD_LICENSEAGREEMENT 139
#define IDC_LICENSE_IDONOTAGREE 1035
#define IDC_LICENSE_IAGREE 1036
#define IDC_LICENSE_TEXT 1037
#define IDC_LICENSE_DISCLAIMER 1038
// The dialog's Next (OK when the agreement options are hidden) is IDOK.

// Security settings: in Tessres.dll only.
#define IDD_SECURITYSETTINGS 141
#define IDC_SECURITY_NEWPASSWORDLABEL 1001
#define IDC_SECURITY_NEXT 1039
#define IDC_SECURITY_CANCEL 1040
#define IDC_SECURITY_PASSWORD 1041
#define IDC_SECURITY_PASSWORDAGAIN 1042
#define IDC_SECURITY_QUESTION 1043
#define IDC_SECURITY_ANSWER 1044
#define IDC_SECURITY_ANSWERLABEL 1045
#define IDC_SECURITY_QUESTIONLABEL 1046
#define IDC_SECURITY_AGAINLABEL 1047
#define IDC_SECURITY_EXPLANATION 1048
