// GIF writing over giflib, since the image I/O of the framework reads GIF but cannot write it. A
// picture of at most 256 colours keeps exactly its colours; a richer one is reduced to 256 by the
// library's median-cut quantiser.
#pragma once

#include <QImage>
#include <QString>

class QIODevice;

// The most colours a GIF palette holds.
inline constexpr int GifMaxColors = 256;

// Writes `image` (alpha is ignored) as a single-frame GIF to `device`, which must be open for writing.
// False, with a reason in `error` when given, for an empty or oversized picture or a failed write.
bool WriteGifImage(const QImage& image, QIODevice& device, QString* error = nullptr);
