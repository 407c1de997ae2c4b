#include "SceneReader.h"

#include <strings.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <unordered_map>
#include <unordered_set>

#include "ConsumedPages.h"
#include "LayerNames.h"
#include "ObjectNames.h"
#include "fbxsdk/fbxgeometry.h"
#include "fbxsdk/fbxmanager.h"
#include "fbxsdk/fbxnode.h"
#include "fbxsdk/fbxscene.h"
#include "fbxsdk/fbxsurface.h"
#include "fbxsdk/fbxtexture.h"

namespace fbxsdk::io {

namespace {

// The name without its class. Names are C strings to everyone who reads them,
// so a NUL inside one is written out as \x00 rather than cutting the name there
// (where it could become the name of some other object).
std::string PlainName(std::string_view stored) {
  std::string name;
  for (const char c : DecodeObjectName(stored).name) {
    if (c == '\0')
      name += "\\x00";
    else
      name += c;
  }
  return name;
}

class SceneBuilder {
public:
  SceneBuilder(FbxScene& scene, std::string& error, const ReadOptions& options)
      : scene_(scene), manager_(*scene.GetFbxManager()), error_(error), options_(options) {}

  // An entry of the file's Objects or Connections section, as soon as the parser has read it: the
  // objects this library knows are made at once, links are kept in a few bytes each, and their
  // records handed back to be dropped.
  bool TakeRecord(std::string_view section, FbxRecord& record, bool& taken) {
    if (section == "Connections") {
      Link link;
      if (LinkOf(record, link)) links_.push_back(std::move(link));
      taken = true;
      return true;
    }
    taken = record.name == "Model" || record.name == "Geometry" || record.name == "Material" ||
            record.name == "Texture" || record.name == "Video";
    return !taken || AddObject(record);
  }

  // The rest of the file, once read: objects not yet taken, then the connections.
  bool Build(FbxRecord& file) {
    FbxRecord* objects = file.Find("Objects");
    if (!objects) return Fail("the file has no Objects section");
    for (FbxRecord& record : objects->children)
      if (!AddObject(record)) return false;
    if (FbxRecord* connections = file.Find("Connections"))
      for (FbxRecord& record : connections->children) {
        Link link;
        if (LinkOf(record, link)) links_.push_back(std::move(link));
      }
    for (const Link& link : links_) Connect(link);
    FreeVector(links_);
    // Nodes without a parent node belong to the root, in the order the file lists them, whether
    // the file connects them to the root or not at all.
    for (FbxNode* node : nodes_)
      if (!node->GetParent()) scene_.GetRootNode()->AddChild(node);
    ReadDocumentInfo(file);
    DestroyUnreachable();
    return true;
  }

  void DestroyCreated() {
    for (FbxObject* object : created_) object->Destroy();
    created_.clear();
  }

private:
  bool Fail(const std::string& what) {
    error_ = what;
    return false;
  }

  template <class T>
  T* Track(T* object) {
    created_.push_back(object);
    return object;
  }

  // Objects are keyed by their 64-bit id; older files key them by their name and class, in
  // either encoding's spelling.
  bool KeyOf(const FbxValue& value, int64_t& key) {
    if (value.IsNumber()) {
      key = value.AsInt();
      return true;
    }
    if (!value.IsText()) return false;
    std::string canonical = CanonicalObjectName(value.text);
    if (canonical == "Model::Scene") {
      key = 0;
      return true;
    }
    auto found = nameKeys_.find(canonical);
    if (found != nameKeys_.end()) {
      key = found->second;
      return true;
    }
    key = -1 - static_cast<int64_t>(nameKeys_.size());  // never collides with the root's 0
    nameKeys_.emplace(std::move(canonical), key);
    return true;
  }

