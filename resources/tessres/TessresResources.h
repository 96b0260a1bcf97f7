// Resource IDs of Tessres.dll (Tessres.rc). Read by windres and by C++ alike: plain #defines only.
#pragma once

// The language XML (UTF-16), resource type "XMLLanguage". windres keeps named types as written and
// Windows looks named types up in upper case, so the script spells the type XMLLANGUAGE.
#define IDR_LANGUAGEXML 1

// Login, licence and security dialog banner.
#define IDB_SETUPBANNER 140
