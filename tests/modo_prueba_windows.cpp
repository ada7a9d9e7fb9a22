// Linked into every test program of the Windows build.  There the per-user data folder is
// the system's own and no setting moves it, so each test program runs in Qt's test mode from
// its first line: the program under test then keeps its "pindel" folder in "qttest" beside a
// player's, never in it.

#include <QStandardPaths>
#include <QtGlobal>

namespace {

void modoPrueba()
{
    QStandardPaths::setTestModeEnabled(true);
}

} // namespace

Q_CONSTRUCTOR_FUNCTION(modoPrueba)
