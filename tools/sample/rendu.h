#pragma once

#include <QImage>
#include <QString>

#include <cstdint>
#include <vector>

#include "tools/sample/toile.h"

namespace tarvenko::sample {

// A picture drawn on a Toile played into an image of the given size by the program's own
// metafile player, without antialiasing (the colours are exact).
QImage rend(const Toile &t, int largeur, int hauteur);

// A GIF file (GIF89a, one image, global colour table) of an image with at most 256 colours; any
// colour beyond the 256th is replaced by the nearest of the first 256. The bytes depend only on
// the pixels.
std::vector<std::uint8_t> gif(const QImage &image);
// The LZW code stream of GIF for `indices` (values below 2^bits), before being cut into blocks.
std::vector<std::uint8_t> lzwGif(const std::vector<std::uint8_t> &indices, int bits);

// An icon file (.ico) of the picture at 32 x 32 and 64 x 64 (for screens of ratio 2), drawn at
// 256 x 256 and reduced smoothly.
void ecritIcone(const Toile &t, const QString &chemin);

void ecritFichier(const QString &chemin, const std::vector<std::uint8_t> &octets);

} // namespace tarvenko::sample
