#pragma once
// The face a widget's text is really drawn in, as the font system resolved it, written
// "Family points weight" ("Liberation Sans 9.75 bold").  Where two foundries ship a face the
// system names the one it took ("Z003 [urw]"); the foundry is left out.

#include <QFontInfo>
#include <QRegularExpression>
#include <QWidget>

inline QString fuenteUsada(const QWidget *widget)
{
    const QFontInfo used(widget->font());
    QString family = used.family();
    family.remove(QRegularExpression(QStringLiteral(" \\[.*\\]$")));
    return QStringLiteral("%1 %2 %3").arg(family).arg(used.pointSizeF()).arg(used.bold() ? "bold" : "regular");
}
