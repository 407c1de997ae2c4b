#include "FileMenu.h"

#include <FL/Fl_Menu_Bar.H>

#include <filesystem>
#include <iostream>
#include <vector>

#include <Plugin/HModelCache.h>
#include <Plugin/HostProject.h>
#include <afxdisplay.h>

#include "ExchangeStatus.h"
#include "HostWindow.h"
#include "ModelPicture.h"

namespace {

constexpr int kPictureWidth = 1920;
constexpr int kPictureHeight = 1080;
constexpr const char* kObjFilter = "Wavefront OBJ (*.obj)|*.obj||";
constexpr const char* kPngFilter = "PNG picture (*.png)|*.png||";

std::string FileName(const std::string& path) { return std::filesystem::path(path).filename().string(); }

// "Opening Big.obj: reading the file", "Opening Big.obj: adding patches, 40 %".
std::string OpeningLine(const std::string& path, const char* stage, int percent) {
  const std::string what = std::string(stage) == "building" ? "adding patches" : std::string(stage) + " the file";
  return "Opening " + FileName(path) + ": " + what + (percent >= 0 ? ", " + std::to_string(percent) + " %" : "");
}

FileMenu* Files(void* data) { return static_cast<FileMenu*>(data); }

}  // namespace

FileMenu::FileMenu(HProject* project, HostWindow& window, HWND owner, ExchangeStatus* exchange)
    : project_(project), window_(window), owner_(owner), exchange_(exchange), unsaved_(project) {}

void FileMenu::AddTo(Fl_Menu_Bar& menu) {
  menu.add(
      "File/Open OBJ...", FL_CTRL + 'o', [](Fl_Widget*, void* data) { Files(data)->Open(); }, this);
  menu.add(
      "File/Save Selected Model as OBJ...", FL_CTRL + 's', [](Fl_Widget*, void* data) { Files(data)->SaveSelected(); },
      this);
  menu.add(
      "File/Render Picture...", FL_CTRL + 'r', [](Fl_Widget*, void* data) { Files(data)->RenderViewed(); }, this,
      FL_MENU_DIVIDER);
  menu.add(
      "File/Quit", FL_CTRL + 'q', [](Fl_Widget*, void* data) { Files(data)->window_.RequestQuit(); }, this);
}

std::string FileMenu::AskForFile(bool open, const std::string& name, const char* extension, const char* filter) {
  AfxFileDialogRecord dialog;
  dialog.owner = owner_;
  dialog.open = open;
  dialog.initialFileName = name;
  dialog.defaultExtension = extension;
  dialog.filter = filter;
  dialog.flags = open ? OFN_FILEMUSTEXIST : 0;
  if (!AfxGetDisplay().ShowFileDialog(dialog)) return "";
  std::string path = dialog.answer;
  // A name typed without its extension gets it, as the system dialog adds it.
  if (!open && std::filesystem::path(path).extension().empty()) path += std::string(".") + extension;
  return path;
}

void FileMenu::Open() {
  const std::string path = AskForFile(true, "", "obj", kObjFilter);
  if (path.empty()) return;
  String error, warnings;
  HModelCache* model = nullptr;
  {
    HostWindow::Busy busy(window_);
    model = ImportObjFile(project_, path.c_str(), error, warnings, [&](const char* stage, int percent) {
      // While the patches are added the project is half made: the window is drawn, nothing else runs.
      window_.ShowProgress(OpeningLine(path, stage, percent), std::string(stage) != "building");
    });
  }
  if (!warnings.IsEmpty()) std::cerr << "hashhost: " << warnings.Get() << std::flush;
  if (!model) {
    const std::string why = error.IsEmpty() ? "cannot open " + path : std::string(error.Get());
    window_.ShowStatus("Could not open " + FileName(path));
    MessageBoxA(owner_, why.c_str(), "Open OBJ", MB_OK | MB_ICONWARNING);
    return;
  }
  if (exchange_) exchange_->NoteHostsOwnModel(model);
  window_.SelectModel(model);
  const int patches = model->GetPatchCount();
  window_.ShowStatus("Opened \"" + std::string(model->GetName().Get()) + "\" from " + FileName(path) + ": " +
                     std::to_string(patches) + (patches == 1 ? " patch" : " patches"));
}

void FileMenu::SaveSelected() {
  HModelCache* model = window_.SelectedModel();
  if (!model) {
    window_.ShowStatus("Select a model in the tree to save it as OBJ");
    return;
  }
  const std::string name = model->GetName().Get();
  const std::string path = AskForFile(false, name + ".obj", "obj", kObjFilter);
  if (path.empty()) return;
  String error, warnings;
  if (!SaveModelAsObj(model, path.c_str(), error, warnings)) {
    window_.ShowStatus("Could not save \"" + name + "\"");
    MessageBoxA(owner_, error.IsEmpty() ? ("cannot write " + path).c_str() : error.Get(), "Save as OBJ",
                MB_OK | MB_ICONWARNING);
    return;
  }
  unsaved_.MarkSaved(model);
  window_.ShowStatus("Saved \"" + name + "\" to " + path);
  if (!warnings.IsEmpty())
    MessageBoxA(owner_, (std::string("Saved, but:\n") + warnings.Get()).c_str(), "Save as OBJ", MB_OK | MB_ICONWARNING);
}

void FileMenu::RenderViewed() {
  HModelCache* model = window_.ViewedModel();
  if (!model) {
    window_.ShowStatus("There is no model to render");
    return;
  }
  const std::string name = model->GetName().Get();
  const std::string path = AskForFile(false, name + ".png", "png", kPngFilter);
  if (path.empty()) return;
  window_.ShowWork(
      "Rendering \"" + name + "\" at " + std::to_string(kPictureWidth) + " x " + std::to_string(kPictureHeight), false);
  ModelPicture picture;
  std::string problem;
  if (!DrawModelPicture(*model, kPictureWidth, kPictureHeight, ViewDirection::Iso, window_.Shading(), picture,
                        problem) ||
      !WritePicturePng(picture, path, problem)) {
    window_.ShowStatus("Could not render \"" + name + "\"");
    MessageBoxA(owner_, problem.c_str(), "Render Picture", MB_OK | MB_ICONWARNING);
    return;
  }
  window_.ShowStatus("Rendered \"" + name + "\" to " + path);
}

bool FileMenu::MayQuit() {
  const std::vector<std::string> names = unsaved_.Names();
  if (names.empty()) return true;
  std::string list;
  for (const std::string& name : names) list += (list.empty() ? "\"" : ", \"") + name + "\"";
  const std::string question =
      (names.size() == 1 ? "The model " + list + " was not saved" : "The models " + list + " were not saved") +
      ". Quit anyway and lose " + (names.size() == 1 ? "it" : "them") +
      "?\n\nFile > Save Selected Model as OBJ keeps a model.";
  return MessageBoxA(owner_, question.c_str(), "Quit Hash Animator", MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) ==
         IDYES;
}
