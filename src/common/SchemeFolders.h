#pragma once

#include <QString>

// Where colour schemes are looked for and saved: beside the program, in the
// user's data folder, in the installed data folder.

// The folder of the executable.
QString ProgramFolder();
// The path with each folder and file name matched on disk without regard to
// letter case ("COlorSchemas" is "ColorSchemas"); backslashes count as
// separators. Parts that do not exist are kept as given.
QString ResolvePathIgnoringCase(const QString& path);
// "ColorSchemas" in the user's data folder (~/.local/share/zelkor/ColorSchemas).
QString UserDataSchemeFolder();
// Where the user's schemes are saved: "ColorSchemas" beside the program when
// it can be written, else the user's data folder (an installed program's
// folder is read-only).
QString UserSchemeFolder(const QString& programFolder = ProgramFolder());
// The one lookup of a scheme file. A name with a folder is taken as it is;
// a bare name is looked for in the user's data folder first, then beside the
// executable, then in the installed data folder. Folder and file names match
// without regard to letter case. Found nowhere: the path beside the executable.
QString ColorSchemeFile(const QString& fileName, const QString& programFolder = ProgramFolder());
// What the settings keep for a scheme file: its bare name when the lookup of
// that name finds this very file, else the whole path, so the next start
// finds what was loaded.
QString SchemeSettingName(const QString& file, const QString& programFolder = ProgramFolder());
// The part of a path after its last slash or backslash.
QString SchemeFileNamePart(const QString& path);
