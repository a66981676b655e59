// vortrel-resourcegen: draws the control's built-in pictures into resources/ (the track title
// PNGs and the toolbox bitmap), and on request a preview sheet to look at them closely.
#include <QColor>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QString>

#include <cstdint>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "Pictures.h"

namespace {

using vortrel::resourcegen::Picture;

// What a host that ignores the alpha byte of the toolbox bitmap shows for its transparent
// pixels: the classic face colour of buttons and tool boxes, which such hosts also take as
// the transparent colour when they key on the lower-left pixel.
const QColor kBitmapKey(192, 192, 192);

void PutLe(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
    }
}

// A device-independent bitmap file: the 40-byte info header, 32 bits per pixel, no
// compression, rows bottom-up, each pixel blue, green, red and straight alpha.
std::vector<uint8_t> EncodeBitmap(const QImage& source) {
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);
    const uint32_t pixelBytes = static_cast<uint32_t>(image.width() * image.height() * 4);
    const uint32_t headerBytes = 14 + 40;
    std::vector<uint8_t> out{'B', 'M'};
    PutLe(out, headerBytes + pixelBytes, 4);
    PutLe(out, 0, 4);  // reserved
    PutLe(out, headerBytes, 4);
    PutLe(out, 40, 4);
    PutLe(out, static_cast<uint32_t>(image.width()), 4);
    PutLe(out, static_cast<uint32_t>(image.height()), 4);
    PutLe(out, 1, 2);   // planes
    PutLe(out, 32, 2);  // bits per pixel
    PutLe(out, 0, 4);   // uncompressed
    PutLe(out, pixelBytes, 4);
    PutLe(out, 2835, 4);  // 72 dots per inch, in dots per metre
    PutLe(out, 2835, 4);
    PutLe(out, 0, 4);  // no colour table
    PutLe(out, 0, 4);
    for (int y = image.height() - 1; y >= 0; --y) {
        for (int x = 0; x < image.width(); ++x) {
            QColor pixel = image.pixelColor(x, y);
            if (pixel.alpha() == 0) {
                pixel = kBitmapKey;
                pixel.setAlpha(0);
            }
            out.insert(out.end(),
                       {static_cast<uint8_t>(pixel.blue()), static_cast<uint8_t>(pixel.green()),
                        static_cast<uint8_t>(pixel.red()), static_cast<uint8_t>(pixel.alpha())});
        }
    }
    return out;
}

bool WriteBytes(const QString& path, const std::vector<uint8_t>& bytes) {
    std::ofstream file(path.toStdString(), std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file.flush());
}

bool WritePicture(const QDir& folder, const Picture& picture) {
    const QString path = folder.filePath(picture.fileName);
    if (picture.fileName.endsWith(".bmp")) {
        return WriteBytes(path, EncodeBitmap(picture.image));
    }
    return picture.image.save(path, "PNG");
}

// A picture at its natural size and four times larger (every pixel a 4 x 4 block), on the
// light title column and on a dark track row; the toolbox bitmap also as read back from its
// file without its alpha, as a host that ignores alpha shows it.
QImage Preview(const Picture& picture, const QDir& folder) {
    constexpr int kScale = 4;
    constexpr int kCell = 50 * kScale + 10;
    constexpr int kSmall = 60;
    const QColor backgrounds[] = {QColor(200, 200, 200), QColor(20, 20, 30)};
    QImage sheet(2 * kSmall + 3 * kCell, kCell, QImage::Format_ARGB32_Premultiplied);
    sheet.fill(QColor(128, 128, 128));
    QPainter painter(&sheet);
    const QImage& image = picture.image;
    const QImage large = image.scaled(image.size() * kScale);
    int left = 0;
    for (const QColor& background : backgrounds) {
        painter.fillRect(left, 0, kSmall, kCell, background);
        painter.drawImage(left + (kSmall - image.width()) / 2, 5, image);
        left += kSmall;
    }
    for (const QColor& background : backgrounds) {
        painter.fillRect(left, 0, kCell, kCell, background);
        painter.drawImage(left + 5, 5, large);
        left += kCell;
    }
    if (picture.fileName.endsWith(".bmp")) {
        const QImage opaque(folder.filePath(picture.fileName));
        painter.drawImage(left + 5, 5,
                          opaque.convertToFormat(QImage::Format_RGB32).scaled(large.size()));
    }
    return sheet;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty() || (args.size() != 1 && (args.size() != 3 || args[1] != "--preview"))) {
        std::cerr << "usage: vortrel-resourcegen FOLDER [--preview PREVIEW_FOLDER]\n"
                     "  draws the built-in pictures into FOLDER; --preview also writes each of\n"
                     "  them at natural and four times the size on light and dark rows as a PNG\n";
        return 2;
    }
    const QDir folder(QString::fromStdString(args[0]));
    if (!folder.exists()) {
        std::cerr << "vortrel-resourcegen: no folder " << args[0] << "\n";
        return 1;
    }
    const std::vector<Picture> pictures = vortrel::resourcegen::DrawPictures();
    for (const Picture& picture : pictures) {
        if (!WritePicture(folder, picture)) {
            std::cerr << "vortrel-resourcegen: cannot write "
                      << folder.filePath(picture.fileName).toStdString() << "\n";
            return 1;
        }
        std::cout << folder.filePath(picture.fileName).toStdString() << "\n";
    }
    if (args.size() == 3) {
        const QDir previews(QString::fromStdString(args[2]));
        for (const Picture& picture : pictures) {
            const QString path = previews.filePath(picture.fileName.section('.', 0, 0) + ".png");
            if (!Preview(picture, folder).save(path)) {
                std::cerr << "vortrel-resourcegen: cannot write " << path.toStdString() << "\n";
                return 1;
            }
        }
    }
    return 0;
}
