// Build-time helper: renders one SVG file into square PNG icons.
//
//   svg2png <input.svg> <output-directory> <size>...
//
// writes <output-directory>/<size>x<size>/pindel.png for every size, each rendered straight
// from the vector art at that size (never scaled from another bitmap), with the picture's
// aspect kept and centred on a transparent square.  Exits non-zero, saying why, when the
// SVG cannot be read or a file cannot be written, so the build stops instead of installing
// a broken icon.

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

namespace {

int fail(const QString &message)
{
    std::fprintf(stderr, "svg2png: %s\n", qPrintable(message));
    return 1;
}

QRectF centredTarget(const QSizeF &art, int size)
{
    if (art.isEmpty())
        return QRectF(0, 0, size, size);
    const QSizeF fitted = art.scaled(size, size, Qt::KeepAspectRatio);
    return QRectF((size - fitted.width()) / 2, (size - fitted.height()) / 2, fitted.width(),
                  fitted.height());
}

} // namespace

int main(int argc, char **argv)
{
    // Painting text or gradients needs a GUI application object; no window is ever shown,
    // so the offscreen platform serves on build machines without a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    const QStringList args = app.arguments();
    if (args.size() < 4)
        return fail(QStringLiteral("usage: svg2png <input.svg> <output-directory> <size>..."));

    QSvgRenderer renderer(args.at(1));
    if (!renderer.isValid())
        return fail(QStringLiteral("cannot read the SVG file %1").arg(args.at(1)));

    const QDir out(args.at(2));
    for (int i = 3; i < args.size(); ++i) {
        bool ok = false;
        const int size = args.at(i).toInt(&ok);
        if (!ok || size < 1 || size > 4096)
            return fail(QStringLiteral("not an icon size: \"%1\"").arg(args.at(i)));

        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
        renderer.render(&painter, centredTarget(renderer.defaultSize(), size));
        painter.end();

        const QString dir = QStringLiteral("%1x%1").arg(size);
        if (!out.mkpath(dir))
            return fail(QStringLiteral("cannot create %1").arg(out.filePath(dir)));
        const QString file = out.filePath(dir + QStringLiteral("/pindel.png"));
        if (!image.save(file, "PNG"))
            return fail(QStringLiteral("cannot write %1").arg(file));
    }
    return 0;
}
