#include "MessageBoxWindow.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Return_Button.H>
#include <FL/fl_draw.H>

#include <algorithm>
#include <memory>
#include <vector>

#include "ModalWait.h"
#include "WindowPlacement.h"

namespace afx {

namespace {

const char* ButtonText(int id) {
  switch (id) {
    case IDOK: return "OK";
    case IDCANCEL: return "Cancel";
    case IDABORT: return "&Abort";
    case IDRETRY: return "&Retry";
    case IDIGNORE: return "&Ignore";
    case IDYES: return "&Yes";
    case IDNO: return "&No";
    case IDTRYAGAIN: return "&Try Again";
    case IDCONTINUE: return "&Continue";
    default: return "?";
  }
}

struct Answer {
  int value = 0;
};

struct ButtonData {
  Answer* answer;
  int id;
};

void OnButton(Fl_Widget*, void* data) {
  auto* button = static_cast<ButtonData*>(data);
  button->answer->value = button->id;
}

// The icon of a box type, drawn as the system's: a round sign with its mark.
void StyleIcon(Fl_Box& icon, UINT type) {
  icon.box(FL_OVAL_BOX);
  icon.labelfont(FL_HELVETICA_BOLD);
  icon.labelsize(24);
  icon.labelcolor(FL_WHITE);
  switch (type & MB_ICONMASK) {
    case MB_ICONERROR:
      icon.color(fl_rgb_color(200, 30, 30));
      icon.label("X");
      break;
    case MB_ICONQUESTION:
      icon.color(fl_rgb_color(30, 90, 200));
      icon.label("?");
      break;
    case MB_ICONWARNING:
      icon.color(fl_rgb_color(240, 190, 0));
      icon.labelcolor(FL_BLACK);
      icon.label("!");
      break;
    case MB_ICONINFORMATION:
      icon.color(fl_rgb_color(30, 90, 200));
      icon.label("i");
      break;
    default: icon.hide(); break;
  }
}

}  // namespace

int RunMessageBoxWindow(const AfxMessageBoxRecord& box, Fl_Window* owner) {
  const std::vector<int> buttons = AfxMessageBoxButtons(box.type);
  const int defaultAnswer = AfxMessageBoxDefaultAnswer(box.type);
  const bool hasIcon = (box.type & MB_ICONMASK) != 0;

  fl_font(FL_HELVETICA, 12);
  int textWidth = 0, textHeight = 0;
  fl_measure(box.text.c_str(), textWidth, textHeight, 0);
  const int buttonWidth = 80;
  const int buttonsWidth = static_cast<int>(buttons.size()) * (buttonWidth + 8);
  const int textLeft = hasIcon ? 70 : 20;
  const int width = std::max({textLeft + textWidth + 20, buttonsWidth + 20, 220});
  const int height = std::max(textHeight, hasIcon ? 40 : 0) + 80;

  Fl_Double_Window window(width, height);
  window.copy_label(box.caption.c_str());
  window.set_modal();
  Fl_Box icon(16, 16, 40, 40);
  StyleIcon(icon, box.type);
  Fl_Box text(textLeft, 16, width - textLeft - 16, std::max(textHeight, 40));
  text.copy_label(box.text.c_str());
  text.labelsize(12);
  text.align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE | FL_ALIGN_WRAP);

  Answer answer;
  std::vector<ButtonData> data;
  data.reserve(buttons.size());
  std::vector<std::unique_ptr<Fl_Button>> widgets;
  int x = width - buttonsWidth;
  for (int id : buttons) {
    data.push_back(ButtonData{&answer, id});
    std::unique_ptr<Fl_Button> button;
    if (id == defaultAnswer) {
      button = std::make_unique<Fl_Return_Button>(x, height - 40, buttonWidth, 26);
    } else {
      button = std::make_unique<Fl_Button>(x, height - 40, buttonWidth, 26);
    }
    button->label(ButtonText(id));
    button->labelsize(12);
    button->callback(OnButton, &data.back());
    widgets.push_back(std::move(button));
    x += buttonWidth + 8;
  }
  window.end();
  // The close box (and Escape) answer Cancel when the box has it, else its only button.
  const bool hasCancel = std::find(buttons.begin(), buttons.end(), IDCANCEL) != buttons.end();
  ButtonData closeData{&answer, hasCancel ? IDCANCEL : (buttons.size() == 1 ? buttons.front() : 0)};
  window.callback(
      [](Fl_Widget*, void* closing) {
        auto* close = static_cast<ButtonData*>(closing);
        if (close->id) close->answer->value = close->id;
      },
      &closeData);
  PlaceCentredOver(window, owner);
  window.show();
  WaitWhileTimersTick([&] { return answer.value != 0 || !window.shown(); });
  window.hide();
  return answer.value ? answer.value : defaultAnswer;
}

}  // namespace afx
