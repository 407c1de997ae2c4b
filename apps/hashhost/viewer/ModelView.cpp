#include "ModelView.h"

#include <FL/Fl.H>
#include <FL/Fl_Menu_Bar.H>
#include <FL/fl_draw.H>

#include "ViewMesh.h"

namespace {

constexpr double kTickSeconds = 0.1;
// How long after the last wheel step the full model comes back.
constexpr double kWheelRestSeconds = 0.3;

// The shading modes as the View menu and the keys offer them.
constexpr struct {
  ViewShading shading;
  const char* label;
  int key;
} kShadingChoices[] = {{ViewShading::Paint, "View/Paint", 'p'},
                       {ViewShading::Lit, "View/Lit", 'l'},
                       {ViewShading::Normal, "View/Normal Map", 'n'},
                       {ViewShading::Specular, "View/Specular Map", 's'},
                       {ViewShading::Displacement, "View/Displacement Map", 'd'}};

}  // namespace

ModelView::ModelView(int x, int y, int w, int h) : Fl_Gl_Window(x, y, w, h) {
  // Multisampled where the display offers it, for smooth edges.
  const int plain = FL_RGB | FL_DOUBLE | FL_DEPTH;
  mode(can_do(plain | FL_MULTISAMPLE) ? plain | FL_MULTISAMPLE : plain);
  camera_.Look(ViewDirection::Iso);
  Fl::add_timeout(kTickSeconds, &ModelView::Tick, this);
}

ModelView::~ModelView() {
  Fl::remove_timeout(&ModelView::Tick, this);
  Fl::remove_timeout(&ModelView::StopMoving, this);
}

void ModelView::SetMoving(bool moving) {
  if (moving_ == moving) return;
  moving_ = moving;
  redraw();
}

void ModelView::StopMoving(void* self) { static_cast<ModelView*>(self)->SetMoving(false); }

void ModelView::Tick(void* self) {
  auto* view = static_cast<ModelView*>(self);
  view->Follow();
  Fl::repeat_timeout(kTickSeconds, &ModelView::Tick, self);
}

void ModelView::Follow() {
  HModelCache* model = source_ ? source_() : nullptr;
  if (!model) {
    if (showing_ || pending_) {
      showing_ = false;
      fingerprint_ = 0;
      pending_ = std::make_unique<ViewMesh>();
      redraw();
    }
    return;
  }
  const std::uint64_t fingerprint = ViewMeshFingerprint(*model);
  if (showing_ && fingerprint == fingerprint_) return;
  // The arrays are copied out now: the model may be gone by the next draw.
  auto mesh = std::make_unique<ViewMesh>();
  BuildViewMesh(*model, *mesh);
  pending_ = std::move(mesh);
  fingerprint_ = fingerprint;
  showing_ = true;
  redraw();
}

void ModelView::draw() {
  if (!glReady_ && !glFailed_) {
    std::string problem;
    glReady_ = renderer_.Initialise(problem);
    glFailed_ = !glReady_;
    if (glFailed_ && reporter_) reporter_(problem);
    if (glReady_) renderer_.WarmUp(pixel_w(), pixel_h());
  }
  if (glReady_ && pending_) {
    std::vector<std::string> problems;
    renderer_.Upload(*pending_, problems);
    pending_.reset();
    for (const std::string& problem : problems)
      if (reporter_) reporter_(problem);
    // The first model is framed; a later one keeps the camera, as the user left it.
    if (!framed_ && renderer_.HasModel()) {
      camera_.Frame(renderer_.Bounds(), static_cast<float>(w()) / std::max(h(), 1));
      framed_ = true;
    }
  }
  renderer_.Draw(camera_, pixel_w(), pixel_h(), moving_);
  ++framesDrawn_;
}

int ModelView::handle(int event) {
  switch (event) {
    case FL_FOCUS:
    case FL_UNFOCUS: return 1;
    case FL_PUSH:
      take_focus();
      lastX_ = Fl::event_x();
      lastY_ = Fl::event_y();
      SetMoving(true);
      return 1;
    case FL_DRAG: {
      const int dx = Fl::event_x() - lastX_, dy = Fl::event_y() - lastY_;
      lastX_ = Fl::event_x();
      lastY_ = Fl::event_y();
      const bool pan = Fl::event_button2() || (Fl::event_button1() && Fl::event_shift());
      if (pan)
        camera_.Pan(static_cast<float>(dx), static_cast<float>(dy), h());
      else if (Fl::event_button1())
        camera_.Orbit(static_cast<float>(dx), static_cast<float>(dy));
      redraw();
      return 1;
    }
    case FL_RELEASE:
      if (!Fl::event_buttons()) SetMoving(false);
      return 1;
    case FL_MOUSEWHEEL:
      camera_.Zoom(static_cast<float>(-Fl::event_dy()));
      SetMoving(true);
      Fl::remove_timeout(&ModelView::StopMoving, this);
      Fl::add_timeout(kWheelRestSeconds, &ModelView::StopMoving, this);
      redraw();
      return 1;
    case FL_KEYBOARD: {
      const int key = Fl::event_key();
      const float aspect = static_cast<float>(w()) / std::max(h(), 1);
      if (key == 'f') {
        camera_.Frame(renderer_.Bounds(), aspect);
      } else if (key == '1' || key == FL_KP + '1') {
        camera_.Look(ViewDirection::Front);
      } else if (key == '3' || key == FL_KP + '3') {
        camera_.Look(ViewDirection::Right);
      } else if (key == '7' || key == FL_KP + '7') {
        camera_.Look(ViewDirection::Top);
      } else if (const ViewShading* shading = ShadingOfKey(key);
                 shading && !Fl::event_state(FL_CTRL | FL_ALT | FL_META)) {
        SetShading(*shading);
      } else {
        return Fl_Gl_Window::handle(event);
      }
      redraw();
      return 1;
    }
    default: return Fl_Gl_Window::handle(event);
  }
}

const ViewShading* ModelView::ShadingOfKey(int key) {
  for (const auto& choice : kShadingChoices)
    if (key == choice.key) return &choice.shading;
  return nullptr;
}

void ModelView::SetShading(ViewShading shading) {
  renderer_.SetShading(shading);
  if (menu_)
    for (const auto& choice : kShadingChoices)
      if (auto* item = const_cast<Fl_Menu_Item*>(menu_->find_item(choice.label)))
        choice.shading == shading ? item->setonly() : item->clear();
  redraw();
}

void ModelView::AddViewMenu(Fl_Menu_Bar& menu) {
  menu_ = &menu;
  for (const auto& choice : kShadingChoices) {
    auto chosen = [](Fl_Widget* bar, void* data) {
      auto* view = static_cast<ModelView*>(data);
      const Fl_Menu_Item* item = static_cast<Fl_Menu_Bar*>(bar)->mvalue();
      for (const auto& each : kShadingChoices)
        if (item && item->label() && std::string("View/") + item->label() == each.label) view->SetShading(each.shading);
    };
    menu.add(choice.label, choice.key, chosen, this, FL_MENU_RADIO);
  }
  SetShading(renderer_.Shading());
}

void ModelView::hide() {
  // The GL objects belong to the context, which goes with the window.
  if (shown() && glReady_) {
    make_current();
    renderer_.ReleaseGl();
  }
  glReady_ = false;
  showing_ = false;  // shown again, it uploads the model again
  Fl_Gl_Window::hide();
}
