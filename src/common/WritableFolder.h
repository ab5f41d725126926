#pragma once

#include <QString>

// True when a file can be created in `dir` (an existing folder).
bool IsFolderWritable(const QString& dir);
