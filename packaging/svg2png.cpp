// Build-time helper: renders one SVG file into square PNG icons.
//
//   svg2png <input.svg> <output-directory> <size>...
//   svg2png <input.svg> <output.ico> <size>...
//
// writes <output-directory>/<size>x<size>/pindel.png for every size, or one Windows icon
// file holding every size (each one a PNG image, which Windows reads since Vista), each
// rendered straight from the vector art at that size (never scaled from another bitmap), with
// the picture's aspect kept and centred on a transparent square.  Exits non-zero, saying why,
// when the SVG cannot be read or a file cannot be written, so the build stops instead of
// installing a broken icon.

#include <QBuffer>
#include <QDir>
#include <QSaveFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <QtEndian>

#include <cstdio>
#include <utility>
#include <vector>

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

QImage render(QSvgRenderer &renderer, int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    renderer.render(&painter, centredTarget(renderer.defaultSize(), size));
    painter.end();
    return image;
}

template <typename T>
void append(QByteArray &out, T value)
{
    value = qToLittleEndian(value);
    out.append(reinterpret_cast<const char *>(&value), sizeof value);
}

// The .ico layout: a 6-byte header, one 16-byte entry per image (a side of 256 is written
// as 0), then the images, here PNG files, in the same order.
QByteArray icoFile(const std::vector<std::pair<int, QByteArray>> &pngs)
{
    QByteArray out;
    append<quint16>(out, 0);
    append<quint16>(out, 1);
    append<quint16>(out, quint16(pngs.size()));
    quint32 offset = quint32(6 + 16 * pngs.size());
    for (const auto &[size, png] : pngs) {
        append<quint8>(out, quint8(size >= 256 ? 0 : size));
        append<quint8>(out, quint8(size >= 256 ? 0 : size));
        append<quint8>(out, 0);   // no palette
        append<quint8>(out, 0);
        append<quint16>(out, 1);  // planes
        append<quint16>(out, 32); // bits per pixel
        append<quint32>(out, quint32(png.size()));
        append<quint32>(out, offset);
        offset += quint32(png.size());
    }
    for (const auto &entry : pngs)
        out.append(entry.second);
    return out;
}

int writePngs(QSvgRenderer &renderer, const QDir &out, const std::vector<int> &sizes)
{
    for (int size : sizes) {
        const QString dir = QStringLiteral("%1x%1").arg(size);
        if (!out.mkpath(dir))
            return fail(QStringLiteral("cannot create %1").arg(out.filePath(dir)));
        const QString file = out.filePath(dir + QStringLiteral("/pindel.png"));
        if (!render(renderer, size).save(file, "PNG"))
            return fail(QStringLiteral("cannot write %1").arg(file));
    }
    return 0;
}

int writeIco(QSvgRenderer &renderer, const QString &path, const std::vector<int> &sizes)
{
    std::vector<std::pair<int, QByteArray>> pngs;
    for (int size : sizes) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        if (!render(renderer, size).save(&buffer, "PNG"))
            return fail(QStringLiteral("cannot encode the %1 px picture").arg(size));
        pngs.emplace_back(size, png);
    }
    // Written whole or not at all: a build stopped half-way leaves no half icon behind.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(icoFile(pngs)) < 0 || !file.commit())
        return fail(QStringLiteral("cannot write %1").arg(path));
    return 0;
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

    const QString output = args.at(2);
    const bool ico = output.endsWith(QLatin1String(".ico"), Qt::CaseInsensitive);
    std::vector<int> sizes;
    for (int i = 3; i < args.size(); ++i) {
        bool ok = false;
        const int size = args.at(i).toInt(&ok);
        if (!ok || size < 1 || size > (ico ? 256 : 4096))
            return fail(QStringLiteral("not an icon size: \"%1\"").arg(args.at(i)));
        sizes.push_back(size);
    }
    return ico ? writeIco(renderer, output, sizes) : writePngs(renderer, QDir(output), sizes);
}
