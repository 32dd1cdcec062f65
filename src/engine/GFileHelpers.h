#pragma once
#include <string>

bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);

// Creates the folder (and its parents) when missing; false when it can't.
bool EnsureDirectoryExists(const std::string& path);

// Deleting trees is only ever allowed below this root (the user folder).
void SetDeletableRoot(const std::string& root);
const std::string& GetDeletableRoot();

// Deletes exactly the path given and everything below it. Refuses an empty
// path, the root itself, a path outside the deletable root, and any path with
// ".." in it.
bool DeleteFolderTree(const std::string& path);

// Copies a file; false when the source can't be read or the target written.
// An existing target is kept unless overwrite is set.
bool CopyFileTo(const std::string& from, const std::string& to, bool overwrite);

// A name that may become part of a file name: path separators, "..", control
// characters and characters shells and file systems dislike are replaced, and
// the length is bounded. Never empty.
std::string SanitiseFileName(const std::string& name, size_t maxLength = 64);