  bool AddObject(FbxRecord& record) {
    if (record.values.empty()) return true;
    bool keyedByName = record.values[0].IsText();
    int64_t key;
    if (!KeyOf(record.values[0], key)) return true;
    std::string_view stored = keyedByName ? std::string_view(record.values[0].text) : record.Text(1);
    std::string_view subclass = record.Text(keyedByName ? 1 : 2);
    std::string name = PlainName(stored);
    FbxObject* object = nullptr;
    if (record.name == "Model") {
      FbxNode* node = Track(FbxNode::Create(&manager_, name.c_str()));
      nodes_.push_back(node);
      object = node;
      // Older files keep the mesh inside its model.
      if (record.Find("Vertices") && subclass == "Mesh") {
        FbxMesh* mesh = Track(FbxMesh::Create(&manager_, name.c_str()));
        if (!ReadMesh(record, *mesh, name)) return false;
        node->SetNodeAttribute(mesh);
      }
    } else if (record.name == "Geometry" && subclass == "Mesh") {
      FbxMesh* mesh = Track(FbxMesh::Create(&manager_, name.c_str()));
      if (!ReadMesh(record, *mesh, name)) return false;
      object = mesh;
    } else if (record.name == "Material") {
      object = ReadMaterial(record, name);
    } else if (record.name == "Texture") {
      object = ReadTexture(record, name);
    } else if (record.name == "Video") {
      videos_[key] = std::move(record);  // read when a texture connects to it
      return true;
    }
    if (object) objects_[key] = object;
    return true;
  }

  // ---- meshes ----

  bool ReadMesh(FbxRecord& record, FbxMesh& mesh, const std::string& name) {
    DoubleBuffer numbers;
    if (record.Find("Vertices") && !record.TakeChildNumbers("Vertices", numbers))
      return Fail("mesh '" + name + "': Vertices holds something other than numbers");
    if (numbers.size() % 3 != 0)
      return Fail("mesh '" + name + "': Vertices holds " + std::to_string(numbers.size()) +
                  " numbers, not three per control point");
    if (numbers.size() / 3 > static_cast<size_t>(INT32_MAX))
      return Fail("mesh '" + name + "' has too many control points");
    auto& points = mesh.ControlPoints();
    points.reserve(numbers.size() / 3);
    ConvertReleasing(numbers.data(), numbers.size() / 3, 3,
                     [&](const double* xyz) { points.emplace_back(xyz[0], xyz[1], xyz[2], 1.0); });
    FreeVector(numbers);

    std::vector<int32_t>& corners = mesh.PolygonVertices();
    if (record.Find("PolygonVertexIndex") && !record.TakeChildInts("PolygonVertexIndex", corners))
      return Fail("mesh '" + name + "': PolygonVertexIndex holds something other than numbers");
    std::vector<int32_t>& starts = mesh.PolygonStarts();
    bool open = false;
    int32_t count = static_cast<int32_t>(points.size());
    for (size_t i = 0; i < corners.size(); ++i) {
      if (!open) {
        starts.push_back(static_cast<int32_t>(i));
        open = true;
      }
      int32_t index = corners[i];
      if (index < 0) {
        index = ~index;  // a negative entry ends its polygon
        corners[i] = index;
        open = false;
      }
      if (index >= count)
        return Fail("mesh '" + name + "': polygon corner " + std::to_string(i) + " refers to control point " +
                    std::to_string(index) + " of " + std::to_string(count));
    }
    return ReadLayers(record, mesh, name);
  }

  static bool HoldsValues(const FbxRecord* record) {
    if (!record) return false;
    for (const FbxValue& value : record->values)
      if (!value.IsArray() || value.ArraySize() > 0) return true;
    return false;
  }

