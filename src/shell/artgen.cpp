// Draws the archive's artwork at build time: the 746 x 564 title picture (24-bit; also at 1.5, 2
// and 3 times as many pixels each way, for HiDPI screens) shown by the main window, the information window
// and the closing screen, the window icon at 32 and 16 pixels (16 colours), and the desktop theme's icon at
// 16 to 256 pixels and as SVG. Usage: altorra_artgen OUTPUT_FOLDER (run with QT_QPA_PLATFORM=offscreen).
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>
#include <cstdio>

namespace {

const QString kSans = QStringLiteral("DejaVu Sans");
const QString kSerif = QStringLiteral("DejaVu Serif");

QFont font(const QString& family, int pixelSize, bool bold = false, bool italic = false) {
    QFont f(family);
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    f.setItalic(italic);
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

// The emblem of the Regione Sorvane: a shield with three peaks, a sun and a river.
void drawEmblem(QPainter& p, const QRectF& r) {
    p.save();
    QPainterPath shield;
    shield.moveTo(r.left(), r.top());
    shield.lineTo(r.right(), r.top());
    shield.lineTo(r.right(), r.top() + r.height() * 0.55);
    shield.quadTo(r.right(), r.bottom() - r.height() * 0.12, r.center().x(), r.bottom());
    shield.quadTo(r.left(), r.bottom() - r.height() * 0.12, r.left(), r.top() + r.height() * 0.55);
    shield.closeSubpath();
    p.setPen(QPen(QColor(120, 90, 20), r.width() * 0.05));
    p.setBrush(QColor(20, 70, 150));
    p.drawPath(shield);
    p.setClipPath(shield);
    // Sun.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(250, 200, 40));
    p.drawEllipse(QPointF(r.left() + r.width() * 0.72, r.top() + r.height() * 0.25), r.width() * 0.13,
                  r.width() * 0.13);
    // Three peaks.
    QPainterPath peaks;
    peaks.moveTo(r.left(), r.top() + r.height() * 0.72);
    peaks.lineTo(r.left() + r.width() * 0.25, r.top() + r.height() * 0.35);
    peaks.lineTo(r.left() + r.width() * 0.45, r.top() + r.height() * 0.58);
    peaks.lineTo(r.left() + r.width() * 0.62, r.top() + r.height() * 0.30);
    peaks.lineTo(r.right(), r.top() + r.height() * 0.75);
    peaks.lineTo(r.right(), r.bottom());
    peaks.lineTo(r.left(), r.bottom());
    peaks.closeSubpath();
    p.setBrush(QColor(240, 240, 240));
    p.drawPath(peaks);
    // River.
    p.setPen(QPen(QColor(30, 110, 200), r.width() * 0.08, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    QPainterPath river;
    river.moveTo(r.left() + r.width() * 0.15, r.top() + r.height() * 0.78);
    river.cubicTo(r.left() + r.width() * 0.45, r.top() + r.height() * 0.68, r.left() + r.width() * 0.55,
                  r.top() + r.height() * 0.95, r.right() - r.width() * 0.1, r.top() + r.height() * 0.82);
    p.drawPath(river);
    p.setClipping(false);
    p.setPen(QPen(QColor(200, 160, 40), r.width() * 0.035));
    p.setBrush(Qt::NoBrush);
    p.drawPath(shield);
    p.restore();
}

// The station's mast with guy wires, cup anemometer, vane, solar panel and data logger.
void drawMast(QPainter& p, double groundY) {
    const QColor metal(90, 95, 105);
    // Mast with guy wires.
    const double mastX = 560;
    const double mastTop = 150;
    p.setPen(QPen(QColor(150, 150, 150), 1));
    p.drawLine(QPointF(mastX, mastTop + 40), QPointF(mastX - 70, groundY));
    p.drawLine(QPointF(mastX, mastTop + 40), QPointF(mastX + 70, groundY));
    p.setPen(Qt::NoPen);
    p.setBrush(metal);
    p.drawRect(QRectF(mastX - 3, mastTop, 6, groundY - mastTop));
    // Cross arm.
    p.drawRect(QRectF(mastX - 45, mastTop + 8, 90, 4));
    // Cup anemometer on the left end.
    p.drawRect(QRectF(mastX - 44, mastTop - 14, 3, 22));
    p.setBrush(QColor(60, 60, 70));
    for (int i = 0; i < 3; ++i) {
        const double a = i * 2.0 * M_PI / 3.0 + 0.4;
        const QPointF hub(mastX - 42.5, mastTop - 16);
        const QPointF tip(hub.x() + 16 * std::cos(a), hub.y() + 5 * std::sin(a));
        p.setPen(QPen(QColor(60, 60, 70), 1.5));
        p.drawLine(hub, tip);
        p.setPen(Qt::NoPen);
        p.drawEllipse(tip, 4.5, 3.5);
    }
    // Wind vane on the right end.
    p.setBrush(metal);
    p.drawRect(QRectF(mastX + 41, mastTop - 14, 3, 22));
    QPolygonF vane;
    vane << QPointF(mastX + 22, mastTop - 18) << QPointF(mastX + 70, mastTop - 18)
         << QPointF(mastX + 78, mastTop - 26) << QPointF(mastX + 78, mastTop - 8)
         << QPointF(mastX + 70, mastTop - 14) << QPointF(mastX + 22, mastTop - 14);
    p.setBrush(QColor(200, 40, 40));
    p.drawPolygon(vane);
    // Solar panel half way up.
    QPolygonF panel;
    panel << QPointF(mastX + 4, mastTop + 110) << QPointF(mastX + 52, mastTop + 96)
          << QPointF(mastX + 52, mastTop + 136) << QPointF(mastX + 4, mastTop + 150);
    p.setBrush(QColor(25, 45, 110));
    p.setPen(QPen(QColor(180, 180, 190), 1.5));
    p.drawPolygon(panel);
    p.setPen(QPen(QColor(90, 120, 190), 0.8));
    for (int i = 1; i < 4; ++i) {
        const double t = i / 4.0;
        p.drawLine(QPointF(mastX + 4 + 48 * t, mastTop + 110 - 14 * t),
                   QPointF(mastX + 4 + 48 * t, mastTop + 150 - 14 * t));
    }
    // Data logger box.
    p.setPen(QPen(QColor(120, 120, 120), 1));
    p.setBrush(QColor(225, 225, 215));
    p.drawRect(QRectF(mastX - 24, groundY - 120, 20, 28));
}

// The louvred thermometer screen and the rain gauge beside the mast.
void drawInstruments(QPainter& p, double groundY) {
    // Thermometer screen on four legs, with louvres.
    const QRectF screen(632, groundY - 125, 62, 58);
    p.setPen(QPen(QColor(110, 110, 110), 2));
    for (double lx : {screen.left() + 6, screen.right() - 6}) {
        p.drawLine(QPointF(lx, screen.bottom()), QPointF(lx, groundY + 2));
    }
    p.setBrush(QColor(250, 250, 248));
    p.setPen(QPen(QColor(130, 130, 130), 1.5));
    p.drawRect(screen);
    QPolygonF roof;
    roof << QPointF(screen.left() - 6, screen.top()) << QPointF(screen.center().x(), screen.top() - 16)
         << QPointF(screen.right() + 6, screen.top());
    p.drawPolygon(roof);
    p.setPen(QPen(QColor(170, 170, 170), 1));
    for (double y = screen.top() + 6; y < screen.bottom() - 2; y += 5) {
        p.drawLine(QPointF(screen.left() + 3, y), QPointF(screen.right() - 3, y + 2));
    }

    // Rain gauge.
    const QRectF gauge(470, groundY - 62, 26, 52);
    p.setPen(QPen(QColor(110, 110, 110), 1.2));
    QLinearGradient steel(gauge.topLeft(), gauge.topRight());
    steel.setColorAt(0, QColor(170, 175, 180));
    steel.setColorAt(0.4, QColor(240, 242, 245));
    steel.setColorAt(1, QColor(140, 145, 150));
    p.setBrush(steel);
    p.drawRect(gauge);
    p.drawEllipse(QRectF(gauge.left(), gauge.top() - 4, gauge.width(), 8));
    p.setPen(QPen(QColor(110, 110, 110), 2));
    p.drawLine(QPointF(gauge.center().x(), gauge.bottom()), QPointF(gauge.center().x(), groundY + 2));
}

// A weather station on a meadow: a mast with cup anemometer and vane, a louvred thermometer screen,
// a rain gauge and a solar panel.
void drawStation(QPainter& p, double groundY) {
    p.save();
    drawMast(p, groundY);
    drawInstruments(p, groundY);
    p.restore();
}

// Sky, clouds, mountains with snow caps and the meadow.
void drawLandscape(QPainter& p, const QRect& area) {
    // Sky.
    QLinearGradient sky(0, 0, 0, 400);
    sky.setColorAt(0, QColor(70, 120, 190));
    sky.setColorAt(0.6, QColor(165, 200, 235));
    sky.setColorAt(1, QColor(225, 238, 245));
    p.fillRect(area, sky);
    // Clouds.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 200));
    for (const QPointF& c : {QPointF(500, 62), QPointF(670, 104), QPointF(120, 235)}) {
        p.drawEllipse(c, 46, 16);
        p.drawEllipse(c + QPointF(-26, 4), 28, 14);
        p.drawEllipse(c + QPointF(24, -6), 30, 16);
    }
    // Mountains far and near.
    QPainterPath far;
    far.moveTo(0, 330);
    const double farPeaks[][2] = {{60, 268},  {140, 300}, {230, 240}, {320, 292}, {410, 250},
                                  {500, 300}, {610, 232}, {700, 280}, {746, 262}};
    for (const auto& pt : farPeaks) {
        far.lineTo(pt[0], pt[1]);
    }
    far.lineTo(746, 400);
    far.lineTo(0, 400);
    far.closeSubpath();
    p.setBrush(QColor(120, 140, 175));
    p.drawPath(far);
    // Snow caps.
    p.setBrush(QColor(245, 248, 252));
    for (const auto& pk : {QPointF(230, 240), QPointF(610, 232), QPointF(410, 250)}) {
        QPolygonF cap;
        cap << pk << QPointF(pk.x() + 20, pk.y() + 16) << QPointF(pk.x() + 6, pk.y() + 12)
            << QPointF(pk.x() - 4, pk.y() + 18) << QPointF(pk.x() - 18, pk.y() + 14);
        p.drawPolygon(cap);
    }
    // Meadow.
    QPainterPath hill;
    hill.moveTo(0, 360);
    hill.cubicTo(200, 330, 420, 390, 746, 350);
    hill.lineTo(746, 564);
    hill.lineTo(0, 564);
    hill.closeSubpath();
    QLinearGradient grass(0, 340, 0, 564);
    grass.setColorAt(0, QColor(120, 170, 80));
    grass.setColorAt(1, QColor(60, 115, 45));
    p.setBrush(grass);
    p.drawPath(hill);
}

// The title block on a pale panel, and the publisher's band at the foot with the emblem.
void drawCaptions(QPainter& p) {
    // Title block on a pale panel.
    p.setBrush(QColor(255, 255, 255, 185));
    p.setPen(QPen(QColor(20, 50, 110), 2));
    p.drawRoundedRect(QRectF(24, 22, 400, 190), 10, 10);
    p.setPen(QColor(15, 40, 100));
    p.setFont(font(kSerif, 46, true));
    p.drawText(QRectF(40, 30, 380, 60), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Altorra"));
    p.setFont(font(kSerif, 24, false, true));
    p.drawText(QRectF(42, 88, 380, 34), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("della Regione Sorvane"));
    p.setPen(QPen(QColor(200, 150, 30), 3));
    p.drawLine(QPointF(42, 128), QPointF(400, 128));
    p.setPen(QColor(20, 20, 20));
    p.setFont(font(kSans, 17, true));
    p.drawText(QRectF(42, 136, 380, 26), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Archivio meteorologico 1990 \u2013 1999"));
    p.setFont(font(kSans, 13));
    p.drawText(QRectF(42, 164, 380, 40), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
               QStringLiteral("Dati giornalieri \u00b7 Piogge intense \u00b7 Anagrafica delle stazioni"));

    // Publisher's band at the foot, with the emblem. The main window shows 554 of the picture's 564
    // rows: the band runs to the picture's foot, its content ends above row 554.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(15, 40, 100, 225));
    p.drawRect(QRectF(0, 476, 746, 88));
    drawEmblem(p, QRectF(18, 482, 54, 64));
    p.setPen(QColor(255, 255, 255));
    p.setFont(font(kSerif, 21, true));
    p.drawText(QRectF(86, 482, 640, 30), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("REGIONE SORVANE"));
    p.setFont(font(kSans, 13));
    p.drawText(
        QRectF(86, 512, 640, 30), Qt::AlignLeft | Qt::AlignVCenter,
        QStringLiteral("Direzione Territorio e Ambiente \u2013 Dipartimento di Meteorologia e Climatologia"));
}

// The title picture with `scale` pixels to each of its 746 x 564: the same drawing, finer, for
// screens of that pixel ratio (at 1, the picture every screen of ratio 1 shows).
QImage drawTitle(double scale) {
    QImage image(qRound(746 * scale), qRound(564 * scale), QImage::Format_RGB888);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(scale, scale);
    drawLandscape(p, QRect(0, 0, 746, 564));
    drawStation(p, 455);
    drawCaptions(p);
    p.end();
    return image;
}

// The icon: a cloud with rain drops in front of a sun, on a 32-unit grid. The same shapes make the
// window icon (16 colours), the desktop theme's pictures and its scalable SVG.
struct IconShapes {
    QPointF sunCentre{21, 10};
    double sunRadius = 7;
    QColor sun{255, 255, 0};
    QPainterPath cloud;
    QColor cloudFill{255, 255, 255};
    QColor cloudLine{128, 128, 128};
    double cloudLineWidth = 1.2;
    QList<QLineF> drops;
    QColor drop{0, 0, 255};
    double dropWidth = 2.2;
};

IconShapes iconShapes() {
    IconShapes s;
    s.cloud.addEllipse(QPointF(10, 16), 7, 6);
    s.cloud.addEllipse(QPointF(17, 13), 7, 7);
    s.cloud.addEllipse(QPointF(23, 17), 6, 5);
    s.cloud.addRect(QRectF(10, 16, 13, 6));
    // Winding fill makes the overlapping parts one outline (with the default odd-even rule they
    // would cut holes through which the sun shows).
    s.cloud.setFillRule(Qt::WindingFill);
    s.cloud = s.cloud.simplified();
    for (int i = 0; i < 4; ++i) {
        const double x = 9 + i * 5;
        s.drops.append(QLineF(x, 25, x - 2, 30));
    }
    return s;
}

QImage paintIcon(int size, bool antialiased) {
    const IconShapes s = iconShapes();
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, antialiased);
    p.scale(size / 32.0, size / 32.0);
    p.setPen(Qt::NoPen);
    p.setBrush(s.sun);
    p.drawEllipse(s.sunCentre, s.sunRadius, s.sunRadius);
    p.setBrush(s.cloudFill);
    p.setPen(QPen(s.cloudLine, s.cloudLineWidth));
    p.drawPath(s.cloud);
    p.setPen(QPen(s.drop, s.dropWidth, Qt::SolidLine, Qt::RoundCap));
    for (const QLineF& line : s.drops) {
        p.drawLine(line);
    }
    p.end();
    return image;
}

// The window icon: reduced to the 16 standard colours, and not smoothed at 16 pixels.
QImage drawWindowIcon(int size) {
    const QImage image = paintIcon(size, size > 16);
    // The 16 colours of the standard palette, and a transparent entry.
    QList<QRgb> palette = {qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
                           qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
                           qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
                           qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255),
                           qRgba(0, 0, 0, 0)};
    QImage indexed(size, size, QImage::Format_Indexed8);
    indexed.setColorTable(palette);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const QRgb c = image.pixel(x, y);
            if (qAlpha(c) < 128) {
                indexed.setPixel(x, y, 16);
                continue;
            }
            int best = 0;
            int bestDistance = INT_MAX;
            for (int i = 0; i < 16; ++i) {
                const int dr = qRed(c) - qRed(palette[i]);
                const int dg = qGreen(c) - qGreen(palette[i]);
                const int db = qBlue(c) - qBlue(palette[i]);
                const int d = dr * dr + dg * dg + db * db;
                if (d < bestDistance) {
                    bestDistance = d;
                    best = i;
                }
            }
            indexed.setPixel(x, y, best);
        }
    }
    return indexed;
}

QString number(double value) {
    return QString::number(value, 'g', 6);
}

QString point(const QPointF& p) {
    return number(p.x()) + QLatin1Char(' ') + number(p.y());
}

// SVG path data of a painter path: moves, lines and cubic curves as Qt stores them.
QString svgPathData(const QPainterPath& path) {
    QString d;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        if (e.isMoveTo()) {
            d += (i > 0 ? QStringLiteral("Z M") : QStringLiteral("M")) + point(e);
        } else if (e.isLineTo()) {
            d += QStringLiteral(" L") + point(e);
        } else if (e.isCurveTo() && i + 2 < path.elementCount()) {
            d += QStringLiteral(" C") + point(e) + QLatin1Char(' ') + point(path.elementAt(i + 1)) +
                 QLatin1Char(' ') + point(path.elementAt(i + 2));
            i += 2;
        }
    }
    return d + QStringLiteral(" Z");
}

QByteArray drawScalableIcon() {
    const IconShapes s = iconShapes();
    QString svg = QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"32\" height=\"32\" viewBox=\"0 0 32 32\">\n");
    svg += QStringLiteral("  <circle cx=\"%1\" cy=\"%2\" r=\"%3\" fill=\"%4\"/>\n")
               .arg(number(s.sunCentre.x()), number(s.sunCentre.y()), number(s.sunRadius), s.sun.name());
    svg +=
        QStringLiteral("  <path d=\"%1\" fill=\"%2\" fill-rule=\"%3\" stroke=\"%4\" stroke-width=\"%5\"/>\n")
            .arg(
                svgPathData(s.cloud), s.cloudFill.name(),
                s.cloud.fillRule() == Qt::WindingFill ? QStringLiteral("nonzero") : QStringLiteral("evenodd"),
                s.cloudLine.name(), number(s.cloudLineWidth));
    for (const QLineF& line : s.drops) {
        svg += QStringLiteral(
                   "  <line x1=\"%1\" y1=\"%2\" x2=\"%3\" y2=\"%4\" stroke=\"%5\" stroke-width=\"%6\" "
                   "stroke-linecap=\"round\"/>\n")
                   .arg(number(line.x1()), number(line.y1()), number(line.x2()), number(line.y2()),
                        s.drop.name(), number(s.dropWidth));
    }
    svg += QStringLiteral("</svg>\n");
    return svg.toUtf8();
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

}  // namespace

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: altorra_artgen OUTPUT_FOLDER\n");
        return 2;
    }
    // Load the fonts by file, so the picture does not depend on the font configuration.
    for (const char* file : {"DejaVuSans.ttf", "DejaVuSans-Bold.ttf", "DejaVuSerif.ttf",
                             "DejaVuSerif-Bold.ttf", "DejaVuSerif-Italic.ttf"}) {
        QFontDatabase::addApplicationFont(QStringLiteral("/usr/share/fonts/truetype/dejavu/") +
                                          QLatin1String(file));
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(out.path())) {
        std::fprintf(stderr, "altorra_artgen: cannot create %s\n", argv[1]);
        return 1;
    }
    bool ok = drawTitle(1).save(out.filePath(QStringLiteral("title.png")), "PNG");
    // HiDPI screens: the variants titlePicture() chooses by the screen's pixel ratio.
    for (const char* scale : {"1.5", "2", "3"}) {
        const QString name = QStringLiteral("title@%1x.png").arg(QLatin1String(scale));
        ok = drawTitle(QByteArray(scale).toDouble()).save(out.filePath(name), "PNG") && ok;
    }
    ok = drawWindowIcon(32).save(out.filePath(QStringLiteral("icon32.png")), "PNG") && ok;
    ok = drawWindowIcon(16).save(out.filePath(QStringLiteral("icon16.png")), "PNG") && ok;
    // The desktop theme's icons, in full colour and smoothed at every size.
    for (int size : {16, 32, 48, 64, 128, 256}) {
        ok =
            paintIcon(size, true).save(out.filePath(QStringLiteral("altorra-%1.png").arg(size)), "PNG") && ok;
    }
    ok = writeFile(out.filePath(QStringLiteral("altorra.svg")), drawScalableIcon()) && ok;
    if (!ok) {
        std::fprintf(stderr, "altorra_artgen: cannot write the pictures\n");
        return 1;
    }
    return 0;
}
