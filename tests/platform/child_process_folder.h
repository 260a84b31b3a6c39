#pragma once
// A scratch folder that the child of a death test shares with its parent.
//
// A death test's child (in the "threadsafe" style, which a program with
// threads needs) runs the test again from its start: anything the test makes
// before the death statement is made a second time. This folder is made once,
// by the parent, and handed down through the environment, so that what the
// child leaves in it (or does not) can be checked once the child has ended.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <cstdlib>

namespace wm::test {

class ChildProcessFolder {
  public:
    ChildProcessFolder() {
        const QByteArray inherited = qgetenv(kVariable);
        if (!inherited.isEmpty()) {
            path_ = QFile::decodeName(inherited);
            return;
        }
        QByteArray pattern = QFile::encodeName(QDir::tempPath()) + "/wm-child-XXXXXX";
        if (::mkdtemp(pattern.data()) != nullptr) {
            path_ = QFile::decodeName(pattern);
            qputenv(kVariable, pattern);
            owner_ = true;
        }
    }
    ~ChildProcessFolder() {
        if (owner_) {
            QDir(path_).removeRecursively();
            qunsetenv(kVariable);
        }
    }
    ChildProcessFolder(const ChildProcessFolder&) = delete;
    ChildProcessFolder& operator=(const ChildProcessFolder&) = delete;

    // Empty when the folder could not be made.
    const QString& path() const { return path_; }
    // Everything in it, hidden files too.
    QStringList entries() const {
        return QDir(path_).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                     QDir::NoDotAndDotDot);
    }

  private:
    static constexpr const char* kVariable = "WM_TEST_CHILD_PROCESS_FOLDER";
    QString path_;
    bool owner_ = false;
};

}  // namespace wm::test
