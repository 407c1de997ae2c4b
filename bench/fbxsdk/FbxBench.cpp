// fbxsdk_bench [QUADS_PER_SIDE] [FOLDER]: writes a grid of QUADS_PER_SIDE^2 quads (default
// 1000, a million quads) with one UV per polygon vertex (indexed) and two materials in
// both encodings, then reads each file back, printing seconds, MB/s and peak memory.
// Then the same grid as Blender exports it: binary, compressed arrays, shared UVs, one material,
// edges and normals by polygon vertex (which the reader steps over), written and read back in
// both encodings.
#include <fbxsdk.h>
#include <malloc.h>

#include <unistd.h>
#include "io/OutputFile.h"
#include "io/RecordWriters.h"
#include "io/SceneWriter.h"

#include <sys/stat.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <string>

namespace {

// Wall-clock and CPU seconds; on a shared machine the CPU time is the steadier figure.
struct Stopwatch {
  std::chrono::steady_clock::time_point wall = std::chrono::steady_clock::now();
  double cpu = CpuSeconds();
  static double CpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
  }
  double Wall() const { return std::chrono::duration<double>(std::chrono::steady_clock::now() - wall).count(); }
  double Cpu() const { return CpuSeconds() - cpu; }
};

// Reads a "VmXXX:" line of /proc/self/status in kB.
long StatusKb(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  size_t n = std::strlen(field);
  while (std::getline(status, line))
    if (line.compare(0, n, field) == 0) return std::atol(line.c_str() + n);
  return -1;
}

// Starts a new peak: the kernel's high-water mark drops to the current size.
void ResetPeak() {
  malloc_trim(0);
  std::ofstream("/proc/self/clear_refs") << "5";
}

double FileMB(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 ? static_cast<double>(info.st_size) / 1e6 : 0.0;
}

