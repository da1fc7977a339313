// Draws every picture and icon that tallyvane2 and pocketvane show, as PNG files.
//
//   drawpictures REPOSITORY_ROOT [--contact SHEET.png]
//
// The PNG files are committed; this program is only run again when a picture
// changes (scripts/draw-pictures builds and runs it).  With --contact it also
// writes a contact sheet: every picture enlarged, labelled, over a checkerboard.
//
// Style: flat shapes from one small palette, 1-px darker outlines, transparent
// backgrounds.  Small pictures are laid out on the pixel grid: rectangles are
// filled on whole pixels and stroked outlines run along pixel centres (x.5).

#include <QtCore/QDir>
#include <QtCore/QFileInfo>
#include <QtCore/QString>
#include <QtGui/QFont>
#include <QtGui/QFontMetricsF>
#include <QtGui/QGuiApplication>
#include <QtGui/QImage>
#include <QtGui/QLinearGradient>
#include <QtGui/QPainter>
#include <QtGui/QPainterPath>
#include <QtGui/QPainterPathStroker>
#include <QtGui/QRadialGradient>
#include <QtGui/QTransform>

#include <cmath>
#include <cstdio>
#include <functional>
#include <numbers>
#include <vector>

namespace {

// ---------------------------------------------------------------- palette

const QColor kTealDark(0x0b, 0x47, 0x54);
const QColor kTeal(0x17, 0x80, 0x91);
const QColor kTealLight(0x8c, 0xcf, 0xd8);
const QColor kBlueDark(0x1b, 0x3f, 0x6e);
const QColor kBlue(0x2f, 0x75, 0xc4);
const QColor kBlueLight(0xa8, 0xce, 0xf1);
const QColor kGoldDark(0x8a, 0x5c, 0x08);
const QColor kGold(0xec, 0xb6, 0x2e);
const QColor kGoldLight(0xfb, 0xe4, 0x8e);
const QColor kSilverDark(0x4f, 0x5c, 0x67);
const QColor kSilver(0xb9, 0xc4, 0xcd);
const QColor kSilverLight(0xec, 0xf0, 0xf3);
const QColor kGreenDark(0x1c, 0x64, 0x2b);
const QColor kGreen(0x3c, 0xaa, 0x50);
const QColor kGreenLight(0xaa, 0xde, 0xb2);
const QColor kRedDark(0x8b, 0x1e, 0x1a);
const QColor kRed(0xd9, 0x45, 0x3a);
const QColor kRedLight(0xf5, 0xab, 0xa4);
const QColor kInk(0x3a, 0x46, 0x50);       // outline of neutral things
const QColor kPaper(0xff, 0xff, 0xff);
const QColor kPaperShade(0xdc, 0xe4, 0xe9);
const QColor kRule(0x9f, 0xaf, 0xba);      // text lines and grid lines on paper
const QColor kScreen(0xd8, 0xf2, 0xe6);    // calculator display

struct Metal {
    QColor dark, base, light, side;
};
const Metal kGoldMetal{kGoldDark, kGold, kGoldLight, QColor(0xc9, 0x8e, 0x1c)};
const Metal kSilverMetal{kSilverDark, QColor(0xaa, 0xb7, 0xc2), kSilverLight, QColor(0x8c, 0x9a, 0xa6)};

constexpr double kPi = std::numbers::pi;

// ---------------------------------------------------------------- drawing helpers

// A rectangle on whole pixels with a 1-px outline.
void box(QPainter& p, int x, int y, int w, int h, const QColor& fill, const QColor& line)
{
    p.fillRect(x, y, w, h, line);
    if (w > 2 && h > 2)
        p.fillRect(x + 1, y + 1, w - 2, h - 2, fill);
}

// A disc with a 1-px outline.
void disc(QPainter& p, QPointF c, double r, const QColor& fill, const QColor& line)
{
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(line);
    p.drawEllipse(c, r, r);
    p.setBrush(fill);
    p.drawEllipse(c, r - 1, r - 1);
    p.restore();
}

// Fills a path and strokes it with a 1-px (or w-px) line.
void shape(QPainter& p, const QPainterPath& path, const QBrush& fill, const QColor& line, double w = 1.0)
{
    p.save();
    QPen pen(line, w);
    pen.setJoinStyle(Qt::MiterJoin);
    pen.setMiterLimit(2.0);
    p.setPen(pen);
    p.setBrush(fill);
    p.drawPath(path);
    p.restore();
}

// Makes the picture transparent inside a path and a margin around it, so an
// overlaid symbol stands clear of what is under it.
void cutAround(QPainter& p, const QPainterPath& path, double margin = 1.0)
{
    p.save();
    p.setCompositionMode(QPainter::CompositionMode_Clear);
    QPen pen(Qt::black, 1.0 + 2.0 * margin);
    pen.setJoinStyle(Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::black);
    p.drawPath(path);
    p.restore();
}

void cutDisc(QPainter& p, QPointF c, double r)
{
    p.save();
    p.setCompositionMode(QPainter::CompositionMode_Clear);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawEllipse(c, r, r);
    p.restore();
}

// Pixel art: each character of a row is one pixel, coloured by `colours`;
// any character without a colour leaves its pixel alone.
void pixels(QPainter& p, int x0, int y0, std::initializer_list<const char*> rows,
            std::initializer_list<std::pair<char, QColor>> colours)
{
    int y = y0;
    for (const char* row : rows) {
        for (int x = 0; row[x] != 0; ++x)
            for (const auto& [ch, colour] : colours)
                if (row[x] == ch)
                    p.fillRect(x0 + x, y, 1, 1, colour);
        ++y;
    }
}

// Fills the pixels of a 16 x 16 canvas inside a shape given as a predicate,
// and outlines it with the pixels that touch it side by side.
void pixelShape(QPainter& p, const std::function<bool(int, int)>& inside, const QColor& fill, const QColor& line)
{
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            if (inside(x, y))
                p.fillRect(x, y, 1, 1, fill);
            else if (inside(x - 1, y) || inside(x + 1, y) || inside(x, y - 1) || inside(x, y + 1))
                p.fillRect(x, y, 1, 1, line);
        }
}

QPainterPath circlePath(QPointF c, double r)
{
    QPainterPath path;
    path.addEllipse(c, r, r);
    return path;
}

QPainterPath polygonPath(std::initializer_list<QPointF> points)
{
    QPainterPath path;
    path.addPolygon(QPolygonF(QList<QPointF>(points)));
    path.closeSubpath();
    return path;
}

QPainterPath mapped(const QPolygonF& local, QPointF origin, double angleRad)
{
    QTransform t;
    t.translate(origin.x(), origin.y());
    t.rotateRadians(angleRad);
    QPainterPath path;
    path.addPolygon(t.map(local));
    path.closeSubpath();
    return path;
}

// A straight arrow from `from` to the tip `to`.
QPainterPath arrow(QPointF from, QPointF to, double shaftHalf, double headHalf, double headLen)
{
    const double len = std::hypot(to.x() - from.x(), to.y() - from.y());
    const QPolygonF poly{QList<QPointF>{{0, -shaftHalf}, {len - headLen, -shaftHalf}, {len - headLen, -headHalf},
                                        {len, 0}, {len - headLen, headHalf}, {len - headLen, shaftHalf},
                                        {0, shaftHalf}}};
    return mapped(poly, from, std::atan2(to.y() - from.y(), to.x() - from.x()));
}

