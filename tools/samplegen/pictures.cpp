// The stations' location pictures: a drawn map of the Regione Sorvane with the station marked and
// named. Lettering uses a built-in 5x7 pixel font, so the pictures need no fonts, no display and
// come out the same on every machine.
#include "samplegen/internal.h"

#include <QDir>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

namespace samplegen {

namespace {

// Rows of five pixels, most significant bit on the left.
const QHash<QChar, QList<quint8>>& glyphs() {
    static const QHash<QChar, QList<quint8>> g{
        {'A', {0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}},
        {'B', {0x1E, 0x11, 0x11, 0x1E, 0x11, 0x11, 0x1E}},
        {'C', {0x0E, 0x11, 0x10, 0x10, 0x10, 0x11, 0x0E}},
        {'D', {0x1E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x1E}},
        {'E', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F}},
        {'F', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x10}},
        {'G', {0x0E, 0x11, 0x10, 0x17, 0x11, 0x11, 0x0F}},
        {'H', {0x11, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}},
        {'I', {0x0E, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E}},
        {'J', {0x07, 0x02, 0x02, 0x02, 0x02, 0x12, 0x0C}},
        {'K', {0x11, 0x12, 0x14, 0x18, 0x14, 0x12, 0x11}},
        {'L', {0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x1F}},
        {'M', {0x11, 0x1B, 0x15, 0x15, 0x11, 0x11, 0x11}},
        {'N', {0x11, 0x11, 0x19, 0x15, 0x13, 0x11, 0x11}},
        {'O', {0x0E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}},
        {'P', {0x1E, 0x11, 0x11, 0x1E, 0x10, 0x10, 0x10}},
        {'Q', {0x0E, 0x11, 0x11, 0x11, 0x15, 0x12, 0x0D}},
        {'R', {0x1E, 0x11, 0x11, 0x1E, 0x14, 0x12, 0x11}},
        {'S', {0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E}},
        {'T', {0x1F, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04}},
        {'U', {0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}},
        {'V', {0x11, 0x11, 0x11, 0x11, 0x11, 0x0A, 0x04}},
        {'W', {0x11, 0x11, 0x11, 0x15, 0x15, 0x15, 0x0A}},
        {'X', {0x11, 0x11, 0x0A, 0x04, 0x0A, 0x11, 0x11}},
        {'Y', {0x11, 0x11, 0x0A, 0x04, 0x04, 0x04, 0x04}},
        {'Z', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x10, 0x1F}},
        {'0', {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}},
        {'1', {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E}},
        {'2', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}},
        {'3', {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E}},
        {'4', {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}},
        {'5', {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E}},
        {'6', {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}},
        {'7', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08}},
        {'8', {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}},
        {'9', {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C}},
        {'\'', {0x04, 0x04, 0x08, 0x00, 0x00, 0x00, 0x00}},
        {'.', {0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x0C}},
        {'-', {0x00, 0x00, 0x00, 0x1F, 0x00, 0x00, 0x00}},
        {'(', {0x02, 0x04, 0x08, 0x08, 0x08, 0x04, 0x02}},
        {')', {0x08, 0x04, 0x02, 0x02, 0x02, 0x04, 0x08}},
        {'/', {0x01, 0x02, 0x02, 0x04, 0x08, 0x08, 0x10}},
        {' ', {0, 0, 0, 0, 0, 0, 0}},
    };
    return g;
}

// Width in pixels of a text at the given pixel scale (6 pixels a character, spacing included).
int textWidth(const QString& text, int scale) {
    return int(text.size()) * 6 * scale - scale;
}

void drawText(QPainter& p, int x, int y, const QString& text, int scale, const QColor& colour) {
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    for (QChar c : text) {
        QString dec = c.decomposition();
        QChar base = (dec.isEmpty() ? c : dec.at(0)).toUpper();
        const bool accent = dec.size() > 1;
        const QList<quint8> rows = glyphs().value(base, glyphs().value('-'));
        for (int r = 0; r < 7; ++r)
            for (int b = 0; b < 5; ++b)
                if (rows[r] & (0x10 >> b))
                    p.drawRect(x + b * scale, y + r * scale, scale, scale);
        if (accent) {
            // Grave accents lean left, all others right.
            const bool grave = dec.at(1).unicode() == 0x0300;
            p.drawRect(x + 2 * scale, y - (grave ? 3 : 2) * scale, scale, scale);
            p.drawRect(x + 3 * scale, y - (grave ? 2 : 3) * scale, scale, scale);
        }
        x += 6 * scale;
    }
    p.restore();
}

