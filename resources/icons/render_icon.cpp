// Build tool: renders the program icon's SVG as PNG files of the given sizes.
// Usage: quilmar-render-icon <svg> <out dir> <size>…
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>

#include <cstdio>

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    if (argc < 4) {
        std::fputs("usage: quilmar-render-icon <svg> <out dir> <size>...\n", stderr);
        return 2;
    }
    for (int i = 3; i < argc; ++i) {
        const int size = QByteArray(argv[i]).toInt();
        QImageReader reader(QString::fromLocal8Bit(argv[1]));
        reader.setScaledSize(QSize(size, size));
        const QImage image = reader.read();
        const QString out = QStringLiteral("%1/%2.png").arg(QString::fromLocal8Bit(argv[2])).arg(size);
        if (image.isNull() || !image.save(out)) {
            std::fprintf(stderr, "cannot render %s at %d: %s\n", argv[1], size, qPrintable(reader.errorString()));
            return 1;
        }
    }
    return 0;
}
