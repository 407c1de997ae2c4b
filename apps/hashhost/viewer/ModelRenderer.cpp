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

enum Attribute {
  A_POSITION,
  A_NORMAL,
  A_TANGENT,
  A_COLOUR,
  A_UV_COLOUR,
  A_UV_NORMAL,
  A_UV_SPECULAR,
  A_UV_DISPLACEMENT
};

const char* const kVertexShader = R"(#version 120
attribute vec3 aPosition;
attribute vec3 aNormal;
attribute vec4 aTangent;
attribute vec3 aColour;
attribute vec2 aUvColour;
attribute vec2 aUvNormal;
attribute vec2 aUvSpecular;
attribute vec2 aUvDisplacement;
uniform mat4 uModelView;
uniform mat4 uProjection;
varying vec3 vEye;
varying vec3 vNormal;
varying vec4 vTangent;
varying vec3 vColour;
varying vec2 vUvColour;
varying vec2 vUvNormal;
varying vec2 vUvSpecular;
varying vec2 vUvDisplacement;
void main() {
  vec4 eye = uModelView * vec4(aPosition, 1.0);
  vEye = eye.xyz;
  vNormal = mat3(uModelView) * aNormal;
  vTangent = vec4(mat3(uModelView) * aTangent.xyz, aTangent.w);
  vColour = aColour;
  // The host's v runs down the image, as the texture's rows do from its top.
  vUvColour = aUvColour;
  vUvNormal = aUvNormal;
  vUvSpecular = aUvSpecular;
  vUvDisplacement = aUvDisplacement;
  gl_Position = uProjection * eye;
}
)";

// Shading 0 paint, 1 lit, 2 normal, 3 specular, 4 displacement (ViewShading).
// Lit: a key light above and to the left of the eye and a soft fill from the
// right, weighed so that a surface never gets more light than its own colour;
// the highlight brightens the colour itself (keeping its hue) and at most half
// way to full, so no colour below full brightness becomes white.
const char* const kFragmentShader = R"(#version 120
uniform sampler2D uColourMap;
uniform sampler2D uNormalMap;
uniform sampler2D uSpecularMap;
uniform sampler2D uDisplacementMap;
uniform bool uHasColour;
uniform bool uHasNormal;
uniform bool uHasSpecular;
uniform bool uHasDisplacement;
uniform int uShading;
varying vec3 vEye;
varying vec3 vNormal;
varying vec4 vTangent;
varying vec3 vColour;
varying vec2 vUvColour;
varying vec2 vUvNormal;
varying vec2 vUvSpecular;
varying vec2 vUvDisplacement;
const vec3 kKey = vec3(-0.45, 0.55, 0.70);
const vec3 kFill = vec3(0.50, -0.20, 0.85);
const float kAmbient = 0.28;
const float kKeyWeight = 0.62;
const float kFillWeight = 0.22;
const float kHighlight = 0.35;
const vec3 kPlainGrey = vec3(0.6);

vec3 Lit(vec3 base, vec3 n, vec3 toEye, float shine) {
  vec3 key = normalize(kKey);
  float light = kAmbient + kKeyWeight * max(dot(n, key), 0.0) + kFillWeight * max(dot(n, normalize(kFill)), 0.0);
  float highlight = pow(max(dot(n, normalize(key + toEye)), 0.0), 32.0) * kHighlight * shine;
  float brightest = max(base.r, max(base.g, base.b));
  float most = brightest > 0.0 ? (brightest + 0.5 * (1.0 - brightest)) / brightest : 1.0;
  return base * min(light + highlight * brightest, most);
}

