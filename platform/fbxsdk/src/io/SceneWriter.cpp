#include "SceneWriter.h"

#include <algorithm>
#include <array>
#include <ctime>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <unordered_map>

#include "LayerNames.h"
#include "ObjectNames.h"
#include "PointerMap.h"
#include "common/OsTime.h"
#include "fbxsdk/fbxgeometry.h"
#include "fbxsdk/fbxmanager.h"
#include "fbxsdk/fbxnode.h"
#include "fbxsdk/fbxscene.h"
#include "fbxsdk/fbxsurface.h"
#include "fbxsdk/fbxtexture.h"

namespace fbxsdk::io {

namespace {

constexpr int64_t kFirstId = 1000000;

// Emits a scene's records straight from its objects, in file order: nothing is built per object
// but what the file itself holds, so a scene of many materials streams out.
class FileBuilder {
public:
  explicit FileBuilder(FbxScene& scene, bool binaryNames) : scene_(scene), binaryNames_(binaryNames) {
    CollectObjects();
    os::UtcTime(std::time(nullptr), created_);  // once: the records are the same however often emitted
    AssignIds();
  }

  void Emit(RecordSink& sink) {
    sink_ = &sink;
    AddHeader();
    AddGlobalSettings();
    AddDocuments();
    Begin("References");
    End();
    AddDefinitions();
    Begin("Objects");
    for (FbxNode* node : nodes_) AddModel(*node);
    for (FbxMesh* mesh : meshes_) AddGeometry(*mesh);
    for (FbxSurfaceMaterial* material : materials_) AddMaterial(*material);
    for (FbxFileTexture* texture : textures_) AddTexture(*texture);
    End();
    // The links of each object, in the order the objects were written.
    Begin("Connections");
    for (FbxNode* node : nodes_) AddModelLinks(*node);
    for (FbxFileTexture* texture : textures_) Link(videoIds_[texture], IdOf(texture));
    AddMaterialLinks();
    End();
    Begin("Takes");
    Leaf("Current", "");
    End();
    sink_ = nullptr;
  }

private:
  void Begin(std::string_view name) { sink_->Begin(name); }
  void End() { sink_->End(); }
  void Int(int64_t v) { sink_->AddInt(v, FbxValue::Int32); }
  void Id(int64_t v) { sink_->AddInt(v, FbxValue::Int64); }
  void Text(std::string_view text) { sink_->AddText(text); }
  void Real(double v) { sink_->AddReal(v); }
  void Leaf(std::string_view name, int64_t v) {
    Begin(name);
    Int(v);
    End();
  }
  void Leaf(std::string_view name, std::string_view text) {
    Begin(name);
    Text(text);
    End();
  }
  void Leaf(std::string_view name, const FbxValue& value) {
    Begin(name);
    sink_->Add(value);
    End();
  }
  // Begins one "P" entry of a Properties70 block; the caller adds its values and ends it.
  void Property(std::string_view name, std::string_view type, std::string_view label, std::string_view flags) {
    Begin("P");
    Text(name);
    Text(type);
    Text(label);
    Text(flags);
  }
  // Begins an object's record: its id, its name with the record's class, and its subclass.
  void BeginObject(std::string_view record, int64_t id, std::string_view name, std::string_view subclass) {
    Begin(record);
    Id(id);
    Text(ObjectName(name, record));
    Text(subclass);
  }
  void EmptyBlock(std::string_view name) {
    Begin(name);
    End();
  }

  // The name as the file spells it, in a buffer reused for each.
  std::string_view ObjectName(std::string_view name, std::string_view cls) {
    name_ = EncodeObjectName(name, cls, binaryNames_);
    return name_;
  }

  int64_t IdOf(const void* object) {
    if (const int64_t* known = ids_.Find(object)) return *known;
    int64_t id = NewId();
    ids_.Insert(object, id);
    return id;
  }

  // An id that no scene object has: for records the scene keeps no object of their own for.
  int64_t NewId() { return kFirstId + issuedIds_++; }

  // Each object joins one list, once: a set remembers which have.
  template <class T>
  void AppendOnce(std::vector<T*>& list, T* item) {
    if (collected_.Insert(item, true).second) list.push_back(item);
  }

