#include "nombreganador.h"

#include "winners_format.h"

#include <QDate>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QValidator>

namespace pindel {

namespace {

// Accepts only what the winners file can hold as one entry.
class NombreValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString &input, int &) const override
    {
        return input.isEmpty() || winners::isStorableName(input) ? Acceptable : Invalid;
    }
};

} // namespace

QString fechaDeHoy()
{
    const QDate hoy = QDate::currentDate();
    const QString corta = QLocale::system().toString(hoy, QLocale::ShortFormat);
    return winners::isStorableName(corta) ? corta : hoy.toString(Qt::ISODate);
}

QString pedirNombreGanador(QWidget *parent, const QString &prompt)
{
    QInputDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("PedirNombre"));
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setWindowTitle(QStringLiteral("Lo ha conseguido"));
    dialog.setLabelText(prompt);
    dialog.setTextValue(fechaDeHoy());
    // The prompt is one long sentence: wrapped, it keeps the box a sensible width.
    if (auto *label = dialog.findChild<QLabel *>())
        label->setWordWrap(true);
    if (auto *edit = dialog.findChild<QLineEdit *>())
        edit->setValidator(new NombreValidator(edit));
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.textValue();
}

} // namespace pindel
