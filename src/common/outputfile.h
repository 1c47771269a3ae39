#pragma once

#include <QIODevice>
#include <QString>
#include <memory>

namespace kelo {

// Why the program will not write a file at path, or empty text when it may: the path must
// be absent or a regular file. A symbolic link (even one to a regular file), a FIFO, a
// device, a socket or a directory is refused and left as it is, and so is a file of the
// open database.
QString RefusedOutputTarget(const QString &path);

// The mode a file written at path gets: an existing regular file keeps its own, a new one
// has 0666 less the process's umask (0644 under umask 022).
unsigned OutputFileMode(const QString &path);

// Every file the program writes (Excel files, PDFs) goes through this: open() refuses a
// target RefusedOutputTarget names, then the content is written beside it (".NAME.XXXXXX"
// in the same folder) and commit() gives it OutputFileMode and renames it into place, so
// that a reader never sees half a file and a failed write leaves the old one untouched. A
// file not committed is removed.
class OutputFile {
public:
    explicit OutputFile(const QString &path);
    ~OutputFile();
    OutputFile(const OutputFile &) = delete;
    OutputFile &operator=(const OutputFile &) = delete;

    // False with errorString() when the target is refused or the file cannot be made.
    bool open();
    // The file being written, open for writing (after open()).
    QIODevice &device();
    // Its name, for writers that open the file themselves (after open()).
    QString stagedPath() const;
    // Puts the file in place; false with errorString() when it could not be.
    bool commit();
    QString path() const { return m_path; }
    QString errorString() const { return m_error; }

private:
    struct Staged;
    QString m_path;
    QString m_error;
    std::unique_ptr<Staged> m_staged;
};

} // namespace kelo
