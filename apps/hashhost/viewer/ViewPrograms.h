#pragma once

#include <map>
#include <string>

#include "ViewMesh.h"
#include "ViewShading.h"

// The attribute locations every view program reads its arrays from.
enum ViewAttribute {
  VA_POSITION,
  VA_NORMAL,
  VA_TANGENT,
  VA_COLOUR,
  VA_UV_COLOUR,
  VA_UV_NORMAL,
  VA_UV_SPECULAR,
  VA_UV_DISPLACEMENT,
  VA_COUNT
};

// A linked program and where its matrices go. Its samplers read texture unit
// VM_COLOR for the colour map, VM_NORMAL for the normal map and so on.
struct ViewProgram {
  unsigned id = 0;
  int modelView = -1;
  int projection = -1;
};

// The view's shader programs, one for each shading mode and set of maps a
// batch has, compiled when first asked for. Software OpenGL shades every
// fragment of every tiny triangle, so a program computes and passes on only
// what its batches show: a million patches draw a third quicker than through
// one program that tests at each fragment which maps there are.
class ViewPrograms {
public:
  ViewPrograms() = default;
  ViewPrograms(const ViewPrograms&) = delete;
  ViewPrograms& operator=(const ViewPrograms&) = delete;

  // Whether the context can run the programs (OpenGL 2.1) and the simplest
  // of them compiles; false with the reason.
  bool Check(std::string& problem);
  // The program for a batch drawn in this shading; null when it does not
  // compile (said once, on standard error), and its batches are not drawn.
  const ViewProgram* For(ViewShading shading, const ViewBatch& batch);
  // Deletes the programs; the context must be current.
  void Release();

private:
  const ViewProgram* Compiled(ViewShading shading, unsigned maps, std::string& problem);

  std::map<unsigned, ViewProgram> programs_;  // by shading and maps
};
