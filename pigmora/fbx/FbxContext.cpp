#include "fbx/FbxContext.h"

#include <cstdarg>
#include <cstdio>

// Compilers that know the printf format check hold the messages' arguments to their formats.
#if defined(__has_cpp_attribute)
#if __has_cpp_attribute(gnu::format)
#define PRINTF_LIKE [[gnu::format(printf, 2, 3)]]
#endif
#endif
#ifndef PRINTF_LIKE
#define PRINTF_LIKE
#endif

namespace pigmora {

namespace {

// Multi-part error messages are formatted in a buffer of this size; longer ones are cut to fit.
constexpr int kMessageBufferSize = 4096;

PRINTF_LIKE void AppendFormatted(FbxString& errorText, const char* format, ...) {
  char messageBuffer[kMessageBufferSize];
  va_list arguments;
  va_start(arguments, format);
  std::vsnprintf(messageBuffer, kMessageBufferSize, format, arguments);
  va_end(arguments);
  errorText += messageBuffer;
}

// Version lines and the like are for whoever looks into the host's
// diagnostics; standard output belongs to the host's scripts.
void WriteDiagnostic(const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  std::vfprintf(stderr, format, arguments);
  va_end(arguments);
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

void FbxContext::Fail(FbxFailure::Step step, const FbxStatus* status) {
  failure_.step = step;
  failure_.statusCode = status ? static_cast<int>(status->GetCode()) : 0;
  const char* reason = status ? status->GetErrorString() : nullptr;
  failure_.reason = reason ? reason : "";
}

bool FbxContext::InitFbxContext(FbxString& errorText) {
  failure_ = FbxFailure();
  manager_ = FbxManager::Create();
  if (!manager_) {
    errorText = "<FBX_ERROR>: Unable to create FBX Manager!\n";
    Fail(FbxFailure::Step::CreateManager);
    return false;
  }
  FbxIOSettings* settings = FbxIOSettings::Create(manager_, "IOSRoot");
  manager_->SetIOSettings(settings);

  FbxString pluginsDirectory = FbxGetApplicationDirectory();
  manager_->LoadPluginsDirectory(pluginsDirectory.Buffer(), nullptr);

  scene_ = FbxScene::Create(manager_, "My Scene");
  if (!scene_) {
    errorText = "<FBX_ERROR>: Unable to create FBX scene!\n";
    Fail(FbxFailure::Step::CreateScene);
    return false;
  }
  return true;
}

bool FbxContext::SaveFbxScene(const char* path, int writerFormat, FbxString& errorText) {
  failure_ = FbxFailure();
  if (!Ready(errorText)) return false;
  FbxExporter* exporter = FbxExporter::Create(manager_, "");
  const int writer = ChooseWriter(manager_->GetIOPluginRegistry(), writerFormat);

  FbxIOSettings* settings = manager_->GetIOSettings();
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
    Fail(FbxFailure::Step::InitializeExporter, &exporter->GetStatus());
    return false;
  }

  int major = 0, minor = 0, revision = 0;
  FbxManager::GetFileFormatVersion(major, minor, revision);
  WriteDiagnostic("FBX file format version %d.%d.%d\n\n", major, minor, revision);

  const bool exported = exporter->Export(scene_, false);
  if (!exported) {
    AppendFormatted(errorText, "<FBX_ERROR>: Call to FbxExporter::Export() failed.\nError returned: %s\n\n",
                    exporter->GetStatus().GetErrorString());
    Fail(FbxFailure::Step::Export, &exporter->GetStatus());
  }
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

bool FbxContext::LoadFbxScene(const char* path, FbxString& errorText) {
  failure_ = FbxFailure();
  if (!Ready(errorText)) return false;
  int sdkMajor = 0, sdkMinor = 0, sdkRevision = 0;
  FbxManager::GetFileFormatVersion(sdkMajor, sdkMinor, sdkRevision);

  FbxImporter* importer = FbxImporter::Create(manager_, "");
  FbxIOSettings* settings = manager_->GetIOSettings();
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
    Fail(FbxFailure::Step::InitializeImporter, &importer->GetStatus());
    importer->Destroy();
    return false;
  }

  WriteDiagnostic("FBX file format version for this FBX SDK is %d.%d.%d\n", sdkMajor, sdkMinor, sdkRevision);
  if (importer->IsFBX()) {
    WriteDiagnostic("FBX file format version for file '%s' is %d.%d.%d\n\n", path, fileMajor, fileMinor, fileRevision);
    settings->SetBoolProp("Import|AdvOptGrp|FileFormat|Fbx|Material", true);
    settings->SetBoolProp("Import|AdvOptGrp|FileFormat|Fbx|Texture", true);
    settings->SetBoolProp("Import|AdvOptGrp|FileFormat|Fbx|Link", true);
    settings->SetBoolProp("Import|AdvOptGrp|FileFormat|Fbx|Shape", true);
    settings->SetBoolProp("Import|AdvOptGrp|FileFormat|Fbx|Gobo", true);
    settings->SetBoolProp("Import|AdvOptGrp|FileFormat|Fbx|Animation", true);
    settings->SetBoolProp("Import|AdvOptGrp|FileFormat|Fbx|Global_Settings", true);
  }

  const bool imported = importer->Import(scene_, false);
  if (!imported && importer->GetStatus().GetCode() == FbxStatus::ePasswordError) {
    errorText = "<FBX_ERROR>: File protected by password\n";
  } else if (!imported) {
    // Whatever else went wrong, the user is shown why.
    AppendFormatted(errorText, "<FBX_ERROR>: Call to FbxImporter::Import() failed.\nError returned: %s\n\n",
                    StatusText(importer->GetStatus()));
  }
  if (!imported) Fail(FbxFailure::Step::Import, &importer->GetStatus());
  importer->Destroy();
  return imported;
}

bool FbxContext::Ready(FbxString& errorText) {
  if (manager_ && scene_) return true;
  errorText += "<FBX_ERROR>: The FBX context is not available: the FBX manager or scene could not be created.\n";
  Fail(FbxFailure::Step::ContextUnavailable);
  return false;
}

FbxContext::~FbxContext() {
  if (manager_) manager_->Destroy();
}

}  // namespace pigmora
