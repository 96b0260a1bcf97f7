// The licence-agreement dialog (template 139): the licence text in a rich-edit control, read from
// an RTF file piece by piece, with I Agree / I Disagree and Next. With the agreement options
// hidden it only shows the text, with OK, for reading the licence from the main window.
// The caller has loaded riched20.dll, whose control class the template names.
#pragma once

#include <windows.h>

#include <string>

namespace tessaly {

class StringTable;

struct LicenseDialogSetup {
  HINSTANCE instance = nullptr;  // holds template 139; null means the program's module
  StringTable* language = nullptr;
  std::wstring rtfFile;  // the RTF document shown
  bool hideAgreementOptions = false;
};

// Results of the dialog.
inline constexpr int kLicenseAgreed = 0;     // I Agree and Next
inline constexpr int kLicenseNotAgreed = 5;  // Next without agreeing; always when the options are hidden
inline constexpr int kLicenseClosed = 1602;  // closed, or ended without an answer
inline constexpr int kLicenseNotShown = -1;  // the dialog could not run (reported)

int RunLicenseDialog(const LicenseDialogSetup& setup, HWND owner);

// How the licence file is made: for the installation it is a temporary file that others may also
// write; from the main window an ordinary one.
enum class LicenseFileUse { Installation, Program };

// Writes the licence of the language's current language to setup.rtfFile, runs the dialog and
// deletes the file again. kLicenseNotShown when the file cannot be written (reported): a licence
// that cannot be shown is never taken as agreed.
int ShowLicenseAgreement(const LicenseDialogSetup& setup, HWND owner, LicenseFileUse use);

}  // namespace tessaly