// An arrow with a head at both ends.
QPainterPath arrow2(QPointF a, QPointF b, double shaftHalf, double headHalf, double headLen)
{
    const double len = std::hypot(b.x() - a.x(), b.y() - a.y());
    const QPolygonF poly{QList<QPointF>{{0, 0}, {headLen, -headHalf}, {headLen, -shaftHalf},
                                        {len - headLen, -shaftHalf}, {len - headLen, -headHalf}, {len, 0},
                                        {len - headLen, headHalf}, {len - headLen, shaftHalf},
                                        {headLen, shaftHalf}, {headLen, headHalf}}};
    return mapped(poly, a, std::atan2(b.y() - a.y(), b.x() - a.x()));
}

// The weather-vane arrow: feathered tail at x0, head at x1, horizontal at y.
QPainterPath vane(double x0, double x1, double y, double shaftHalf, double headLen, double headHalf,
                  double tailLen, double tailHalf)
{
    return polygonPath({{x0, y - tailHalf},
                        {x0 + tailLen * 0.5, y - tailHalf},
                        {x0 + tailLen, y - shaftHalf},
                        {x1 - headLen, y - shaftHalf},
                        {x1 - headLen, y - headHalf},
                        {x1, y},
                        {x1 - headLen, y + headHalf},
                        {x1 - headLen, y + shaftHalf},
                        {x0 + tailLen, y + shaftHalf},
                        {x0 + tailLen * 0.5, y + tailHalf},
                        {x0, y + tailHalf},
                        {x0 + tailLen * 0.5, y}});
}

// A gear: `teeth` straight-sided teeth whose flat tops lie rOut from the centre,
// standing on a root circle of radius rIn, with a hole of radius hole.  The
// half-widths of the teeth are given in pixels, so the teeth on the axes fall
// on whole pixels.
QPainterPath gearPath(QPointF c, double rOut, double rIn, double hole, int teeth, double topHalf, double baseHalf,
                      double phase = 0.0)
{
    QPolygonF poly;
    const double pitch = 2 * kPi / teeth;
    const double baseAngle = std::asin(baseHalf / rIn);
    for (int i = 0; i < teeth; ++i) {
        const double a = phase + i * pitch;
        QTransform t;
        t.translate(c.x(), c.y());
        t.rotateRadians(a);
        const double baseY = -std::sqrt(rIn * rIn - baseHalf * baseHalf);
        poly << t.map(QPointF(-baseHalf, baseY)) << t.map(QPointF(-topHalf, -rOut)) << t.map(QPointF(topHalf, -rOut))
             << t.map(QPointF(baseHalf, baseY));
        // the root between two teeth follows the circle
        const int steps = 4;
        for (int s = 1; s < steps; ++s) {
            const double ang = a - kPi / 2 + baseAngle + (pitch - 2 * baseAngle) * s / steps;
            poly << QPointF(c.x() + rIn * std::cos(ang), c.y() + rIn * std::sin(ang));
        }
    }
    QPainterPath path;
    path.addPolygon(poly);
    path.closeSubpath();
    if (hole > 0)
        path.addEllipse(c, hole, hole);
    path.setFillRule(Qt::OddEvenFill);
    return path;
}

void gear(QPainter& p, QPointF c, double rOut, double rIn, double hole, int teeth, double topHalf, double baseHalf,
          double phase = 0.0)
{
    shape(p, gearPath(c, rOut, rIn, hole, teeth, topHalf, baseHalf, phase), kSilver, kSilverDark);
    if (rOut >= 10) {
        // a lighter hub ring
        p.save();
        p.setPen(QPen(kSilverLight, 1.5));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(c, hole + 2.2, hole + 2.2);
        p.restore();
    }
}

// A coin seen face on.
void coin(QPainter& p, QPointF c, double r, const Metal& m = kGoldMetal)
{
    disc(p, c, r, m.base, m.dark);
    p.save();
    QPainterPath inner = circlePath(c, r - 1);
    p.setClipPath(inner);
    if (r >= 9) {
        // rim
        p.setPen(QPen(m.dark, 1.0));
        p.setBrush(m.light);
        p.drawEllipse(c, r - 3.5, r - 3.5);
        p.setPen(Qt::NoPen);
        p.setBrush(m.base);
        p.drawEllipse(c + QPointF(0.8, 0.8), r - 4.6, r - 4.6);
        // light glint on the rim, upper left
        p.setPen(QPen(m.light, 1.5));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(c.x() - (r - 2.0), c.y() - (r - 2.0), 2 * (r - 2.0), 2 * (r - 2.0)), 95 * 16, 80 * 16);
    } else if (r >= 5.5) {
        p.setPen(QPen(m.light, 1.0));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(c, r - 2.5, r - 2.5);
        p.setPen(QPen(m.dark, 1.0));
        p.drawArc(QRectF(c.x() - (r - 2.5), c.y() - (r - 2.5), 2 * (r - 2.5), 2 * (r - 2.5)), 250 * 16, 120 * 16);
    } else {
        p.setPen(QPen(m.light, 1.0));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(c.x() - (r - 1.6), c.y() - (r - 1.6), 2 * (r - 1.6), 2 * (r - 1.6)), 90 * 16, 90 * 16);
    }
    p.restore();
}

// A coin lying flat, seen from the side: top ellipse centred at (cx, top), thickness th.
void flatCoin(QPainter& p, double cx, double top, double rx, double ry, double th, const Metal& m = kGoldMetal)
{
    QPainterPath body;
    body.moveTo(cx - rx, top);
    body.lineTo(cx - rx, top + th);
    body.arcTo(QRectF(cx - rx, top + th - ry, 2 * rx, 2 * ry), 180, 180);
    body.lineTo(cx + rx, top);
    body.arcTo(QRectF(cx - rx, top - ry, 2 * rx, 2 * ry), 0, 180);
    body.closeSubpath();
    shape(p, body, m.side, m.dark);
    QPainterPath face;
    face.addEllipse(QPointF(cx, top), rx, ry);
    shape(p, face, m.base, m.dark);
    if (rx >= 10) {
        p.save();
        p.setPen(QPen(m.light, rx >= 20 ? 1.6 : 1.0));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(cx, top), rx * 0.68, ry * 0.62);
        p.restore();
    }
}

void coinStack(QPainter& p, double cx, double bottom, double rx, double ry, double th, int n,
               const Metal& m = kGoldMetal, double drift = 0.0)
{
    for (int i = 0; i < n; ++i) {
        const double top = bottom - ry - th - i * th;
        flatCoin(p, cx + drift * ((i % 2) ? 1 : -1) * (i > 0), top, rx, ry, th, m);
    }
}

// A window: outline, title bar and client area.
void window(QPainter& p, int x, int y, int w, int h, bool active, int title = 2)
{
    box(p, x, y, w, h, kPaper, kTealDark);
    p.fillRect(x + 1, y + 1, w - 2, title, active ? kTeal : kTealLight);
}

// A sheet of paper with a folded corner; returns the outline.
QPainterPath documentPath(double x0, double y0, double x1, double y1, double fold)
{
    return polygonPath({{x0, y0}, {x1 - fold, y0}, {x1, y0 + fold}, {x1, y1}, {x0, y1}});
}

void document(QPainter& p, double x0, double y0, double x1, double y1, double fold)
{
    shape(p, documentPath(x0, y0, x1, y1, fold), kPaper, kInk);
    shape(p, polygonPath({{x1 - fold, y0}, {x1 - fold, y0 + fold}, {x1, y0 + fold}}), kPaperShade, kInk);
}

void textLines(QPainter& p, int x, int y, int w, int n, int step, const QColor& c = kRule)
{
    for (int i = 0; i < n; ++i)
        p.fillRect(x, y + i * step, (i % 3 == 2) ? w - w / 3 : w, 1, c);
}

void goArrow(QPainter& p, const QPainterPath& path)
{
    cutAround(p, path);
    shape(p, path, kGreen, kGreenDark);
}

