#include "ModelRenderer.h"

#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "ViewImage.h"

const float kViewBackground[3] = {0.20f, 0.22f, 0.25f};

namespace {

// The most pixels a cell of a coarser copy may cover where the model comes
// nearest: in a still view less than the eye can tell from the model itself,
// while the camera moves a few, so frames keep up with the mouse.
constexpr float kStillCellPixels = 1.0f;
constexpr float kMovingCellPixels = 8.0f;

unsigned Buffer(GLenum target, const void* data, std::size_t bytes) {
  unsigned buffer = 0;
  glGenBuffers(1, &buffer);
  glBindBuffer(target, buffer);
  glBufferData(target, static_cast<GLsizeiptr>(bytes), data, GL_STATIC_DRAW);
  return buffer;
}

// 16-bit and float images keep their precision on the card; only the
// framebuffer's 8 bits round them, when they are drawn.
unsigned Texture(const ViewImage& image) {
  unsigned texture = 0;
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  GLint format = GL_RGBA8;
  GLenum type = GL_UNSIGNED_BYTE;
  if (image.sample == ViewSample::Short) {
    format = GL_RGBA16;
    type = GL_UNSIGNED_SHORT;
  } else if (image.sample == ViewSample::Float) {
    format = GL_RGBA32F;
    type = GL_FLOAT;
  }
  glTexImage2D(GL_TEXTURE_2D, 0, format, image.width, image.height, 0, GL_RGBA, type, image.pixels.data());
  glGenerateMipmap(GL_TEXTURE_2D);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
  return texture;
}

}  // namespace

ModelRenderer::~ModelRenderer() = default;

bool ModelRenderer::Initialise(std::string& problem) {
  if (!ready_) ready_ = programs_.Check(problem);
  return ready_;
}

void ModelRenderer::ReleaseModel() {
  for (unsigned* buffer : {&positionBuffer_, &normalBuffer_, &tangentBuffer_, &colourBuffer_, &indexBuffer_}) {
    if (*buffer) glDeleteBuffers(1, buffer);
    *buffer = 0;
  }
  for (Level& level : levels_) glDeleteBuffers(1, &level.indexBuffer);
  levels_.clear();
  if (!uvBuffers_.empty()) glDeleteBuffers(static_cast<GLsizei>(uvBuffers_.size()), uvBuffers_.data());
  if (!textures_.empty()) glDeleteTextures(static_cast<GLsizei>(textures_.size()), textures_.data());
  uvBuffers_.clear();
  textures_.clear();
  batches_.clear();
  bounds_ = ViewBounds();
}

void ModelRenderer::ReleaseGl() {
  ReleaseModel();
  programs_.Release();
  ready_ = false;
}

void ModelRenderer::Upload(const ViewMesh& mesh, std::vector<std::string>& problems) {
  ReleaseModel();
  bounds_ = mesh.bounds;
  if (mesh.indices.empty()) return;
  positionBuffer_ = Buffer(GL_ARRAY_BUFFER, mesh.positions.data(), mesh.positions.size() * sizeof(float));
  normalBuffer_ = Buffer(GL_ARRAY_BUFFER, mesh.normals.data(), mesh.normals.size());
  colourBuffer_ = Buffer(GL_ARRAY_BUFFER, mesh.colours.data(), mesh.colours.size());
  if (!mesh.tangents.empty()) tangentBuffer_ = Buffer(GL_ARRAY_BUFFER, mesh.tangents.data(), mesh.tangents.size());
  for (const std::vector<float>& set : mesh.uvSets)
    uvBuffers_.push_back(Buffer(GL_ARRAY_BUFFER, set.data(), set.size() * sizeof(float)));
  indexBuffer_ = Buffer(GL_ELEMENT_ARRAY_BUFFER, mesh.indices.data(), mesh.indices.size() * sizeof(std::uint32_t));
  for (const ViewLevel& level : mesh.levels)
    levels_.push_back(
        {level.cellSize, level.batchFirst,
         Buffer(GL_ELEMENT_ARRAY_BUFFER, level.indices.data(), level.indices.size() * sizeof(std::uint32_t))});
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);

  GLint largest = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
  for (const std::string& file : mesh.images) {
    ViewImage image;
    std::string why;
    const bool loaded = LoadViewImage(file, image, why);
    if (loaded && (image.width > largest || image.height > largest))
      why = "larger than this OpenGL's textures (" + std::to_string(largest) + " pixels a side)";
    if (!loaded || !why.empty()) {
      problems.push_back("cannot show image '" + file + "': " + why);
      image = MissingImageChecker();
    }
    textures_.push_back(Texture(image));
  }
  batches_ = mesh.batches;
}

