// Resource IDs of Tessaly.exe (Tessaly.rc). Read by windres and by C++ alike: plain #defines only.
#pragma once

// Menu of the main window; its item texts are string IDs that the program localises.
#define IDR_MAINMENU 105

// Program icon (16 to 256 pixels).
#define IDI_TESSALY 108

// Update dialog banner.
#define IDB_UPDATEBANNER 103

// Toolbar, 32 x 32, white is transparent.
#define IDB_TOOLBAR_PAUSE_DISABLED 109
#define IDB_TOOLBAR_FAQ 110
#define IDB_TOOLBAR_HELP 111
#define IDB_TOOLBAR_PAUSE 112
#define IDB_TOOLBAR_PRINT 113
#define IDB_TOOLBAR_SAVE 114
#define IDB_TOOLBAR_DELETE 115
#define IDB_TOOLBAR_RESCAN 116
#define IDB_TOOLBAR_RESCAN_DISABLED 117
#define IDB_TOOLBAR_STOP 118
#define IDB_TOOLBAR_STOP_DISABLED 119

// Topic panel of the main menu: 48 x 48 button pictures (white is transparent) and the logo.
#define IDB_TOPIC_P2P 120
#define IDB_TOPIC_MEDIA 125
#define IDB_TOPIC_SHARED 126
#define IDB_TOPIC_LOGO 127
#define IDB_TOPIC_FAQ 128

// Left panel view buttons, 40 x 40, white is transparent.
#define IDB_LEFT_P2P 121
#define IDB_LEFT_MEDIA 122
#define IDB_LEFT_SHARED 123
#define IDB_LEFT_MAINMENU 124
#define IDB_LEFT_MAINMENU_DISABLED 131
#define IDB_LEFT_SHARED_DISABLED 133
#define IDB_LEFT_MEDIA_DISABLED 134
#define IDB_LEFT_P2P_DISABLED 135

// Login, licence and security dialog banner (also carried by Tessres.dll).
#define IDB_SETUPBANNER 140

// Scan progress animation (resource type "AVI"), 80 x 50, uncompressed, no sound.
#define IDA_PROGRESS 145

// Menu commands.
#define IDM_SAVERESULT 1023
#define IDM_PRINTRESULT 1024
#define IDM_CLOSEANDRUN 1025
#define IDM_EXIT 1026
#define IDM_STARTSCAN 1027
#define IDM_STOPSCAN 1028
#define IDM_PAUSESCAN 1029
#define IDM_SELECTALL 1030
#define IDM_UNSELECTALL 1031
#define IDM_DELETESELECTED 1032
#define IDM_FILESHARINGSOFTWAREWINDOW 1033
#define IDM_ALLFILESINSHAREDFOLDERSWINDOW 1034
#define IDM_MUSICVIDEOIMAGEFILESWINDOW 1035
#define IDM_MAINMENUWINDOW 1036
#define IDM_OPTIONS 1037
#define IDM_CHECKFORUPDATES 1038
#define IDM_INTRODUCTION 1039
#define IDM_TSYUSERGUIDE 1040
#define IDM_FAQS 1041
#define IDM_LICENSEAGREEMENT 1042
#define IDM_ABOUT 1043
