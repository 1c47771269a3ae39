#pragma once

#include <QString>

// The files of an open SQLite database (the database, its write-ahead log, its shared memory
// and its journal) are opened by its connection alone. A process's locks on a file go with
// the first descriptor of the file that the process closes: a spreadsheet read, an Excel or
// PDF written, a definition file read from the database's file would drop the connection's
// locks, and another program's close would then delete the live log under the connection.
// Every other reader and writer of files in the program asks here first.
namespace kelo {

// Called by the connection when it opens and closes a database file.
void ProtectDatabaseFile(const QString &path);
void ReleaseDatabaseFile(const QString &path);

// True when the path is, or names, a file of an open database (by name, or by device and
// inode for another name of the same file). Looks at the file's status only, never opens it.
bool IsDatabaseFile(const QString &path);

// The reason a reader or writer gives for such a file.
QString DatabaseFileReason();

// What a path names, by its status alone (never opened): a FIFO or a device would block or
// never end when opened or read, so readers and writers take regular files only.
enum class FileKind { Absent, Regular, Link, Fifo, Device, Directory, Socket, Other };
// followLinks: the kind of what a symbolic link leads to (stat), else of the link (lstat).
FileKind KindOfFile(const QString &path, bool followLinks);

// Why a reader will not open path (a file the user chose to read), in Korean, or empty text
// when it may: it must be a regular file, symbolic links followed, and no file of an open
// database. Looks at the file's status only.
QString RefusedInputFile(const QString &path);

} // namespace kelo