  template <class Element>
  bool ReadModes(const FbxRecord& record, Element& element) {
    int mapping = MappingFromName(record.ChildText("MappingInformationType"));
    if (mapping < 0) return false;  // unusable without knowing what its values apply to
    std::string_view reference = record.ChildText("ReferenceInformationType");
    int mode = reference.empty() ? FbxLayerElement::eDirect : ReferenceFromName(reference);
    if (mode < 0) return false;
    element.SetMappingMode(static_cast<FbxLayerElement::EMappingMode>(mapping));
    element.SetReferenceMode(static_cast<FbxLayerElement::EReferenceMode>(mode));
    element.SetName(std::string(record.ChildText("Name")).c_str());
    return true;
  }

  bool ReadLayers(FbxRecord& record, FbxMesh& mesh, const std::string& name) {
    std::map<int64_t, FbxLayerElementUV*> uvSets;
    std::map<int64_t, FbxLayerElementMaterial*> materialSets;
    for (FbxRecord& child : record.children) {
      if (child.name == "LayerElementUV") {
        int64_t typed = child.Int(0, 0);
        if (uvSets.count(typed)) continue;
        std::string setName(child.ChildText("Name"));
        // A set with neither UVs nor indices carries nothing a caller could use. One whose indices
        // all say "no UV" (-1) is kept: its writer stored that on purpose, corner by corner.
        if (!HoldsValues(child.Find("UV")) && !HoldsValues(child.Find("UVIndex"))) {
          options_.Warn("mesh '" + name + "': UV set '" + setName + "' holds no UVs; left out");
          continue;
        }
        FbxLayerElementUV* uvs = FbxLayerElementUV::Create(&mesh, "");
        if (!ReadModes(child, *uvs)) {
          options_.Warn("mesh '" + name + "': UV set '" + setName +
                        "' has a mapping this library does not know; left out");
          continue;
        }
        DoubleBuffer pairs;
        if (!child.TakeChildNumbers("UV", pairs))
          return Fail("mesh '" + name + "': UV set '" + uvs->GetName() + "' holds something other than numbers");
        auto& direct = uvs->GetDirectArray().Items();
        direct.reserve(pairs.size() / 2);
        ConvertReleasing(pairs.data(), pairs.size() / 2, 2,
                         [&](const double* uv) { direct.emplace_back(uv[0], uv[1]); });
        FreeVector(pairs);
        if (child.Find("UVIndex") && !child.TakeChildInts("UVIndex", uvs->GetIndexArray().Items()))
          return Fail("mesh '" + name + "': UVIndex of '" + uvs->GetName() + "' holds something other than numbers");
        uvSets[typed] = uvs;
      } else if (child.name == "LayerElementMaterial") {
        int64_t typed = child.Int(0, 0);
        if (materialSets.count(typed)) continue;
        FbxLayerElementMaterial* materials = FbxLayerElementMaterial::Create(&mesh, "");
        if (!ReadModes(child, *materials)) {
          options_.Warn("mesh '" + name + "': a material layer has a mapping this library does not know; left out");
          continue;
        }
        if (child.Find("Materials") && !child.TakeChildInts("Materials", materials->GetIndexArray().Items()))
          return Fail("mesh '" + name + "': Materials holds something other than numbers");
        materialSets[typed] = materials;
      }
    }

    // Layers name their elements by type and index; files without them use the index as the layer.
    std::vector<FbxRecord*> layers;
    for (FbxRecord& child : record.children)
      if (child.name == "Layer") layers.push_back(&child);
    std::stable_sort(layers.begin(), layers.end(),
                     [](FbxRecord* a, FbxRecord* b) { return a->Int(0, 0) < b->Int(0, 0); });
    for (FbxRecord* layerRecord : layers) {
      FbxLayer* layer = mesh.GetLayer(mesh.CreateLayer());
      for (const FbxRecord& entry : layerRecord->children) {
        if (entry.name != "LayerElement") continue;
        std::string_view type = entry.ChildText("Type");
        const FbxRecord* typedRecord = entry.Find("TypedIndex");
        int64_t typed = typedRecord ? typedRecord->Int(0, 0) : 0;
        if (type == "LayerElementUV" && uvSets.count(typed)) {
          if (!layer->GetUVs()) layer->SetUVs(uvSets[typed]);
          uvSets.erase(typed);
        } else if (type == "LayerElementMaterial" && materialSets.count(typed)) {
          if (!layer->GetMaterials()) layer->SetMaterials(materialSets[typed]);
          materialSets.erase(typed);
        }
      }
    }
    for (auto& [typed, uvs] : uvSets) LayerFor(mesh, typed, true)->SetUVs(uvs);
    for (auto& [typed, materials] : materialSets) LayerFor(mesh, typed, false)->SetMaterials(materials);
    return true;
  }