  // A node's materials: those connected to it, then any its mesh's material layers name.
  // One walk over the connections, and a set for the ones already listed, so
  // a node of many materials costs no more than linear time.
  std::vector<FbxSurfaceMaterial*> NodeMaterials(const FbxNode& node) {
    std::vector<FbxSurfaceMaterial*> list;
    PointerMap<bool> listed;
    listed.Reserve(static_cast<size_t>(node.GetSrcObjectCount()));
    auto append = [&](FbxSurfaceMaterial* material) {
      if (listed.Insert(material, true).second) list.push_back(material);
    };
    for (int i = 0; i < node.GetSrcObjectCount(); ++i) append(FbxCast<FbxSurfaceMaterial>(node.GetSrcObject(i)));
    if (FbxMesh* mesh = node.GetMesh())
      for (int e = 0; e < mesh->GetElementMaterialCount(); ++e)
        for (FbxSurfaceMaterial* material : mesh->GetElementMaterial(e)->GetDirectArray().Items())
          if (node.GetFbxManager()->Owns(material)) append(material);
    return list;
  }

  void CollectObjects() {
    std::vector<FbxNode*> pending;
    FbxNode* root = scene_.GetRootNode();
    for (int c = root->GetChildCount() - 1; c >= 0; --c) pending.push_back(root->GetChild(c));
    while (!pending.empty()) {
      FbxNode* node = pending.back();
      pending.pop_back();
      nodes_.push_back(node);
      if (FbxMesh* mesh = node->GetMesh()) AppendOnce(meshes_, mesh);
      std::vector<FbxSurfaceMaterial*> materials = NodeMaterials(*node);
      collected_.Reserve(collected_.Size() + materials.size());
      for (FbxSurfaceMaterial* material : materials) {
        AppendOnce(materials_, material);
        for (int t = 0; t < material->GetSrcObjectCount<FbxFileTexture>(); ++t)
          AppendOnce(textures_, material->GetSrcObject<FbxFileTexture>(t));
      }
      if (FbxMesh* mesh = node->GetMesh()) {
        AssignChannels(*mesh, materials);
        meshMaterials_.emplace(mesh, materials);  // the first node using a mesh decides its indices
      }
      nodeMaterials_[node] = std::move(materials);
      for (int c = node->GetChildCount() - 1; c >= 0; --c) pending.push_back(node->GetChild(c));
    }
  }

  // Texture layer elements list, per channel, the textures of the materials in
  // material order; that tells which channel a texture connected to a material drives.
  void AssignChannels(FbxMesh& mesh, const std::vector<FbxSurfaceMaterial*>& materials) {
    for (int l = 0; l < mesh.GetLayerCount(); ++l) {
      FbxLayer* layer = mesh.GetLayer(l);
      for (int t = FbxLayerElement::sTypeTextureStartIndex; t <= FbxLayerElement::sTypeTextureEndIndex; ++t) {
        auto type = static_cast<FbxLayerElement::EType>(t);
        FbxLayerElementTexture* element = layer->GetTextures(type);
        if (!element) continue;
        const auto& textures = element->GetDirectArray().Items();
        size_t cursor = 0;
        for (FbxSurfaceMaterial* material : materials) {
          if (cursor >= textures.size()) break;
          FbxTexture* texture = textures[cursor];
          bool connected = false;
          for (int s = 0; s < material->GetSrcObjectCount(); ++s)
            connected = connected || material->GetSrcObject(s) == texture;
          if (!connected) continue;
          channels_[{material, texture}].insert(ChannelOfTextureType(type));
          ++cursor;
        }
        for (FbxTexture* texture : textures) anyChannel_[texture].insert(ChannelOfTextureType(type));
      }
    }
  }

  // Ids in the order the objects are first named in the file, with the link of each model, so the
  // numbers do not depend on how the records are walked: the scene, then each model and the
  // objects its links name, geometry, materials, and each texture after its clip.
  void AssignIds() {
    ids_.Reserve(1 + collected_.Size() + nodes_.size());
    IdOf(&scene_);
    for (FbxNode* node : nodes_) {
      IdOf(node);
      if (node->GetParent() != scene_.GetRootNode()) IdOf(node->GetParent());
      if (FbxMesh* mesh = node->GetMesh()) IdOf(mesh);
      for (FbxSurfaceMaterial* material : nodeMaterials_[node]) IdOf(material);
    }
    for (FbxMesh* mesh : meshes_) IdOf(mesh);
    for (FbxSurfaceMaterial* material : materials_) IdOf(material);
    for (FbxFileTexture* texture : textures_) {
      videoIds_[texture] = NewId();  // the texture's clip: a record of its own, with no object behind it
      IdOf(texture);
    }
  }