// The region's outline in map units (0..1 both ways), slightly irregular.
QPolygonF regionOutline() {
    QPolygonF poly;
    const int n = 240;
    for (int i = 0; i < n; ++i) {
        const double t = 2.0 * M_PI * i / n;
        const double c = std::cos(t), s = std::sin(t);
        // A rounded square with wavy borders.
        const double k = 1.0 / std::pow(std::pow(std::abs(c), 5.0) + std::pow(std::abs(s), 5.0), 0.2);
        const double wobble = 1.0 + 0.035 * std::sin(5 * t + 0.7) + 0.025 * std::sin(11 * t + 2.1);
        poly << QPointF(0.5 + 0.47 * c * k * wobble, 0.5 + 0.47 * s * k * wobble);
    }
    return poly;
}

// Rivers flow from the mountains in the north to the coast in the south-west.
QList<QPolygonF> rivers() {
    QList<QPolygonF> out;
    const double sources[][2] = {{0.30, 0.05}, {0.55, 0.04}, {0.78, 0.10}, {0.90, 0.35}, {0.70, 0.45}};
    for (int r = 0; r < 5; ++r) {
        QPolygonF line;
        for (int i = 0; i <= 40; ++i) {
            const double t = i / 40.0;
            const double x = sources[r][0] + (0.08 - sources[r][0]) * t * t + 0.03 * std::sin(9 * t + r);
            const double y = sources[r][1] + (0.92 - sources[r][1]) * t + 0.02 * std::sin(13 * t + 2 * r);
            line << QPointF(x, y);
        }
        out << line;
    }
    return out;
}

void drawMap(QPainter& p, const QRectF& target, const QRectF& world, const QList<Station>& stations,
             const Station& current, int labelScale) {
    auto map = [&](const QPointF& w) {
        return QPointF(target.left() + (w.x() - world.left()) / world.width() * target.width(),
                       target.top() + (w.y() - world.top()) / world.height() * target.height());
    };
    auto mapPoly = [&](const QPolygonF& poly) {
        QPolygonF out;
        for (const QPointF& pt : poly)
            out << map(pt);
        return out;
    };
    p.save();
    p.setClipRect(target);
    p.fillRect(target, QColor(170, 205, 235));  // sea and neighbouring land beyond the border
    p.setPen(QPen(QColor(120, 110, 90), 1.5));
    p.setBrush(QColor(222, 232, 196));
    const QPolygonF outline = mapPoly(regionOutline());
    p.drawPolygon(outline);
    QPainterPath clip;
    clip.addPolygon(outline);
    p.setClipPath(clip, Qt::IntersectClip);
    // Hills and mountains as shaded bands, darker towards the north.
    p.setPen(Qt::NoPen);
    for (int band = 0; band < 5; ++band) {
        QPolygonF hill;
        for (int i = 0; i <= 60; ++i) {
            const double x = -0.1 + 1.2 * i / 60.0;
            hill << QPointF(x, 0.45 - band * 0.08 + 0.05 * std::sin(7 * x + band) + 0.03 * std::sin(17 * x));
        }
        hill << QPointF(1.1, -0.1) << QPointF(-0.1, -0.1);
        p.setBrush(QColor(210 - band * 12, 215 - band * 16, 170 - band * 14));
        p.drawPolygon(mapPoly(hill));
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(60, 110, 200), 2.0));
    for (const QPolygonF& r : rivers())
        p.drawPolyline(mapPoly(r));
    // Province borders.
    p.setPen(QPen(QColor(150, 90, 90), 1.0, Qt::DashLine));
    p.drawLine(map({0.5, 0.0}), map({0.45, 1.0}));
    p.drawLine(map({0.0, 0.55}), map({1.0, 0.48}));
    p.setClipping(false);
    p.setClipRect(target);
    // The network, with the station itself in red.
    p.setPen(QPen(QColor(60, 60, 60), 1.0));
    p.setBrush(QColor(250, 250, 250));
    for (const Station& s : stations) {
        if (s.info.code == current.info.code)
            continue;
        p.drawEllipse(map({s.mapX, s.mapY}), 2.5, 2.5);
    }
    const QPointF at = map({current.mapX, current.mapY});
    p.setPen(QPen(QColor(120, 0, 0), 2.0));
    p.setBrush(QColor(220, 30, 30));
    p.drawEllipse(at, 5.5, 5.5);
    const QString label = current.info.name;
    const int w = textWidth(label, labelScale) + 6 * labelScale;
    const int h = 11 * labelScale;
    int lx = int(at.x()) + 9;
    int ly = int(at.y()) - h - 4;
    lx = std::clamp(lx, int(target.left()) + 2, int(target.right()) - w - 2);
    ly = std::clamp(ly, int(target.top()) + 2, int(target.bottom()) - h - 2);
    p.setPen(QPen(QColor(80, 80, 80), 1.0));
    p.setBrush(QColor(255, 255, 240));
    p.drawRect(lx, ly, w, h);
    drawText(p, lx + 3 * labelScale, ly + 3 * labelScale, label, labelScale, QColor(20, 20, 20));
    p.restore();
}

