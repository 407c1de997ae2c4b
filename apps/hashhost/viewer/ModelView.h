#pragma once

#include <FL/Fl_Gl_Window.H>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "ModelRenderer.h"
#include "ViewCamera.h"
#include "ViewShading.h"

class Fl_Menu_Bar;
class HModelCache;
struct ViewMesh;

// The window's 3D view of one model. It never keeps a pointer to the model:
// every tick it asks `source` for the model to show and compares a
// fingerprint, so a model the receive replaced or deleted is never touched,
// and the new one shows within a tick with the camera kept. Left drag orbits,
// middle drag (or Shift + left) pans, the wheel zooms, F frames the model,
// 1, 3 and 7 look from the front, the right side and the top; P, L, N, S and
// D (and the View menu) choose the shading: paint, lit, the normal, specular
// or displacement map.
class ModelView : public Fl_Gl_Window {
public:
  using ModelSource = std::function<HModelCache*()>;
  using Reporter = std::function<void(const std::string& line)>;

  ModelView(int x, int y, int w, int h);
  ~ModelView() override;

  void SetModelSource(ModelSource source) { source_ = std::move(source); }
  // Where lines about images that cannot be shown go.
  void SetReporter(Reporter reporter) { reporter_ = std::move(reporter); }
  // Looks at the source now instead of at the next tick.
  void Follow();

  int handle(int event) override;
  void hide() override;

  // While the camera moves (a drag, the wheel), a large model is drawn
  // coarsely so frames keep up; the full model comes back when it stops.
  void SetMoving(bool moving);

  void SetShading(ViewShading shading);
  ViewShading Shading() const { return renderer_.Shading(); }
  // Adds the View menu with the shading modes to the window's menu bar.
  void AddViewMenu(Fl_Menu_Bar& menu);

  // Frames drawn so far, for measuring.
  long long FramesDrawn() const { return framesDrawn_; }

protected:
  void draw() override;

private:
  static void Tick(void* self);
  static void StopMoving(void* self);
  static const ViewShading* ShadingOfKey(int key);

  ModelSource source_;
  Reporter reporter_;
  Fl_Menu_Bar* menu_ = nullptr;  // where the View menu is, to show the shading chosen by key
  ModelRenderer renderer_;
  ViewCamera camera_;
  std::unique_ptr<ViewMesh> pending_;  // built at a tick, uploaded at the next draw
  std::uint64_t fingerprint_ = 0;
  bool showing_ = false;  // whether a model is shown
  bool framed_ = false;   // the camera was framed on a model once
  bool glReady_ = false;
  bool glFailed_ = false;
  bool moving_ = false;
  int lastX_ = 0, lastY_ = 0;
  long long framesDrawn_ = 0;
};
