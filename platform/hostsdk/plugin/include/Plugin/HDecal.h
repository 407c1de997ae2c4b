#pragma once

#include <cstdint>
#include <vector>

#include "Plugin/Export.h"
#include "Plugin/HTreeObject.h"
#include "Plugin/Properties.h"

class HDecal;
class HDecalClip;
class HDecalClipContainer;
class HImage;

// The decals of one model, in order.
class PLUGIN_API HDecalContainer : public HHashObject {
public:
  HDecalContainer();
  HDecal* GetChildDecal() const;

private:
  friend class HModelCache;
  HDecal* AddDecal(const String& name);
};

// One image placed on a decal, with what it drives.
class PLUGIN_API HDecalClip : public HHashObject {
public:
  explicit HDecalClip(const String& name);
  HTypeProperty* GetKind() { return &kind_; }
  HClipProperty* GetClip() { return &clip_; }

private:
  HTypeProperty kind_;
  HClipProperty clip_{this};
};

class PLUGIN_API HDecalClipContainer : public HHashObject {
public:
  HDecalClipContainer();
  HDecalClip* GetChildDecalClip() const;

private:
  friend class HDecal;
  HDecalClip* AddClip(HImage* image);
};

// (u, v) of a patch's corners 0 to 3, host convention; a triangle repeats corner 0.
struct HPatchUV {
  std::int32_t patch = -1;
  float uv[4][2] = {};
};

// Images laid on a model's patches through per-patch UVs. Every clip of the
// decal shares the decal's UVs.
class PLUGIN_API HDecal : public HHashObject {
public:
  explicit HDecal(const String& name);

  HDecalClipContainer* GetChildDecalClipContainer() const { return clips_; }
  // Adds a clip showing image (kind 0); the caller sets its kind.
  HDecalClip* AddDecalClip(HImage* image);

  // Places the decal on a patch (replacing earlier UVs); false when the
  // model has no such patch.
  bool SetPatchUV(int patchIndex, const float uv[4][2]);
  // False when the decal does not cover the patch.
  bool GetPatchUV(int patchIndex, float uv[4][2]) const;
  int GetPatchCount() const;
  // Placements, ascending by patch.
  const std::vector<HPatchUV>& GetPatchUVs() const;

protected:
  void ChildDetached(HHashObject* child) override;

private:
  HDecalClipContainer* clips_;
  mutable std::vector<HPatchUV> uvs_;
  mutable bool sorted_ = true;
};
