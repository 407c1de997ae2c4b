#include "SceneWriter.h"

#include <algorithm>
#include <ctime>
#include <map>
#include <set>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "LayerNames.h"
#include "ObjectNames.h"
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

FbxValue Int(int64_t v) { return FbxValue::MakeInt(v, FbxValue::Int32); }
FbxValue Id(int64_t v) { return FbxValue::MakeInt(v, FbxValue::Int64); }
FbxValue Text(std::string_view s) { return FbxValue::MakeString(s); }
FbxValue Real(double v) { return FbxValue::MakeDouble(v); }

void AddChild(FbxRecord& parent, std::string_view name, FbxValue value) {
  parent.Add(name).values.push_back(std::move(value));
}

// One "P" entry of a Properties70 block, with room for the values the caller adds: files of many
// objects hold millions of these.
FbxRecord& AddProperty(FbxRecord& block, std::string_view name, std::string_view type, std::string_view label,
                       std::string_view flags, size_t valueCount = 1) {
  FbxRecord& p = block.Add("P");
  p.values.reserve(4 + valueCount);
  p.values = {Text(name), Text(type), Text(label), Text(flags)};
  return p;
}

class FileBuilder {
public:
  FileBuilder(FbxScene& scene, bool binaryNames) : scene_(scene), binaryNames_(binaryNames) {}

  FbxRecord Build() {
    CollectObjects();
    FbxRecord file;
    AddHeader(file);
    AddGlobalSettings(file);
    AddDocuments(file);
    file.Add("References");
    AddDefinitions(file);
    FbxRecord& objects = file.Add("Objects");
    FbxRecord& connections = file.Add("Connections");
    for (FbxNode* node : nodes_) AddModel(objects, connections, *node);
    for (FbxMesh* mesh : meshes_) AddGeometry(objects, *mesh);
    for (FbxSurfaceMaterial* material : materials_) AddMaterial(objects, *material);
    for (FbxFileTexture* texture : textures_) AddTexture(objects, connections, *texture);
    AddMaterialLinks(connections);
    AddChild(file.Add("Takes"), "Current", Text(""));
    return file;
  }

private:
  std::string ObjectName(std::string_view name, std::string_view cls) const {
    return EncodeObjectName(name, cls, binaryNames_);
  }

  int64_t IdOf(const void* object) {
    auto found = ids_.find(object);
    if (found != ids_.end()) return found->second;
    int64_t id = NewId();
    ids_.emplace(object, id);
    return id;
  }

  // An id that no scene object has: for records the scene keeps no object of their own for.
  int64_t NewId() { return kFirstId + issuedIds_++; }

  // Each object joins one list, once: a set remembers which have.
  template <class T>
  void AppendOnce(std::vector<T*>& list, T* item) {
    if (item && collected_.insert(item).second) list.push_back(item);
  }

