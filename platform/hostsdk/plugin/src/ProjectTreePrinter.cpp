// PrintProjectTree: the project as text, one object per line.
#include <ostream>
#include <string>

#include "Plugin/DecalKind.h"
#include "Plugin/HDecal.h"
#include "Plugin/HGroup.h"
#include "Plugin/HImage.h"
#include "Plugin/HModelCache.h"
#include "Plugin/HProject.h"
#include "Plugin/HostProject.h"
#include "Plugin/ObjectTypes.h"
#include "common/EntryGuard.h"

namespace {

std::string Quoted(const String& text) {
  std::string out = "\"";
  for (const char* c = text.Get(); *c; ++c) {
    if (*c == '"' || *c == '\\') out += '\\';
    out += *c;
  }
  return out + "\"";
}

class TreePrinter {
public:
  explicit TreePrinter(std::ostream& out) : out_(out) {}

  void Project(HProject& project) {
    Line(0, "Project", project.GetName()) << "\n";
    Line(1, "Folder", project.GetChildObjectCacheContainer()->GetName())
        << " type=" << project.GetChildObjectCacheContainer()->GetObjectType() << "\n";
    for (HHashObject* child = project.GetChildObjectCacheContainer()->GetChild(); child; child = child->GetSibling()) {
      if (HModelCache* model = child->GetAsModelCache()) Model(*model, 2);
    }
    Line(1, "Folder", project.GetChildClipCacheContainer()->GetName()) << "\n";
    for (HHashObject* child = project.GetChildClipCacheContainer()->GetChild(); child; child = child->GetSibling()) {
      auto* image = static_cast<HImage*>(child);
      Line(2, "Image", image->GetName()) << " file=" << Quoted(image->GetFilename()->GetValue()) << "\n";
    }
    Line(1, "Folder", project.GetChildSceneContainer()->GetName()) << "\n";
    for (HHashObject* scene = project.GetChildSceneContainer()->GetChild(); scene; scene = scene->GetSibling()) {
      Line(2, "Scene", scene->GetName()) << "\n";
      for (HHashObject* child = scene->GetChild(); child; child = child->GetSibling()) {
        HAnimObject* instance = child->GetAnimObject();
        if (!instance) continue;
        Line(3, "Instance", instance->GetName())
            << " model=" << (instance->GetCache() ? Quoted(instance->GetCache()->GetName()) : std::string("none"))
            << "\n";
      }
    }
  }

private:
  std::ostream& Line(int level, const char* kind, const String& name) {
    return out_ << std::string(static_cast<std::size_t>(level) * 2, ' ') << kind << " " << Quoted(name);
  }

  void Model(HModelCache& model, int level) {
    Line(level, "Model", model.GetName()) << " patches=" << model.GetPatchCount() << " cps=" << model.GetPositionCount()
                                          << " splines=" << model.CountSplines() << " groups=" << model.CountGroups()
                                          << " decals=" << model.CountDecals() << "\n";
    if (HGroupContainer* groups = model.GetChildGroupContainer()) {
      for (HGroup* group = groups->GetChildGroup(); group; group = static_cast<HGroup*>(group->GetSibling())) {
        std::ostream& line = Line(level + 1, "Group", group->GetName()) << " patches=" << group->GetPatchCount();
        if (HMaterial* head = group->GetAttr()->GetMaterialHead()) {
          line << " material-head displace=" << head->GetDisplacePercent() << " bump=" << head->GetBumpPercent();
        }
        line << "\n";
      }
    }
    if (HDecalContainer* decals = model.GetChildDecalContainer()) {
      for (HDecal* decal = decals->GetChildDecal(); decal; decal = static_cast<HDecal*>(decal->GetSibling())) {
        Line(level + 1, "Decal", decal->GetName()) << " patches=" << decal->GetPatchCount() << "\n";
        HDecalClipContainer* clips = decal->GetChildDecalClipContainer();
        if (!clips) continue;
        for (HDecalClip* clip = clips->GetChildDecalClip(); clip; clip = static_cast<HDecalClip*>(clip->GetSibling())) {
          int kind = clip->GetKind()->GetValue();
          HImage* image = clip->GetClip()->GetClip();
          Line(level + 2, "DecalClip", clip->GetName())
              << " kind=" << kind << " use=" << DecalKindWord(kind)
              << " image=" << (image ? Quoted(image->GetName()) : std::string("none")) << "\n";
        }
      }
    }
  }

  std::ostream& out_;
};

}  // namespace

void PrintProjectTree(HProject* project, std::ostream& out) {
  if (!project) return;
  GuardedEntry([&] { TreePrinter(out).Project(*project); });
}
