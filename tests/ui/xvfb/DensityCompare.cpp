// density_compare SCALE1.png SCALE2.png
//
// Checks that the second screenshot is the first one composed again at twice the pixels, not the
// first one enlarged: a good share of its pixels must differ clearly from both a pixel-doubled and
// a smoothly enlarged copy of the first (text at the real size, edges drawn afresh), while the
// second, scaled down, must still show the same picture.

#include <QImage>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

// Measured on the main window: 0.009 with the built skin, 0.003 when the skin had no @2x
// pictures and only the windows' own text was sharp, 0 for any enlargement.
constexpr double kMinimumShareDiffering = 0.005;
constexpr int kClearly = 48;
constexpr double kMaximumMeanDifference = 12.0;

int Channel(QRgb a, QRgb b, int shift) {
    return std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF));
}

int MaxChannel(QRgb a, QRgb b) {
    return std::max({Channel(a, b, 16), Channel(a, b, 8), Channel(a, b, 0)});
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: density_compare SCALE1.png SCALE2.png\n");
        return 2;
    }
    const QImage one =
        QImage(QString::fromLocal8Bit(argv[1])).convertToFormat(QImage::Format_RGB32);
    const QImage two =
        QImage(QString::fromLocal8Bit(argv[2])).convertToFormat(QImage::Format_RGB32);
    if (one.isNull() || two.isNull()) {
        std::fprintf(stderr, "density_compare: cannot read the screenshots\n");
        return 1;
    }
    if (two.size() != one.size() * 2) {
        std::fprintf(stderr, "density_compare: %dx%d is not twice %dx%d\n", two.width(),
                     two.height(), one.width(), one.height());
        return 1;
    }
    const QImage doubled = one.scaled(two.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation);
    const QImage smooth = one.scaled(two.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                              .convertToFormat(QImage::Format_RGB32);
    long differing = 0;
    for (int y = 0; y < two.height(); ++y) {
        const auto* a = reinterpret_cast<const QRgb*>(doubled.constScanLine(y));
        const auto* s = reinterpret_cast<const QRgb*>(smooth.constScanLine(y));
        const auto* b = reinterpret_cast<const QRgb*>(two.constScanLine(y));
        for (int x = 0; x < two.width(); ++x) {
            differing += MaxChannel(a[x], b[x]) > kClearly && MaxChannel(s[x], b[x]) > kClearly;
        }
    }
    const QImage down = two.scaled(one.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                            .convertToFormat(QImage::Format_RGB32);
    double total = 0;
    for (int y = 0; y < one.height(); ++y) {
        const auto* a = reinterpret_cast<const QRgb*>(one.constScanLine(y));
        const auto* b = reinterpret_cast<const QRgb*>(down.constScanLine(y));
        for (int x = 0; x < one.width(); ++x) {
            total += Channel(a[x], b[x], 16) + Channel(a[x], b[x], 8) + Channel(a[x], b[x], 0);
        }
    }
    const double share =
        static_cast<double>(differing) / (static_cast<double>(two.width()) * two.height());
    const double mean = total / (3.0 * one.width() * one.height());
    std::printf(
        "differs clearly from both enlargements in %.4f of its pixels; scaled down, %.2f from "
        "the scale-1 picture on average\n",
        share, mean);
    bool ok = true;
    if (share < kMinimumShareDiffering) {
        std::fprintf(stderr, "density_compare: the scale-2 picture is the scale-1 one enlarged\n");
        ok = false;
    }
    if (mean > kMaximumMeanDifference) {
        std::fprintf(stderr, "density_compare: the scale-2 picture shows something else\n");
        ok = false;
    }
    return ok ? 0 : 1;
}