  // The layer at the typed index when that slot is free, else the first layer with a free slot.
  static FbxLayer* LayerFor(FbxMesh& mesh, int64_t typed, bool uv) {
    auto isFree = [uv](FbxLayer* layer) { return uv ? !layer->GetUVs() : !layer->GetMaterials(); };
    if (typed >= 0 && typed < mesh.GetLayerCount() && isFree(mesh.GetLayer(static_cast<int>(typed))))
      return mesh.GetLayer(static_cast<int>(typed));
    for (int l = 0; l < mesh.GetLayerCount(); ++l)
      if (isFree(mesh.GetLayer(l))) return mesh.GetLayer(l);
    return mesh.GetLayer(mesh.CreateLayer());
  }

  // ---- materials and textures ----

  // Property name, then numbers and text, from "P" (name, type, label, flags, values)
  // or the older "Property" (name, type, flags, values).
  struct StoredProperty {
    static constexpr size_t kKept = 4;  // no property holds more numbers
    double numbers[kKept] = {};
    size_t count = 0;  // numbers the entry gives, kept or not
    std::string_view text;
  };

  // 7.x blocks give each entry a label more than 6.x blocks do; values follow it.
  static constexpr std::pair<std::string_view, size_t> kPropertyBlocks[] = {{"Properties70", 4}, {"Properties60", 3}};

  // An entry's numbers (the first few kept, all counted) and its last text.
  static StoredProperty StoredValues(const FbxRecord& entry, size_t firstValue) {
    StoredProperty property;
    const std::vector<FbxValue>& values = entry.values;
    for (size_t i = firstValue; i < values.size(); ++i) {
      if (values[i].IsNumber()) {
        if (property.count < StoredProperty::kKept) property.numbers[property.count] = values[i].AsDouble();
        ++property.count;
      } else if (values[i].IsText()) {
        property.text = values[i].text;
      }
    }
    return property;
  }

  // An entry chosen for a property, and where its values start.
  struct StoredEntry {
    const FbxRecord* entry = nullptr;
    size_t firstValue = 0;
  };

  // The property entries of an object's record, found by name, the first of each name counting:
  // sorted views into the record, in a list kept from one object to the next, as a file of many
  // materials reads millions of these.
  class StoredProperties {
  public:
    void Read(const FbxRecord& record) {
      entries_.clear();
      for (const auto& [block, firstValue] : kPropertyBlocks) {
        const FbxRecord* properties = record.Find(block);
        if (!properties) continue;
        for (const FbxRecord& entry : properties->children)
          if (!entry.values.empty() && entry.values[0].IsText())
            entries_.push_back({entry.values[0].text, entries_.size(), &entry, firstValue});
      }
      std::sort(entries_.begin(), entries_.end(),
                [](const Entry& a, const Entry& b) { return a.name != b.name ? a.name < b.name : a.order < b.order; });
    }

    bool Find(std::string_view name, StoredProperty& property) const {
      auto found = std::lower_bound(entries_.begin(), entries_.end(), name,
                                    [](const Entry& entry, std::string_view key) { return entry.name < key; });
      if (found == entries_.end() || found->name != name) return false;
      property = StoredValues(*found->entry, found->firstValue);
      return true;
    }