void globe(QPainter& p, QPointF c, double r)
{
    disc(p, c, r, kBlue, kBlueDark);
    p.save();
    p.setClipPath(circlePath(c, r - 1));
    QColor line = kBlueLight;
    p.setPen(QPen(line, 1.0));
    p.setBrush(Qt::NoBrush);
    if (r < 9) {
        // equator and a meridian ellipse on whole pixels where possible
        p.fillRect(QRectF(c.x() - r, std::floor(c.y()), 2 * r, 1), line);
        p.fillRect(QRectF(std::floor(c.x()), c.y() - r, 1, 2 * r), line);
        p.drawEllipse(QPointF(std::floor(c.x()) + 0.5, c.y()), r * 0.48, r);
    } else {
        const double w = r >= 12 ? 1.2 : 1.0;
        p.setPen(QPen(line, w));
        p.drawLine(QPointF(c.x() - r, std::floor(c.y()) + 0.5), QPointF(c.x() + r, std::floor(c.y()) + 0.5));
        p.drawLine(QPointF(std::floor(c.x()) + 0.5, c.y() - r), QPointF(std::floor(c.x()) + 0.5, c.y() + r));
        p.drawEllipse(QPointF(std::floor(c.x()) + 0.5, c.y()), r * 0.5, r - 0.5);
        // two parallels
        const double dy = r * 0.52;
        const double half = std::sqrt(r * r - dy * dy);
        p.drawLine(QPointF(c.x() - half, std::floor(c.y() - dy) + 0.5), QPointF(c.x() + half, std::floor(c.y() - dy) + 0.5));
        p.drawLine(QPointF(c.x() - half, std::floor(c.y() + dy) + 0.5), QPointF(c.x() + half, std::floor(c.y() + dy) + 0.5));
    }
    // soft highlight upper left
    QRadialGradient shine(c + QPointF(-r * 0.45, -r * 0.45), r * 0.9);
    shine.setColorAt(0, QColor(255, 255, 255, 70));
    shine.setColorAt(1, QColor(255, 255, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(shine);
    p.drawEllipse(c, r, r);
    p.restore();
}

QFont font(int pixels, bool bold = true)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(pixels);
    f.setBold(bold);
    f.setStyleStrategy(QFont::PreferAntialias);
    f.setHintingPreference(QFont::PreferFullHinting);
    return f;
}

// The outline of a text, centred on c.
QPainterPath textPath(const QString& text, const QFont& f, QPointF c)
{
    QPainterPath path;
    path.addText(0, 0, f, text);
    const QRectF b = path.boundingRect();
    path.translate(c.x() - b.center().x(), c.y() - b.center().y());
    return path;
}

// ---------------------------------------------------------------- small icons (16 x 16)

void drawCut(QPainter& p)
{
    // blades, the one from the right handle drawn over the other
    auto blade = [&](QPointF root, QPointF tip) {
        p.setPen(QPen(kInk, 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(root, tip);
        p.setPen(QPen(kSilverLight, 0.9, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(root, root + (tip - root) * 0.8);
    };
    blade({5.5, 9.5}, {11.5, 0.8});
    blade({10.5, 9.5}, {4.5, 0.8});
    p.fillRect(7, 5, 2, 2, kInk);
    // handles
    p.setBrush(Qt::NoBrush);
    for (double x : {4.5, 11.5}) {
        p.setPen(QPen(kRedDark, 2.6));
        p.drawEllipse(QPointF(x, 12.5), 2.1, 2.1);
        p.setPen(QPen(kRed, 1.0));
        p.drawEllipse(QPointF(x, 12.5), 2.1, 2.1);
    }
}

void drawCopy(QPainter& p)
{
    box(p, 1, 0, 9, 11, kPaper, kInk);
    textLines(p, 3, 3, 5, 3, 2);
    box(p, 6, 5, 9, 11, kPaper, kInk);
    textLines(p, 8, 8, 5, 3, 2);
}

void drawPaste(QPainter& p)
{
    box(p, 1, 2, 11, 13, kTeal, kTealDark);
    box(p, 6, 6, 9, 10, kPaper, kInk);
    textLines(p, 8, 9, 5, 3, 2);
    box(p, 4, 0, 5, 4, kSilver, kInk);
    p.fillRect(5, 1, 3, 1, kSilverLight);
}

void drawTileHorizontally(QPainter& p)
{
    window(p, 0, 1, 16, 7, true);
    window(p, 0, 9, 16, 7, false);
}

void drawTileVertically(QPainter& p)
{
    window(p, 0, 1, 7, 14, true);
    window(p, 9, 1, 7, 14, false);
}

void drawCascade(QPainter& p)
{
    window(p, 0, 0, 10, 8, false);
    window(p, 3, 3, 10, 8, false);
    window(p, 6, 6, 10, 10, true);
}

void drawExit(QPainter& p)
{
    // door frame with the dark opening
    box(p, 1, 0, 10, 16, QColor(0x24, 0x35, 0x3e), kInk);
    // the door leaf, swung open
    shape(p, polygonPath({{1.5, 0.5}, {6.5, 2.5}, {6.5, 15.5}, {1.5, 15.5}}), kTeal, kTealDark);
    p.fillRect(5, 8, 1, 2, kGold);
    goArrow(p, arrow({7.0, 8.0}, {15.5, 8.0}, 1.5, 4.5, 4.5));
}

void drawHelp(QPainter& p)
{
    disc(p, {8, 8}, 7.6, kBlue, kBlueDark);
    pixels(p, 5, 3,
           {"h####h",
            "##hh##",
            "....##",
            "...##h",
            "..##h.",
            "..##..",
            "......",
            "..##..",
            "..##.."},
           {{'#', Qt::white}, {'h', QColor(0xa9, 0xc8, 0xea)}});
}

void drawAbout(QPainter& p)
{
    disc(p, {8, 8}, 7.6, kTeal, kTealDark);
    p.fillRect(7, 3, 2, 2, Qt::white);
    p.fillRect(6, 6, 3, 1, Qt::white);
    p.fillRect(7, 6, 2, 6, Qt::white);
    p.fillRect(6, 11, 4, 1, Qt::white);
}

void drawSettings(QPainter& p, int s)
{
    if (s == 16) {
        gear(p, {8, 8}, 7.5, 5.5, 2.5, 8, 1.5, 1.8);
    } else {
        gear(p, {16, 16}, 14.5, 11.0, 4.5, 8, 2.5, 3.0);
    }
}

void drawRatesTable(QPainter& p, int s)
{
    if (s == 16) {
        box(p, 0, 1, 14, 12, kPaper, kInk);
        p.fillRect(1, 2, 12, 2, kTeal);
        p.fillRect(1, 7, 12, 1, kRule);
        p.fillRect(1, 10, 12, 1, kRule);
        p.fillRect(5, 4, 1, 8, kRule);
        p.fillRect(9, 4, 1, 8, kRule);
        cutDisc(p, {11.5, 11.5}, 5.5);
        coin(p, {11.5, 11.5}, 4.5);
    } else {
        box(p, 0, 2, 28, 24, kPaper, kInk);
        p.fillRect(1, 3, 26, 4, kTeal);
        for (int y : {12, 17, 22})
            p.fillRect(1, y, 26, 1, kRule);
        for (int x : {9, 18})
            p.fillRect(x, 7, 1, 18, kRule);
        for (int x : {3, 11, 20})
            p.fillRect(x, 4, 5, 1, QColor(255, 255, 255, 150));
        cutDisc(p, {22.5, 22.5}, 10.0);
        coin(p, {22.5, 22.5}, 9.0);
    }
}

void drawWorld(QPainter& p, int s)
{
    if (s == 16)
        globe(p, {8, 8}, 7.5);
    else
        globe(p, {16, 16}, 15.0);
}

void drawPair(QPainter& p, int s)
{
    if (s == 16) {
        coin(p, {4.5, 11.5}, 4.5, kSilverMetal);
        cutDisc(p, {11.5, 11.5}, 5.5);
        coin(p, {11.5, 11.5}, 4.5);
        shape(p, arrow2({0.5, 3.5}, {15.5, 3.5}, 1.0, 3.5, 3.5), kTeal, kTealDark);
    } else {
        coin(p, {10.0, 22.0}, 9.0, kSilverMetal);
        cutDisc(p, {22.0, 22.0}, 10.2);
        coin(p, {22.0, 22.0}, 9.0);
        shape(p, arrow2({0.5, 6.0}, {31.5, 6.0}, 2.0, 5.5, 6.0), kTeal, kTealDark);
    }
}

void drawCrossRates(QPainter& p, int s)
{
    // a 4 x 4 table: a narrow header row and column, then 3 x 3 rate cells
    const int o = s == 16 ? 0 : 1;
    const std::vector<int> lines = s == 16 ? std::vector<int>{0, 3, 7, 11, 15} : std::vector<int>{0, 6, 14, 22, 30};
    const int size = lines.back() + 1;
    box(p, o, o, size, size, kPaper, kInk);
    for (int i = 1; i < 4; ++i)
        for (int j = 1; j < 4; ++j) {
            const QRect cell(o + lines[j] + 1, o + lines[i] + 1, lines[j + 1] - lines[j] - 1, lines[i + 1] - lines[i] - 1);
            if (i == j)
                p.fillRect(cell, kPaperShade);
            else if (s == 32)
                p.fillRect(cell.x() + 1, cell.y() + cell.height() / 2, cell.width() - 2, 1, kRule);
        }
    p.fillRect(o + 1, o + 1, size - 2, lines[1] - 1, kTeal);
    p.fillRect(o + 1, o + 1, lines[1] - 1, size - 2, kTeal);
    for (int k = 1; k < 4; ++k) {
        p.fillRect(o + lines[k], o + 1, 1, size - 2, k == 1 ? kTealDark : kRule);
        p.fillRect(o + 1, o + lines[k], size - 2, 1, k == 1 ? kTealDark : kRule);
    }
    p.fillRect(o + 1, o + 1, lines[1] - 1, lines[1] - 1, kTealDark);
}

void drawUpdateInternet(QPainter& p, int s)
{
    if (s == 16) {
        globe(p, {7, 7}, 7.0);
        goArrow(p, arrow({11.5, 6.5}, {11.5, 15.8}, 1.5, 4.0, 4.0));
    } else {
        globe(p, {13.5, 13.5}, 13.5);
        goArrow(p, arrow({23.5, 13.0}, {23.5, 31.5}, 3.0, 7.5, 7.5));
    }
}

void drawUpdateFile(QPainter& p, int s)
{
    if (s == 16) {
        document(p, 1.5, 0.5, 11.5, 15.5, 3);
        textLines(p, 3, 5, 6, 4, 2);
        goArrow(p, arrow({11.5, 6.5}, {11.5, 15.8}, 1.5, 4.0, 4.0));
    } else {
        document(p, 2.5, 0.5, 23.5, 30.5, 6);
        textLines(p, 6, 9, 13, 7, 3);
        goArrow(p, arrow({23.5, 13.0}, {23.5, 31.5}, 3.0, 7.5, 7.5));
    }
}

void drawCalculator(QPainter& p, int s)
{
    if (s == 16) {
        box(p, 2, 0, 12, 16, kTeal, kTealDark);
        box(p, 4, 2, 8, 4, kScreen, kTealDark);
        p.fillRect(8, 3, 3, 2, kTealDark);
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c)
                p.fillRect(4 + 3 * c, 7 + 3 * r, 2, 2, (r == 2 && c == 2) ? kGold : kPaper);
    } else {
        box(p, 4, 0, 24, 32, kTeal, kTealDark);
        p.fillRect(5, 1, 22, 1, QColor(255, 255, 255, 60));
        box(p, 7, 3, 18, 8, kScreen, kTealDark);
        // "125" on the display, in seven-segment digits
        pixels(p, 12, 5,
               {"..#.###.###",
                "..#...#.#..",
                "..#.###.###",
                "..#.#.....#",
                "..#.###.###"},
               {{'#', kTealDark}});
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 4; ++c) {
                const bool op = c == 3;
                const bool eq = r == 3 && c == 3;
                box(p, 7 + 5 * c, 13 + 4 * r + (r > 0 ? 0 : 0), 4, 3, eq ? kGold : op ? kTealLight : kPaper,
                    eq ? kGoldDark : kTealDark);
            }
    }
}

void drawBank(QPainter& p, int s)
{
    if (s == 16) {
        shape(p, polygonPath({{8.0, 0.5}, {15.5, 4.5}, {15.5, 5.5}, {0.5, 5.5}, {0.5, 4.5}}), kTeal, kTealDark);
        for (int x : {2, 5, 9, 12}) {
            p.fillRect(x, 6, 2, 6, kSilverLight);
            p.fillRect(x + 1, 6, 1, 6, kSilver);
            p.fillRect(x - 1, 6, 1, 6, kInk);
            p.fillRect(x + 2, 6, 1, 6, kInk);
        }
        box(p, 0, 12, 16, 4, kSilverLight, kInk);
        p.fillRect(1, 13, 14, 1, kPaper);
    } else {
        shape(p, polygonPath({{16.0, 1.5}, {31.5, 9.5}, {31.5, 11.5}, {0.5, 11.5}, {0.5, 9.5}}), kTeal, kTealDark);
        disc(p, {16.0, 7.5}, 2.0, kGold, kGoldDark);
        box(p, 2, 11, 28, 3, kSilverLight, kInk);
        for (int x : {4, 11, 18, 25}) {
            box(p, x, 13, 4, 12, kSilverLight, kInk);
            p.fillRect(x + 2, 14, 1, 10, kSilver);
        }
        box(p, 2, 24, 28, 4, kSilverLight, kInk);
        box(p, 0, 27, 32, 5, kSilverLight, kInk);
        p.fillRect(1, 28, 30, 1, kPaper);
    }
}

void drawLink(QPainter& p)
{
    auto link = [&](QPointF c) {
        QPainterPath path;
        QRectF r(-4.6, -2.5, 9.2, 5.0);
        path.addRoundedRect(r, 2.5, 2.5);
        QTransform t;
        t.translate(c.x(), c.y());
        t.rotate(-45);
        path = t.map(path);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(kBlueDark, 3.2));
        p.drawPath(path);
        p.setPen(QPen(kBlueLight, 1.3));
        p.drawPath(path);
    };
    link({5.2, 10.8});
    link({10.8, 5.2});
    // redraw the lower link's upper half over the other, so they interlock
    p.save();
    p.setClipRect(QRectF(6.5, 0, 10, 8.2));
    p.setClipRect(QRectF(0, 6.0, 10, 10), Qt::IntersectClip);
    link({5.2, 10.8});
    p.restore();
}

void drawExport(QPainter& p, int s)
{
    if (s == 16) {
        document(p, 0.5, 0.5, 10.5, 15.5, 3);
        textLines(p, 2, 5, 6, 4, 2);
        goArrow(p, arrow({6.0, 11.0}, {15.8, 11.0}, 1.5, 4.5, 4.5));
    } else {
        document(p, 1.5, 0.5, 21.5, 30.5, 6);
        textLines(p, 5, 9, 12, 6, 3);
        goArrow(p, arrow({11.0, 21.0}, {31.6, 21.0}, 3.0, 8.0, 8.0));
    }
}

// ---------------------------------------------------------------- rates window buttons

void drawAdd(QPainter& p)
{
    QPainterPath plus = polygonPath({{5.5, 1.5}, {10.5, 1.5}, {10.5, 5.5}, {14.5, 5.5}, {14.5, 10.5}, {10.5, 10.5},
                                     {10.5, 14.5}, {5.5, 14.5}, {5.5, 10.5}, {1.5, 10.5}, {1.5, 5.5}, {5.5, 5.5}});
    shape(p, plus, kGreen, kGreenDark);
    p.fillRect(6, 2, 4, 1, kGreenLight);
    p.fillRect(2, 6, 4, 1, kGreenLight);
    p.fillRect(10, 6, 4, 1, kGreenLight);
}

void drawPencil(QPainter& p, QPointF tip, double len, double half, double angleDeg)
{
    const double a = angleDeg * kPi / 180;
    const double tipLen = half * 1.8;
    auto part = [&](std::initializer_list<QPointF> pts, const QColor& fill, const QColor& line) {
        shape(p, mapped(QPolygonF(QList<QPointF>(pts)), tip, a), fill, line);
    };
    part({{0, 0}, {tipLen, -half}, {tipLen, half}}, kGoldLight, kGoldDark);
    part({{0, 0}, {tipLen * 0.38, -half * 0.38}, {tipLen * 0.38, half * 0.38}}, kInk, kInk);
    part({{tipLen, -half}, {len - 2 * half, -half}, {len - 2 * half, half}, {tipLen, half}}, kGold, kGoldDark);
    part({{tipLen, -half * 0.1}, {len - 2 * half, -half * 0.1}, {len - 2 * half, half * 0.1}, {tipLen, half * 0.1}},
         kGoldDark, kGoldDark);
    part({{len - 2 * half, -half}, {len - half, -half}, {len - half, half}, {len - 2 * half, half}}, kSilver,
         kSilverDark);
    part({{len - half, -half}, {len, -half}, {len, half}, {len - half, half}}, kRedLight, kRedDark);
}

void drawEdit(QPainter& p)
{
    drawPencil(p, {1.2, 14.8}, 19.0, 2.6, -45);
}

void drawDelete(QPainter& p)
{
    pixelShape(
        p,
        [](int x, int y) {
            return x >= 2 && x <= 13 && y >= 2 && y <= 13 && (std::abs(x - y) <= 1 || std::abs(x + y - 15) <= 1);
        },
        kRed, kRedDark);
}

void listBox(QPainter& p, int x)
{
    box(p, x, 1, 16 - x, 14, kPaper, kInk);
    for (int y = 3; y < 14; y += 3)
        p.fillRect(x + 2, y, 16 - x - 4, 2, y == 6 ? kBlueLight : kPaperShade);
}

void drawUnselect(QPainter& p)
{
    listBox(p, 7);
    const QPainterPath a = arrow({12.5, 8.0}, {0.2, 8.0}, 1.5, 4.5, 5.0);
    cutAround(p, a);
    shape(p, a, kBlue, kBlueDark);
}

void drawSelect(QPainter& p)
{
    listBox(p, 7);
    const QPainterPath a = arrow({0.5, 8.0}, {12.8, 8.0}, 1.5, 4.5, 5.0);
    cutAround(p, a);
    shape(p, a, kBlue, kBlueDark);
}

// ---------------------------------------------------------------- emblems

// tallyvane2: a stack of coins under a weather-vane arrow.
void drawTallyvaneEmblem(QPainter& p, int s)
{
    if (s == 48) {
        // pole and finial
        box(p, 23, 4, 3, 24, kTeal, kTealDark);
        disc(p, {24.5, 4.0}, 3.0, kGold, kGoldDark);
        shape(p, vane(2.5, 46.0, 12.5, 2.0, 9.0, 6.0, 11.0, 6.0), kTeal, kTealDark);
        p.fillRect(14, 12, 22, 1, QColor(255, 255, 255, 90));
        coinStack(p, 24.5, 47.0, 17.0, 6.5, 5.0, 3);
    } else if (s == 16) {
        p.fillRect(7, 2, 2, 8, kTealDark);
        shape(p, vane(0.5, 15.5, 4.0, 0.5, 4.0, 3.0, 4.0, 2.5), kTeal, kTealDark);
        coinStack(p, 8.0, 15.6, 6.5, 2.6, 2.0, 2);
    }
}

// pocketvane: a coin with the vane arrow across it.
void drawPocketvaneEmblem(QPainter& p, int s, const Metal& m = kGoldMetal, const QColor& arrowColor = kTealDark,
                          bool withArrow = true)
{
    const double r = s / 2.0 - 0.3;
    const QPointF c(s / 2.0, s / 2.0);
    disc(p, c, r, m.base, m.dark);
    p.save();
    p.setClipPath(circlePath(c, r - 1));
    if (s >= 32) {
        p.setPen(QPen(m.light, s >= 48 ? 2.0 : 1.5));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(c, r - 3.0, r - 3.0);
        p.setPen(QPen(m.dark, 1.0));
        p.drawEllipse(c, r - 4.5, r - 4.5);
    } else {
        p.setPen(QPen(m.light, 1.0));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(c.x() - r + 2, c.y() - r + 2, 2 * r - 4, 2 * r - 4), 100 * 16, 80 * 16);
    }
    p.restore();
    if (!withArrow)
        return;
    p.setPen(Qt::NoPen);
    p.setBrush(arrowColor);
    if (s == 16) {
        p.drawPath(vane(2.0, 14.2, 8.0, 1.0, 4.2, 3.6, 4.5, 3.0));
    } else if (s == 22) {
        p.drawPath(vane(2.5, 19.8, 11.0, 1.2, 5.5, 4.6, 6.0, 4.0));
    } else if (s == 32) {
        p.drawPath(vane(4.0, 28.5, 16.0, 1.7, 8.0, 6.5, 8.5, 5.5));
    } else {
        p.drawPath(vane(5.5, 43.0, 24.0, 2.5, 12.0, 9.5, 12.5, 8.5));
        p.setBrush(QColor(255, 255, 255, 70));
        p.drawRect(QRectF(18.0, 22.0, 13.0, 1.5));
    }
}

// ---------------------------------------------------------------- large pictures

void drawStepCoin(QPainter& p)
{
    coin(p, {16, 16}, 15.0);
    // the vane arrow struck into the coin
    const QPainterPath mark = vane(7.0, 25.5, 16.0, 1.2, 5.5, 4.0, 6.0, 3.8);
    p.setPen(Qt::NoPen);
    p.setBrush(kGoldLight);
    p.drawPath(mark.translated(0.7, 0.7));
    p.setBrush(QColor(0xc4, 0x8a, 0x14));
    p.drawPath(mark);
}

void drawStepWindows(QPainter& p)
{
    window(p, 0, 2, 20, 16, false, 4);
    window(p, 6, 8, 20, 16, false, 4);
    window(p, 12, 14, 20, 16, true, 4);
}

void drawCheck(QPainter& p)
{
    QPainterPath line;
    line.moveTo(4.5, 16.5);
    line.lineTo(12.5, 24.5);
    line.lineTo(27.5, 7.5);
    QPainterPathStroker st;
    st.setWidth(6.0);
    st.setCapStyle(Qt::SquareCap);
    st.setJoinStyle(Qt::MiterJoin);
    shape(p, st.createStroke(line).simplified(), kGreen, kGreenDark);
}

void drawSaving(QPainter& p)
{
    // the disk
    shape(p, polygonPath({{1.5, 1.5}, {24.5, 1.5}, {28.5, 5.5}, {28.5, 28.5}, {1.5, 28.5}}), kBlue, kBlueDark);
    box(p, 7, 1, 15, 10, kSilver, kBlueDark);
    p.fillRect(17, 3, 3, 6, kBlueDark);
    box(p, 5, 15, 20, 14, kPaper, kBlueDark);
    textLines(p, 8, 19, 14, 3, 3);
    // the hourglass
    QPainterPath hg;
    hg.addRect(QRectF(17.5, 14.5, 13, 17));
    cutAround(p, hg, 0.5);
    const QPainterPath glass = polygonPath({{19.5, 17.0}, {28.5, 17.0}, {24.8, 23.0}, {28.5, 29.0}, {19.5, 29.0},
                                            {23.2, 23.0}});
    shape(p, glass, kSilverLight, kInk);
    p.save();
    p.setClipPath(glass);
    p.fillRect(QRectF(18, 26, 12, 4), kGold);
    p.fillRect(QRectF(18, 19.5, 12, 3), kGold);
    p.fillRect(QRectF(23.5, 22, 1, 5), kGold);
    p.restore();
    box(p, 18, 15, 12, 3, kTeal, kTealDark);
    box(p, 18, 28, 12, 3, kTeal, kTealDark);
}

void drawSettingsHeader(QPainter& p)
{
    gear(p, {12.5, 12.5}, 12.0, 9.0, 3.8, 8, 2.0, 2.6);
    cutDisc(p, {24.5, 24.5}, 8.6);
    gear(p, {24.5, 24.5}, 7.0, 5.0, 2.0, 8, 1.2, 1.5, kPi / 8);
}

void drawUpdate(QPainter& p)
{
    coin(p, {16, 16}, 8.5);
    // two curved arrows around the coin
    auto curved = [&](double startDeg, double spanDeg) {
        QPainterPath arc;
        const QRectF r(16 - 12.5, 16 - 12.5, 25, 25);
        arc.arcMoveTo(r, startDeg);
        arc.arcTo(r, startDeg, spanDeg);
        QPainterPathStroker st;
        st.setWidth(4.0);
        st.setCapStyle(Qt::FlatCap);
        QPainterPath body = st.createStroke(arc);
        // head at the end of the arc, pointing along the turning direction
        const double end = (startDeg + spanDeg) * kPi / 180;
        const QPointF e(16 + 12.5 * std::cos(end), 16 - 12.5 * std::sin(end));
        const QPointF tangent(std::sin(end), std::cos(end));     // clockwise direction (negative span)
        const QPointF normal(std::cos(end), -std::sin(end));
        QPainterPath head = polygonPath({e + normal * 5.5, e + tangent * 6.5, e - normal * 5.5});
        shape(p, body.united(head).simplified(), kGreen, kGreenDark);
    };
    curved(150, -110);
    curved(330, -110);
}

void drawCredentials(QPainter& p)
{
    // the user
    disc(p, {12.0, 8.5}, 6.0, kTeal, kTealDark);
    QPainterPath body;
    body.moveTo(1.5, 28.5);
    body.lineTo(1.5, 24.0);
    body.cubicTo(1.5, 18.0, 6.0, 15.5, 12.0, 15.5);
    body.cubicTo(18.0, 15.5, 22.5, 18.0, 22.5, 24.0);
    body.lineTo(22.5, 28.5);
    body.closeSubpath();
    shape(p, body, kTeal, kTealDark);
    // the key
    QPainterPath key;
    key.addEllipse(QPointF(16.5, 24.5), 5.5, 5.5);
    key.addPolygon(QPolygonF(QList<QPointF>{{20.0, 22.5}, {31.5, 22.5}, {31.5, 26.5}, {29.5, 26.5}, {29.5, 29.5},
                                           {27.5, 29.5}, {27.5, 26.5}, {25.5, 26.5}, {25.5, 28.5}, {23.5, 28.5},
                                           {23.5, 26.5}, {20.0, 26.5}}));
    key = key.simplified();
    cutAround(p, key);
    shape(p, key, kGold, kGoldDark);
    disc(p, {15.0, 24.5}, 2.2, kGoldDark, kGoldDark);
    cutDisc(p, {15.0, 24.5}, 1.3);
    p.fillRect(21, 23, 10, 1, kGoldLight);
}

void drawKeyCap(QPainter& p, int s)
{
    if (s == 32) {
        QPainterPath outer;
        outer.addRoundedRect(QRectF(1.5, 3.5, 29, 26), 4, 4);
        shape(p, outer, kSilver, kInk);
        QPainterPath top;
        top.addRoundedRect(QRectF(4.5, 5.5, 23, 18), 3, 3);
        shape(p, top, kSilverLight, kSilverDark);
        p.setPen(Qt::NoPen);
        p.setBrush(kTealDark);
        p.drawPath(textPath(QStringLiteral("P"), font(14), {16.0, 14.5}));
    } else {
        QPainterPath outer;
        outer.addRoundedRect(QRectF(0.5, 1.5, 15, 13), 2, 2);
        shape(p, outer, kSilver, kInk);
        box(p, 3, 3, 10, 8, kSilverLight, kSilverLight);
        p.fillRect(3, 10, 10, 1, kSilverDark);
        p.fillRect(2, 3, 1, 8, kSilverDark);
        p.fillRect(13, 3, 1, 8, kSilverDark);
        p.fillRect(3, 2, 10, 1, kSilverDark);
        pixels(p, 6, 4,
               {"####.",
                "##.##",
                "##.##",
                "####.",
                "##...",
                "##..."},
               {{'#', kTealDark}});
    }
}

void drawHide(QPainter& p)
{
    window(p, 0, 0, 13, 10, true);
    p.fillRect(1, 14, 8, 2, kTealDark);
    const QPainterPath a = arrow({11.5, 5.5}, {11.5, 15.8}, 1.5, 4.0, 4.0);
    cutAround(p, a);
    shape(p, a, kBlue, kBlueDark);
}

void drawShow(QPainter& p)
{
    window(p, 0, 0, 13, 10, true);
    p.fillRect(1, 14, 8, 2, kTealDark);
    const QPainterPath a = arrow({11.5, 15.8}, {11.5, 5.5}, 1.5, 4.0, 4.0);
    cutAround(p, a);
    shape(p, a, kBlue, kBlueDark);
}

void drawEraser(QPainter& p)
{
    const QPointF c(8.5, 7.0);
    const double a = -40 * kPi / 180;
    auto part = [&](double x0, double x1, const QColor& fill, const QColor& line) {
        shape(p, mapped(QPolygonF(QList<QPointF>{{x0, -3.0}, {x1, -3.0}, {x1, 3.0}, {x0, 3.0}}), c, a), fill, line);
    };
    part(-7.0, -1.5, kRedLight, kRedDark);
    part(-1.5, 7.0, kBlue, kBlueDark);
    p.fillRect(1, 15, 6, 1, kRule);
}

// ---------------------------------------------------------------- about and splash

void drawBanknote(QPainter& p, QPointF c, double w, double h, double angleDeg)
{
    p.save();
    p.translate(c);
    p.rotate(angleDeg);
    QPainterPath note;
    note.addRect(QRectF(-w / 2, -h / 2, w, h));
    shape(p, note, QColor(0x6d, 0xbf, 0x85), kGreenDark);
    p.setPen(QPen(QColor(0xd6, 0xef, 0xdb), 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(-w / 2 + 4, -h / 2 + 4, w - 8, h - 8));
    p.setPen(QPen(kGreenDark, 1.0));
    p.setBrush(QColor(0xa9, 0xdc, 0xb6));
    p.drawEllipse(QPointF(0, 0), h * 0.28, h * 0.28);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x3f, 0x93, 0x59));
    p.drawEllipse(QPointF(-w / 2 + 12, -h / 2 + 11), 3.5, 3.5);
    p.drawEllipse(QPointF(w / 2 - 12, h / 2 - 11), 3.5, 3.5);
    p.restore();
}