  // A node's materials: those connected to it, then any its mesh's material layers name.
  // One walk over the connections, and a set for the ones already listed, so
  // a node of many materials costs no more than linear time.
  std::vector<FbxSurfaceMaterial*> NodeMaterials(const FbxNode& node) {
    std::vector<FbxSurfaceMaterial*> list;
    std::unordered_set<const FbxSurfaceMaterial*> listed;
    auto append = [&](FbxSurfaceMaterial* material) {
      if (material && listed.insert(material).second) list.push_back(material);
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

  void AddHeader(FbxRecord& file) {
    FbxRecord& header = file.Add("FBXHeaderExtension");
    AddChild(header, "FBXHeaderVersion", Int(1003));
    AddChild(header, "FBXVersion", Int(kWrittenVersion));
    if (binaryNames_) AddChild(header, "EncryptionType", Int(0));
    std::time_t now = std::time(nullptr);
    std::tm utc{};
    os::UtcTime(now, utc);
    FbxRecord& stamp = header.Add("CreationTimeStamp");
    AddChild(stamp, "Version", Int(1000));
    AddChild(stamp, "Year", Int(utc.tm_year + 1900));
    AddChild(stamp, "Month", Int(utc.tm_mon + 1));
    AddChild(stamp, "Day", Int(utc.tm_mday));
    AddChild(stamp, "Hour", Int(utc.tm_hour));
    AddChild(stamp, "Minute", Int(utc.tm_min));
    AddChild(stamp, "Second", Int(utc.tm_sec));
    AddChild(stamp, "Millisecond", Int(0));
    AddChild(header, "Creator", Text("Pigmora applink FBX library"));
    FbxRecord& info = header.Add("SceneInfo");
    info.values = {Text(ObjectName("GlobalInfo", "SceneInfo")), Text("UserData")};
    AddChild(info, "Type", Text("UserData"));
    AddChild(info, "Version", Int(100));
    FbxRecord& meta = info.Add("MetaData");
    AddChild(meta, "Version", Int(100));
    FbxDocumentInfo* document = scene_.GetDocumentInfo();
    auto field = [&](const char* name, const FbxString* value) {
      AddChild(meta, name, Text(value ? value->Buffer() : ""));
    };
    field("Title", document ? &document->mTitle : nullptr);
    field("Subject", document ? &document->mSubject : nullptr);
    field("Author", document ? &document->mAuthor : nullptr);
    field("Keywords", document ? &document->mKeywords : nullptr);
    field("Revision", document ? &document->mRevision : nullptr);
    field("Comment", document ? &document->mComment : nullptr);
    info.Add("Properties70");
  }

  void AddGlobalSettings(FbxRecord& file) {
    FbxRecord& settings = file.Add("GlobalSettings");
    AddChild(settings, "Version", Int(1000));
    FbxRecord& properties = settings.Add("Properties70");
    // Y up, right-handed, centimetres: what most tools assume.
    const std::pair<const char*, int> axes[] = {{"UpAxis", 1},         {"UpAxisSign", 1},        {"FrontAxis", 2},
                                                {"FrontAxisSign", 1},  {"CoordAxis", 0},         {"CoordAxisSign", 1},
                                                {"OriginalUpAxis", 1}, {"OriginalUpAxisSign", 1}};
    for (const auto& [name, value] : axes)
      AddProperty(properties, name, "int", "Integer", "").values.push_back(Int(value));
    AddProperty(properties, "UnitScaleFactor", "double", "Number", "").values.push_back(Real(1.0));
    AddProperty(properties, "OriginalUnitScaleFactor", "double", "Number", "").values.push_back(Real(1.0));
  }

  void AddDocuments(FbxRecord& file) {
    FbxRecord& documents = file.Add("Documents");
    AddChild(documents, "Count", Int(1));
    FbxRecord& document = documents.Add("Document");
    document.values = {Id(IdOf(&scene_)), Text("Scene"), Text("Scene")};
    document.Add("Properties70");
    AddChild(document, "RootNode", Id(0));
  }

  void AddDefinitions(FbxRecord& file) {
    FbxRecord& definitions = file.Add("Definitions");
    AddChild(definitions, "Version", Int(100));
    std::vector<std::pair<const char*, size_t>> types = {{"GlobalSettings", 1},         {"Model", nodes_.size()},
                                                         {"Geometry", meshes_.size()},  {"Material", materials_.size()},
                                                         {"Texture", textures_.size()}, {"Video", textures_.size()}};
    size_t total = 0;
    for (const auto& [name, count] : types) total += count;
    AddChild(definitions, "Count", Int(static_cast<int64_t>(total)));
    for (const auto& [name, count] : types) {
      if (!count) continue;
      FbxRecord& type = definitions.Add("ObjectType");
      type.values.push_back(Text(name));
      AddChild(type, "Count", Int(static_cast<int64_t>(count)));
    }
  }

  void AddModel(FbxRecord& objects, FbxRecord& connections, FbxNode& node) {
    FbxRecord& model = objects.Add("Model");
    FbxMesh* mesh = node.GetMesh();
    model.values = {Id(IdOf(&node)), Text(ObjectName(node.GetName(), "Model")), Text(mesh ? "Mesh" : "Null")};
    AddChild(model, "Version", Int(232));
    FbxRecord& properties = model.Add("Properties70");
    AddProperty(properties, "DefaultAttributeIndex", "int", "Integer", "").values.push_back(Int(0));
    AddChild(model, "Culling", Text("CullingOff"));

    FbxNode* parent = node.GetParent();
    Link(connections, IdOf(&node), parent == scene_.GetRootNode() ? 0 : IdOf(parent));
    if (mesh) Link(connections, IdOf(mesh), IdOf(&node));
    for (FbxSurfaceMaterial* material : nodeMaterials_[&node]) Link(connections, IdOf(material), IdOf(&node));
  }

  static void Link(FbxRecord& connections, int64_t from, int64_t to, const char* property = nullptr) {
    FbxRecord& c = connections.Add("C");
    c.values = {Text(property ? "OP" : "OO"), Id(from), Id(to)};
    if (property) c.values.push_back(Text(property));
  }

  void AddGeometry(FbxRecord& objects, FbxMesh& mesh) {
    FbxRecord& geometry = objects.Add("Geometry");
    geometry.values = {Id(IdOf(&mesh)), Text(ObjectName(mesh.GetName(), "Geometry")), Text("Mesh")};
    geometry.Add("Properties70");
    AddChild(geometry, "GeometryVersion", Int(124));

    DoubleBuffer points;
    points.reserve(static_cast<size_t>(mesh.GetControlPointsCount()) * 3);
    for (const FbxVector4& p : mesh.ControlPoints()) points.insert(points.end(), {p[0], p[1], p[2]});
    AddChild(geometry, "Vertices", FbxValue::MakeDoubles(std::move(points)));

    // The last corner of each polygon is stored as its bitwise complement.
    std::vector<int32_t> corners(mesh.PolygonVertices());
    for (int p = 0; p < mesh.GetPolygonCount(); ++p) {
      int size = mesh.GetPolygonSize(p);
      if (size > 0) {
        int32_t& last = corners[static_cast<size_t>(mesh.GetPolygonVertexIndex(p) + size - 1)];
        last = ~last;
      }
    }
    AddChild(geometry, "PolygonVertexIndex", FbxValue::MakeInts(std::move(corners)));

    // Elements in layer order get typed indices per kind; the layers then refer to them.
    std::vector<std::vector<std::pair<const char*, int>>> layers(static_cast<size_t>(mesh.GetLayerCount()));
    int uvCount = 0, materialCount = 0;
    std::vector<FbxSurfaceMaterial*> materials = PrimaryNodeMaterials(mesh);
    for (int l = 0; l < mesh.GetLayerCount(); ++l) {
      FbxLayer* layer = mesh.GetLayer(l);
      for (int t = FbxLayerElement::sTypeTextureStartIndex; t <= FbxLayerElement::sTypeTextureEndIndex; ++t)
        if (FbxLayerElementUV* uvs = layer->GetUVs(static_cast<FbxLayerElement::EType>(t))) {
          AddUVs(geometry, *uvs, uvCount);
          layers[static_cast<size_t>(l)].push_back({"LayerElementUV", uvCount++});
        }
      if (FbxLayerElementMaterial* element = layer->GetMaterials()) {
        AddMaterialElement(geometry, *element, materials, materialCount);
        layers[static_cast<size_t>(l)].push_back({"LayerElementMaterial", materialCount++});
      }
    }
    for (size_t l = 0; l < layers.size(); ++l) {
      if (layers[l].empty()) continue;
      FbxRecord& layer = geometry.Add("Layer");
      layer.values.push_back(Int(static_cast<int64_t>(l)));
      AddChild(layer, "Version", Int(100));
      for (const auto& [type, typed] : layers[l]) {
        FbxRecord& entry = layer.Add("LayerElement");
        AddChild(entry, "Type", Text(type));
        AddChild(entry, "TypedIndex", Int(typed));
      }
    }
  }

  std::vector<FbxSurfaceMaterial*> PrimaryNodeMaterials(FbxMesh& mesh) {
    auto found = meshMaterials_.find(&mesh);
    return found == meshMaterials_.end() ? std::vector<FbxSurfaceMaterial*>() : found->second;
  }

  static void AddElementHeader(FbxRecord& element, const FbxLayerElement& source, int version) {
    AddChild(element, "Version", Int(version));
    AddChild(element, "Name", Text(source.GetName()));
    AddChild(element, "MappingInformationType", Text(MappingName(source.GetMappingMode())));
    AddChild(element, "ReferenceInformationType", Text(ReferenceName(source.GetReferenceMode())));
  }

  static void AddUVs(FbxRecord& geometry, FbxLayerElementUV& uvs, int typed) {
    FbxRecord& element = geometry.Add("LayerElementUV");
    element.values.push_back(Int(typed));
    AddElementHeader(element, uvs, 101);
    // UV pairs are two adjacent doubles, exactly as the file stores them.
    static_assert(sizeof(FbxVector2) == 2 * sizeof(double));
    const auto& direct = uvs.GetDirectArray().Items();
    AddChild(element, "UV",
             FbxValue::BorrowDoubles(direct.empty() ? nullptr : direct.front().Buffer(), direct.size() * 2));
    const auto& indices = uvs.GetIndexArray().Items();
    if (uvs.GetReferenceMode() != FbxLayerElement::eDirect)
      AddChild(element, "UVIndex", FbxValue::BorrowInts(indices.data(), indices.size()));
  }

  static void AddMaterialElement(FbxRecord& geometry, FbxLayerElementMaterial& source,
                                 const std::vector<FbxSurfaceMaterial*>& materials, int typed) {
    FbxRecord& element = geometry.Add("LayerElementMaterial");
    element.values.push_back(Int(typed));
    AddElementHeader(element, source, 101);
    if (source.GetReferenceMode() != FbxLayerElement::eDirect) {
      const auto& stored = source.GetIndexArray().Items();
      AddChild(element, "Materials", FbxValue::BorrowInts(stored.data(), stored.size()));
      return;
    }
    // Direct entries are materials; files store their positions in the node's list.
    std::unordered_map<const FbxSurfaceMaterial*, int32_t> positions;
    for (size_t m = materials.size(); m-- > 0;) positions[materials[m]] = static_cast<int32_t>(m);  // first wins
    std::vector<int32_t> indices;
    for (FbxSurfaceMaterial* material : source.GetDirectArray().Items()) {
      auto found = positions.find(material);
      indices.push_back(found == positions.end() ? -1 : found->second);
    }
    AddChild(element, "Materials", FbxValue::MakeInts(std::move(indices)));
  }

  void AddMaterial(FbxRecord& objects, FbxSurfaceMaterial& material) {
    FbxRecord& record = objects.Add("Material");
    record.values = {Id(IdOf(&material)), Text(ObjectName(material.GetName(), "Material")), Text("")};
    AddChild(record, "Version", Int(102));
    bool phong = FbxCast<FbxSurfacePhong>(&material) != nullptr;
    AddChild(record, "ShadingModel", Text(phong ? "phong" : "lambert"));
    AddChild(record, "MultiLayer", Int(0));
    FbxRecord& properties = record.Add("Properties70");
    properties.children.reserve(1 + static_cast<size_t>(material.GetPropertyCount()));
    AddProperty(properties, "ShadingModel", "KString", "", "").values.push_back(Text(phong ? "Phong" : "Lambert"));
    for (int i = 0; i < material.GetPropertyCount(); ++i) {
      FbxProperty* property = material.GetPropertyAt(i);
      int count = property->GetValueCount();
      if (count == 0) continue;
      FbxRecord& p = AddProperty(properties, property->GetName(), count == 3 ? "Color" : "Number", "", "A",
                                 static_cast<size_t>(count));
      for (int v = 0; v < count; ++v) p.values.push_back(Real(property->GetValues()[v]));
    }
  }

  void AddTexture(FbxRecord& objects, FbxRecord& connections, FbxFileTexture& texture) {
    std::string path = texture.GetFileName();
    std::string relative = *texture.GetRelativeFileName() ? texture.GetRelativeFileName() : path;
    FbxRecord& video = objects.Add("Video");
    int64_t videoId = NewId();  // the texture's clip: a record of its own, with no object behind it
    video.values = {Id(videoId), Text(ObjectName(texture.GetName(), "Video")), Text("Clip")};
    AddChild(video, "Type", Text("Clip"));
    FbxRecord& videoProperties = video.Add("Properties70");
    AddProperty(videoProperties, "Path", "KString", "XRefUrl", "").values.push_back(Text(path));
    AddChild(video, "UseMipMap", Int(0));
    AddChild(video, "Filename", Text(path));
    AddChild(video, "RelativeFilename", Text(relative));

    FbxRecord& record = objects.Add("Texture");
    record.values = {Id(IdOf(&texture)), Text(ObjectName(texture.GetName(), "Texture")), Text("")};
    AddChild(record, "Type", Text("TextureVideoClip"));
    AddChild(record, "Version", Int(202));
    AddChild(record, "TextureName", Text(ObjectName(texture.GetName(), "Texture")));
    FbxRecord& properties = record.Add("Properties70");
    AddProperty(properties, "CurrentTextureBlendMode", "enum", "", "").values.push_back(Int(0));
    AddProperty(properties, "UVSet", "KString", "", "").values.push_back(Text("default"));
    AddProperty(properties, "UseMaterial", "bool", "", "")
        .values.push_back(Int(texture.GetMaterialUse() == FbxFileTexture::eModelMaterial ? 1 : 0));
    AddProperty(properties, "UVSwap", "bool", "", "").values.push_back(Int(texture.GetSwapUV() ? 1 : 0));
    FbxDouble2 t = texture.GetTranslation(), s = texture.GetScale();
    FbxDouble3 r = texture.GetRotation();
    FbxRecord& translation = AddProperty(properties, "Translation", "Vector", "", "A", 3);
    translation.values.insert(translation.values.end(), {Real(t[0]), Real(t[1]), Real(0.0)});
    FbxRecord& rotation = AddProperty(properties, "Rotation", "Vector", "", "A", 3);
    rotation.values.insert(rotation.values.end(), {Real(r[0]), Real(r[1]), Real(r[2])});
    FbxRecord& scaling = AddProperty(properties, "Scaling", "Vector", "", "A", 3);
    scaling.values.insert(scaling.values.end(), {Real(s[0]), Real(s[1]), Real(1.0)});
    AddChild(record, "Media", Text(ObjectName(texture.GetName(), "Video")));
    AddChild(record, "FileName", Text(path));
    AddChild(record, "RelativeFilename", Text(relative));
    FbxRecord& uvTranslation = record.Add("ModelUVTranslation");
    uvTranslation.values = {Real(t[0]), Real(t[1])};
    FbxRecord& uvScaling = record.Add("ModelUVScaling");
    uvScaling.values = {Real(s[0]), Real(s[1])};
    AddChild(record, "Texture_Alpha_Source", Text("None"));
    FbxRecord& cropping = record.Add("Cropping");
    cropping.values = {Int(0), Int(0), Int(0), Int(0)};
    Link(connections, videoId, IdOf(&texture));
  }

  // Textures connect to the material property of their channel.
  void AddMaterialLinks(FbxRecord& connections) {
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
        for (const std::string& channel : channels) Link(connections, IdOf(texture), IdOf(material), channel.c_str());
      }
    }
  }

  FbxScene& scene_;
  bool binaryNames_;
  std::map<const void*, int64_t> ids_;
  int64_t issuedIds_ = 0;
  std::vector<FbxNode*> nodes_;
  std::unordered_set<const void*> collected_;  // what AppendOnce has listed
  std::vector<FbxMesh*> meshes_;
  std::vector<FbxSurfaceMaterial*> materials_;
  std::vector<FbxFileTexture*> textures_;
  std::map<const FbxNode*, std::vector<FbxSurfaceMaterial*>> nodeMaterials_;
  std::map<const FbxMesh*, std::vector<FbxSurfaceMaterial*>> meshMaterials_;
  std::map<std::pair<const FbxSurfaceMaterial*, const FbxTexture*>, std::set<std::string>> channels_;
  std::map<const FbxTexture*, std::set<std::string>> anyChannel_;
};

}  // namespace

FbxRecord BuildFileRecords(FbxScene& scene, bool binaryNames) {
  FileBuilder builder(scene, binaryNames);
  return builder.Build();
}

}  // namespace fbxsdk::io