  private:
    struct Entry {
      std::string_view name;
      size_t order;  // in the record, so that the first of a name is found
      const FbxRecord* entry;
      size_t firstValue;
    };
    std::vector<Entry> entries_;
  };

  FbxObject* ReadMaterial(const FbxRecord& record, const std::string& name) {
    std::string_view model = record.ChildText("ShadingModel");
    const bool phong = model.size() == 5 && strncasecmp(model.data(), "phong", 5) == 0;
    FbxSurfaceLambert* material = phong ? Track(FbxSurfacePhong::Create(&manager_, name.c_str()))
                                        : Track(FbxSurfaceLambert::Create(&manager_, name.c_str()));
    // One pass over the entries, each found in the class's names: the first entry of a name
    // counts, and an older file's name only where the current one is absent.
    const std::vector<NamedProperty>& names =
        phong ? NamesOfClass(static_cast<FbxSurfacePhong&>(*material)) : NamesOfClass(*material);
    const size_t count = static_cast<size_t>(material->GetPropertyCount());
    chosen_.assign(2 * count, StoredEntry{});
    for (const auto& [block, firstValue] : kPropertyBlocks) {
      const FbxRecord* properties = record.Find(block);
      if (!properties) continue;
      for (const FbxRecord& entry : properties->children) {
        if (entry.values.empty() || !entry.values[0].IsText()) continue;
        std::string_view key = entry.values[0].text;
        auto found = std::lower_bound(names.begin(), names.end(), key,
                                      [](const NamedProperty& named, std::string_view k) { return named.name < k; });
        for (; found != names.end() && found->name == key; ++found) {
          StoredEntry& slot = chosen_[2 * static_cast<size_t>(found->index) + (found->older ? 1 : 0)];
          if (!slot.entry) slot = {&entry, firstValue};
        }
      }
    }
    for (size_t i = 0; i < count; ++i) {
      const StoredEntry& chosen = chosen_[2 * i].entry ? chosen_[2 * i] : chosen_[2 * i + 1];
      if (!chosen.entry) continue;
      StoredProperty stored = StoredValues(*chosen.entry, chosen.firstValue);
      if (stored.count == 0) continue;
      material->GetPropertyAt(static_cast<int>(i))
          ->SetValues(stored.numbers, static_cast<int>(std::min(stored.count, StoredProperty::kKept)));
    }
    return material;
  }

  // A class's numeric properties by the names files give them, current and older, sorted.
  struct NamedProperty {
    std::string_view name;
    int index;   // among the class's properties
    bool older;  // a name files older than 7.0 give
  };
  static std::vector<NamedProperty> NamesOf(const FbxObject& sample) {
    std::vector<NamedProperty> names;
    for (int i = 0; i < sample.GetPropertyCount(); ++i) {
      const FbxProperty* property = sample.GetPropertyAt(i);
      if (property->GetPropertyDataType() == eFbxString) continue;
      names.push_back({property->GetName(), i, false});
      std::string_view older = OlderPropertyName(property->GetName());
      if (!older.empty()) names.push_back({older, i, true});
    }
    std::sort(names.begin(), names.end(),
              [](const NamedProperty& a, const NamedProperty& b) { return a.name < b.name; });
    return names;
  }
  // One table for each class, made from its first object.
  template <class Class>
  static const std::vector<NamedProperty>& NamesOfClass(const Class& sample) {
    static const std::vector<NamedProperty> names = NamesOf(sample);
    return names;
  }

  // Names that files older than 7.0 give to the same values.
  static std::string_view OlderPropertyName(std::string_view name) {
    static const std::pair<std::string_view, std::string_view> kOlder[] = {
        {"AmbientColor", "Ambient"},   {"DiffuseColor", "Diffuse"},        {"SpecularColor", "Specular"},
        {"EmissiveColor", "Emissive"}, {"ShininessExponent", "Shininess"}, {"ReflectionColor", "Reflection"}};
    for (const auto& [current, older] : kOlder)
      if (current == name) return older;
    return {};
  }

