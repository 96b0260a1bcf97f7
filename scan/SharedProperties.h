// The names on the shared property lists: the main window's list, which the scan run publishes
// its results on, and the property list of each file record. Readers use the typed getters
// instead of casting entry values themselves.
#pragma once

#include "MvLinkedList.h"

#include <cstdint>

namespace tessaly {

struct P2pSignature;
struct ScanFile;

namespace property {

// Main window: media settings as loaded (values: the token list, or the limit in mebibytes).
inline constexpr wchar_t kSoundExtensions[] = L"SupportedFileTypeExtensionsSound";
inline constexpr wchar_t kVideoExtensions[] = L"SupportedFileTypeExtensionsVideo";
inline constexpr wchar_t kImageExtensions[] = L"SupportedFileTypeExtensionsImage";
inline constexpr wchar_t kMinSoundSize[] = L"MinimumSoundFileSize";
inline constexpr wchar_t kMaxSoundSize[] = L"MaximumSoundFileSize";
inline constexpr wchar_t kMinVideoSize[] = L"MinimumVideoFileSize";
inline constexpr wchar_t kMaxVideoSize[] = L"MaximumVideoFileSize";
// Main window: shared objects.
inline constexpr wchar_t kSharedFolderMappings[] = L"SETTINGS_SHAREDFOLDERMAPPINGS";
inline constexpr wchar_t kUninstallerMappings[] = L"SETTINGS_UNINSTALLERMAPPINGS";
inline constexpr wchar_t kSignatureDatabase[] = L"PCBKDP.DAT";
inline constexpr wchar_t kThisComputer[] = L"THISCOMPUTER";
inline constexpr wchar_t kVolumeEnumerationCompleted[] = L"VolumeEnumerationCompleted";
inline constexpr wchar_t kMutexCode[] = L"MutexCode";

// Scan run, on the main window's list: the result lists (MvLinkedList of ScanFile) ...
inline constexpr wchar_t kP2pFileList[] = L"ScanP2pFileList";
inline constexpr wchar_t kMusicFileList[] = L"ScanMusicFileList";
inline constexpr wchar_t kVideoFileList[] = L"ScanVideoFileList";
inline constexpr wchar_t kImageFileList[] = L"ScanImageFileList";
// ... the counters (numbers) ...
inline constexpr wchar_t kAllFilesChecked[] = L"ScanAllFilesChecked";
inline constexpr wchar_t kAllFilesBinaryChecked[] = L"ScanAllFilesBinaryChecked";
inline constexpr wchar_t kP2pFilesFound[] = L"ScanP2pFilesFound";
inline constexpr wchar_t kMusicFilesFound[] = L"ScanMusicFilesFound";
inline constexpr wchar_t kVideoFilesFound[] = L"ScanVideoFilesFound";
inline constexpr wchar_t kImageFilesFound[] = L"ScanImageFilesFound";
// ... and the scan objects (MvScan*): the running one, null when none runs, and the last one.
inline constexpr wchar_t kCurrentScanProcess[] = L"CurrentScanProcess";
inline constexpr wchar_t kLastScanProcess[] = L"LastScanProcess";

// On a P2P program's record: its signature (P2pSignature*) and whether it is blocked (kTrue or
// kFalse); on a record in a shared folder: the program's record (ScanFile*).
inline constexpr wchar_t kP2pSignature[] = L"P2PSIGNATURE";
inline constexpr wchar_t kP2pBlocked[] = L"P2pBlocked";
inline constexpr wchar_t kBelongingP2pProgramFile[] = L"BelongingP2pProgramFile";
// On a file record chosen for deletion.
inline constexpr wchar_t kP2pDelete[] = L"P2pDelete";

}  // namespace property

// Sets a named property, replacing the value of an existing entry.
void SetProperty(MvLinkedList& properties, const wchar_t* name, void* value);

// Typed reads; a missing entry gives null, 0 or false.
MvLinkedList* ListProperty(const MvLinkedList& properties, const wchar_t* name);
uint32_t NumberProperty(const MvLinkedList& properties, const wchar_t* name);
bool BooleanProperty(const MvLinkedList& properties, const wchar_t* name);  // holds kTrue

// The signature a P2P program file was identified by.
const P2pSignature* SignatureOf(const ScanFile& file);
// The P2P program in whose shared folder the file lies.
ScanFile* BelongingProgramOf(const ScanFile& file);
// Whether the P2P program file is on the blocked list.
bool IsBlocked(const ScanFile& program);

}  // namespace tessaly