void drawAboutPicture(QPainter& p, int w, int h)
{
    QLinearGradient bg(0, 0, 0, h);
    bg.setColorAt(0.0, QColor(0x0a, 0x3e, 0x4b));
    bg.setColorAt(0.45, QColor(0x1c, 0x82, 0x92));
    bg.setColorAt(0.78, QColor(0xb8, 0xe0, 0xe4));
    bg.setColorAt(1.0, QColor(0xee, 0xf7, 0xf8));
    p.fillRect(0, 0, w, h, bg);
    // wind: faint arcs behind the vane
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 4; ++i) {
        p.setPen(QPen(QColor(255, 255, 255, 22 - 4 * i), 2.0));
        p.drawEllipse(QPointF(82, 74), 36.0 + 18 * i, 36.0 + 18 * i);
    }
    const double cx = 82.0;
    // the pole, the direction arms and the finial
    box(p, 80, 36, 5, 178, kGold, kGoldDark);
    shape(p, polygonPath({{50.5, 125.5}, {114.5, 125.5}, {114.5, 129.5}, {50.5, 129.5}}), kGold, kGoldDark);
    disc(p, {48.0, 127.5}, 4.5, kGold, kGoldDark);
    disc(p, {117.0, 127.5}, 4.5, kGold, kGoldDark);
    disc(p, {cx + 0.5, 127.5}, 5.0, kGoldLight, kGoldDark);
    // the vane arrow
    const QPainterPath arrowPath = vane(14.5, 150.5, 74.5, 3.0, 24.0, 13.0, 30.0, 14.0);
    shape(p, arrowPath, kGold, kGoldDark);
    p.fillRect(QRectF(46, 73, 70, 1.5), kGoldLight);
    disc(p, {cx + 0.5, 74.5}, 5.5, kGoldLight, kGoldDark);
    disc(p, {cx + 0.5, 32.0}, 6.0, kGoldLight, kGoldDark);
    // banknotes behind the coins
    drawBanknote(p, {58, 214}, 92, 46, -16);
    drawBanknote(p, {108, 207}, 92, 46, 12);
    // coins
    coinStack(p, 33, 282, 22, 7, 6, 3, kSilverMetal, 1.0);
    coinStack(p, 131, 283, 22, 7, 6, 2, kGoldMetal, 1.0);
    coinStack(p, cx + 0.5, 276, 34, 10, 7, 6, kGoldMetal, 1.0);
    // the name
    QFont f = font(23);
    p.setPen(Qt::NoPen);
    p.setBrush(kTealDark);
    p.drawPath(textPath(QStringLiteral("Tallyvane"), f, {cx, 302.5}));
}

