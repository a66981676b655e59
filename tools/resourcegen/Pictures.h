#pragma once

#include <QImage>
#include <QString>

#include <vector>

namespace vortrel::resourcegen {

// One built-in picture as the generator draws it: its resource id, the file it is kept in
// under resources/ and its pixels (ARGB, straight alpha, transparent background).
struct Picture {
    int id = 0;
    QString fileName;
    QImage image;
};

/// Draws every built-in picture: the six track title images and the toolbox bitmap.
std::vector<Picture> DrawPictures();

}  // namespace vortrel::resourcegen
