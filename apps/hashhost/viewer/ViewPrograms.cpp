#include "ViewPrograms.h"

#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>

#include <cstdio>

namespace {

// Each program is this source with a line of definitions after the version:
//   LIGHT           lit by the key and fill lights (needs the normal and eye)
//   VERTEX_COLOUR   the group's colour where there is no colour map
//   COLOUR_MAP, NORMAL_MAP, SPECULAR_MAP, DISPLACEMENT_MAP   the maps read
//   BEND            the normal map bends the lighting (needs the tangent)
//   SHOW            the one map read is shown as it is
//   GREY            a map view on a patch without that map: plain grey, lit
const char* const kVertexShader = R"(
attribute vec3 aPosition;
uniform mat4 uModelView;
uniform mat4 uProjection;
#ifdef LIGHT
attribute vec3 aNormal;
varying vec3 vEye;
varying vec3 vNormal;
#endif
#ifdef BEND
attribute vec4 aTangent;
varying vec4 vTangent;
#endif
#ifdef VERTEX_COLOUR
attribute vec3 aColour;
varying vec3 vColour;
#endif
#ifdef COLOUR_MAP
attribute vec2 aUvColour;
varying vec2 vUvColour;
#endif
#ifdef NORMAL_MAP
attribute vec2 aUvNormal;
varying vec2 vUvNormal;
#endif
#ifdef SPECULAR_MAP
attribute vec2 aUvSpecular;
varying vec2 vUvSpecular;
#endif
#ifdef DISPLACEMENT_MAP
attribute vec2 aUvDisplacement;
varying vec2 vUvDisplacement;
#endif
void main() {
  vec4 eye = uModelView * vec4(aPosition, 1.0);
#ifdef LIGHT
  vEye = eye.xyz;
  vNormal = mat3(uModelView) * aNormal;
#endif
#ifdef BEND
  vTangent = vec4(mat3(uModelView) * aTangent.xyz, aTangent.w);
#endif
#ifdef VERTEX_COLOUR
  vColour = aColour;
#endif
  // The host's v runs down the image, as the texture's rows do from its top.
#ifdef COLOUR_MAP
  vUvColour = aUvColour;
#endif
#ifdef NORMAL_MAP
  vUvNormal = aUvNormal;
#endif
#ifdef SPECULAR_MAP
  vUvSpecular = aUvSpecular;
#endif
#ifdef DISPLACEMENT_MAP
  vUvDisplacement = aUvDisplacement;
#endif
  gl_Position = uProjection * eye;
}
)";

// Lit: a key light above and to the left of the eye and a soft fill from the
// right, weighed so that a surface never gets more light than its own colour;
// the highlight brightens the colour itself (keeping its hue) and at most half
// way to full, so no colour below full brightness becomes white.
const char* const kFragmentShader = R"(
#ifdef LIGHT
varying vec3 vEye;
varying vec3 vNormal;
#endif
#ifdef BEND
varying vec4 vTangent;
#endif
#ifdef VERTEX_COLOUR
varying vec3 vColour;
#endif
#ifdef COLOUR_MAP
uniform sampler2D uColourMap;
varying vec2 vUvColour;
#endif
#ifdef NORMAL_MAP
uniform sampler2D uNormalMap;
varying vec2 vUvNormal;
#endif
#ifdef SPECULAR_MAP
uniform sampler2D uSpecularMap;
varying vec2 vUvSpecular;
#endif
#ifdef DISPLACEMENT_MAP
uniform sampler2D uDisplacementMap;
varying vec2 vUvDisplacement;
#endif

#ifdef LIGHT
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
#endif

void main() {
#if defined(SHOW) && defined(NORMAL_MAP)
  gl_FragColor = vec4(texture2D(uNormalMap, vUvNormal).rgb, 1.0);
#elif defined(SHOW) && defined(SPECULAR_MAP)
  gl_FragColor = vec4(texture2D(uSpecularMap, vUvSpecular).rgb, 1.0);
#elif defined(SHOW) && defined(DISPLACEMENT_MAP)
  gl_FragColor = vec4(clamp(texture2D(uDisplacementMap, vUvDisplacement).rgb, 0.0, 1.0), 1.0);
#else
#ifdef COLOUR_MAP
  vec3 base = texture2D(uColourMap, vUvColour).rgb;
#elif defined(VERTEX_COLOUR)
  vec3 base = vColour;
#else
  vec3 base = kPlainGrey;
#endif
#ifndef LIGHT
  gl_FragColor = vec4(base, 1.0);
#else
  vec3 toEye = normalize(-vEye);
  vec3 n = normalize(vNormal);
  // Patches are lit from whichever side the eye sees.
  float facing = dot(n, toEye) < 0.0 ? -1.0 : 1.0;
  n *= facing;
#ifdef BEND
  vec3 t = vTangent.xyz * facing;
  t = normalize(t - n * dot(n, t));
  // Green leans along growing v, down the image, as the host's UVs run.
  vec3 b = cross(n, t) * vTangent.w;
  vec3 m = texture2D(uNormalMap, vUvNormal).xyz * 2.0 - 1.0;
  n = normalize(t * m.x + b * m.y + n * m.z);
#endif
#ifdef GREY
  float shine = 0.0;
#elif defined(SPECULAR_MAP)
  float shine = 2.0 * texture2D(uSpecularMap, vUvSpecular).r;
#else
  float shine = 1.0;
#endif
  gl_FragColor = vec4(Lit(base, n, toEye, shine), 1.0);
#endif
#endif
}
)";

constexpr const char* kAttributeNames[VA_COUNT] = {"aPosition", "aNormal",   "aTangent",    "aColour",
                                                   "aUvColour", "aUvNormal", "aUvSpecular", "aUvDisplacement"};