  void AddHeader() {
    Begin("FBXHeaderExtension");
    Leaf("FBXHeaderVersion", 1003);
    Leaf("FBXVersion", kWrittenVersion);
    if (binaryNames_) Leaf("EncryptionType", 0);
    Begin("CreationTimeStamp");
    Leaf("Version", 1000);
    Leaf("Year", created_.tm_year + 1900);
    Leaf("Month", created_.tm_mon + 1);
    Leaf("Day", created_.tm_mday);
    Leaf("Hour", created_.tm_hour);
    Leaf("Minute", created_.tm_min);
    Leaf("Second", created_.tm_sec);
    Leaf("Millisecond", 0);
    End();
    Leaf("Creator", "Pigmora applink FBX library");
    Begin("SceneInfo");
    Text(ObjectName("GlobalInfo", "SceneInfo"));
    Text("UserData");
    Leaf("Type", "UserData");
    Leaf("Version", 100);
    Begin("MetaData");
    Leaf("Version", 100);
    FbxDocumentInfo* document = scene_.GetDocumentInfo();
    auto field = [&](const char* name, const FbxString* value) { Leaf(name, value ? value->Buffer() : ""); };
    field("Title", document ? &document->mTitle : nullptr);
    field("Subject", document ? &document->mSubject : nullptr);
    field("Author", document ? &document->mAuthor : nullptr);
    field("Keywords", document ? &document->mKeywords : nullptr);
    field("Revision", document ? &document->mRevision : nullptr);
    field("Comment", document ? &document->mComment : nullptr);
    End();
    EmptyBlock("Properties70");
    End();
    End();
  }

  void AddGlobalSettings() {
    Begin("GlobalSettings");
    Leaf("Version", 1000);
    Begin("Properties70");
    // Y up, right-handed, centimetres: what most tools assume.
    const std::pair<const char*, int> axes[] = {{"UpAxis", 1},         {"UpAxisSign", 1},        {"FrontAxis", 2},
                                                {"FrontAxisSign", 1},  {"CoordAxis", 0},         {"CoordAxisSign", 1},
                                                {"OriginalUpAxis", 1}, {"OriginalUpAxisSign", 1}};
    for (const auto& [name, value] : axes) {
      Property(name, "int", "Integer", "");
      Int(value);
      End();
    }
    for (const char* name : {"UnitScaleFactor", "OriginalUnitScaleFactor"}) {
      Property(name, "double", "Number", "");
      Real(1.0);
      End();
    }
    End();
    End();
  }

  void AddDocuments() {
    Begin("Documents");
    Leaf("Count", 1);
    Begin("Document");
    Id(IdOf(&scene_));
    Text("Scene");
    Text("Scene");
    EmptyBlock("Properties70");
    Leaf("RootNode", FbxValue::MakeInt(0, FbxValue::Int64));
    End();
    End();
  }

  void AddDefinitions() {
    Begin("Definitions");
    Leaf("Version", 100);
    const std::pair<const char*, size_t> types[] = {{"GlobalSettings", 1},         {"Model", nodes_.size()},
                                                    {"Geometry", meshes_.size()},  {"Material", materials_.size()},
                                                    {"Texture", textures_.size()}, {"Video", textures_.size()}};
    size_t total = 0;
    for (const auto& [name, count] : types) total += count;
    Leaf("Count", static_cast<int64_t>(total));
    for (const auto& [name, count] : types) {
      if (!count) continue;
      Begin("ObjectType");
      Text(name);
      Leaf("Count", static_cast<int64_t>(count));
      if (name == std::string_view("Material")) AddMaterialTemplates();
      End();
    }
    End();
  }

