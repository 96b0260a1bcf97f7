// The scenes registered by the *Scenes.cpp files.
#pragma once

#include "Scene.h"

#include <string>
#include <vector>

namespace tessaly::test {

struct NamedScene {
  std::string name;
  SceneFunction function;
};

std::vector<NamedScene>& RegisteredScenes();

}  // namespace tessaly::test
