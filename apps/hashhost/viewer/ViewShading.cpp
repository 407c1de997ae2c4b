#include "ViewShading.h"

namespace {

constexpr struct {
  const char* word;
  ViewShading shading;
} kShadingWords[] = {{"paint", ViewShading::Paint},
                     {"lit", ViewShading::Lit},
                     {"normal", ViewShading::Normal},
                     {"specular", ViewShading::Specular},
                     {"displacement", ViewShading::Displacement}};

}  // namespace

bool ParseViewShading(const std::string& word, ViewShading& shading) {
  for (const auto& entry : kShadingWords)
    if (word == entry.word) {
      shading = entry.shading;
      return true;
    }
  return false;
}

const char* ViewShadingWord(ViewShading shading) {
  for (const auto& entry : kShadingWords)
    if (entry.shading == shading) return entry.word;
  return "lit";
}
