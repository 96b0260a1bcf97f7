#include "ScanReport.h"

#include "JsonText.h"
#include "PathOrder.h"
#include "TextList.h"

#include <algorithm>

namespace tessaly {
namespace {

const std::wstring kRule(65, L'=');

std::vector<ScanFile*> Files(MvLinkedList& list) {
  std::vector<ScanFile*> files;
  for (const MvListEntry& e : list) {
    if (e.value) files.push_back(static_cast<ScanFile*>(e.value));
  }
  return files;
}

// The path of a file as its folder's path and its name: sorting compares the two parts in
// place instead of building every path again for every comparison.
struct PathParts {
  std::wstring_view folder;
  std::wstring_view name;
  ScanFile* file;
};

bool PathLess(const PathParts& a, const PathParts& b) {
  return ComparePaths(a.folder, a.name, b.folder, b.name) < 0;
}

void SortByPath(std::vector<ScanFile*>& files) {
  std::vector<PathParts> keyed;
  keyed.reserve(files.size());
  for (ScanFile* file : files) {
    if (file->folder) {
      keyed.push_back({file->folder->FullPath(), file->name, file});
    } else {
      keyed.push_back({file->FilePath(), {}, file});  // "{Failed to get path}", cached in the record
    }
  }
  std::sort(keyed.begin(), keyed.end(), PathLess);
  for (size_t i = 0; i < files.size(); ++i) files[i] = keyed[i].file;
}

// A name as printed: its visible form when the output is a terminal, else its exact text.
std::wstring Shown(const std::wstring& name, bool visible) { return visible ? TerminalText(name) : name; }

void AppendFiles(std::wstring& out, const std::wstring& indent, const std::vector<ScanFile*>& files, bool visible) {
  for (ScanFile* file : files) out += indent + Shown(file->FilePath(), visible) + L"\n";
}

}  // namespace

ScanReport BuildScanReport(ScanRun& run, const SharedFolderMappings* mappings) {
  ScanReport report;
  std::vector<ScanFile*> programs = Files(run.P2pFiles());
  SortByPath(programs);
  for (ScanFile* program : programs) {
    ProgramReport entry;
    entry.program = program;
    entry.signature = SignatureOf(*program);
    entry.blocked = IsBlocked(*program);
    std::wstring folders;
    if (mappings && entry.signature &&
        FindSharedFolders(*mappings, entry.signature->name, FullPath(program->folder), program->name, folders)) {
      entry.sharedFolders = SplitList(folders);
    }
    report.programs.push_back(std::move(entry));
  }
  const auto place = [&report](ScanFile* file, std::vector<ScanFile*> ProgramReport::*group,
                               std::vector<ScanFile*>* elsewhere) {
    ScanFile* owner = BelongingProgramOf(*file);
    for (ProgramReport& program : report.programs) {
      if (program.program == owner) {
        (program.*group).push_back(file);
        return;
      }
    }
    if (elsewhere) elsewhere->push_back(file);
  };
  for (ScanFile* file : Files(run.MusicFiles())) place(file, &ProgramReport::sharedMedia, &report.mediaElsewhere);
  for (ScanFile* file : Files(run.VideoFiles())) place(file, &ProgramReport::sharedMedia, &report.mediaElsewhere);
  for (ScanFile* file : Files(run.ImageFiles())) place(file, &ProgramReport::sharedImages, &report.imagesElsewhere);
  for (ScanFile* file : programs) place(file, &ProgramReport::sharedOther, nullptr);
  for (ProgramReport& program : report.programs) {
    SortByPath(program.sharedMedia);
    SortByPath(program.sharedImages);
    SortByPath(program.sharedOther);
  }
  SortByPath(report.mediaElsewhere);
  SortByPath(report.imagesElsewhere);
  return report;
}

std::wstring FormatSummary(ScanRun& run, const ScanReport& report, const TextLookup& text, bool listAll,
                           bool visibleNames) {
  const bool v = visibleNames;
  std::wstring out;
  out += text(L"IDS_PROGRAMTITLE") + L"\n" + kRule + L"\n";
  out += text(L"IDS_FILESHARINGSOFTWARE") + L": " + std::to_wstring(report.programs.size()) + L"\n";
  for (const ProgramReport& program : report.programs) {
    out += L"  " + Shown(program.program->name, v) + L" " + text(L"IDS_HASBEENIDENTIFIEDAS") + L" " +
           (program.signature ? program.signature->name : std::wstring()) + L" - " + text(L"IDS_AFILESHARINGSOFTWARE") +
           (program.blocked ? L" (" + text(L"IDS_SOFTWAREISBLOCKED") + L")" : std::wstring()) + L"\n";
    out += L"    " + text(L"IDS_FILEPATH") + L": " + Shown(FullPath(program.program->folder), v) + L"\n";
    out += L"    " + text(L"IDS_ALLFILESINSHAREDFOLDERS") + L": " + std::to_wstring(program.sharedFolders.size()) + L"\n";
    for (const std::wstring& folder : program.sharedFolders) out += L"      " + Shown(folder, v) + L"\n";
    out += L"    " + text(L"IDS_MUSICANDVIDEOFILES") + L": " + std::to_wstring(program.sharedMedia.size()) + L"\n";
    AppendFiles(out, L"      ", program.sharedMedia, v);
    out += L"    " + text(L"IDS_IMAGEFILES") + L": " + std::to_wstring(program.sharedImages.size()) + L"\n";
    AppendFiles(out, L"      ", program.sharedImages, v);
    out += L"    " + text(L"IDS_OTHERFILES") + L": " + std::to_wstring(program.sharedOther.size()) + L"\n";
    AppendFiles(out, L"      ", program.sharedOther, v);
  }
  out += kRule + L"\n";
  out += text(L"IDS_MUSICANDVIDEOFILESINOTHERFOLDERS") + L": " + std::to_wstring(report.mediaElsewhere.size()) + L"\n";
  out += text(L"IDS_IMAGEFILESINOTHERFOLDERS") + L": " + std::to_wstring(report.imagesElsewhere.size()) + L"\n";
  out += text(L"IDS_NUMBEROFFILES") + L": " + std::to_wstring(run.FilesChecked()) + L"\n";
  if (listAll) {
    struct Group {
      const wchar_t* title;
      MvLinkedList* list;
    } groups[] = {
        {L"IDS_MUSICFILES", &run.MusicFiles()},
        {L"IDS_VIDEOFILES", &run.VideoFiles()},
        {L"IDS_IMAGEFILES", &run.ImageFiles()},
        {L"IDS_P2PAPPLICATIONS", &run.P2pFiles()},
    };
    for (const Group& group : groups) {
      std::vector<ScanFile*> files = Files(*group.list);
      SortByPath(files);
      out += kRule + L"\n" + text(group.title) + L": " + std::to_wstring(files.size()) + L"\n";
      AppendFiles(out, L"  ", files, v);
    }
  }
  return out;
}

std::string FormatJson(ScanRun& run, const ScanReport& report, const std::vector<std::wstring>& searchPaths,
                       const std::wstring& filter, bool completed) {
  std::vector<ScanFile*> music = Files(run.MusicFiles()), video = Files(run.VideoFiles()),
                         images = Files(run.ImageFiles()), programs = Files(run.P2pFiles());
  const auto paths = [](const std::vector<ScanFile*>& files) {
    std::string out = "[";
    for (size_t i = 0; i < files.size(); ++i) out += (i ? ", " : "") + JsonString(files[i]->FilePath());
    return out + "]";
  };
  std::string out = "{\n";
  out += "  \"format\": \"tessaly-scan-results\",\n  \"version\": 1,\n";
  out += std::string("  \"completed\": ") + (completed ? "true" : "false") + ",\n";
  out += "  \"searchPaths\": [";
  for (size_t i = 0; i < searchPaths.size(); ++i) out += (i ? ", " : "") + JsonString(searchPaths[i]);
  out += "],\n  \"filter\": " + JsonString(filter) + ",\n";
  out += "  \"counts\": {\"filesChecked\": " + std::to_string(run.FilesChecked()) +
         ", \"contentChecked\": " + std::to_string(run.FilesBinaryChecked()) +
         ", \"p2p\": " + std::to_string(run.P2pCount()) + ", \"music\": " + std::to_string(run.MusicCount()) +
         ", \"video\": " + std::to_string(run.VideoCount()) + ", \"images\": " + std::to_string(run.ImageCount()) +
         "},\n";
  out += "  \"p2pPrograms\": [";
  for (size_t i = 0; i < report.programs.size(); ++i) {
    const ProgramReport& program = report.programs[i];
    out += i ? ",\n    {" : "\n    {";
    out += "\"path\": " + JsonString(program.program->FilePath());
    out += ", \"signature\": " + JsonString(program.signature ? program.signature->name : std::wstring());
    out += std::string(", \"blocked\": ") + (program.blocked ? "true" : "false");
    out += ", \"sharedFolders\": [";
    for (size_t k = 0; k < program.sharedFolders.size(); ++k) out += (k ? ", " : "") + JsonString(program.sharedFolders[k]);
    out += "], \"sharedMedia\": " + paths(program.sharedMedia);
    out += ", \"sharedImages\": " + paths(program.sharedImages);
    out += ", \"sharedOther\": " + paths(program.sharedOther) + "}";
  }
  out += report.programs.empty() ? "],\n" : "\n  ],\n";
  out += "  \"files\": [";
  bool first = true;
  const std::pair<std::vector<ScanFile*>*, const wchar_t*> lists[] = {
      {&programs, L"p2p"}, {&music, L"music"}, {&video, L"video"}, {&images, L"image"}};
  for (const auto& [list, category] : lists) {
    for (ScanFile* file : *list) {
      ScanFile* owner = BelongingProgramOf(*file);
      out += first ? "\n    {" : ",\n    {";
      first = false;
      out += "\"path\": " + JsonString(file->FilePath());
      out += ", \"category\": " + JsonString(category);
      out += ", \"size\": " + std::to_string(file->size);
      out += ", \"sharedBy\": " + (owner ? JsonString(owner->FilePath()) : std::string("null")) + "}";
    }
  }
  out += first ? "]\n" : "\n  ]\n";
  out += "}\n";
  return out;
}

}  // namespace tessaly
