#include "files/ExchangeFolder.h"

#include <afx.h>
#include <common/ExchangeNames.h>
#include <shlobj.h>

#include "files/PathSeparator.h"

namespace pigmora {

namespace {

// Creates or truncates the file and writes the text, without terminator or
// line end. A marker that cannot be written is left as it is: the plug-in
// starts all the same.
void WriteMarkerFile(const String& path, const char* text, int length) {
  CFile file;
  CFileException error;
  if (!file.Open(path.Get(), CFile::modeCreate | CFile::shareExclusive | CFile::modeWrite, &error)) return;
  try {
    if (length > 0) file.Write(text, static_cast<UINT>(length));
  } catch (CFileException* failure) {
    failure->Delete();
  }
  file.Close();
}

}  // namespace

void ExchangeFolder::Build() {
  documentsDir = String::GetMyDocumentsPath();
  exchangeDir = documentsDir + PIGMORA_PATH_SEPARATOR + exchange::kTopFolder + PIGMORA_PATH_SEPARATOR +
                exchange::kFolder + PIGMORA_PATH_SEPARATOR;
  hostExchangeDir = exchangeDir + "Hash" PIGMORA_PATH_SEPARATOR;
  dataDir = hostExchangeDir + "data" PIGMORA_PATH_SEPARATOR;
  hostExecutable = String::GetAppPath() + PIGMORA_PATH_SEPARATOR + String::GetAppName();

  extensionFile = hostExchangeDir + "extension.txt";
  runFile = hostExchangeDir + "run.txt";
  importFile = exchangeDir + exchange::kCommandFile;
  exportFile = exchangeDir + exchange::kAnswerFile;
  texturesFile = exchangeDir + exchange::kTextureListFile;
  exportFbxFile = dataDir + "export.fbx";
  receivedImagesDir = hostExchangeDir + "received" PIGMORA_PATH_SEPARATOR;
}

void PrepareExchangeFolder(const ExchangeFolder& folder) {
  // An existing folder is fine; a failure shows up as the opens below failing.
  SHCreateDirectoryExA(nullptr, folder.dataDir.Get(), nullptr);

  WriteMarkerFile(folder.runFile, folder.hostExecutable.Get(), folder.hostExecutable.Length());
  WriteMarkerFile(folder.extensionFile, "fbx", 3);
}

}  // namespace pigmora
