// The boxes of a won and a lost game speak the system's language in Qt's own words (the
// buttons), offer today's date in the system's short form, keep the program's own words as
// they are, and draw them whole: the blank after a capital A ("SEA TAN", "PRUEBA NO") stays.  CTest runs it once per language, the system's language set by the
// environment as a player's system sets it: test_idioma_es and test_idioma_en.

#include "dialogs.h"
#include "solucion_ganadora.h"
#include "tablero_de_prueba.h"

#include "module1.h"
#include "traducciones.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPainter>
#include <QRegularExpression>

using pindel::Tablero;

class TestIdioma : public QObject, public TableroDePrueba {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        iniciarPrograma();
        pindel::instalarTraduccionesDeQt();
    }
    void init() { QVERIFY(prepararPrueba()); }
    void cleanup() { limpiarPrueba(); }

    void wonAndLostBoxes();
};

namespace {

// The texts of a box's buttons, in the order they stand.
QStringList botones(QWidget *caja)
{
    QStringList textos;
    for (QAbstractButton *b : caja->findChild<QDialogButtonBox *>()->buttons())
        textos << b->text().remove(QLatin1Char('&'));
    textos.sort();
    return textos;
}

// How much of a blank is left between two words drawn in a box's face by the engine that draws
// the box: the ink of "uno dos" less the ink of each word alone, over the blank's advance
// (1 to 1.6 where the letters' sides add to it, two thirds where "A" and "T" are kerned into
// it).  An engine that loses the blank after a capital A ("SEATAN") leaves a third.
qreal blancoDibujado(const QWidget *caja, const QString &uno, const QString &dos)
{
    const qreal escala = caja->devicePixelRatioF();
    const auto tinta = [&](const QString &texto) {
        const QFontMetricsF medidas(caja->font());
        QImage imagen((QSizeF(medidas.horizontalAdvance(texto) + 20, medidas.height() + 4) * escala).toSize(),
                      QImage::Format_Grayscale8);
        imagen.setDevicePixelRatio(escala);
        imagen.fill(Qt::white);
        QPainter pintor(&imagen);
        pintor.setFont(caja->font());
        pintor.setPen(Qt::black);
        pintor.drawText(QPointF(10, 2 + medidas.ascent()), texto);
        pintor.end();
        int izquierda = imagen.width(), derecha = -1;
        for (int y = 0; y < imagen.height(); ++y)
            for (int x = 0; x < imagen.width(); ++x)
                if (imagen.constScanLine(y)[x] < 128) {
                    izquierda = qMin(izquierda, x);
                    derecha = qMax(derecha, x);
                }
        return derecha - izquierda + 1;
    };
    const qreal blanco = QFontMetricsF(caja->font()).horizontalAdvance(QLatin1Char(' ')) * escala;
    return (tinta(uno + QLatin1Char(' ') + dos) - tinta(uno) - tinta(dos)) / blanco;
}

} // namespace

