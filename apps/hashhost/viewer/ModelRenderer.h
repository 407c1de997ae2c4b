#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ViewCamera.h"
#include "ViewMesh.h"
#include "ViewPrograms.h"
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

  // Checks that the shaders compile; false with the reason (an OpenGL older than 2.1).
  bool Initialise(std::string& problem);
  // Puts the mesh's arrays and images into GL buffers and textures once, so
  // frames only draw. An image that cannot be read gets a checker texture and
  // a line in `problems`.
  void Upload(const ViewMesh& mesh, std::vector<std::string>& problems);
  // A large model is drawn from its coarsest copy whose cells cover at most
  // a pixel where the model comes nearest the eye, so nothing drawn differs
  // visibly. `moving` allows cells of a few pixels and goes without
  // multisampling, for frames that must come quickly (while the camera moves).
  void Draw(const ViewCamera& camera, int width, int height, bool moving = false);
  // Software OpenGL compiles its pipeline at the first draw of each state,
  // which takes about half a second: drawing a small square, textured and
  // plain, when the view first shows spares the first model that wait. The
  // picture is left for the next Draw to clear.
  void WarmUp(int width, int height);
  void ReleaseGl();
  void SetShading(ViewShading shading) { shading_ = shading; }
  ViewShading Shading() const { return shading_; }

  bool HasModel() const { return !batches_.empty(); }
  const ViewBounds& Bounds() const { return bounds_; }

private:
  void ReleaseModel();

  // A coarser copy of the model, as the card holds it.
  struct Level {
    float cellSize = 0;
    std::vector<std::uint32_t> batchFirst;
    unsigned indexBuffer = 0;
  };

  ViewPrograms programs_;
  bool ready_ = false;  // the programs can run here
  unsigned positionBuffer_ = 0, normalBuffer_ = 0, tangentBuffer_ = 0, colourBuffer_ = 0, indexBuffer_ = 0;
  std::vector<Level> levels_;  // finest first
  std::vector<unsigned> uvBuffers_;
  std::vector<unsigned> textures_;  // by image index
  std::vector<ViewBatch> batches_;
  ViewBounds bounds_;
  ViewShading shading_ = ViewShading::Lit;
};

// The view's background, r g b 0 to 1.
extern const float kViewBackground[3];