  // The starting values of each material class the file uses: a material lists only the
  // properties it has changed, as readers take the rest from here.
  void AddMaterialTemplates() {
    FbxSurfaceMaterial* firstOfClass[2] = {};
    for (FbxSurfaceMaterial* material : materials_) {
      FbxSurfaceMaterial*& first = firstOfClass[IsPhong(*material)];
      if (!first) first = material;
    }
    for (FbxSurfaceMaterial* material : firstOfClass) {
      if (!material) continue;
      Begin("PropertyTemplate");
      Text(IsPhong(*material) ? "FbxSurfacePhong" : "FbxSurfaceLambert");
      AddMaterialProperties(*material, true);
      End();
    }
  }

  static bool IsPhong(FbxSurfaceMaterial& material) { return FbxCast<FbxSurfacePhong>(&material) != nullptr; }

  // A material's Properties70: all at their class's starting values for its class's template,
  // or those the material has changed.
  void AddMaterialProperties(FbxSurfaceMaterial& material, bool classValues) {
    Begin("Properties70");
    Property("ShadingModel", "KString", "", "");
    Text(IsPhong(material) ? "Phong" : "Lambert");
    End();
    for (int i = 0; i < material.GetPropertyCount(); ++i) {
      FbxProperty* property = material.GetPropertyAt(i);
      int count = property->GetValueCount();
      if (count == 0 || (!classValues && property->HoldsClassValue())) continue;
      const double* values = classValues ? property->GetClassInfo().numbers : property->GetValues();
      Property(property->GetName(), count == 3 ? "Color" : "Number", "", "A");
      for (int v = 0; v < count; ++v) Real(values[v]);
      End();
    }
    End();
  }

  void AddModel(FbxNode& node) {
    BeginObject("Model", IdOf(&node), node.GetName(), node.GetMesh() ? "Mesh" : "Null");
    Leaf("Version", 232);
    Begin("Properties70");
    Property("DefaultAttributeIndex", "int", "Integer", "");
    Int(0);
    End();
    End();
    Leaf("Culling", "CullingOff");
    End();
  }

  void AddModelLinks(FbxNode& node) {
    FbxNode* parent = node.GetParent();
    Link(IdOf(&node), parent == scene_.GetRootNode() ? 0 : IdOf(parent));
    if (FbxMesh* mesh = node.GetMesh()) Link(IdOf(mesh), IdOf(&node));
    for (FbxSurfaceMaterial* material : nodeMaterials_[&node]) Link(IdOf(material), IdOf(&node));
  }

  void Link(int64_t from, int64_t to, const char* property = nullptr) {
    Begin("C");
    Text(property ? "OP" : "OO");
    Id(from);
    Id(to);
    if (property) Text(property);
    End();
  }

  void AddGeometry(FbxMesh& mesh) {
    BeginObject("Geometry", IdOf(&mesh), mesh.GetName(), "Mesh");
    EmptyBlock("Properties70");
    Leaf("GeometryVersion", 124);

    DoubleBuffer points;
    points.reserve(static_cast<size_t>(mesh.GetControlPointsCount()) * 3);
    for (const FbxVector4& p : mesh.ControlPoints()) points.insert(points.end(), {p[0], p[1], p[2]});
    Leaf("Vertices", FbxValue::MakeDoubles(std::move(points)));

    // The last corner of each polygon is stored as its bitwise complement.
    std::vector<int32_t> corners(mesh.PolygonVertices());
    for (int p = 0; p < mesh.GetPolygonCount(); ++p) {
      int size = mesh.GetPolygonSize(p);
      if (size > 0) {
        int32_t& last = corners[static_cast<size_t>(mesh.GetPolygonVertexIndex(p) + size - 1)];
        last = ~last;
      }
    }
    Leaf("PolygonVertexIndex", FbxValue::MakeInts(std::move(corners)));

    // Elements in layer order get typed indices per kind; the layers then refer to them.
    std::vector<std::vector<std::pair<const char*, int>>> layers(static_cast<size_t>(mesh.GetLayerCount()));
    int uvCount = 0, materialCount = 0;
    const std::vector<FbxSurfaceMaterial*>& materials = PrimaryNodeMaterials(mesh);
    for (int l = 0; l < mesh.GetLayerCount(); ++l) {
      FbxLayer* layer = mesh.GetLayer(l);
      for (int t = FbxLayerElement::sTypeTextureStartIndex; t <= FbxLayerElement::sTypeTextureEndIndex; ++t)
        if (FbxLayerElementUV* uvs = layer->GetUVs(static_cast<FbxLayerElement::EType>(t))) {
          AddUVs(*uvs, uvCount);
          layers[static_cast<size_t>(l)].push_back({"LayerElementUV", uvCount++});
        }
      if (FbxLayerElementMaterial* element = layer->GetMaterials()) {
        AddMaterialElement(*element, materials, materialCount);
        layers[static_cast<size_t>(l)].push_back({"LayerElementMaterial", materialCount++});
      }
    }
    for (size_t l = 0; l < layers.size(); ++l) {
      if (layers[l].empty()) continue;
      Begin("Layer");
      Int(static_cast<int64_t>(l));
      Leaf("Version", 100);
      for (const auto& [type, typed] : layers[l]) {
        Begin("LayerElement");
        Leaf("Type", type);
        Leaf("TypedIndex", typed);
        End();
      }
      End();
    }
    End();
  }