void drawSplash(QPainter& p, int w, int h)
{
    const int band = 128;
    QLinearGradient bg(0, 0, 0, band);
    bg.setColorAt(0.0, QColor(0x08, 0x38, 0x45));
    bg.setColorAt(1.0, QColor(0x17, 0x76, 0x87));
    p.fillRect(0, 0, w, band, bg);
    // faint coin rings at the right edge
    p.save();
    p.setClipRect(0, 0, w, band);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 18), 12));
    p.drawEllipse(QPointF(280, 18), 62, 62);
    p.setPen(QPen(QColor(255, 255, 255, 14), 6));
    p.drawEllipse(QPointF(280, 18), 40, 40);
    p.setPen(QPen(QColor(255, 255, 255, 12), 10));
    p.drawEllipse(QPointF(12, 130), 46, 46);
    p.restore();
    // the calm lower part, where the start-up steps are shown
    QLinearGradient low(0, band, 0, h);
    low.setColorAt(0.0, QColor(0xf7, 0xfa, 0xfb));
    low.setColorAt(1.0, QColor(0xe9, 0xf2, 0xf4));
    p.fillRect(0, band, w, h - band, low);
    p.fillRect(0, band, w, 2, kGold);
    p.fillRect(0, band + 2, w, 1, QColor(0, 0, 0, 30));
    // the name
    const QFont f = font(44);
    QPainterPath name = textPath(QStringLiteral("Tallyvane"), f, {0, 0});
    QPainterPath two = textPath(QStringLiteral("2"), f, {0, 0});
    const double gap = 12;
    const double total = name.boundingRect().width() + gap + two.boundingRect().width();
    const double left = (w - total) / 2;
    const double mid = 56;
    name.translate(left - name.boundingRect().left(), mid - name.boundingRect().center().y());
    // the digit shares the baseline of the word (the word has no descender below its baseline but "y")
    const double baseline = name.boundingRect().top() + QFontMetricsF(f).capHeight();
    two.translate(left + name.boundingRect().width() + gap - two.boundingRect().left(), baseline - two.boundingRect().bottom());
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 60));
    p.drawPath(name.translated(1.5, 2));
    p.drawPath(two.translated(1.5, 2));
    p.setBrush(Qt::white);
    p.drawPath(name);
    p.setBrush(kGold);
    p.drawPath(two);
    // the vane arrow under the name
    const double ay = 100.5;
    shape(p, vane(left, left + total, ay, 1.5, 14.0, 7.0, 18.0, 7.0), kGold, kGoldDark);
}

