// wardel-icon-png: renders the program's SVG icon as square PNGs for the desktop's icon theme, with the same
// SVG image plugin that draws the icon in the window and the tray. Writes <folder>/<n>x<n>/apps/<name>.png
// for every size n.
// Usage: wardel-icon-png <icon.svg> <folder> <size>...

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: wardel-icon-png <icon.svg> <folder> <size>...\n");
        return 2;
    }
    const QGuiApplication app(argc, argv);
    const QString svg = QString::fromLocal8Bit(argv[1]);
    const QString folder = QString::fromLocal8Bit(argv[2]);
    const QString name = QFileInfo(svg).completeBaseName();
    for (int i = 3; i < argc; ++i) {
        bool isNumber = false;
        const int size = QString::fromLocal8Bit(argv[i]).toInt(&isNumber);
        if (!isNumber || size < 1 || size > 4096) {
            std::fprintf(stderr, "wardel-icon-png: no size: %s\n", argv[i]);
            return 2;
        }
        QImageReader reader(svg);
        reader.setScaledSize(QSize(size, size));
        const QImage image = reader.read();
        if (image.isNull()) {
            std::fprintf(stderr, "wardel-icon-png: %s: %s\n", argv[1], qPrintable(reader.errorString()));
            return 1;
        }
        const QString sizeFolder = QStringLiteral("%1/%2x%2/apps").arg(folder).arg(size);
        const QString png = QStringLiteral("%1/%2.png").arg(sizeFolder, name);
        if (!QDir().mkpath(sizeFolder) || !image.convertToFormat(QImage::Format_ARGB32).save(png, "PNG")) {
            std::fprintf(stderr, "wardel-icon-png: cannot write %s\n", qPrintable(png));
            return 1;
        }
    }
    return 0;
}