  FbxObject* ReadTexture(const FbxRecord& record, const std::string& name) {
    FbxFileTexture* texture = Track(FbxFileTexture::Create(&manager_, name.c_str()));
    texture->SetFileName(std::string(record.ChildText("FileName")).c_str());
    texture->SetRelativeFileName(std::string(record.ChildText("RelativeFilename")).c_str());
    properties_.Read(record);
    StoredProperty stored;
    auto numbers = [&](const char* key, size_t count) -> const double* {
      return properties_.Find(key, stored) && stored.count >= count ? stored.numbers : nullptr;
    };
    if (const double* t = numbers("Translation", 2)) texture->SetTranslation(t[0], t[1]);
    if (const double* s = numbers("Scaling", 2)) texture->SetScale(s[0], s[1]);
    if (const double* r = numbers("Rotation", 3)) texture->SetRotation(r[0], r[1], r[2]);
    if (const double* swap = numbers("UVSwap", 1)) texture->SetSwapUV(*swap != 0.0);
    return texture;
  }

  // ---- connections ----

  // A connection as the file gives it: its source and destination keys, and for a link to a
  // property, the property's name.
  struct Link {
    int64_t from = 0;
    int64_t to = 0;
    bool toProperty = false;
    std::string property;
  };

  bool LinkOf(const FbxRecord& record, Link& link) {
    if ((record.name != "C" && record.name != "Connect") || record.values.size() < 3) return false;
    if (!KeyOf(record.values[1], link.from) || !KeyOf(record.values[2], link.to)) return false;
    link.toProperty = record.Text(0) == "OP";
    if (link.toProperty) link.property = record.Text(3);
    return true;
  }

  void Connect(const Link& link) {
    auto source = objects_.find(link.from);
    if (source == objects_.end()) {
      // A clip connected to its texture supplies the file name when the texture has none.
      auto video = videos_.find(link.from);
      auto target = objects_.find(link.to);
      if (video != videos_.end() && target != objects_.end())
        if (auto* texture = FbxCast<FbxFileTexture>(target->second)) FillFromVideo(*texture, video->second);
      return;
    }
    FbxObject* child = source->second;
    FbxObject* parent = nullptr;
    if (link.to == 0) {
      // Nodes join the other parentless ones at the end, in file order; the first parent given wins.
      if (FbxCast<FbxNode>(child)) {
        rootLinked_.insert(child);
        return;
      }
      parent = scene_.GetRootNode();
    } else {
      auto target = objects_.find(link.to);
      if (target == objects_.end()) return;
      parent = target->second;
    }
    auto* parentNode = FbxCast<FbxNode>(parent);
    if (auto* node = FbxCast<FbxNode>(child)) {
      if (parentNode && !node->GetParent() && !rootLinked_.count(node)) parentNode->AddChild(node);
    } else if (auto* attribute = FbxCast<FbxNodeAttribute>(child)) {
      if (parentNode && !parentNode->GetNodeAttribute()) parentNode->SetNodeAttribute(attribute);
    } else if (auto* material = FbxCast<FbxSurfaceMaterial>(child)) {
      if (parentNode) parentNode->ConnectSrcObject(material);  // as AddMaterial, without counting its place
    } else if (auto* texture = FbxCast<FbxTexture>(child)) {
      if (FbxCast<FbxSurfaceMaterial>(parent))
        parent->ConnectSrcObjectToProperty(texture, link.toProperty ? link.property.c_str() : "");
    }
  }

  void FillFromVideo(FbxFileTexture& texture, const FbxRecord& video) {
    if (*texture.GetFileName()) return;
    std::string path(video.ChildText("Filename"));
    if (path.empty()) path = std::string(video.ChildText("FileName"));
    if (path.empty()) {
      properties_.Read(video);
      StoredProperty stored;
      if (properties_.Find("Path", stored)) path = stored.text;
    }
    texture.SetFileName(path.c_str());
    if (!*texture.GetRelativeFileName())
      texture.SetRelativeFileName(std::string(video.ChildText("RelativeFilename")).c_str());
  }

