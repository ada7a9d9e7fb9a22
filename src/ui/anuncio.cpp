#include "anuncio.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QWidget>

#include <cstring>

namespace pindel {

const char *const kObjetoAviso = "AvisoTeclado";

namespace {

// The notification widget as a screen reader meets it.  Its value is the sentence, so a UI
// Automation client that reads the Value a change announced finds the same words.
class InterfazAviso : public QAccessibleWidget {
public:
    explicit InterfazAviso(QWidget *widget) : QAccessibleWidget(widget, QAccessible::Notification) {}

    QString text(QAccessible::Text t) const override
    {
        return QAccessibleWidget::text(t == QAccessible::Value ? QAccessible::Name : t);
    }
};

QAccessibleInterface *fabrica(const QString &className, QObject *object)
{
    if (className == QLatin1String("QWidget") && object->objectName() == QLatin1String(kObjetoAviso))
        return new InterfazAviso(static_cast<QWidget *>(object));
    return nullptr;
}

// Qt's AT-SPI bridge answers the value change meant for UI Automation with a warning on
// standard error, every sentence, while a screen reader listens ("ValueChanged event and no
// ValueInterface or ComboBox").  That one warning, about this widget, is expected and dropped;
// every other message goes where it went before.
QtMessageHandler g_anterior = nullptr;

void mensaje(QtMsgType tipo, const QMessageLogContext &contexto, const QString &texto)
{
    if (tipo == QtWarningMsg && contexto.category && std::strcmp(contexto.category, "qt.accessibility.atspi") == 0
        && texto.startsWith(QLatin1String("ValueChanged event and no ValueInterface"))
        && texto.contains(QLatin1String(kObjetoAviso)))
        return;
    if (g_anterior)   // Qt hands back its own default handler when none was installed
        g_anterior(tipo, contexto, texto);
}

} // namespace

Anuncio::Anuncio(QWidget *ventana) : m_widget(new QWidget)
{
    static bool instalada = false;
    if (!instalada) {
        QAccessible::installFactory(fabrica);
        g_anterior = qInstallMessageHandler(mensaje);
        instalada = true;
    }
    // Named before it joins the window, so a screen reader only ever meets it as a notification.
    m_widget->setObjectName(QLatin1String(kObjetoAviso));
    m_widget->setParent(ventana);
    m_widget->setGeometry(0, 0, 0, 0);
    m_widget->setFocusPolicy(Qt::NoFocus);
    m_widget->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_widget->hide();
}

void Anuncio::decir(const QString &texto)
{
    // For AT-SPI: the notification appears with its new name.
    m_widget->hide();
    m_widget->setAccessibleName(texto);
    m_widget->show();
    // For UI Automation: the value change that carries the sentence.
    QAccessibleValueChangeEvent valor(m_widget, texto);
    QAccessible::updateAccessibility(&valor);
}

} // namespace pindel