// ---------------------------------------------------------------- output

struct Picture {
    QString path;   // relative to the repository
    QImage image;
};

std::vector<Picture> g_pictures;

void make(const QString& path, int w, int h, const std::function<void(QPainter&)>& draw)
{
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        draw(p);
    }
    g_pictures.push_back({path, img.convertToFormat(QImage::Format_ARGB32)});
}

void makeAll()
{
    const QString small = QStringLiteral("mainwin/images/small/%1.png");
    const QString large = QStringLiteral("mainwin/images/large/%1.png");
    using F16 = std::function<void(QPainter&)>;
    using FS = std::function<void(QPainter&, int)>;
    auto at16 = [](FS f) { return F16([f](QPainter& p) { f(p, 16); }); };
    auto at32 = [](FS f) { return F16([f](QPainter& p) { f(p, 32); }); };

    const std::vector<std::pair<int, F16>> smallIcons{
        {0, drawCut},
        {1, drawCopy},
        {2, drawPaste},
        {15, drawTileHorizontally},
        {16, drawTileVertically},
        {17, drawCascade},
        {18, drawExit},
        {19, drawHelp},
        {20, drawAbout},
        {21, at16(drawPair)},
        {22, at16(drawSettings)},
        {25, at16(drawRatesTable)},
        {26, at16(drawWorld)},
        {27, at16(drawCrossRates)},
        {28, at16(drawUpdateInternet)},
        {29, at16(drawUpdateFile)},
        {30, at16(drawCalculator)},
        {31, at16(drawBank)},
        {32, drawLink},
        {33, at16(drawExport)},
    };
    for (const auto& [n, f] : smallIcons)
        make(small.arg(n), 16, 16, f);

    const std::vector<std::pair<int, F16>> largeIcons{
        {1, at32(drawSettings)},     {3, at32(drawRatesTable)},     {4, at32(drawWorld)},
        {5, at32(drawPair)},         {6, at32(drawCrossRates)},     {7, at32(drawUpdateInternet)},
        {8, at32(drawUpdateFile)},   {9, at32(drawCalculator)},
    };
    for (const auto& [n, f] : largeIcons)
        make(large.arg(n), 32, 32, f);

    make(QStringLiteral("mainwin/images/app.png"), 48, 48, [](QPainter& p) { drawTallyvaneEmblem(p, 48); });
    make(QStringLiteral("mainwin/images/about.png"), 164, 313, [](QPainter& p) { drawAboutPicture(p, 164, 313); });
    make(QStringLiteral("mainwin/images/splash.png"), 300, 200, [](QPainter& p) { drawSplash(p, 300, 200); });
    make(QStringLiteral("mainwin/images/step1.png"), 32, 32, at32(drawSettings));
    make(QStringLiteral("mainwin/images/step2.png"), 32, 32, drawStepCoin);
    make(QStringLiteral("mainwin/images/step3.png"), 32, 32, at32(drawBank));
    make(QStringLiteral("mainwin/images/step4.png"), 32, 32, drawStepWindows);
    make(QStringLiteral("mainwin/images/step5.png"), 32, 32, drawCheck);
    make(QStringLiteral("mainwin/images/saving.png"), 32, 32, drawSaving);
    make(QStringLiteral("mainwin/images/settings.png"), 32, 32, drawSettingsHeader);
    make(QStringLiteral("mainwin/images/update.png"), 32, 32, drawUpdate);
    make(QStringLiteral("mainwin/images/credentials.png"), 32, 32, drawCredentials);
    make(QStringLiteral("mainwin/images/export.png"), 32, 32, at32(drawExport));

    const std::vector<F16> rateButtons{drawAdd, drawEdit, drawDelete, drawUnselect, drawSelect};
    for (size_t i = 0; i < rateButtons.size(); ++i)
        make(QStringLiteral("windows/images/rates/%1.png").arg(i), 16, 16, rateButtons[i]);

    const QString pv = QStringLiteral("pocketvane/images/");
    make(pv + "tray0.png", 16, 16, [](QPainter& p) { drawPocketvaneEmblem(p, 16, kGoldMetal, kTealDark, false); });
    make(pv + "tray1.png", 16, 16, [](QPainter& p) { drawPocketvaneEmblem(p, 16, kSilverMetal, kSilverDark); });
    make(pv + "tray2.png", 16, 16, [](QPainter& p) { drawPocketvaneEmblem(p, 16, kGoldMetal, kGreenDark); });
    make(pv + "tray3.png", 16, 16, [](QPainter& p) { drawPocketvaneEmblem(p, 16); });
    make(pv + "tray3_22.png", 22, 22, [](QPainter& p) { drawPocketvaneEmblem(p, 22); });
    make(pv + "menu0.png", 16, 16, drawHide);
    make(pv + "menu1.png", 16, 16, drawShow);
    make(pv + "menu2.png", 16, 16, drawExit);
    make(pv + "menu3.png", 16, 16, [](QPainter& p) { drawTallyvaneEmblem(p, 16); });
    make(pv + "menu4.png", 16, 16, drawAbout);
    make(pv + "menu5.png", 16, 16, drawHelp);
    make(pv + "menu6.png", 16, 16, [](QPainter& p) { drawKeyCap(p, 16); });
    make(pv + "glyph4.png", 16, 16, drawCopy);
    make(pv + "glyph5.png", 16, 16, drawPaste);
    make(pv + "glyph6.png", 16, 16, drawEraser);
    make(pv + "glyph7.png", 16, 16, drawCopy);
    make(pv + "glyph8.png", 16, 16, drawPaste);
    make(pv + "app.png", 48, 48, [](QPainter& p) { drawPocketvaneEmblem(p, 48); });
    make(pv + "about.png", 32, 32, [](QPainter& p) { drawPocketvaneEmblem(p, 32); });
    make(pv + "hotkey.png", 32, 32, [](QPainter& p) { drawKeyCap(p, 32); });
}