  void ReadDocumentInfo(FbxRecord& file) {
    const FbxRecord* meta = nullptr;
    if (const FbxRecord* header = file.Find("FBXHeaderExtension"))
      if (const FbxRecord* info = header->Find("SceneInfo")) meta = info->Find("MetaData");
    if (!meta)
      if (const FbxRecord* objects = file.Find("Objects"))
        if (const FbxRecord* info = objects->Find("SceneInfo")) meta = info->Find("MetaData");
    if (!meta) return;
    FbxDocumentInfo* info = FbxDocumentInfo::Create(&manager_, "SceneInfo");
    info->mTitle = std::string(meta->ChildText("Title")).c_str();
    info->mSubject = std::string(meta->ChildText("Subject")).c_str();
    info->mAuthor = std::string(meta->ChildText("Author")).c_str();
    info->mKeywords = std::string(meta->ChildText("Keywords")).c_str();
    info->mRevision = std::string(meta->ChildText("Revision")).c_str();
    info->mComment = std::string(meta->ChildText("Comment")).c_str();
    FbxDocumentInfo* old = scene_.GetDocumentInfo();
    scene_.SetDocumentInfo(info);
    if (old) old->Destroy();
  }

  // What no connection placed in the scene would otherwise stay with the manager until its end.
  void DestroyUnreachable() {
    std::vector<FbxObject*> reachable;
    std::vector<FbxNode*> pending{scene_.GetRootNode()};
    while (!pending.empty()) {
      FbxNode* node = pending.back();
      pending.pop_back();
      reachable.push_back(node);
      if (FbxNodeAttribute* attribute = node->GetNodeAttribute()) reachable.push_back(attribute);
      // One walk over the connections: the typed look-up by index walks them all each time.
      for (int i = 0; i < node->GetSrcObjectCount(); ++i) {
        auto* material = FbxCast<FbxSurfaceMaterial>(node->GetSrcObject(i));
        if (!material) continue;
        reachable.push_back(material);
        for (int t = 0; t < material->GetSrcObjectCount<FbxTexture>(); ++t)
          reachable.push_back(material->GetSrcObject<FbxTexture>(t));
      }
      for (int c = 0; c < node->GetChildCount(); ++c) pending.push_back(node->GetChild(c));
    }
    std::sort(reachable.begin(), reachable.end());
    for (FbxObject* object : created_)
      if (!std::binary_search(reachable.begin(), reachable.end(), object)) object->Destroy();
    created_.clear();
  }

  FbxScene& scene_;
  FbxManager& manager_;
  std::string& error_;
  const ReadOptions& options_;
  std::vector<FbxNode*> nodes_;  // in file order
  std::unordered_set<FbxObject*> rootLinked_;
  std::unordered_map<int64_t, FbxObject*> objects_;
  std::unordered_map<int64_t, FbxRecord> videos_;
  std::unordered_map<std::string, int64_t> nameKeys_;
  std::vector<FbxObject*> created_;
  StoredProperties properties_;      // of the object being read
  std::vector<StoredEntry> chosen_;  // for each property of the material being read: current name, older name
  std::vector<Link> links_;          // in file order, made once every object is
};

}  // namespace

bool ReadScene(const RecordParser& parse, FbxScene& scene, std::string& error, const ReadOptions& options) {
  SceneBuilder builder(scene, error, options);
  ReadOptions streaming = options;
  streaming.takeRecord = [&builder](std::string_view section, FbxRecord& entry, bool& taken) {
    return builder.TakeRecord(section, entry, taken);
  };
  FbxRecord file;
  if (parse(file, streaming) && builder.Build(file)) return true;
  builder.DestroyCreated();
  return false;
}

}  // namespace fbxsdk::io
