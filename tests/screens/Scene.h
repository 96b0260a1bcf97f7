// Scenes for scripts/screenshots. A scene opens a window or dialog of the program in the chosen
// language, brings it into the state worth showing and photographs it; each *Scenes.cpp file
// registers its own with TESSALY_SCENE.
#pragma once

#include "StringTable.h"

#include <windows.h>

#include <functional>
#include <string>

namespace tessaly::test {

class Scene {
 public:
  Scene(std::wstring outFolder, std::wstring languageTag, StringTable& language);

  // The language table with the chosen language selected, and its tag in file names.
  StringTable& Language() const { return language_; }
  const std::wstring& LanguageTag() const { return languageTag_; }

  // Pumps this thread's messages for a moment so the window has painted, then writes
  // OUTFOLDER\NAME-LANGUAGE.bmp. Throws std::runtime_error when the picture cannot be taken.
  void Shoot(HWND window, const std::wstring& name) const;

  // For a modal dialog: runModal() runs on this thread (DialogBoxParamW, say); a helper thread
  // waits for the first visible dialog of this thread, calls prepare(dialog) there (SendMessage
  // to set it up, may be empty), lets it paint, photographs it and closes it with closeCommand.
  // Throws when no dialog appeared within ten seconds.
  void ShootModal(const std::function<void()>& runModal, const std::wstring& name,
                  const std::function<void(HWND)>& prepare = {}, int closeCommand = IDCANCEL) const;

 private:
  std::wstring outFolder_;
  std::wstring languageTag_;
  StringTable& language_;
};

using SceneFunction = void (*)(Scene&);

// Registers a scene at start-up; scenes run in the order of their names.
struct SceneRegistration {
  SceneRegistration(const char* name, SceneFunction function);
};

}  // namespace tessaly::test

#define TESSALY_SCENE(name)                                                                      \
  static void name(::tessaly::test::Scene&);                                                     \
  static const ::tessaly::test::SceneRegistration name##Registration(#name, name);               \
  static void name(::tessaly::test::Scene& scene)
