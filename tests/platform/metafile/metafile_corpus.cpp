// Parses and plays every file of the given folders at a few sizes: the fuzzer's corpus (seeds
// and any inputs it once crashed on) run as a regression test. With --png FOLDER it also writes
// what it rendered, to look at.
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QTextStream>

#include "platform/metafile/metafile.h"

using tarvenko::Metafile;

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    QString pngFolder;
    if (const qsizetype i = args.indexOf(QStringLiteral("--png")); i >= 0 && i + 1 < args.size()) {
        pngFolder = args.at(i + 1);
        args.remove(i, 2);
    }
    QTextStream out(stdout);
    int files = 0;
    for (const QString &arg : args) {
        const QFileInfo info(arg);
        const QFileInfoList entries = info.isDir() ? QDir(arg).entryInfoList(QDir::Files, QDir::Name) : QFileInfoList{info};
        for (const QFileInfo &file : entries) {
            ++files;
            QString error;
            const std::optional<Metafile> metafile = Metafile::load(file.filePath(), &error);
            if (!metafile) {
                out << file.fileName() << ": refused (" << error << ")\n";
                continue;
            }
            for (const QSize size : {QSize(64, 48), QSize(7, 5), QSize(301, 203)}) {
                const QImage image = metafile->toImage(size);
                if (!pngFolder.isEmpty() && size.width() == 301)
                    image.save(pngFolder + QLatin1Char('/') + file.completeBaseName() + QStringLiteral(".png"));
            }
            // Smooth edges and a painter that already has a transform and a clip.
            QImage smooth(40, 30, QImage::Format_ARGB32_Premultiplied);
            smooth.fill(Qt::transparent);
            QPainter painter(&smooth);
            painter.scale(0.5, 2);
            painter.setClipRect(0, 0, 60, 10);
            metafile->play(painter, QRectF(-5, -5, 90, 30), Metafile::Edges::Smooth);
            painter.end();
            // Smooth edges straight into an image (the coverage filler), over the image and
            // stretched far beyond it.
            for (const QRectF target : {QRectF(0, 0, 64, 48), QRectF(-3e6, -2e6, 6e6, 4e6), QRectF(30, 20, 1e-3, 1e-3)}) {
                QImage direct(64, 48, QImage::Format_RGB32);
                direct.fill(Qt::white);
                QPainter p(&direct);
                metafile->play(p, target, Metafile::Edges::Smooth);
            }
            out << file.fileName() << ": " << metafile->recordCount() << " records"
                << (metafile->problem().isEmpty() ? QString() : QStringLiteral(" (") + metafile->problem() + QLatin1Char(')')) << '\n';
        }
    }
    out << files << " file(s) played\n";
    return files > 0 ? 0 : 1;
}