  const std::vector<FbxSurfaceMaterial*>& PrimaryNodeMaterials(FbxMesh& mesh) {
    static const std::vector<FbxSurfaceMaterial*> kNone;
    auto found = meshMaterials_.find(&mesh);
    return found == meshMaterials_.end() ? kNone : found->second;
  }

  void AddElementHeader(const FbxLayerElement& source, int version) {
    Leaf("Version", version);
    Leaf("Name", source.GetName());
    Leaf("MappingInformationType", MappingName(source.GetMappingMode()));
    Leaf("ReferenceInformationType", ReferenceName(source.GetReferenceMode()));
  }

  void AddUVs(FbxLayerElementUV& uvs, int typed) {
    Begin("LayerElementUV");
    Int(typed);
    AddElementHeader(uvs, 101);
    // UV pairs are two adjacent doubles, exactly as the file stores them.
    static_assert(sizeof(FbxVector2) == 2 * sizeof(double));
    const auto& direct = uvs.GetDirectArray().Items();
    Leaf("UV", FbxValue::BorrowDoubles(direct.empty() ? nullptr : direct.front().Buffer(), direct.size() * 2));
    const auto& indices = uvs.GetIndexArray().Items();
    if (uvs.GetReferenceMode() != FbxLayerElement::eDirect)
      Leaf("UVIndex", FbxValue::BorrowInts(indices.data(), indices.size()));
    End();
  }

  void AddMaterialElement(FbxLayerElementMaterial& source, const std::vector<FbxSurfaceMaterial*>& materials,
                          int typed) {
    Begin("LayerElementMaterial");
    Int(typed);
    AddElementHeader(source, 101);
    if (source.GetReferenceMode() != FbxLayerElement::eDirect) {
      const auto& stored = source.GetIndexArray().Items();
      Leaf("Materials", FbxValue::BorrowInts(stored.data(), stored.size()));
    } else {
      // Direct entries are materials; files store their positions in the node's list.
      PointerMap<int32_t> positions;
      positions.Reserve(materials.size());
      for (size_t m = 0; m < materials.size(); ++m)
        positions.Insert(materials[m], static_cast<int32_t>(m));  // first wins
      std::vector<int32_t> indices;
      for (FbxSurfaceMaterial* material : source.GetDirectArray().Items()) {
        const int32_t* found = positions.Find(material);
        indices.push_back(found ? *found : -1);
      }
      Leaf("Materials", FbxValue::MakeInts(std::move(indices)));
    }
    End();
  }

  void AddMaterial(FbxSurfaceMaterial& material) {
    BeginObject("Material", IdOf(&material), material.GetName(), "");
    Leaf("Version", 102);
    Leaf("ShadingModel", IsPhong(material) ? "phong" : "lambert");
    Leaf("MultiLayer", 0);
    AddMaterialProperties(material, false);
    End();
  }

