#ifndef TAXLINK_CONDITIONS_FOLDERLEVELS_H_
#define TAXLINK_CONDITIONS_FOLDERLEVELS_H_

namespace taxlink {

// Creates the folder of a path (C:\a\b\ for C:\a\b\ or C:\a\b\x.xml) level
// by level from its root downwards. When a level cannot be created, the
// levels this call created are removed again and the result is false.
bool CreateFolderLevels(const char* folder);

// Removes, from the deepest upwards, the folders between failedLevel and
// stopFolder: stopFolder and everything above it stay, and so does a folder
// that is not empty. Without a stop folder every level below the root is a
// candidate. False when the two do not share a root and a leading part, or
// a removal fails.
bool RemoveCreatedFolders(const char* failedLevel, const char* stopFolder);

}  // namespace taxlink

#endif  // TAXLINK_CONDITIONS_FOLDERLEVELS_H_
