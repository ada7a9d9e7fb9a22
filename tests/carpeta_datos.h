#pragma once
// The per-user data folder the program keeps its "pindel" folder in, fresh and empty for each
// test, so that no test touches a player's winners or another test's.
// - Linux: a new temporary folder, named to the program by XDG_DATA_HOME.
// - Windows: the folder is the system's own (the user's local application data) and no
//   setting moves it; every test program runs in Qt's test mode there (tests/CMakeLists.txt),
//   which keeps it in the folder "qttest" inside, Qt's and the tests' alone, emptied here.
//   The path is the lower-cased one the program names it by: Windows ignores case, and the
//   location rule lower-cases where the file system does.

#include <QDir>
#include <QStandardPaths>
#include <QString>
#include <QTemporaryDir>

class CarpetaDatos {
public:
    CarpetaDatos()
    {
#ifdef Q_OS_WIN
        m_path = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation).toLower();
        m_valid = QStandardPaths::isTestModeEnabled() && !m_path.isEmpty()
            && QDir(m_path).removeRecursively() && QDir().mkpath(m_path);
#else
        m_path = m_temporary.path();
        m_valid = m_temporary.isValid() && qputenv("XDG_DATA_HOME", m_path.toLocal8Bit());
#endif
    }

    bool isValid() const { return m_valid; }
    QString path() const { return m_path; }

private:
#ifndef Q_OS_WIN
    QTemporaryDir m_temporary;
#endif
    QString m_path;
    bool m_valid = false;
};