constexpr const char* kSamplerNames[VM_COUNT] = {"uColourMap", "uNormalMap", "uSpecularMap", "uDisplacementMap"};

// The maps of a batch that a shading mode reads, one bit per ViewMap.
unsigned MapsRead(ViewShading shading, const ViewBatch& batch) {
  unsigned read = 0;
  switch (shading) {
    case ViewShading::Paint: read = 1u << VM_COLOR; break;
    case ViewShading::Lit: read = 1u << VM_COLOR | 1u << VM_NORMAL | 1u << VM_SPECULAR; break;
    case ViewShading::Normal: read = 1u << VM_NORMAL; break;
    case ViewShading::Specular: read = 1u << VM_SPECULAR; break;
    case ViewShading::Displacement: read = 1u << VM_DISPLACEMENT; break;
  }
  unsigned maps = 0;
  for (int map = 0; map < VM_COUNT; ++map)
    if (read & 1u << map && batch.image[map] >= 0) maps |= 1u << map;
  return maps;
}

std::string Definitions(ViewShading shading, unsigned maps) {
  std::string lines = "#version 120\n";
  auto define = [&lines](const char* name) { lines += std::string("#define ") + name + "\n"; };
  const char* mapNames[VM_COUNT] = {"COLOUR_MAP", "NORMAL_MAP", "SPECULAR_MAP", "DISPLACEMENT_MAP"};
  for (int map = 0; map < VM_COUNT; ++map)
    if (maps & 1u << map) define(mapNames[map]);
  if (shading == ViewShading::Paint || shading == ViewShading::Lit) {
    if (!(maps & 1u << VM_COLOR)) define("VERTEX_COLOUR");
    if (shading == ViewShading::Lit) define("LIGHT");
    if (shading == ViewShading::Lit && maps & 1u << VM_NORMAL) define("BEND");
  } else if (maps) {
    define("SHOW");
  } else {
    define("GREY");
    define("LIGHT");
  }
  return lines;
}

bool Compile(unsigned shader, const std::string& definitions, const char* body, std::string& problem) {
  const char* parts[] = {definitions.c_str(), body};
  glShaderSource(shader, 2, parts, nullptr);
  glCompileShader(shader);
  GLint ok = 0;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
  if (ok) return true;
  char log[1024] = {};
  glGetShaderInfoLog(shader, sizeof log, nullptr, log);
  problem = std::string("the view's shader does not compile: ") + log;
  return false;
}

bool AtLeastGl21() {
  const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
  int major = 0, minor = 0;
  return version && std::sscanf(version, "%d.%d", &major, &minor) == 2 && (major > 2 || (major == 2 && minor >= 1));
}

}  // namespace

bool ViewPrograms::Check(std::string& problem) {
  if (!AtLeastGl21()) {
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    problem = std::string("the view needs OpenGL 2.1, this context has ") + (version ? version : "none");
    return false;
  }
  // The most a program does: lit, bent by a normal map, highlights scaled by a specular map.
  return Compiled(ViewShading::Lit, 1u << VM_COLOR | 1u << VM_NORMAL | 1u << VM_SPECULAR, problem) != nullptr;
}

const ViewProgram* ViewPrograms::For(ViewShading shading, const ViewBatch& batch) {
  std::string problem;
  const ViewProgram* program = Compiled(shading, MapsRead(shading, batch), problem);
  // Said once: a program that failed is not tried again.
  if (!problem.empty()) std::fprintf(stderr, "hashhost: %s\n", problem.c_str());
  return program;
}

const ViewProgram* ViewPrograms::Compiled(ViewShading shading, unsigned maps, std::string& problem) {
  const unsigned key = static_cast<unsigned>(shading) << VM_COUNT | maps;
  if (auto found = programs_.find(key); found != programs_.end()) return found->second.id ? &found->second : nullptr;
  ViewProgram& program = programs_[key];  // a program that fails stays 0 and is not tried again
  const std::string definitions = Definitions(shading, maps);
  const unsigned vertex = glCreateShader(GL_VERTEX_SHADER);
  const unsigned fragment = glCreateShader(GL_FRAGMENT_SHADER);
  const bool compiled =
      Compile(vertex, definitions, kVertexShader, problem) && Compile(fragment, definitions, kFragmentShader, problem);
  unsigned id = compiled ? glCreateProgram() : 0;
  if (id) {
    glAttachShader(id, vertex);
    glAttachShader(id, fragment);
    for (unsigned i = 0; i < VA_COUNT; ++i) glBindAttribLocation(id, i, kAttributeNames[i]);
    glLinkProgram(id);
    GLint ok = 0;
    glGetProgramiv(id, GL_LINK_STATUS, &ok);
    if (!ok) {
      char log[1024] = {};
      glGetProgramInfoLog(id, sizeof log, nullptr, log);
      problem = std::string("the view's shaders do not link: ") + log;
      glDeleteProgram(id);
      id = 0;
    }
  }
  glDeleteShader(vertex);
  glDeleteShader(fragment);
  if (!id) return nullptr;
  program.id = id;
  program.modelView = glGetUniformLocation(id, "uModelView");
  program.projection = glGetUniformLocation(id, "uProjection");
  glUseProgram(id);
  for (int map = 0; map < VM_COUNT; ++map) glUniform1i(glGetUniformLocation(id, kSamplerNames[map]), map);
  glUseProgram(0);
  return &program;
}

void ViewPrograms::Release() {
  for (auto& [key, program] : programs_)
    if (program.id) glDeleteProgram(program.id);
  programs_.clear();
}
