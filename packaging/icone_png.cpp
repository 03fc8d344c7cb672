// Renders the program's SVG icon to a PNG of the given size, for the icon theme's fixed sizes.
// Painting on an image needs no display, so there is no application object.
#include <QImage>
#include <QPainter>
#include <QString>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char **argv)
{
    bool ok = false;
    const int taille = argc == 4 ? QString::fromLocal8Bit(argv[2]).toInt(&ok) : 0;
    if (!ok || taille <= 0) {
        std::fprintf(stderr, "usage: tarvenko-icon-png ICON.svg SIZE OUT.png\n");
        return 2;
    }
    QSvgRenderer svg(QString::fromLocal8Bit(argv[1]));
    if (!svg.isValid()) {
        std::fprintf(stderr, "tarvenko-icon-png: cannot read %s\n", argv[1]);
        return 1;
    }
    QImage image(taille, taille, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    svg.render(&painter);
    painter.end();
    return image.save(QString::fromLocal8Bit(argv[3])) ? 0 : 1;
}
