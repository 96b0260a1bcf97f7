// Control IDs of the login dialog (template 101), the same in Tessaly.exe and Tessres.dll. Plain
// #defines only: read by windres and by C++ alike.
#pragma once

#define IDD_LOGIN 101
#define IDC_LOGIN_FORGOT 3
#define IDC_LOGIN_PASSWORDLABEL 1001
#define IDC_LOGIN_QUESTIONLABEL 1002
#define IDC_LOGIN_PASSWORD 1003
#define IDC_LOGIN_ANSWER 1004
#define IDC_LOGIN_QUESTION 1005
#define IDC_LOGIN_VERSION 1050
