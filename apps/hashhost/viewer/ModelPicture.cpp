#include "ModelPicture.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#include <stb_image_write.h>

#include <common/SafeReplace.h>

#include "ModelRenderer.h"
#include "OffscreenContext.h"
#include "ViewMesh.h"

bool DrawModelPicture(HModelCache& model, int width, int height, ViewDirection direction, ViewShading shading,
                      ModelPicture& picture, std::string& problem) {
  ViewMesh mesh;
  BuildViewMesh(model, mesh);
  OffscreenContext context;
  if (!context.Open(width, height, problem)) return false;
  ModelRenderer renderer;
  if (!renderer.Initialise(problem)) return false;
  picture.notes.clear();
  renderer.Upload(mesh, picture.notes);
  renderer.SetShading(shading);
  mesh = ViewMesh();  // the GL buffers hold it now
  ViewCamera camera;
  camera.Look(direction);
  camera.Frame(renderer.Bounds(), static_cast<float>(width) / static_cast<float>(height));
  renderer.Draw(camera, width, height);
  picture.width = width;
  picture.height = height;
  picture.rgb = context.ReadPixels();
  renderer.ReleaseGl();
  return true;
}

bool WritePicturePng(const ModelPicture& picture, const std::string& path, std::string& problem) {
  std::string png;
  auto append = [](void* target, void* data, int size) {
    static_cast<std::string*>(target)->append(static_cast<const char*>(data), static_cast<std::size_t>(size));
  };
  if (!stbi_write_png_to_func(append, &png, picture.width, picture.height, 3, picture.rgb.data(), picture.width * 3)) {
    problem = "cannot encode the picture as PNG";
    return false;
  }
  return safereplace::ReplaceFile(path, png, problem);
}