void BuildGrid(FbxManager& manager, FbxScene& scene, int side) {
  FbxNode* node = FbxNode::Create(&manager, "Grid");
  FbxMesh* mesh = FbxMesh::Create(&manager, "GridShape");
  node->SetNodeAttribute(mesh);
  int points = side + 1;
  mesh->InitControlPoints(points * points);
  FbxVector4* cp = mesh->GetControlPoints();
  for (int y = 0; y < points; ++y)
    for (int x = 0; x < points; ++x) cp[y * points + x].Set(x * 0.01, 0.0, y * 0.01);

  FbxLayerElementUV* uvs = mesh->CreateElementUV("map1");
  uvs->SetMappingMode(FbxLayerElement::eByPolygonVertex);
  uvs->SetReferenceMode(FbxLayerElement::eIndexToDirect);
  FbxLayerElementMaterial* materials = mesh->CreateElementMaterial();
  materials->SetMappingMode(FbxLayerElement::eByPolygon);
  materials->SetReferenceMode(FbxLayerElement::eIndexToDirect);
  size_t corners = static_cast<size_t>(side) * side * 4;
  uvs->GetDirectArray().Items().reserve(corners);
  uvs->GetIndexArray().Items().reserve(corners);
  mesh->PolygonVertices().reserve(corners);
  const int offsets[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
  for (int y = 0; y < side; ++y)
    for (int x = 0; x < side; ++x) {
      mesh->BeginPolygon(-1, -1, -1, false);
      for (const auto& o : offsets) {
        mesh->AddPolygon((y + o[1]) * points + x + o[0]);
        int uv = uvs->GetDirectArray().Add(FbxVector2((x + o[0]) / double(side), 1.0 - (y + o[1]) / double(side)));
        uvs->GetIndexArray().Add(uv);
      }
      mesh->EndPolygon();
      materials->GetIndexArray().Add(x < side / 2 ? 0 : 1);
    }
  for (const char* name : {"left", "right"}) node->AddMaterial(FbxSurfacePhong::Create(&manager, name));
  scene.GetRootNode()->AddChild(node);
}

// Blender's grid: UVs shared between the corners of a vertex, one material on every polygon.
void BuildBlenderGrid(FbxManager& manager, FbxScene& scene, int side) {
  FbxNode* node = FbxNode::Create(&manager, "Grid");
  FbxMesh* mesh = FbxMesh::Create(&manager, "Grid");
  node->SetNodeAttribute(mesh);
  int points = side + 1;
  mesh->InitControlPoints(points * points);
  FbxVector4* cp = mesh->GetControlPoints();
  FbxLayerElementUV* uvs = mesh->CreateElementUV("UVMap");
  uvs->SetMappingMode(FbxLayerElement::eByPolygonVertex);
  uvs->SetReferenceMode(FbxLayerElement::eIndexToDirect);
  uvs->GetDirectArray().Items().reserve(size_t(points) * points);
  for (int y = 0; y < points; ++y)
    for (int x = 0; x < points; ++x) {
      cp[y * points + x].Set(x * 10.0 / side - 5.0, y * 10.0 / side - 5.0, 0.0);
      uvs->GetDirectArray().Add(FbxVector2(x / double(side), y / double(side)));
    }
  FbxLayerElementMaterial* materials = mesh->CreateElementMaterial();
  materials->SetMappingMode(FbxLayerElement::eAllSame);
  materials->SetReferenceMode(FbxLayerElement::eIndexToDirect);
  materials->GetIndexArray().Add(0);
  size_t corners = static_cast<size_t>(side) * side * 4;
  uvs->GetIndexArray().Items().reserve(corners);
  mesh->PolygonVertices().reserve(corners);
  const int offsets[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
  for (int y = 0; y < side; ++y)
    for (int x = 0; x < side; ++x) {
      mesh->BeginPolygon(-1, -1, -1, false);
      for (const auto& o : offsets) {
        int vertex = (y + o[1]) * points + x + o[0];
        mesh->AddPolygon(vertex);
        uvs->GetIndexArray().Add(vertex);
      }
      mesh->EndPolygon();
    }
  node->AddMaterial(FbxSurfacePhong::Create(&manager, "Body"));
  scene.GetRootNode()->AddChild(node);
}

// What Blender adds to the geometry that the scene objects do not hold: the edges and a normal
// for every polygon vertex, all (0, 0, 1) on the flat grid.
void AddBlenderExtras(fbxsdk::io::FbxRecord& file, int side) {
  using fbxsdk::io::FbxRecord;
  using fbxsdk::io::FbxValue;
  FbxRecord* geometry = file.Find("Objects")->Find("Geometry");
  int points = side + 1;
  std::vector<int32_t> edges;
  edges.reserve(size_t(2) * side * points);
  for (int i = 0; i < 2 * side * points; ++i) edges.push_back(i * 2);
  geometry->Add("Edges").values.push_back(FbxValue::MakeInts(std::move(edges)));
  FbxRecord& normals = geometry->Add("LayerElementNormal");
  normals.values.push_back(FbxValue::MakeInt(0));
  normals.Add("Version").values.push_back(FbxValue::MakeInt(101));
  normals.Add("Name").values.push_back(FbxValue::MakeString(""));
  normals.Add("MappingInformationType").values.push_back(FbxValue::MakeString("ByPolygonVertex"));
  normals.Add("ReferenceInformationType").values.push_back(FbxValue::MakeString("Direct"));
  fbxsdk::io::DoubleBuffer values(size_t(side) * side * 4 * 3);
  for (size_t i = 0; i < values.size(); ++i) values[i] = i % 3 == 2 ? 1.0 : 0.0;
  normals.Add("Normals").values.push_back(FbxValue::MakeDoubles(std::move(values)));
  FbxRecord& entry = geometry->Find("Layer")->Add("LayerElement");
  entry.Add("Type").values.push_back(FbxValue::MakeString("LayerElementNormal"));
  entry.Add("TypedIndex").values.push_back(FbxValue::MakeInt(0));
}

bool WriteBlenderLike(const std::string& path, int side, bool ascii) {
  FbxManager* manager = FbxManager::Create();
  FbxScene* scene = FbxScene::Create(manager, "bench");
  BuildBlenderGrid(*manager, *scene, side);
  fbxsdk::io::FbxRecord file = fbxsdk::io::BuildFileRecords(*scene, true);
  AddBlenderExtras(file, side);
  Stopwatch watch;
  fbxsdk::io::OutputFile out;
  std::string error;
  bool ok = out.Open(path, error) &&
            (ascii ? fbxsdk::io::WriteAsciiRecords(file, fbxsdk::io::kWrittenVersion, out)
                   : fbxsdk::io::WriteBinaryRecords(file, fbxsdk::io::kWrittenVersion, out, true)) &&
            out.Commit(error);
  double seconds = watch.Wall(), cpu = watch.Cpu();
  if (!ok)
    std::fprintf(stderr, "write failed: %s\n", error.c_str());
  else
    std::printf("write %-6s %7.3f s (cpu %.3f s)  %8.1f MB  %7.1f MB/s\n", ascii ? "b-ascii" : "blender", seconds, cpu,
                FileMB(path), FileMB(path) / seconds);
  manager->Destroy();
  return ok;
}

double MeshMB(FbxMesh& mesh) {
  double bytes = mesh.GetControlPointsCount() * sizeof(FbxVector4) + mesh.GetPolygonVertexCount() * sizeof(int) +
                 mesh.GetPolygonCount() * sizeof(int);
  for (int u = 0; u < mesh.GetElementUVCount(); ++u) {
    FbxLayerElementUV* uvs = mesh.GetElementUV(u);
    bytes += uvs->GetDirectArray().GetCount() * sizeof(FbxVector2) + uvs->GetIndexArray().GetCount() * sizeof(int);
  }
  for (int m = 0; m < mesh.GetElementMaterialCount(); ++m)
    bytes += mesh.GetElementMaterial(m)->GetIndexArray().GetCount() * sizeof(int);
  return bytes / 1e6;
}

bool Write(const std::string& path, int writer, int side) {
  FbxManager* manager = FbxManager::Create();
  FbxScene* scene = FbxScene::Create(manager, "bench");
  BuildGrid(*manager, *scene, side);
  FbxExporter* exporter = FbxExporter::Create(manager, "");
  Stopwatch watch;
  // The plain binary stores its arrays uncompressed, to show the parser's own speed.
  FbxIOSettings* settings = FbxIOSettings::Create(manager, IOSROOT);
  settings->SetBoolProp(FbxExporter::kCompressArrays, false);
  bool ok = exporter->Initialize(path.c_str(), writer, settings) && exporter->Export(scene);
  double seconds = watch.Wall(), cpu = watch.Cpu();
  if (!ok)
    std::fprintf(stderr, "write failed: %s\n", exporter->GetStatus().GetErrorString());
  else
    std::printf("write %-6s %7.3f s (cpu %.3f s)  %8.1f MB  %7.1f MB/s\n", writer ? "ascii" : "binary", seconds, cpu,
                FileMB(path), FileMB(path) / seconds);
  manager->Destroy();
  return ok;
}

bool Read(const std::string& path, const char* label, long expectedPolygons) {
  ResetPeak();
  long before = StatusKb("VmRSS:");
  FbxManager* manager = FbxManager::Create();
  FbxScene* scene = FbxScene::Create(manager, "bench");
  FbxImporter* importer = FbxImporter::Create(manager, "");
  Stopwatch watch;
  bool ok = importer->Initialize(path.c_str()) && importer->Import(scene);
  double seconds = watch.Wall(), cpu = watch.Cpu();
  long peak = StatusKb("VmHWM:");
  FbxNode* node = scene->GetRootNode()->GetChild(0);
  FbxMesh* mesh = node ? node->GetMesh() : nullptr;
  if (!ok || !mesh || mesh->GetPolygonCount() != expectedPolygons) {
    std::fprintf(stderr, "read %s failed: %s\n", label, importer->GetStatus().GetErrorString());
    manager->Destroy();
    return false;
  }
  double meshMB = MeshMB(*mesh);
  double peakMB = (peak - before) / 1e3;
  std::printf("read  %-6s %7.3f s (cpu %.3f s)  %8.1f MB  %7.1f MB/s  peak +%.0f MB = %.2fx the %.0f MB of mesh data\n",
              label, seconds, cpu, FileMB(path), FileMB(path) / seconds, peakMB, peakMB / meshMB, meshMB);
  manager->Destroy();
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  int side = argc > 1 ? std::atoi(argv[1]) : 1000;
  std::string folder = argc > 2 ? argv[2] : "/tmp";
  if (side < 2) {
    std::fprintf(stderr, "usage: fbxsdk_bench [QUADS_PER_SIDE] [FOLDER]\n");
    return 2;
  }
  std::string stem = folder + "/fbxsdk_bench_" + std::to_string(getpid());
  std::string ascii = stem + "_ascii.fbx", binary = stem + "_binary.fbx";
  std::printf("grid of %d x %d quads, %d UVs by polygon vertex with an index array, 2 materials\n", side, side,
              side * side * 4);
  std::string blender = stem + "_blender.fbx", blenderAscii = stem + "_blender_ascii.fbx";
  bool ok = Write(ascii, 1, side) && Write(binary, 0, side) && Read(ascii, "ascii", long(side) * side) &&
            Read(binary, "binary", long(side) * side);
  std::remove(ascii.c_str());
  std::remove(binary.c_str());
  std::printf("the grid as Blender exports it: compressed arrays, shared UVs, edges, normals by polygon vertex\n");
  std::printf("and its ASCII form, with the same edges and normals\n");
  ok = ok && WriteBlenderLike(blender, side, false) && Read(blender, "blender", long(side) * side) &&
       WriteBlenderLike(blenderAscii, side, true) && Read(blenderAscii, "b-ascii", long(side) * side);
  if (ok && std::getenv("FBXSDK_BENCH_KEEP")) {
    std::printf("kept %s and %s\n", blender.c_str(), blenderAscii.c_str());
  } else {
    std::remove(blender.c_str());
    std::remove(blenderAscii.c_str());
  }
  return ok ? 0 : 1;
}
