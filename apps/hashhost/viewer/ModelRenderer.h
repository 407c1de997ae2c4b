#pragma once

#include <string>
#include <vector>

#include "ViewCamera.h"
#include "ViewMesh.h"
#include "ViewShading.h"

// Draws a ViewMesh with OpenGL 2.1 shaders (Mesa renders them in software
// where there is no GPU) in one of the ViewShading modes: colour maps as base
// colour, else the group's colour; when lit, normal maps bending the lighting
// along the patch's tangents and specular-intensity maps scaling the
// highlight. The same code draws the window's view and off-screen
// pictures: every call needs the caller's context current.
class ModelRenderer {
public:
  ModelRenderer() = default;
  ~ModelRenderer();  // forgets GL objects; ReleaseGl frees them while the context is current
  ModelRenderer(const ModelRenderer&) = delete;
  ModelRenderer& operator=(const ModelRenderer&) = delete;

  // Compiles the shaders; false with the reason (an OpenGL older than 2.1).
  bool Initialise(std::string& problem);
  // Puts the mesh's arrays and images into GL buffers and textures once, so
  // frames only draw. An image that cannot be read gets a checker texture and
  // a line in `problems`.
  void Upload(const ViewMesh& mesh, std::vector<std::string>& problems);
  // `coarse` draws the coarse copy of a large model, when it has one, and
  // without multisampling, for frames that must come quickly (while the
  // camera moves).
  void Draw(const ViewCamera& camera, int width, int height, bool coarse = false);
  void ReleaseGl();
  void SetShading(ViewShading shading) { shading_ = shading; }
  ViewShading Shading() const { return shading_; }

  bool HasModel() const { return !batches_.empty(); }
  const ViewBounds& Bounds() const { return bounds_; }

private:
  void ReleaseModel();

  unsigned program_ = 0;
  unsigned positionBuffer_ = 0, normalBuffer_ = 0, tangentBuffer_ = 0, colourBuffer_ = 0, indexBuffer_ = 0,
           coarseIndexBuffer_ = 0;
  std::vector<unsigned> uvBuffers_;
  std::vector<unsigned> textures_;  // by image index
  std::vector<ViewBatch> batches_;
  ViewBounds bounds_;
  ViewShading shading_ = ViewShading::Lit;
};

// The view's background, r g b 0 to 1.
extern const float kViewBackground[3];
