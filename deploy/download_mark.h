// The mark Windows gives a downloaded file (its ":Zone.Identifier" stream),
// which the copy drops from every file it installs.
#pragma once

// Deletes the file's ":Zone.Identifier" stream; true when one was deleted.
bool RemoveDownloadMark(const char* filePath);