  void AddTexture(FbxFileTexture& texture) {
    std::string_view path = texture.GetFileName();
    std::string_view relative = *texture.GetRelativeFileName() ? texture.GetRelativeFileName() : path;
    BeginObject("Video", videoIds_[&texture], texture.GetName(), "Clip");
    Leaf("Type", "Clip");
    Begin("Properties70");
    Property("Path", "KString", "XRefUrl", "");
    Text(path);
    End();
    End();
    Leaf("UseMipMap", 0);
    Leaf("Filename", path);
    Leaf("RelativeFilename", relative);
    End();

    BeginObject("Texture", IdOf(&texture), texture.GetName(), "");
    Leaf("Type", "TextureVideoClip");
    Leaf("Version", 202);
    Leaf("TextureName", ObjectName(texture.GetName(), "Texture"));
    Begin("Properties70");
    Property("CurrentTextureBlendMode", "enum", "", "");
    Int(0);
    End();
    Property("UVSet", "KString", "", "");
    Text("default");
    End();
    Property("UseMaterial", "bool", "", "");
    Int(texture.GetMaterialUse() == FbxFileTexture::eModelMaterial ? 1 : 0);
    End();
    Property("UVSwap", "bool", "", "");
    Int(texture.GetSwapUV() ? 1 : 0);
    End();
    FbxDouble2 t = texture.GetTranslation(), s = texture.GetScale();
    FbxDouble3 r = texture.GetRotation();
    const std::pair<const char*, std::array<double, 3>> vectors[] = {
        {"Translation", {t[0], t[1], 0.0}}, {"Rotation", {r[0], r[1], r[2]}}, {"Scaling", {s[0], s[1], 1.0}}};
    for (const auto& [name, xyz] : vectors) {
      Property(name, "Vector", "", "A");
      for (double v : xyz) Real(v);
      End();
    }
    End();
    Leaf("Media", ObjectName(texture.GetName(), "Video"));
    Leaf("FileName", path);
    Leaf("RelativeFilename", relative);
    Begin("ModelUVTranslation");
    Real(t[0]);
    Real(t[1]);
    End();
    Begin("ModelUVScaling");
    Real(s[0]);
    Real(s[1]);
    End();
    Leaf("Texture_Alpha_Source", "None");
    Begin("Cropping");
    for (int i = 0; i < 4; ++i) Int(0);
    End();
    End();
  }

  // Textures connect to the material property of their channel.
  void AddMaterialLinks() {
    for (FbxSurfaceMaterial* material : materials_) {
      for (int s = 0; s < material->GetSrcObjectCount(); ++s) {
        auto* texture = FbxCast<FbxFileTexture>(material->GetSrcObject(s));
        if (!texture) continue;
        std::string property = material->GetSrcPropertyName(s);
        std::set<std::string> channels;
        if (!property.empty()) {
          channels.insert(property);
        } else if (auto found = channels_.find({material, texture}); found != channels_.end()) {
          channels.insert(found->second.begin(), found->second.end());
        } else if (auto any = anyChannel_.find(texture); any != anyChannel_.end()) {
          channels.insert(any->second.begin(), any->second.end());
        } else {
          channels.insert(FbxSurfaceMaterial::sDiffuse);
        }
        for (const std::string& channel : channels) Link(IdOf(texture), IdOf(material), channel.c_str());
      }
    }
  }

  FbxScene& scene_;
  bool binaryNames_;
  RecordSink* sink_ = nullptr;  // while emitting
  std::tm created_{};
  std::string name_;
  PointerMap<int64_t> ids_;
  std::unordered_map<const FbxFileTexture*, int64_t> videoIds_;
  int64_t issuedIds_ = 0;
  std::vector<FbxNode*> nodes_;
  PointerMap<bool> collected_;  // what AppendOnce has listed
  std::vector<FbxMesh*> meshes_;
  std::vector<FbxSurfaceMaterial*> materials_;
  std::vector<FbxFileTexture*> textures_;
  std::map<const FbxNode*, std::vector<FbxSurfaceMaterial*>> nodeMaterials_;
  std::map<const FbxMesh*, std::vector<FbxSurfaceMaterial*>> meshMaterials_;
  std::map<std::pair<const FbxSurfaceMaterial*, const FbxTexture*>, std::set<std::string>> channels_;
  std::map<const FbxTexture*, std::set<std::string>> anyChannel_;
};

}  // namespace

RecordSource SceneRecords(FbxScene& scene, bool binaryNames) {
  auto builder = std::make_shared<FileBuilder>(scene, binaryNames);
  return [builder](RecordSink& sink) { builder->Emit(sink); };
}

FbxRecord BuildFileRecords(FbxScene& scene, bool binaryNames) {
  RecordTreeSink tree;
  SceneRecords(scene, binaryNames)(tree);
  return tree.Take();
}

}  // namespace fbxsdk::io