QImage thumbnail(const Station& s, const QList<Station>& all) {
    QImage img(209, 273, QImage::Format_RGB32);
    img.fill(QColor(255, 255, 255));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const double w = 0.34, h = w * 273.0 / 209.0;
    drawMap(p, QRectF(0, 0, 209, 273), QRectF(s.mapX - w / 2, s.mapY - h / 2, w, h), all, s, 1);
    p.setPen(QPen(QColor(60, 60, 60), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, 208, 272));
    return img;
}

QImage detail(const Station& s, const QList<Station>& all, int index) {
    // Most pictures are larger than the window that shows them; every sixth one is smaller.
    const bool small = index % 6 == 4;
    const int width = small ? 640 : 980 + (index % 3) * 60;
    const int height = small ? 480 : 720 + (index % 4) * 40;
    QImage img(width, height, QImage::Format_RGB32);
    img.fill(QColor(250, 248, 240));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF target(10, 40, width - 20, height - 80);
    const double aspect = target.width() / target.height();
    const double wh = 0.62;
    drawMap(p, target, QRectF(s.mapX - wh * aspect / 2, s.mapY - wh / 2, wh * aspect, wh), all, s, 2);
    drawText(p, 12, 14, QStringLiteral("REGIONE SORVANE - %1 (%2)").arg(s.info.name).arg(s.info.code), 2,
             QColor(30, 30, 90));
    // Scale bar (the region is 120 km across) and a north arrow.
    const double kmPx = target.width() / (wh * aspect) / 120.0;
    const int barY = height - 24;
    p.setPen(QPen(Qt::black, 2.0));
    p.drawLine(QPointF(14, barY), QPointF(14 + 10 * kmPx, barY));
    drawText(p, int(20 + 10 * kmPx), barY - 6, QStringLiteral("10 KM"), 2, Qt::black);
    drawText(p, width - 34, height - 30, QStringLiteral("N"), 2, Qt::black);
    p.drawLine(QPointF(width - 29, height - 36), QPointF(width - 29, height - 60));
    p.drawLine(QPointF(width - 29, height - 60), QPointF(width - 34, height - 52));
    p.drawLine(QPointF(width - 29, height - 60), QPointF(width - 24, height - 52));
    return img;
}

}  // namespace

bool writePictures(const QString& folder, const QList<Station>& stations, QString* error) {
    const QString dir = QDir(folder).filePath(QStringLiteral("cartograf"));
    if (!QDir().mkpath(dir)) {
        *error = QStringLiteral("impossibile creare la cartella %1").arg(dir);
        return false;
    }
    for (int i = 0; i < stations.size(); ++i) {
        const Station& s = stations[i];
        if (!s.info.hasPictures)
            continue;
        const bool upper = s.info.upperCasePictures;
        const QString r =
            QStringLiteral("%1_%2.%3").arg(upper ? "R" : "r").arg(s.info.code).arg(upper ? "JPG" : "jpg");
        const QString l =
            QStringLiteral("%1_%2.%3").arg(upper ? "S" : "s").arg(s.info.code).arg(upper ? "JPG" : "jpg");
        if (!thumbnail(s, stations).save(QDir(dir).filePath(r), "JPG", 85) ||
            !detail(s, stations, i).save(QDir(dir).filePath(l), "JPG", 85)) {
            *error = QStringLiteral("impossibile scrivere le immagini di %1 in %2").arg(s.info.name, dir);
            return false;
        }
    }
    return true;
}

}  // namespace samplegen
