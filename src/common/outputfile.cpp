#include "common/outputfile.h"

#include "common/protectedfiles.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

namespace kelo {

namespace {

// The process's umask, read without changing it (the umask call sets it, which a file made
// meanwhile on another thread would see).
mode_t CurrentUmask() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        while (!status.atEnd()) {
            const QByteArray line = status.readLine();
            if (line.startsWith("Umask:")) {
                bool ok = false;
                const uint mask = line.mid(6).trimmed().toUInt(&ok, 8);
                if (ok)
                    return mode_t(mask);
            }
        }
    }
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return mask;
}

} // namespace

QString RefusedOutputTarget(const QString &path) {
    const char *kind = nullptr;
    switch (KindOfFile(path, false)) {
    case FileKind::Absent:
        return QString(); // (or unreachable: the write then says why)
    case FileKind::Regular:
        return IsDatabaseFile(path) ? DatabaseFileReason() : QString();
    case FileKind::Link:
        kind = "a symbolic link";
        break;
    case FileKind::Fifo:
        kind = "a FIFO";
        break;
    case FileKind::Device:
        kind = "a device";
        break;
    case FileKind::Directory:
        kind = "a directory";
        break;
    case FileKind::Socket:
        kind = "a socket";
        break;
    case FileKind::Other:
        kind = "something";
        break;
    }
    return QStringLiteral("%1 is %2, not a regular file").arg(path, QLatin1String(kind));
}

unsigned OutputFileMode(const QString &path) {
    struct stat st;
    if (::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISREG(st.st_mode))
        return unsigned(st.st_mode & 07777);
    return unsigned(0666 & ~CurrentUmask());
}

struct OutputFile::Staged {
    QTemporaryFile file;
    explicit Staged(const QString &templateName) : file(templateName) {}
};

OutputFile::OutputFile(const QString &path) : m_path(path) {}

OutputFile::~OutputFile() = default; // the staged file removes itself unless committed

bool OutputFile::open() {
    m_error = RefusedOutputTarget(m_path);
    if (!m_error.isEmpty())
        return false;
    const QFileInfo target(m_path);
    m_staged = std::make_unique<Staged>(target.absolutePath() + QStringLiteral("/.") +
                                        target.fileName() + QStringLiteral(".XXXXXX"));
    if (!m_staged->file.open()) {
        m_error =
            QStringLiteral("%1 cannot be written: %2").arg(m_path, m_staged->file.errorString());
        m_staged.reset();
        return false;
    }
    return true;
}

QIODevice &OutputFile::device() {
    Q_ASSERT(m_staged);
    return m_staged->file;
}

QString OutputFile::stagedPath() const {
    return m_staged ? m_staged->file.fileName() : QString();
}

bool OutputFile::commit() {
    if (!m_staged) {
        if (m_error.isEmpty())
            m_error = QStringLiteral("%1 was not opened").arg(m_path);
        return false;
    }
    QTemporaryFile &file = m_staged->file;
    const auto fail = [this, &file](const QString &why) {
        m_error = QStringLiteral("%1 cannot be written: %2").arg(m_path, why);
        m_staged.reset(); // removes the staged file
        return false;
    };
    if (!file.flush() || file.error() != QFileDevice::NoError)
        return fail(file.errorString());
    // The target may have been replaced while the content was written.
    const QString refused = RefusedOutputTarget(m_path);
    if (!refused.isEmpty()) {
        m_error = refused;
        m_staged.reset();
        return false;
    }
    const QString staged = file.fileName();
    file.close();
    if (file.error() != QFileDevice::NoError)
        return fail(file.errorString());
    // By name: a writer that opened the file itself may have made it anew.
    const QByteArray stagedName = QFile::encodeName(staged);
    if (::chmod(stagedName.constData(), mode_t(OutputFileMode(m_path))) != 0)
        return fail(QString::fromLocal8Bit(std::strerror(errno)));
    if (std::rename(stagedName.constData(), QFile::encodeName(m_path).constData()) != 0)
        return fail(QString::fromLocal8Bit(std::strerror(errno)));
    file.setAutoRemove(false);
    m_staged.reset();
    return true;
}

} // namespace kelo