void main() {
  if (uShading == 0) {
    gl_FragColor = vec4(uHasColour ? texture2D(uColourMap, vUvColour).rgb : vColour, 1.0);
    return;
  }
  vec3 toEye = normalize(-vEye);
  vec3 n = normalize(vNormal);
  // Patches are lit from whichever side the eye sees.
  float facing = dot(n, toEye) < 0.0 ? -1.0 : 1.0;
  n *= facing;
  if (uShading == 2 && uHasNormal) {
    gl_FragColor = vec4(texture2D(uNormalMap, vUvNormal).rgb, 1.0);
  } else if (uShading == 3 && uHasSpecular) {
    gl_FragColor = vec4(texture2D(uSpecularMap, vUvSpecular).rgb, 1.0);
  } else if (uShading == 4 && uHasDisplacement) {
    gl_FragColor = vec4(clamp(texture2D(uDisplacementMap, vUvDisplacement).rgb, 0.0, 1.0), 1.0);
  } else if (uShading != 1) {
    gl_FragColor = vec4(Lit(kPlainGrey, n, toEye, 0.0), 1.0);
  } else {
    if (uHasNormal) {
      vec3 t = vTangent.xyz * facing;
      t = normalize(t - n * dot(n, t));
      // Green leans along growing v, down the image, as the host's UVs run.
      vec3 b = cross(n, t) * vTangent.w;
      vec3 m = texture2D(uNormalMap, vUvNormal).xyz * 2.0 - 1.0;
      n = normalize(t * m.x + b * m.y + n * m.z);
    }
    vec3 base = uHasColour ? texture2D(uColourMap, vUvColour).rgb : vColour;
    float shine = uHasSpecular ? 2.0 * texture2D(uSpecularMap, vUvSpecular).r : 1.0;
    gl_FragColor = vec4(Lit(base, n, toEye, shine), 1.0);
  }
}
)";

bool Compile(unsigned shader, const char* source, std::string& problem) {
  glShaderSource(shader, 1, &source, nullptr);
  glCompileShader(shader);
  GLint ok = 0;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
  if (ok) return true;
  char log[1024] = {};
  glGetShaderInfoLog(shader, sizeof log, nullptr, log);
  problem = std::string("the view's shader does not compile: ") + log;
  return false;
}

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

bool AtLeastGl21() {
  const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
  int major = 0, minor = 0;
  return version && std::sscanf(version, "%d.%d", &major, &minor) == 2 && (major > 2 || (major == 2 && minor >= 1));
}

}  // namespace

ModelRenderer::~ModelRenderer() = default;