void ModelRenderer::WarmUp(int width, int height) {
  if (!ready_ || HasModel()) return;
  ViewMesh square;
  const float corners[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
  for (const auto& corner : corners) {
    const float point[3] = {corner[0], corner[1], 0};
    square.positions.insert(square.positions.end(), point, point + 3);
    square.bounds.Add(point);
    square.normals.insert(square.normals.end(), {0, 0, 127, 0});
    square.colours.insert(square.colours.end(), {153, 153, 153, 255});
  }
  square.uvSets.emplace_back(&corners[0][0], &corners[0][0] + 8);
  // The same square twice: once with a colour map (as painted models are
  // drawn), once plain (as groups without paint are).
  square.indices = {0, 1, 2, 0, 2, 3, 0, 1, 2, 0, 2, 3};
  square.batches.resize(2);
  square.batches[0].image[VM_COLOR] = 0;
  square.batches[0].indexCount = 6;
  square.batches[1].firstIndex = 6;
  square.batches[1].indexCount = 6;
  std::vector<std::string> ignored;
  Upload(square, ignored);
  textures_.push_back(Texture(MissingImageChecker()));
  ViewCamera camera;
  camera.Look(ViewDirection::Iso);
  camera.Frame(bounds_, static_cast<float>(width) / static_cast<float>(std::max(height, 1)));
  for (bool moving : {false, true}) Draw(camera, width, height, moving);
  glFinish();
  ReleaseModel();
}

void ModelRenderer::Draw(const ViewCamera& camera, int width, int height, bool moving) {
  glViewport(0, 0, width, height);
  glClearColor(kViewBackground[0], kViewBackground[1], kViewBackground[2], 1.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  if (!ready_ || batches_.empty() || width <= 0 || height <= 0) return;
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LESS);
  glDisable(GL_CULL_FACE);
  // Smooths edges where the framebuffer has samples; frames drawn while the
  // camera moves go without, to keep up with the mouse.
  if (moving)
    glDisable(GL_MULTISAMPLE);
  else
    glEnable(GL_MULTISAMPLE);
  const ViewMatrix modelView = camera.ModelView();
  const ViewMatrix projection = camera.Projection(static_cast<float>(width) / static_cast<float>(height));

  // Normals and colours keep four bytes per vertex, so each vertex starts aligned.
  auto attribute = [](unsigned location, unsigned buffer, int size, GLenum type, int stride) {
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glEnableVertexAttribArray(location);
    glVertexAttribPointer(location, size, type, type == GL_FLOAT ? GL_FALSE : GL_TRUE, stride, nullptr);
  };
  attribute(VA_POSITION, positionBuffer_, 3, GL_FLOAT, 0);
  attribute(VA_NORMAL, normalBuffer_, 3, GL_BYTE, 4);
  attribute(VA_COLOUR, colourBuffer_, 3, GL_UNSIGNED_BYTE, 4);
  if (tangentBuffer_) {
    attribute(VA_TANGENT, tangentBuffer_, 4, GL_BYTE, 4);
  } else {
    glDisableVertexAttribArray(VA_TANGENT);
    glVertexAttrib4f(VA_TANGENT, 1, 0, 0, 1);
  }
  const Level* level = nullptr;
  const float unitPixels = camera.MostPixelsPerUnit(bounds_, width, height);
  for (const Level& coarser : levels_)
    if (coarser.cellSize * unitPixels <= (moving ? kMovingCellPixels : kStillCellPixels)) level = &coarser;
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, level ? level->indexBuffer : indexBuffer_);

  const unsigned uvLocation[VM_COUNT] = {VA_UV_COLOUR, VA_UV_NORMAL, VA_UV_SPECULAR, VA_UV_DISPLACEMENT};
  const ViewProgram* current = nullptr;
  for (std::size_t b = 0; b < batches_.size(); ++b) {
    const ViewBatch& batch = batches_[b];
    const ViewProgram* program = programs_.For(shading_, batch);
    if (!program) continue;
    if (program != current) {
      current = program;
      glUseProgram(program->id);
      glUniformMatrix4fv(program->modelView, 1, GL_FALSE, modelView.data());
      glUniformMatrix4fv(program->projection, 1, GL_FALSE, projection.data());
    }
    for (int map = 0; map < VM_COUNT; ++map) {
      const bool has = batch.image[map] >= 0;
      glActiveTexture(GL_TEXTURE0 + static_cast<unsigned>(map));
      glBindTexture(GL_TEXTURE_2D, has ? textures_[static_cast<std::size_t>(batch.image[map])] : 0);
      if (has)
        attribute(uvLocation[map], uvBuffers_[static_cast<std::size_t>(batch.uvSet[map])], 2, GL_FLOAT, 0);
      else
        glDisableVertexAttribArray(uvLocation[map]);
    }
    const std::uint32_t first = level ? level->batchFirst[b] : batch.firstIndex;
    const std::uint32_t count = level ? level->batchFirst[b + 1] - first : batch.indexCount;
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(count), GL_UNSIGNED_INT,
                   reinterpret_cast<const void*>(static_cast<std::uintptr_t>(first) * 4));
  }
  for (unsigned location = 0; location < VA_COUNT; ++location) glDisableVertexAttribArray(location);
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
  glActiveTexture(GL_TEXTURE0);
  glUseProgram(0);
}
