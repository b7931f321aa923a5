// SPDX-License-Identifier: GPL-3.0-or-later
// Makes the game's pictures and sound cues at build time, so that every
// asset in the program comes from sources kept in the repository.
//
//   genassets pictures <svg-dir> <out-dir>   PNGs at their sizes and colour depths
//   genassets icons <svg> <out-dir>          the desktop icon in the hicolor sizes
//   genassets sounds <out-dir>               Esatto.wav and no.wav

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <vector>

namespace {

struct Picture
{
    const char *name;
    std::vector<int> sizes;
    int colours; // 0: true colour
};

const Picture kPictures[] = {
        {"brunilla", {48, 32, 16}, 0}, // the window's icon, at the sizes window systems ask for
        {"puntatore", {48}, 256},       {"nuovo", {32, 16}, 16}, {"nuovo_premuto", {32, 16}, 16},
        {"nuovo_spento", {32, 16}, 16}, {"esci", {32, 16}, 16},  {"orologio", {32}, 16},
};

int fail(const QString &message)
{
    std::fprintf(stderr, "genassets: %s\n", qPrintable(message));
    return 1;
}

int distance(QRgb a, QRgb b)
{
    const int dr = qRed(a) - qRed(b), dg = qGreen(a) - qGreen(b), db = qBlue(a) - qBlue(b);
    return dr * dr + dg * dg + db * db;
}

// A palette of at most `colours` entries, the first one transparent: the
// most used colours after folding each channel to 4 bits, in a stable order.
QImage reduce(const QImage &image, int colours)
{
    QHash<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            if (qAlpha(p) >= 128)
                ++counts[(p & 0x00f0f0f0u) | 0xff000000u];
        }
    std::vector<std::pair<QRgb, int>> ranked;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        ranked.emplace_back(it.key(), it.value());
    std::sort(ranked.begin(), ranked.end(), [](const auto &a, const auto &b) {
        return a.second != b.second ? a.second > b.second : a.first < b.first;
    });
    QList<QRgb> palette{qRgba(0, 0, 0, 0)};
    for (const auto &entry : ranked) {
        if (palette.size() == colours)
            break;
        palette << (entry.first | 0x080808u);
    }
    QImage out(image.size(), QImage::Format_Indexed8);
    out.setColorTable(palette);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            int best = 0;
            if (qAlpha(p) >= 128) {
                best = 1;
                for (int i = 2; i < palette.size(); ++i)
                    if (distance(p, palette[i]) < distance(p, palette[best]))
                        best = i;
            }
            out.setPixel(x, y, uint(best));
        }
    return out;
}

int makePictures(const QString &svgDir, const QString &outDir)
{
    if (!QDir().mkpath(outDir))
        return fail(QStringLiteral("cannot create ") + outDir);
    for (const Picture &picture : kPictures) {
        const QString source = svgDir + u'/' + QLatin1String(picture.name) + QStringLiteral(".svg");
        QSvgRenderer renderer(source);
        if (!renderer.isValid())
            return fail(QStringLiteral("cannot read ") + source);
        for (int size : picture.sizes) {
            QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::transparent);
            QPainter painter(&image);
            renderer.render(&painter);
            painter.end();
            image = image.convertToFormat(QImage::Format_ARGB32);
            if (picture.colours > 0)
                image = reduce(image, picture.colours);
            const QString target = QStringLiteral("%1/%2_%3.png")
                                           .arg(outDir, QLatin1String(picture.name))
                                           .arg(size);
            if (!image.save(target, "PNG"))
                return fail(QStringLiteral("cannot write ") + target);
        }
    }
    return 0;
}

int makeIcons(const QString &svg, const QString &outDir)
{
    QSvgRenderer renderer(svg);
    if (!renderer.isValid())
        return fail(QStringLiteral("cannot read ") + svg);
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString dir = QStringLiteral("%1/%2x%2/apps").arg(outDir).arg(size);
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        renderer.render(&painter);
        painter.end();
        if (!QDir().mkpath(dir) || !image.save(dir + QStringLiteral("/brunilla.png"), "PNG"))
            return fail(QStringLiteral("cannot write into ") + dir);
    }
    return 0;
}

// A note: a sine with two soft overtones under a quick attack and an
// exponential decay, so that nothing clicks.
void addNote(std::vector<double> &samples, int rate, double start, double length, double frequency,
             double level)
{
    const auto first = size_t(start * rate);
    const auto count = size_t(length * rate);
    if (samples.size() < first + count)
        samples.resize(first + count, 0.0);
    for (size_t i = 0; i < count; ++i) {
        const double t = double(i) / rate;
        const double attack = std::min(1.0, t / 0.008);
        const double release = std::min(1.0, (length - t) / 0.02);
        const double envelope = attack * release * std::exp(-3.5 * t / length);
        const double w = 2 * std::numbers::pi * frequency * t;
        samples[first + i] +=
                level * envelope * (std::sin(w) + 0.3 * std::sin(2 * w) + 0.1 * std::sin(3 * w));
    }
}

bool writeWave(const QString &path, const std::vector<double> &samples, int rate)
{
    QByteArray data;
    for (double s : samples) {
        const auto v = qint16(std::lround(std::clamp(s, -1.0, 1.0) * 32000));
        data.append(char(v & 0xff)).append(char((v >> 8) & 0xff));
    }
    auto le32 = [](quint32 v) {
        const char bytes[] = {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
        return QByteArray(bytes, 4);
    };
    auto le16 = [](quint16 v) {
        const char bytes[] = {char(v), char(v >> 8)};
        return QByteArray(bytes, 2);
    };
    QByteArray wave = "RIFF" + le32(quint32(36 + data.size())) + "WAVEfmt " + le32(16) + le16(1)
            + le16(1) + le32(quint32(rate)) + le32(quint32(rate * 2)) + le16(2) + le16(16) + "data"
            + le32(quint32(data.size())) + data;
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(wave) == wave.size();
}

int makeSounds(const QString &outDir)
{
    constexpr int rate = 22050;
    if (!QDir().mkpath(outDir))
        return fail(QStringLiteral("cannot create ") + outDir);
    // Right: three quick rising notes, C E G, the last one ringing on.
    std::vector<double> right;
    addNote(right, rate, 0.00, 0.16, 1046.5, 0.30);
    addNote(right, rate, 0.09, 0.16, 1318.5, 0.30);
    addNote(right, rate, 0.18, 0.32, 1568.0, 0.32);
    // Wrong: a gentle falling "uh-oh", low and soft.
    std::vector<double> wrong;
    addNote(wrong, rate, 0.00, 0.22, 392.0, 0.40);
    addNote(wrong, rate, 0.20, 0.38, 311.1, 0.40);
    if (!writeWave(outDir + QStringLiteral("/Esatto.wav"), right, rate)
        || !writeWave(outDir + QStringLiteral("/no.wav"), wrong, rate))
        return fail(QStringLiteral("cannot write the sounds into ") + outDir);
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 4 && args[1] == QLatin1String("pictures"))
        return makePictures(args[2], args[3]);
    if (args.size() == 4 && args[1] == QLatin1String("icons"))
        return makeIcons(args[2], args[3]);
    if (args.size() == 3 && args[1] == QLatin1String("sounds"))
        return makeSounds(args[2]);
    return fail(QStringLiteral("usage: genassets pictures <svg-dir> <out-dir> | icons <svg> "
                               "<out-dir> | sounds <out-dir>"));
}
