// vortrel-imagecompare A B [--floor PERCENT] [--diff FILE] [--copy FILE]: the share of pixels two
// pictures of the same size have in common (colour only, alpha ignored), and the bounding boxes of
// the rows of differing pixels, so that a reader sees where they differ; --diff writes the
// differing pixels black on white, --copy writes A again as a PNG for a viewer. Exits 1 when the
// share is below the floor, 2 when a picture cannot be read or the sizes differ.
#include <QColor>
#include <QImage>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

int Usage() {
    std::fprintf(stderr,
                 "usage: vortrel-imagecompare A B [--floor PERCENT] [--diff FILE] [--copy FILE]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        return Usage();
    }
    double floor = 0;
    std::string diffFile;
    std::string copyFile;
    for (int i = 3; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--floor" && i + 1 < argc) {
            char* end = nullptr;
            floor = std::strtod(argv[++i], &end);
            if (end == nullptr || *end != '\0') {
                return Usage();
            }
        } else if (option == "--diff" && i + 1 < argc) {
            diffFile = argv[++i];
        } else if (option == "--copy" && i + 1 < argc) {
            copyFile = argv[++i];
        } else {
            return Usage();
        }
    }
    const QImage a = QImage(QString::fromLocal8Bit(argv[1])).convertToFormat(QImage::Format_RGB32);
    const QImage b = QImage(QString::fromLocal8Bit(argv[2])).convertToFormat(QImage::Format_RGB32);
    if (a.isNull() || b.isNull()) {
        std::fprintf(stderr, "vortrel-imagecompare: cannot read %s\n",
                     a.isNull() ? argv[1] : argv[2]);
        return 2;
    }
    if (a.size() != b.size()) {
        std::fprintf(stderr, "vortrel-imagecompare: %dx%d against %dx%d\n", a.width(), a.height(),
                     b.width(), b.height());
        return 2;
    }
    // The differing pixels, black on white, for a reader to look at.
    QImage diff(a.size(), QImage::Format_RGB32);
    diff.fill(Qt::white);
    long long same = 0;
    const long long total = static_cast<long long>(a.width()) * a.height();
    int top = -1;
    int left = a.width();
    int right = -1;
    auto report = [&](int bottom) {
        if (top >= 0) {
            std::printf("differs in x %d..%d, y %d..%d\n", left, right, top, bottom);
        }
        top = -1;
        left = a.width();
        right = -1;
    };
    for (int y = 0; y < a.height(); ++y) {
        const auto* rowA = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* rowB = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        bool rowDiffers = false;
        for (int x = 0; x < a.width(); ++x) {
            if ((rowA[x] & 0xFFFFFF) == (rowB[x] & 0xFFFFFF)) {
                ++same;
                continue;
            }
            rowDiffers = true;
            left = std::min(left, x);
            right = std::max(right, x);
            diff.setPixel(x, y, qRgb(0, 0, 0));
        }
        if (rowDiffers && top < 0) {
            top = y;
        } else if (!rowDiffers) {
            report(y - 1);
        }
    }
    report(a.height() - 1);
    const double share = total > 0 ? 100.0 * static_cast<double>(same) / total : 100.0;
    std::printf("identical %lld of %lld pixels (%.2f%%)\n", same, total, share);
    if (!diffFile.empty() && !diff.save(QString::fromLocal8Bit(diffFile.c_str()))) {
        std::fprintf(stderr, "vortrel-imagecompare: cannot write %s\n", diffFile.c_str());
        return 2;
    }
    if (!copyFile.empty() && !a.save(QString::fromLocal8Bit(copyFile.c_str()), "PNG")) {
        std::fprintf(stderr, "vortrel-imagecompare: cannot write %s\n", copyFile.c_str());
        return 2;
    }
    return share + 1e-9 >= floor ? 0 : 1;
}