// Every picture enlarged (icons 4x, the two big pictures 2x), labelled, over a checkerboard,
// with the icons also shown at their own size on a light and a dark strip.
QImage contactSheet()
{
    const int cols = 8, cell = 4 * 48 + 16, labelH = 18, plainH = 56;
    std::vector<const Picture*> icons, big;
    for (const Picture& pic : g_pictures)
        (pic.image.width() > 48 ? big : icons).push_back(&pic);
    const int rows = int((icons.size() + cols - 1) / cols);
    std::vector<int> rowTop(rows + 1, 0);
    for (int r = 0; r < rows; ++r) {
        int tallest = 0;
        for (size_t i = size_t(r) * cols; i < std::min(icons.size(), size_t(r + 1) * cols); ++i)
            tallest = std::max(tallest, icons[i]->image.height());
        rowTop[r + 1] = rowTop[r] + 4 * tallest + 12 + labelH + plainH;
    }
    const int iconsH = rowTop[rows];
    int bigW = 0, bigH = 0;
    for (const Picture* pic : big) {
        bigW += 2 * pic->image.width() + 16;
        bigH = std::max(bigH, 2 * pic->image.height() + labelH + 16);
    }
    QImage sheet(std::max(cols * cell, bigW), iconsH + bigH, QImage::Format_ARGB32);
    sheet.fill(Qt::white);
    QPainter p(&sheet);
    p.setFont(font(11, false));
    auto checker = [&](QRect r) {
        for (int y = r.top(); y <= r.bottom(); y += 8)
            for (int x = r.left(); x <= r.right(); x += 8)
                p.fillRect(QRect(x, y, 8, 8).intersected(r),
                           ((x - r.left()) / 8 + (y - r.top()) / 8) % 2 ? QColor(0xd8, 0xd8, 0xd8) : QColor(0xf4, 0xf4, 0xf4));
    };
    for (size_t i = 0; i < icons.size(); ++i) {
        const Picture& pic = *icons[i];
        const int row = int(i / cols);
        const int x = int(i % cols) * cell, y = rowTop[row];
        const int labelY = rowTop[row + 1] - labelH - plainH;
        const QSize z = pic.image.size() * 4;
        const QRect r(x + (cell - z.width()) / 2, y + 8, z.width(), z.height());
        checker(r);
        p.drawImage(r, pic.image.scaled(z, Qt::IgnoreAspectRatio, Qt::FastTransformation));
        p.setPen(Qt::black);
        p.drawText(QRect(x, labelY, cell, labelH), Qt::AlignCenter, pic.path.section('/', -2));
        const QRect light(x + 8, labelY + labelH, cell / 2 - 8, plainH - 8);
        const QRect dark(x + cell / 2, labelY + labelH, cell / 2 - 8, plainH - 8);
        p.fillRect(light, QColor(0xf0, 0xf0, 0xf0));
        p.fillRect(dark, QColor(0x2b, 0x2b, 0x2b));
        for (const QRect& b : {light, dark})
            p.drawImage(b.center() - QPoint(pic.image.width() / 2 - 1, pic.image.height() / 2 - 1), pic.image);
    }
    int x = 0;
    for (const Picture* pic : big) {
        const QSize z = pic->image.size() * 2;
        const QRect r(x + 8, iconsH + 8, z.width(), z.height());
        checker(r);
        p.drawImage(r, pic->image.scaled(z, Qt::IgnoreAspectRatio, Qt::FastTransformation));
        p.setPen(Qt::black);
        p.drawText(QRect(x, r.bottom() + 2, z.width() + 16, labelH), Qt::AlignCenter, pic->path.section('/', -1));
        x += z.width() + 16;
    }
    return sheet;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: drawpictures REPOSITORY_ROOT [--contact SHEET.png]\n");
        return 2;
    }
    const QDir root(args[1]);
    QString contact;
    for (int i = 2; i + 1 < args.size(); ++i)
        if (args[i] == QStringLiteral("--contact"))
            contact = args[i + 1];

    makeAll();
    int failures = 0;
    for (const Picture& pic : g_pictures) {
        const QString file = root.filePath(pic.path);
        QDir().mkpath(QFileInfo(file).path());
        if (!pic.image.save(file, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
            ++failures;
        }
    }
    std::printf("%zu pictures written under %s\n", g_pictures.size(), qPrintable(root.absolutePath()));
    if (!contact.isEmpty()) {
        if (contactSheet().save(contact, "PNG"))
            std::printf("contact sheet: %s\n", qPrintable(contact));
        else
            ++failures;
    }
    return failures == 0 ? 0 : 1;
}
