#include "fbx/FbxContext.h"

#include <cstdarg>
#include <cstdio>

namespace {

FbxManager* contextManager = nullptr;
FbxScene* contextScene = nullptr;

// Multi-part error messages are formatted here; longer ones are cut to fit.
constexpr int kMessageBufferSize = 4096;
char messageBuffer[kMessageBufferSize];

__attribute__((format(printf, 2, 3))) void AppendFormatted(FbxString& errorText, const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  std::vsnprintf(messageBuffer, kMessageBufferSize, format, arguments);
  va_end(arguments);
  errorText += messageBuffer;
}

bool ContextReady(FbxString& errorText) {
  if (contextManager && contextScene) return true;
  errorText += "<FBX_ERROR>: The FBX context is not available: the FBX manager or scene could not be created.\n";
  return false;
}

// An index that names no writer falls back to the first FBX writer that writes ASCII.
int ChooseWriter(FbxIOPluginRegistry* registry, int requested) {
  const int writerCount = registry->GetWriterFormatCount();
  if (requested >= 0 && requested < writerCount) return requested;
  for (int index = 0; index < writerCount; ++index) {
    if (!registry->WriterIsFBX(index)) continue;
    FbxString description = registry->GetWriterFormatDescription(index);
    if (description.Find("ascii") >= 0) return index;
  }
  return registry->GetNativeWriterFormat();
}

}  // namespace

bool InitFbxContext(FbxString& errorText) {
  contextManager = FbxManager::Create();
  if (!contextManager) {
    errorText = "<FBX_ERROR>: Unable to create FBX Manager!\n";
    return false;
  }
  FbxIOSettings* settings = FbxIOSettings::Create(contextManager, "IOSRoot");
  contextManager->SetIOSettings(settings);

  FbxString pluginsDirectory = FbxGetApplicationDirectory();
  contextManager->LoadPluginsDirectory(pluginsDirectory.Buffer(), nullptr);

  contextScene = FbxScene::Create(contextManager, "My Scene");
  if (!contextScene) {
    errorText = "<FBX_ERROR>: Unable to create FBX scene!\n";
    return false;
  }
  return true;
}

bool SaveFbxScene(const char* path, int writerFormat, FbxString& errorText) {
  if (!ContextReady(errorText)) return false;
  FbxExporter* exporter = FbxExporter::Create(contextManager, "");
  const int writer = ChooseWriter(contextManager->GetIOPluginRegistry(), writerFormat);

  FbxIOSettings* settings = contextManager->GetIOSettings();
  settings->SetBoolProp("Export|AdvOptGrp|Fbx|Material", true);
  settings->SetBoolProp("Export|AdvOptGrp|Fbx|Texture", true);
  settings->SetBoolProp("Export|AdvOptGrp|Fbx|EMBEDDED", false);  // media are referenced by path
  settings->SetBoolProp("Export|AdvOptGrp|Fbx|Shape", true);
  settings->SetBoolProp("Export|AdvOptGrp|Fbx|Gobo", true);
  settings->SetBoolProp("Export|AdvOptGrp|Fbx|Animation", true);
  settings->SetBoolProp("Export|AdvOptGrp|Fbx|Global_Settings", true);

  if (!exporter->Initialize(path, writer, settings)) {
    AppendFormatted(errorText, "<FBX_ERROR>: Call to FbxExporter::Initialize() failed.\nError returned: %s\n\n",
                    exporter->GetStatus().GetErrorString());
    return false;
  }

  int major = 0, minor = 0, revision = 0;
  FbxManager::GetFileFormatVersion(major, minor, revision);
  std::printf("FBX file format version %d.%d.%d\n\n", major, minor, revision);

  const bool exported = exporter->Export(contextScene, false);
  if (!exported)
    AppendFormatted(errorText, "<FBX_ERROR>: Call to FbxExporter::Export() failed.\nError returned: %s\n\n",
                    exporter->GetStatus().GetErrorString());
  exporter->Destroy();
  return exported;
}

namespace {

// The importer's own account of a failure; never empty.
const char* StatusText(const FbxStatus& status) {
  const char* text = status.GetErrorString();
  return text && *text ? text : "the file could not be read";
}

}  // namespace

bool LoadFbxScene(const char* path, FbxString& errorText) {
  if (!ContextReady(errorText)) return false;
  int sdkMajor = 0, sdkMinor = 0, sdkRevision = 0;
  FbxManager::GetFileFormatVersion(sdkMajor, sdkMinor, sdkRevision);

  FbxImporter* importer = FbxImporter::Create(contextManager, "");
  FbxIOSettings* settings = contextManager->GetIOSettings();
  const bool initialised = importer->Initialize(path, -1, settings);
  int fileMajor = 0, fileMinor = 0, fileRevision = 0;
  importer->GetFileVersion(fileMajor, fileMinor, fileRevision);

  if (!initialised) {
    AppendFormatted(errorText, "<FBX_ERROR>: Call to FbxImporter::Initialize() failed.\nError returned: %s\n\n",
                    StatusText(importer->GetStatus()));
    if (importer->GetStatus().GetCode() == FbxStatus::eInvalidFileVersion) {
      AppendFormatted(errorText, "FBX file format version for this FBX SDK is %d.%d.%d\n", sdkMajor, sdkMinor,
                      sdkRevision);
      AppendFormatted(errorText, "FBX file format version for file '%s' is %d.%d.%d\n\n", path, fileMajor, fileMinor,
                      fileRevision);
    }
    importer->Destroy();
    return false;
  }

  std::printf("FBX file format version for this FBX SDK is %d.%d.%d\n", sdkMajor, sdkMinor, sdkRevision);
  if (importer->IsFBX()) {
    std::printf("FBX file format version for file '%s' is %d.%d.%d\n\n", path, fileMajor, fileMinor, fileRevision);
    settings->SetBoolProp("Import|AdvOptGrp|FileFormat|Fbx|Material", true);
    settings->SetBoolProp("Import|AdvOptGrp|FileFormat|Fbx|Texture", true);
    settings->SetBoolProp("Import|AdvOptGrp|FileFormat|Fbx|Link", true);
    settings->SetBoolProp("Import|AdvOptGrp|FileFormat|Fbx|Shape", true);
    settings->SetBoolProp("Import|AdvOptGrp|FileFormat|Fbx|Gobo", true);
    settings->SetBoolProp("Import|AdvOptGrp|FileFormat|Fbx|Animation", true);
    settings->SetBoolProp("Import|AdvOptGrp|FileFormat|Fbx|Global_Settings", true);
  }

  const bool imported = importer->Import(contextScene, false);
  if (!imported && importer->GetStatus().GetCode() == FbxStatus::ePasswordError) {
    errorText = "<FBX_ERROR>: File protected by password\n";
  } else if (!imported) {
    // Whatever else went wrong, the user is shown why.
    AppendFormatted(errorText, "<FBX_ERROR>: Call to FbxImporter::Import() failed.\nError returned: %s\n\n",
                    StatusText(importer->GetStatus()));
  }
  importer->Destroy();
  return imported;
}

void DestroyFbxContext() {
  if (contextManager) contextManager->Destroy();
  contextManager = nullptr;
  contextScene = nullptr;
}

FbxManager* GetFbxContextManager() { return contextManager; }
FbxScene* GetFbxContextScene() { return contextScene; }
