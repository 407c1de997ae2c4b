#pragma once

#include <FileIO/String.h>

namespace pigmora {

// The paths through which the plug-in and Pigmora meet, computed once at load
// and held by the plug-in's state. Every value is plain concatenation; no
// separator is added beyond the literals.
struct ExchangeFolder {
  String documentsDir;       // the user's documents folder, as the host SDK returns it
  String exchangeDir;        // Pigmora's exchange folder
  String hostExchangeDir;    // this host's sub-folder of it
  String dataDir;            // where the model file is written
  String hostExecutable;     // the running host's full path, written to runFile
  String extensionFile;      // names the model file type ("fbx")
  String runFile;            // names the host executable
  String importFile;         // the command file Pigmora reads
  String exportFile;         // Pigmora's answer: first line names its FBX file
  String texturesFile;       // Pigmora's answer: the painted textures
  String exportFbxFile;      // the model file Pigmora reads
  String receivedImagesDir;  // copies of the images of the answers the host accepted

  // Fills every path from the documents folder and the running host; writes nothing.
  void Build();
};

// What the plug-in does to the folder at load: creates the data folder with
// its parents and rewrites the two marker files that tell Pigmora which host
// runs and which model file type it writes. Failures are silent: the paths
// stay valid, and a send reports what it cannot write.
void PrepareExchangeFolder(const ExchangeFolder& folder);

}  // namespace pigmora
