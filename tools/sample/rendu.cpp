#include "tools/sample/rendu.h"

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QImageWriter>

#include <stdexcept>
#include <unordered_map>

#include "platform/metafile/metafile.h"

namespace tarvenko::sample {

QImage rend(const Toile &t, int largeur, int hauteur)
{
    const std::vector<std::uint8_t> octets = t.octets();
    QString erreur;
    const auto mf = Metafile::fromData(QByteArrayView(reinterpret_cast<const char *>(octets.data()), static_cast<qsizetype>(octets.size())), &erreur);
    if (!mf)
        throw std::runtime_error("unplayable picture: " + erreur.toStdString());
    return mf->toImage(QSize(largeur, hauteur), Qt::white).convertToFormat(QImage::Format_RGB32);
}

std::vector<std::uint8_t> lzwGif(const std::vector<std::uint8_t> &indices, int bits)
{
    const int clear = 1 << bits, fin = clear + 1;
    std::vector<std::uint8_t> out;
    std::uint32_t tampon = 0;
    int nbBits = 0;
    int taille = bits + 1;
    const auto emet = [&](int code) {
        tampon |= static_cast<std::uint32_t>(code) << nbBits;
        nbBits += taille;
        while (nbBits >= 8) {
            out.push_back(static_cast<std::uint8_t>(tampon & 0xFF));
            tampon >>= 8;
            nbBits -= 8;
        }
    };
    // Dictionary: code of (prefix code, next index), 0 for none.
    std::vector<std::uint16_t> suite(static_cast<std::size_t>(4096) * 256, 0);
    std::vector<std::size_t> utilises;
    int prochain = fin + 1;
    emet(clear);
    if (indices.empty()) {
        emet(fin);
        if (nbBits > 0)
            out.push_back(static_cast<std::uint8_t>(tampon & 0xFF));
        return out;
    }
    int prefixe = indices[0];
    for (std::size_t i = 1; i < indices.size(); ++i) {
        const std::uint8_t k = indices[i];
        const std::size_t cle = static_cast<std::size_t>(prefixe) * 256 + k;
        if (suite[cle] != 0) {
            prefixe = suite[cle];
            continue;
        }
        emet(prefixe);
        if (prochain < 4096) {
            suite[cle] = static_cast<std::uint16_t>(prochain);
            utilises.push_back(cle);
            if (prochain == (1 << taille) && taille < 12)
                ++taille;
            ++prochain;
        } else {
            emet(clear);
            for (std::size_t u : utilises)
                suite[u] = 0;
            utilises.clear();
            prochain = fin + 1;
            taille = bits + 1;
        }
        prefixe = k;
    }
    emet(prefixe);
    emet(fin);
    if (nbBits > 0)
        out.push_back(static_cast<std::uint8_t>(tampon & 0xFF));
    return out;
}

std::vector<std::uint8_t> gif(const QImage &source)
{
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    const int w = image.width(), h = image.height();
    std::vector<QRgb> table;
    std::unordered_map<QRgb, std::uint8_t> index;
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    QRgb dernier = 0;
    std::uint8_t dernierIndex = 0;
    bool premier = true;
    std::size_t n = 0;
    for (int y = 0; y < h; ++y) {
        const auto *ligne = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < w; ++x, ++n) {
            const QRgb c = ligne[x] & 0xFFFFFF;
            if (premier || c != dernier) {
                premier = false;
                dernier = c;
                const auto it = index.find(c);
                if (it != index.end()) {
                    dernierIndex = it->second;
                } else if (table.size() < 256) {
                    dernierIndex = static_cast<std::uint8_t>(table.size());
                    index.emplace(c, dernierIndex);
                    table.push_back(c);
                } else {
                    int meilleur = 0;
                    long long d = -1;
                    for (std::size_t i = 0; i < table.size(); ++i) {
                        const long long dr = qRed(c) - qRed(table[i]), dg = qGreen(c) - qGreen(table[i]), db = qBlue(c) - qBlue(table[i]);
                        const long long e = dr * dr + dg * dg + db * db;
                        if (d < 0 || e < d) {
                            d = e;
                            meilleur = static_cast<int>(i);
                        }
                    }
                    dernierIndex = static_cast<std::uint8_t>(meilleur);
                    index.emplace(c, dernierIndex);
                }
            }
            pixels[n] = dernierIndex;
        }
    }
    int bits = 2;
    while ((1u << bits) < table.size())
        ++bits;
    std::vector<std::uint8_t> out = {'G', 'I', 'F', '8', '9', 'a'};
    const auto mot16 = [&](int v) {
        out.push_back(static_cast<std::uint8_t>(v & 0xFF));
        out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
    };
    mot16(w);
    mot16(h);
    out.push_back(static_cast<std::uint8_t>(0x80 | ((bits - 1) << 4) | (bits - 1)));
    out.push_back(0);
    out.push_back(0);
    for (int i = 0; i < (1 << bits); ++i) {
        const QRgb c = static_cast<std::size_t>(i) < table.size() ? table[static_cast<std::size_t>(i)] : 0;
        out.push_back(static_cast<std::uint8_t>(qRed(c)));
        out.push_back(static_cast<std::uint8_t>(qGreen(c)));
        out.push_back(static_cast<std::uint8_t>(qBlue(c)));
    }
    out.push_back(0x2C);
    mot16(0);
    mot16(0);
    mot16(w);
    mot16(h);
    out.push_back(0);
    out.push_back(static_cast<std::uint8_t>(bits));
    const std::vector<std::uint8_t> code = lzwGif(pixels, bits);
    for (std::size_t i = 0; i < code.size(); i += 255) {
        const std::size_t l = std::min<std::size_t>(255, code.size() - i);
        out.push_back(static_cast<std::uint8_t>(l));
        out.insert(out.end(), code.begin() + static_cast<std::ptrdiff_t>(i), code.begin() + static_cast<std::ptrdiff_t>(i + l));
    }
    out.push_back(0);
    out.push_back(0x3B);
    return out;
}

