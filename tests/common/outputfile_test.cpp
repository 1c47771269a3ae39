// What the program's writers do with the target they are given: a regular file is replaced
// and keeps its mode, a new one gets 0666 less the umask, anything else is refused and left
// as it was, and nothing half-written is left beside it.

#include "common/excelsheet.h"
#include "common/outputfile.h"
#include "common/protectedfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using namespace kelo;

namespace {

// The process's umask for the test's time.
class UmaskScope {
public:
    explicit UmaskScope(mode_t mask) : m_old(::umask(mask)) {}
    ~UmaskScope() { ::umask(m_old); }

private:
    mode_t m_old;
};

struct Target {
    bool exists = false;
    mode_t type = 0, mode = 0;
    dev_t rdev = 0;
    QByteArray content, link;
};

Target Look(const QString &path) {
    Target t;
    struct stat st;
    const QByteArray name = QFile::encodeName(path);
    if (::lstat(name.constData(), &st) != 0)
        return t;
    t.exists = true;
    t.type = st.st_mode & S_IFMT;
    t.mode = st.st_mode & 07777;
    t.rdev = st.st_rdev;
    if (S_ISLNK(st.st_mode))
        t.link = QFile::symLinkTarget(path).toLocal8Bit();
    if (S_ISREG(st.st_mode)) {
        QFile f(path);
        if (f.open(QIODevice::ReadOnly))
            t.content = f.readAll();
    }
    return t;
}

void WriteText(const QString &path, const QByteArray &text, mode_t mode) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text);
    f.close();
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), mode), 0);
}

bool WriteSheet(const QString &path, QString &why) {
    ExcelSheet sheet(path, QStringLiteral("표"));
    sheet.text(0, 0, u"새 내용");
    const bool ok = sheet.finish() == ExcelSheet::Outcome::Written;
    why = sheet.error();
    return ok;
}

// The writers of the program's files; true when the file was written.
struct Writer {
    const char *name, *suffix;
    std::function<bool(const QString &path, QString &why)> write;
};

const Writer kWriters[] = {
    {"output file", ".pdf",
     [](const QString &path, QString &why) {
         OutputFile out(path);
         const bool ok = out.open() && out.device().write("new") == 3 && out.commit();
         why = out.errorString();
         return ok;
     }},
    {".xls sheet", ".xls", WriteSheet},
    {".xlsx sheet", ".xlsx", WriteSheet},
};

TEST(OutputFile, ReplacesRegularFilesWithTheirModeAndRefusesEverythingElse) {
    const UmaskScope umask(022);
    const bool root = ::geteuid() == 0;
    struct Case {
        const char *name;
        // Makes the target at path in dir (for a device: its path, made or borrowed).
        std::function<QString(const QString &dir, const QString &path)> make;
        bool written;
        mode_t mode; // of a written file
        const char *refusal = nullptr;
    };
    const Case cases[] = {
        {"regular 0644",
         [](const QString &, const QString &p) {
             WriteText(p, "old", 0644);
             return p;
         },
         true, 0644},
        {"regular 0640 keeps its mode",
         [](const QString &, const QString &p) {
             WriteText(p, "old", 0640);
             return p;
         },
         true, 0640},
        {"new file", [](const QString &, const QString &p) { return p; }, true, 0644},
        {"symbolic link to a regular file",
         [](const QString &dir, const QString &p) {
             WriteText(dir + QStringLiteral("/pointee"), "old", 0644);
             EXPECT_TRUE(QFile::link(dir + QStringLiteral("/pointee"), p));
             return p;
         },
         false, 0, "is a symbolic link, not a regular file"},
        {"dangling symbolic link",
         [](const QString &dir, const QString &p) {
             EXPECT_TRUE(QFile::link(dir + QStringLiteral("/nowhere"), p));
             return p;
         },
         false, 0, "is a symbolic link, not a regular file"},
        {"FIFO",
         [](const QString &, const QString &p) {
             EXPECT_EQ(::mkfifo(QFile::encodeName(p).constData(), 0644), 0);
             return p;
         },
         false, 0, "is a FIFO, not a regular file"},
        {"device",
         [root](const QString &, const QString &p) {
             // A node of the null device of its own where the test may make one.
             if (root &&
                 ::mknod(QFile::encodeName(p).constData(), S_IFCHR | 0644, makedev(1, 3)) == 0)
                 return p;
             return QStringLiteral("/dev/null");
         },
         false, 0, "is a device, not a regular file"},
        {"directory",
         [](const QString &, const QString &p) {
             EXPECT_TRUE(QDir().mkdir(p));
             return p;
         },
         false, 0, "is a directory, not a regular file"},
        {"the open database's file",
         [](const QString &, const QString &p) {
             WriteText(p, "database", 0644);
             ProtectDatabaseFile(p);
             return p;
         },
         false, 0, "프로그램이 사용 중인 데이터베이스 파일입니다"},
    };
    for (const Writer &writer : kWriters)
        for (const Case &c : cases) {
            SCOPED_TRACE(std::string(writer.name) + ", " + c.name);
            QTemporaryDir dir;
            const QString path = c.make(
                dir.path(), dir.filePath(QStringLiteral("target") + QLatin1String(writer.suffix)));
            const Target before = Look(path);
            const Target pointee = Look(dir.filePath(QStringLiteral("pointee")));
            QString why;
            EXPECT_EQ(writer.write(path, why), c.written) << why.toStdString();
            ReleaseDatabaseFile(path);
            const Target after = Look(path);
            if (c.written) {
                EXPECT_EQ(after.type, mode_t(S_IFREG));
                EXPECT_EQ(after.mode, c.mode);
                EXPECT_FALSE(after.content.isEmpty());
                EXPECT_NE(after.content, before.content);
            } else {
                EXPECT_TRUE(why.contains(QString::fromUtf8(c.refusal))) << why.toStdString();
                EXPECT_EQ(after.type, before.type);
                EXPECT_EQ(after.mode, before.mode);
                EXPECT_EQ(after.rdev, before.rdev);
                EXPECT_EQ(after.link, before.link);
                EXPECT_EQ(Look(dir.filePath(QStringLiteral("pointee"))).content, pointee.content);
            }
            // Nothing but the target (and what it points to) is left in the folder.
            QStringList left = QDir(dir.path())
                                   .entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                              QDir::NoDotAndDotDot);
            left.removeAll(QStringLiteral("target") + QLatin1String(writer.suffix));
            left.removeAll(QStringLiteral("pointee"));
            EXPECT_EQ(left, QStringList());
        }
}

} // namespace
