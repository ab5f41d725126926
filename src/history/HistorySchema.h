#pragma once

#include <QStringList>

// The statements that build the history file, by schema version. A new file
// gets version 1 and every migration after it, so a new file and a migrated
// one are built by the same statements.
QStringList HistorySchemaV1();
// From version `from` to `from + 1`.
QStringList HistoryMigration(int from);
