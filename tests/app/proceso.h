#pragma once
// A program a start-up test starts and ends itself (by the process it started, never by
// name), read through its output and its start-up trace.  Every wait is bounded.

#include <QDeadlineTimer>
#include <QProcess>
#include <QProcessEnvironment>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/types.h>
#endif
#ifdef Q_OS_LINUX
#include <sys/prctl.h>
#endif

namespace servidores {

// A started program that ends with its owner: asked to end (SIGTERM on Linux), then killed,
// both by its own process id.
class Proceso {
public:
    Proceso() = default;
    Proceso(const Proceso &) = delete;
    Proceso &operator=(const Proceso &) = delete;
    ~Proceso() { terminar(); }

    QProcess &q() { return m_proceso; }

    bool arrancar(const QString &programa, const QStringList &argumentos,
                  const QProcessEnvironment &entorno = QProcessEnvironment::systemEnvironment())
    {
        m_proceso.setProcessEnvironment(entorno);
#ifdef Q_OS_LINUX
        // Should the test itself die, the servers die with it.
        m_proceso.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
#endif
        m_proceso.start(programa, argumentos);
        return m_proceso.waitForStarted(5000);
    }

    // The first line of standard output, waited for up to `ms`.
    QByteArray primeraLinea(int ms = 10000)
    {
        QDeadlineTimer plazo(ms);
        while (!m_proceso.canReadLine() && !plazo.hasExpired()) {
            if (!m_proceso.waitForReadyRead(int(qMax<qint64>(plazo.remainingTime(), 1))))
                break;
        }
        return m_proceso.canReadLine() ? m_proceso.readLine().trimmed() : QByteArray();
    }

    // Everything the program wrote on standard error until a line holding `texto` came, or
    // until `ms` passed or the program ended.
    QByteArray errorHasta(const QByteArray &texto, int ms = 10000)
    {
        QDeadlineTimer plazo(ms);
        while (!m_error.contains(texto) && !plazo.hasExpired()) {
            m_proceso.waitForReadyRead(int(qMin<qint64>(qMax<qint64>(plazo.remainingTime(), 1), 100)));
            m_error += m_proceso.readAllStandardError();
            if (m_proceso.state() == QProcess::NotRunning) {
                m_error += m_proceso.readAllStandardError();
                break;
            }
        }
        return m_error;
    }

#ifdef Q_OS_UNIX
    void detener() { ::kill(pid_t(m_proceso.processId()), SIGSTOP); }
    void continuar() { ::kill(pid_t(m_proceso.processId()), SIGCONT); }
#endif

    void terminar()
    {
        if (m_proceso.state() == QProcess::NotRunning)
            return;
#ifdef Q_OS_UNIX
        continuar();
        m_proceso.terminate();
        if (m_proceso.waitForFinished(3000))
            return;
#endif
        // On Windows terminate() only asks the program's windows to close, and on the
        // offscreen platform it has none.
        m_proceso.kill();
        m_proceso.waitForFinished(3000);
    }

private:
    QProcess m_proceso;
    QByteArray m_error;
};

} // namespace servidores