void ecritIcone(const Toile &t, const QString &chemin)
{
    // Qt writes one picture per icon file: each size is written alone, then their directories
    // are joined (a 6-byte header, a 16-byte entry per picture, the pictures' data).
    const QImage grande = rend(t, 256, 256);
    std::vector<QByteArray> fichiers;
    for (int taille : {32, 64}) {
        const QImage petite = grande.scaled(taille, taille, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                                  .convertToFormat(QImage::Format_ARGB32);
        QBuffer tampon;
        tampon.open(QIODevice::WriteOnly);
        QImageWriter w(&tampon, "ico");
        if (!w.write(petite))
            throw std::runtime_error("cannot write " + chemin.toStdString() + ": " + w.errorString().toStdString());
        fichiers.push_back(tampon.data());
    }
    const auto mot = [](QByteArray &b, std::uint32_t v, int octets) {
        for (int i = 0; i < octets; ++i)
            b.append(static_cast<char>((v >> (8 * i)) & 0xFF));
    };
    QByteArray icone;
    mot(icone, 0, 2);
    mot(icone, 1, 2);
    mot(icone, static_cast<std::uint32_t>(fichiers.size()), 2);
    std::uint32_t debut = 6 + 16 * static_cast<std::uint32_t>(fichiers.size());
    QByteArray donnees;
    for (const QByteArray &f : fichiers) {
        const std::uint32_t offset = static_cast<std::uint8_t>(f[18]) | static_cast<std::uint8_t>(f[19]) << 8 |
                                     static_cast<std::uint8_t>(f[20]) << 16 | static_cast<std::uint32_t>(static_cast<std::uint8_t>(f[21])) << 24;
        const QByteArray image = f.mid(offset);
        icone.append(f.mid(6, 12)); // width, height, colours, reserved, planes, bits, size
        mot(icone, debut + static_cast<std::uint32_t>(donnees.size()), 4);
        donnees.append(image);
    }
    icone.append(donnees);
    ecritFichier(chemin, std::vector<std::uint8_t>(icone.begin(), icone.end()));
}

void ecritFichier(const QString &chemin, const std::vector<std::uint8_t> &octets)
{
    QFile f(chemin);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        f.write(reinterpret_cast<const char *>(octets.data()), static_cast<qint64>(octets.size())) != static_cast<qint64>(octets.size()))
        throw std::runtime_error("cannot write " + chemin.toStdString());
}

} // namespace tarvenko::sample
