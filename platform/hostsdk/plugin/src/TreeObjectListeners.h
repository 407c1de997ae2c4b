#pragma once

class HTreeObject;

// Tells the host's listeners that `object` is about to be deleted.
void NotifyTreeObjectDeleted(HTreeObject* object);
// Tells the host's listeners that `object` has just been put into the tree.
void NotifyTreeObjectAdded(HTreeObject* object);
