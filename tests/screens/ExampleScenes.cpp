#include "Scene.h"
TESSALY_SCENE(example_message) {
  scene.ShootModal([] { MessageBoxW(nullptr, L"Hello", L"Example", MB_OK); }, L"example", {}, IDOK);
}
