#pragma once

// Entry points of a command plug-in (*.hxt), as the host looks them up by name.
// A plug-in exports them unmangled; the host calls them on its UI thread.

class HTreeObject;
class String;

// Index 0, 1, 2, ... of the plug-in's commands. Writes the command's entry
// code (where the host offers it) and returns 1 for a known index; returns 0
// and writes nothing past the last command.
using HxtLoadCommandEntryFn = int (*)(int index, int& entryCode);

// Caption of the command's menu entry and the two menu values (the first picks
// the submenu: 1 "Export", 2 "Import"). Returns 1 for a known index.
using HxtOnAddCommandMenuFn = int (*)(void* menuContext, int index, String& caption, int& menuValue1, int& menuValue2);

// Runs command `index` on `object` (null for the project). Returns the command's result.
using HxtOnCommandFn = int (*)(HTreeObject* object, int index);

#define HXT_LOAD_COMMAND_ENTRY_NAME "HxtLoadCommandEntry"
#define HXT_ON_ADD_COMMAND_MENU_NAME "HxtOnAddCommandMenu"
#define HXT_ON_COMMAND_NAME "HxtOnCommand"

// Object types the host gives its tree objects and command entry codes.
enum HostObjectType {
  HOT_MODEL = 1,            // a model in the objects folder
  HOT_OBJECTS_FOLDER = 14,  // the project's objects folder
  HOT_MODEL_INSTANCE = 259  // a model's instance in a scene
};