void TestIdioma::wonAndLostBoxes()
{
    struct Idioma {
        QLocale::Language idioma;
        QStringList nombre;    // the name box's buttons, sorted
        QStringList derrota;   // the loss box's
        bool diaPrimero;       // the short date puts the day before the month
    };
    const Idioma idiomas[] = {
        {QLocale::Spanish, {"Aceptar", "Cancelar"}, {"Aceptar"}, true},
        {QLocale::English, {"Cancel", "OK"}, {"OK"}, false},
    };
    const Idioma *esperado = nullptr;
    for (const Idioma &i : idiomas)
        if (i.idioma == QLocale::system().language())
            esperado = &i;
    QVERIFY2(esperado, qPrintable("no expectations for the system's language " + QLocale::system().name()));

    Tablero &tablero = hacerTablero();
    pindel::Lifecycle::show(tablero);
    QStringList nombre, derrota;
    QString fecha, prompt, texto;
    qreal blancoNombre = 0, blancoDerrota = 0;
    DialogScript dialogs;
    dialogs.then([&](QWidget *w) {
        auto *caja = qobject_cast<QInputDialog *>(w);
        QVERIFY(caja);
        nombre = botones(caja);
        fecha = caja->textValue();
        prompt = caja->labelText();
        blancoNombre = blancoDibujado(caja->findChild<QLabel *>(), QStringLiteral("SEA"), QStringLiteral("TAN"));
        caja->setTextValue(QStringLiteral("Ana"));
        caja->accept();
    });
    dialogs.then([&](QWidget *w) {
        auto *caja = qobject_cast<QMessageBox *>(w);
        QVERIFY(caja);
        derrota = botones(caja);
        texto = caja->text();
        blancoDerrota = blancoDibujado(caja->findChild<QLabel *>(QStringLiteral("qt_msgbox_label")),
                                       QStringLiteral("PRUEBA"), QStringLiteral("NO"));
        caja->button(QMessageBox::Ok)->click();
    });
    const auto &saltos = solucion::movimientos();
    for (const solucion::Salto &s : saltos)
        tablero.Image1_DragDrop(solucion::hueco(s.a), solucion::hueco(s.desde));
    for (std::size_t i = 0; i + 1 < saltos.size(); ++i)
        tablero.Image1_DragDrop(solucion::hueco(saltos[i].a), solucion::hueco(saltos[i].desde));
    // Number 10 up over number 5 onto number 2: one peg left, outside the centre.
    tablero.Image1_DragDrop(solucion::hueco(2), solucion::hueco(10));
    QCOMPARE(dialogs.answered(), 2);
    QCOMPARE(dialogs.titles, (QStringList{"Lo ha conseguido", " Le falto muy poco"}));

    QCOMPARE(nombre, esperado->nombre);
    QCOMPARE(derrota, esperado->derrota);
    QVERIFY2(prompt.endsWith(QStringLiteral("SEA TAN AMABLE DE INTRODUCIR SU NOMBRE")), qPrintable(prompt));
    QVERIFY2(texto.endsWith(QStringLiteral("¡¡PRUEBA NO SUPERADA!!.")), qPrintable(texto));

    qInfo("system %s: name box %s, offering %s; loss box %s; blanks drawn: %.2f after SEA, %.2f after PRUEBA",
          qPrintable(QLocale::system().name()), qPrintable(nombre.join('/')), qPrintable(fecha),
          qPrintable(derrota.join('/')), blancoNombre, blancoDerrota);
    QVERIFY2(blancoNombre >= 0.5, "\"SEA TAN\" is drawn \"SEATAN\"");
    QVERIFY2(blancoDerrota >= 0.5, "\"PRUEBA NO\" is drawn \"PRUEBANO\"");

    const QRegularExpressionMatch corta =
        QRegularExpression(QStringLiteral(R"(^(\d{1,2})/(\d{1,2})/(\d{2}|\d{4})$)")).match(fecha);
    QVERIFY2(corta.hasMatch(), qPrintable("the name box offers " + fecha));
    const QDate hoy = QDate::currentDate();
    const int primero = corta.captured(1).toInt(), segundo = corta.captured(2).toInt();
    QCOMPARE(primero, esperado->diaPrimero ? hoy.day() : hoy.month());
    QCOMPARE(segundo, esperado->diaPrimero ? hoy.month() : hoy.day());
    QCOMPARE(corta.captured(3).toInt() % 100, hoy.year() % 100);
}

int main(int argc, char **argv)
{
#ifdef Q_OS_WIN
    // The platform the program asks for, text engine included, unless the test is told one.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        if (const auto plataforma = pindel::Module1::defaultPlatform({}))
            qputenv("QT_QPA_PLATFORM", *plataforma);
#endif
    QApplication app(argc, argv);
    TestIdioma prueba;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&prueba, argc, argv);
}
#include "test_idioma.moc"
