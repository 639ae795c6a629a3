// The mark Windows gives a downloaded file (its ":Zone.Identifier" stream),
// which the copy deletes from each package file before it copies it, as the
// design does (the copies it writes carry no stream: it writes their bytes).
#pragma once

// Deletes the file's ":Zone.Identifier" stream; true when one was deleted.
bool RemoveDownloadMark(const char* filePath);