bool ModelRenderer::Initialise(std::string& problem) {
  if (program_) return true;
  if (!AtLeastGl21()) {
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    problem = std::string("the view needs OpenGL 2.1, this context has ") + (version ? version : "none");
    return false;
  }
  const unsigned vertex = glCreateShader(GL_VERTEX_SHADER);
  const unsigned fragment = glCreateShader(GL_FRAGMENT_SHADER);
  const bool compiled = Compile(vertex, kVertexShader, problem) && Compile(fragment, kFragmentShader, problem);
  unsigned program = compiled ? glCreateProgram() : 0;
  if (program) {
    glAttachShader(program, vertex);
    glAttachShader(program, fragment);
    const char* names[] = {"aPosition", "aNormal",   "aTangent",    "aColour",
                           "aUvColour", "aUvNormal", "aUvSpecular", "aUvDisplacement"};
    for (unsigned i = 0; i < sizeof names / sizeof names[0]; ++i) glBindAttribLocation(program, i, names[i]);
    glLinkProgram(program);
    GLint ok = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &ok);
    if (!ok) {
      char log[1024] = {};
      glGetProgramInfoLog(program, sizeof log, nullptr, log);
      problem = std::string("the view's shaders do not link: ") + log;
      glDeleteProgram(program);
      program = 0;
    }
  }
  glDeleteShader(vertex);
  glDeleteShader(fragment);
  program_ = program;
  return program_ != 0;
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
  if (program_) glDeleteProgram(program_);
  program_ = 0;
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
  if (!program_ || HasModel()) return;
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
  if (!program_ || batches_.empty() || width <= 0 || height <= 0) return;
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LESS);
  glDisable(GL_CULL_FACE);
  // Smooths edges where the framebuffer has samples; frames drawn while the
  // camera moves go without, to keep up with the mouse.
  if (moving)
    glDisable(GL_MULTISAMPLE);
  else
    glEnable(GL_MULTISAMPLE);
  glUseProgram(program_);
  const ViewMatrix modelView = camera.ModelView();
  const ViewMatrix projection = camera.Projection(static_cast<float>(width) / static_cast<float>(height));
  glUniformMatrix4fv(glGetUniformLocation(program_, "uModelView"), 1, GL_FALSE, modelView.data());
  glUniformMatrix4fv(glGetUniformLocation(program_, "uProjection"), 1, GL_FALSE, projection.data());
  glUniform1i(glGetUniformLocation(program_, "uColourMap"), 0);
  glUniform1i(glGetUniformLocation(program_, "uNormalMap"), 1);
  glUniform1i(glGetUniformLocation(program_, "uSpecularMap"), 2);
  glUniform1i(glGetUniformLocation(program_, "uDisplacementMap"), 3);
  glUniform1i(glGetUniformLocation(program_, "uShading"), static_cast<int>(shading_));
  const GLint hasMap[VM_COUNT] = {
      glGetUniformLocation(program_, "uHasColour"), glGetUniformLocation(program_, "uHasNormal"),
      glGetUniformLocation(program_, "uHasSpecular"), glGetUniformLocation(program_, "uHasDisplacement")};

  // Normals and colours keep four bytes per vertex, so each vertex starts aligned.
  auto attribute = [](unsigned location, unsigned buffer, int size, GLenum type, int stride) {
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glEnableVertexAttribArray(location);
    glVertexAttribPointer(location, size, type, type == GL_FLOAT ? GL_FALSE : GL_TRUE, stride, nullptr);
  };
  attribute(A_POSITION, positionBuffer_, 3, GL_FLOAT, 0);
  attribute(A_NORMAL, normalBuffer_, 3, GL_BYTE, 4);
  attribute(A_COLOUR, colourBuffer_, 3, GL_UNSIGNED_BYTE, 4);
  if (tangentBuffer_) {
    attribute(A_TANGENT, tangentBuffer_, 4, GL_BYTE, 4);
  } else {
    glDisableVertexAttribArray(A_TANGENT);
    glVertexAttrib4f(A_TANGENT, 1, 0, 0, 1);
  }
  const Level* level = nullptr;
  const float unitPixels = camera.MostPixelsPerUnit(bounds_, width, height);
  for (const Level& coarser : levels_)
    if (coarser.cellSize * unitPixels <= (moving ? kMovingCellPixels : kStillCellPixels)) level = &coarser;
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, level ? level->indexBuffer : indexBuffer_);

  const unsigned uvLocation[VM_COUNT] = {A_UV_COLOUR, A_UV_NORMAL, A_UV_SPECULAR, A_UV_DISPLACEMENT};
  for (std::size_t b = 0; b < batches_.size(); ++b) {
    const ViewBatch& batch = batches_[b];
    for (int map = 0; map < VM_COUNT; ++map) {
      const bool has = batch.image[map] >= 0;
      glUniform1i(hasMap[map], has ? 1 : 0);
      glActiveTexture(GL_TEXTURE0 + static_cast<unsigned>(map));
      glBindTexture(GL_TEXTURE_2D, has ? textures_[static_cast<std::size_t>(batch.image[map])] : 0);
      if (has) {
        attribute(uvLocation[map], uvBuffers_[static_cast<std::size_t>(batch.uvSet[map])], 2, GL_FLOAT, 0);
      } else {
        glDisableVertexAttribArray(uvLocation[map]);
        glVertexAttrib2f(uvLocation[map], 0, 0);
      }
    }
    const std::uint32_t first = level ? level->batchFirst[b] : batch.firstIndex;
    const std::uint32_t count = level ? level->batchFirst[b + 1] - first : batch.indexCount;
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(count), GL_UNSIGNED_INT,
                   reinterpret_cast<const void*>(static_cast<std::uintptr_t>(first) * 4));
  }
  for (unsigned location = A_POSITION; location <= A_UV_DISPLACEMENT; ++location) glDisableVertexAttribArray(location);
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
  glActiveTexture(GL_TEXTURE0);
  glUseProgram(0);
}
