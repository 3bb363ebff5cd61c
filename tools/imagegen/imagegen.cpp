// Draws Trendora's pictures with QPainter and writes them as PNG files:
//   bitmap128.png   the small toolbar pictures, eleven of 16 x 15 on 0xC0C0C0
//   bitmap131.png   the toolbar pictures, eleven of 40 x 40 on the toolbar's mask colour
//   bitmap134.png   the main form's background, 1017 x 618
//   icon128-16.png, icon128-32.png, icon128-256.png   the program's icon
// Toolbar pictures are drawn without antialiasing: the toolbar makes exactly the mask colour
// transparent, and blended edges would leave a halo of near-mask pixels.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QPainterPath>
#include <QPolygon>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

// Button order of the toolbar: Open, Save as image, Print, Limit, Curve colour and line
// pattern, Background colour, Temp PV, Humi PV, Temp SV, Humi SV, About.
constexpr int kButtonCount = 11;

const QColor kInk(0, 0, 0);
const QColor kPaper(255, 255, 255);
// Background of bitmap 131, which the toolbar makes transparent.
const QColor kMask131(0xE0, 0xDF, 0xE3);
// Background of bitmap 128.
const QColor kMask128(0xC0, 0xC0, 0xC0);
// Drawn where a picture must show the background (the palette's thumb hole). No picture uses
// it otherwise; it becomes the mask colour once a strip is drawn.
const QColor kHole(0x01, 0xFE, 0x01);

const QColor kTempPv(210, 0, 0);
const QColor kHumiPv(0, 80, 210);
const QColor kTempSv(170, 0, 170);
const QColor kHumiSv(0, 150, 190);

// Device pixels per design unit; pictures are designed on a 40 x 40 grid.
double g_dScale = 1.0;

QPen Pen(const QColor& color, double dWidth = 1.0)
{
    QPen pen(color, std::max(1.0, std::round(dWidth * g_dScale)));
    pen.setCosmetic(true);
    pen.setJoinStyle(Qt::MiterJoin);
    pen.setCapStyle(Qt::FlatCap);
    return pen;
}

void Fill(QPainter& p, const QColor& fill, const QColor& outline = kInk)
{
    p.setPen(Pen(outline));
    p.setBrush(fill);
}

void DrawOpen(QPainter& p)
{
    Fill(p, QColor(205, 150, 30));
    p.drawPolygon(QPolygon({QPoint(2, 8), QPoint(13, 8), QPoint(16, 11), QPoint(33, 11),
                            QPoint(33, 34), QPoint(2, 34)}));
    Fill(p, kPaper);
    p.drawRect(7, 5, 22, 20);
    p.setPen(Pen(QColor(100, 100, 100)));
    for (int y = 9; y <= 17; y += 4)
        p.drawLine(10, y, 25, y);
    Fill(p, QColor(255, 205, 70));
    p.drawPolygon(QPolygon({QPoint(8, 17), QPoint(38, 17), QPoint(33, 34), QPoint(2, 34)}));
}

void DrawSaveImage(QPainter& p)
{
    Fill(p, QColor(40, 85, 165));
    p.drawPolygon(
        QPolygon({QPoint(3, 3), QPoint(32, 3), QPoint(36, 7), QPoint(36, 36), QPoint(3, 36)}));
    Fill(p, QColor(205, 210, 218));
    p.drawRect(10, 3, 19, 12);
    Fill(p, QColor(40, 85, 165));
    p.drawRect(23, 5, 3, 8);
    // The label shows a small landscape: a picture being saved.
    Fill(p, QColor(170, 215, 255));
    p.drawRect(8, 19, 23, 17);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 190, 0));
    p.drawEllipse(23, 21, 5, 5);
    Fill(p, QColor(40, 150, 40), QColor(20, 90, 20));
    p.drawPolygon(QPolygon({QPoint(9, 35), QPoint(16, 26), QPoint(21, 31), QPoint(25, 27),
                            QPoint(30, 33), QPoint(30, 35)}));
    p.setPen(Pen(kInk));
    p.setBrush(Qt::NoBrush);
    p.drawRect(8, 19, 23, 17);
}

void DrawPrint(QPainter& p)
{
    Fill(p, kPaper);
    p.drawRect(10, 2, 20, 13);
    Fill(p, QColor(150, 156, 168));
    p.drawRect(2, 13, 36, 16);
    Fill(p, QColor(95, 100, 112));
    p.drawRect(7, 23, 26, 3);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 200, 60));
    p.drawRect(31, 16, 4, 3);
    Fill(p, kPaper);
    p.drawRect(9, 25, 22, 13);
    p.setPen(Pen(QColor(90, 90, 90)));
    p.drawLine(12, 29, 27, 29);
    p.drawLine(12, 32, 27, 32);
    p.drawLine(12, 35, 22, 35);
}

void DrawLimit(QPainter& p)
{
    // Vertical axis with ticks.
    p.setPen(Pen(kInk, 2));
    p.drawLine(5, 2, 5, 37);
    p.setPen(Pen(kInk));
    for (int y = 5; y <= 35; y += 6)
        p.drawLine(2, y, 4, y);
    // Upper limit with its arrow pointing up, lower limit with its arrow pointing down.
    p.setPen(Pen(kTempPv, 2));
    p.drawLine(8, 15, 38, 15);
    p.setPen(Pen(kHumiPv, 2));
    p.drawLine(8, 25, 38, 25);
    p.setPen(Qt::NoPen);
    p.setBrush(kTempPv);
    p.drawPolygon(QPolygon({QPoint(23, 2), QPoint(30, 9), QPoint(16, 9)}));
    p.drawRect(21, 9, 4, 6);
    p.setBrush(kHumiPv);
    p.drawPolygon(QPolygon({QPoint(16, 31), QPoint(30, 31), QPoint(23, 38)}));
    p.drawRect(21, 25, 4, 6);
}

void DrawCurveStyle(QPainter& p)
{
    p.setPen(Pen(kTempPv, 3));
    p.drawPolyline(
        QPolygon({QPoint(3, 13), QPoint(11, 5), QPoint(20, 12), QPoint(28, 6), QPoint(37, 9)}));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 140, 40));
    for (int x = 3; x < 38; x += 9)
        p.drawRect(x, 19, 6, 3);
    p.setBrush(kHumiPv);
    for (int x = 3; x < 38; x += 6)
        p.drawRect(x, 30, 3, 3);
}

void DrawBackgroundColor(QPainter& p)
{
    Fill(p, QColor(225, 185, 130));
    p.drawEllipse(2, 5, 36, 30);
    Fill(p, kHole);
    p.drawEllipse(8, 21, 7, 6);
    const struct
    {
        QPoint pt;
        QColor color;
    } blobs[] = {
        {QPoint(12, 12), QColor(220, 30, 30)},
        {QPoint(21, 10), QColor(255, 215, 0)},
        {QPoint(29, 14), QColor(30, 90, 220)},
        {QPoint(29, 23), QColor(40, 170, 60)},
        {QPoint(20, 28), kPaper},
    };
    for (const auto& blob : blobs) {
        Fill(p, blob.color);
        p.drawEllipse(blob.pt, 3, 3);
    }
}

// A thermometer whose column is solid (measured value) or dotted (set value).
void DrawThermometer(QPainter& p, const QColor& color, bool bDotted)
{
    const QBrush brColumn = bDotted ? QBrush(color, Qt::Dense4Pattern) : QBrush(color);
    Fill(p, kPaper);
    p.drawRoundedRect(QRect(15, 2, 10, 28), 5, 5);
    p.setPen(Pen(kInk));
    for (int y = 7; y <= 22; y += 5)
        p.drawLine(27, y, 30, y);
    if (bDotted) {
        p.setPen(Pen(kInk));
        p.setBrush(kPaper);
        p.drawEllipse(QPoint(20, 31), 7, 7);
    }
    p.setPen(Pen(bDotted ? color : kInk));
    p.setBrush(brColumn);
    p.drawEllipse(QPoint(20, 31), 7, 7);
    p.setPen(Qt::NoPen);
    if (bDotted)
        p.fillRect(QRect(18, 9, 5, 17), kPaper);
    p.fillRect(QRect(18, 9, 5, 17), brColumn);
    if (bDotted) {
        p.setPen(Pen(color));
        p.drawLine(17, 9, 17, 25);
        p.drawLine(23, 9, 23, 25);
        p.drawLine(17, 9, 23, 9);
    }
}

// A droplet, solid (measured value) or dotted with a coloured rim (set value).
void DrawDroplet(QPainter& p, const QColor& color, bool bDotted)
{
    QPainterPath path;
    path.moveTo(20, 2);
    path.cubicTo(20, 2, 8, 16, 8, 25);
    path.arcTo(8, 13, 24, 24, 180, 180);
    path.cubicTo(32, 16, 20, 2, 20, 2);
    if (bDotted) {
        Fill(p, kPaper);
        p.drawPath(path);
        p.setPen(Qt::NoPen);
        p.setBrush(QBrush(color, Qt::Dense4Pattern));
        p.drawPath(path);
        // The rim runs just inside the black outline.
        const QTransform inset =
            QTransform::fromTranslate(20, 25).scale(0.8, 0.84).translate(-20, -25);
        p.setPen(Pen(color, 2));
        p.setBrush(Qt::NoBrush);
        p.drawPath(inset.map(path));
        p.setPen(Pen(kInk));
        p.drawPath(path);
    } else {
        Fill(p, color);
        p.drawPath(path);
        p.setPen(Qt::NoPen);
        p.setBrush(kPaper);
        p.drawEllipse(12, 22, 4, 8);
    }
}

void DrawAbout(QPainter& p)
{
    Fill(p, QColor(30, 100, 210));
    p.drawEllipse(2, 2, 35, 35);
    p.setPen(Qt::NoPen);
    p.setBrush(kPaper);
    p.drawEllipse(17, 8, 6, 6);
    p.drawRect(17, 16, 6, 14);
    p.drawRect(14, 16, 3, 3);
    p.drawRect(14, 28, 12, 3);
}

const std::function<void(QPainter&)> kButtonPictures[kButtonCount] = {
    DrawOpen,
    DrawSaveImage,
    DrawPrint,
    DrawLimit,
    DrawCurveStyle,
    DrawBackgroundColor,
    [](QPainter& p) { DrawThermometer(p, kTempPv, false); },
    [](QPainter& p) { DrawDroplet(p, kHumiPv, false); },
    [](QPainter& p) { DrawThermometer(p, kTempSv, true); },
    [](QPainter& p) { DrawDroplet(p, kHumiSv, true); },
    DrawAbout,
};

// Draws the eleven pictures side by side, each cell w by h, on the mask colour. Fails if a
// drawn pixel happens to be the mask colour, which would turn transparent.
bool DrawButtonStrip(QImage& strip, QSize sizeCell, const QColor& mask)
{
    strip = QImage(sizeCell.width() * kButtonCount, sizeCell.height(), QImage::Format_RGB32);
    strip.fill(kHole);
    for (int k = 0; k < kButtonCount; ++k) {
        QPainter p(&strip);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setClipRect(k * sizeCell.width(), 0, sizeCell.width(), sizeCell.height());
        p.translate(k * sizeCell.width(), 0);
        g_dScale = std::min(sizeCell.width(), sizeCell.height()) / 40.0;
        p.scale(sizeCell.width() / 40.0, sizeCell.height() / 40.0);
        kButtonPictures[k](p);
    }
    for (int y = 0; y < strip.height(); ++y) {
        QRgb* pLine = reinterpret_cast<QRgb*>(strip.scanLine(y));
        for (int x = 0; x < strip.width(); ++x) {
            if (pLine[x] == mask.rgb()) {
                std::fprintf(stderr, "picture %d draws the mask colour at (%d, %d)\n",
                             x / sizeCell.width(), x % sizeCell.width(), y);
                return false;
            }
            if (pLine[x] == kHole.rgb())
                pLine[x] = mask.rgb();
        }
    }
    return true;
}

// Form background: 2 pixels per dialog unit, the main form is 508 x 308 units.
QImage DrawFormBackground()
{
    const QColor kCanvas(224, 223, 227);
    const QColor kFrame(160, 160, 168);
    const QColor kTick(96, 96, 104);
    QImage image(1017, 618, QImage::Format_RGB32);
    image.fill(kCanvas);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);

    // Ticks at the height of each vertical axis label (label i centred at 28 + 20 (10 - i)
    // units), right of the temperature labels (x 3..19) and of the humidity labels
    // (x 28..42), up to the plot's left edge at 44 units.
    p.setPen(QPen(kTick, 1));
    for (int i = 0; i <= 10; ++i) {
        const int y = 56 + 40 * i;
        p.drawLine(40, y, 45, y);
        p.drawLine(84, y, 87, y);
    }

    // Panels behind the readouts (units 410..506 x 4..160) and the view settings
    // (163..236), and behind the paging buttons (207..287 x 275..295).
    p.setPen(QPen(kFrame, 1));
    p.setBrush(kPaper);
    p.drawRect(816, 6, 196, 316);
    p.drawRect(816, 326, 196, 148);
    p.drawRoundedRect(QRect(402, 540, 184, 60), 12, 12);
    return image;
}

// The program's icon: a small plot with a temperature and a humidity curve. The smallest size
// is drawn pixel by pixel without antialiasing; blurred lines would not read at 16 pixels.
QImage DrawSmallIcon()
{
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(QColor(40, 55, 80), 1));
    p.setBrush(kPaper);
    p.drawRect(0, 0, 15, 15);
    p.drawLine(3, 2, 3, 12);
    p.drawLine(3, 12, 13, 12);
    p.setPen(QPen(kHumiPv, 1));
    p.drawPolyline(
        QPolygon({QPoint(4, 10), QPoint(6, 10), QPoint(8, 7), QPoint(10, 8), QPoint(13, 8)}));
    p.setPen(QPen(kTempPv, 1));
    p.drawPolyline(
        QPolygon({QPoint(4, 7), QPoint(6, 4), QPoint(9, 5), QPoint(11, 3), QPoint(13, 3)}));
    p.drawPolyline(
        QPolygon({QPoint(4, 8), QPoint(6, 5), QPoint(9, 6), QPoint(11, 4), QPoint(13, 4)}));
    return image;
}

QImage DrawIcon(int nSize)
{
    if (nSize < 32)
        return DrawSmallIcon();
    QImage image(nSize, nSize, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    // Designed on a 32 x 32 grid; the frame and axes sit on whole pixels at 32.
    p.scale(nSize / 32.0, nSize / 32.0);
    const auto pen = [](const QColor& color, double dWidth) {
        QPen result(color, dWidth);
        result.setCapStyle(Qt::FlatCap);
        result.setJoinStyle(Qt::RoundJoin);
        return result;
    };
    const QColor kFrame(40, 55, 80);

    p.setPen(pen(kFrame, 2));
    p.setBrush(kPaper);
    p.drawRoundedRect(QRectF(2, 2, 28, 28), 4, 4);
    p.setPen(pen(QColor(200, 205, 215), 1));
    for (int i = 1; i < 4; ++i) {
        p.drawLine(QPointF(7, 4.5 + 5 * i), QPointF(27, 4.5 + 5 * i));
        p.drawLine(QPointF(6.5 + 5 * i, 5), QPointF(6.5 + 5 * i, 25));
    }
    p.setPen(pen(kFrame, 1));
    p.drawLine(QPointF(6.5, 5), QPointF(6.5, 25.5));
    p.drawLine(QPointF(6, 25.5), QPointF(27, 25.5));

    QPainterPath pathHumi;
    pathHumi.moveTo(8, 21);
    pathHumi.cubicTo(12, 23, 14, 13, 18, 15);
    pathHumi.cubicTo(22, 17, 24, 19, 26, 17);
    p.setPen(pen(kHumiPv, 2));
    p.setBrush(Qt::NoBrush);
    p.drawPath(pathHumi);

    QPainterPath pathTemp;
    pathTemp.moveTo(8, 15);
    pathTemp.cubicTo(11, 9, 14, 10, 17, 11);
    pathTemp.cubicTo(21, 12, 23, 7, 26, 8);
    p.setPen(pen(kTempPv, 2));
    p.drawPath(pathTemp);
    return image;
}

bool Write(const QImage& image, const QDir& dir, const QString& strName)
{
    QImageWriter writer(dir.filePath(strName), "png");
    writer.setQuality(0); // the PNG writer reads quality 0 as the strongest compression
    if (!writer.write(image)) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(writer.fileName()),
                     qPrintable(writer.errorString()));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    // Only raster drawing is needed; the offscreen platform keeps the tool headless.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QDir dir(argc > 1 ? QString::fromLocal8Bit(argv[1])
                            : QStringLiteral(TRENDORA_IMAGES_DIR));
    if (!dir.exists() && !QDir().mkpath(dir.path())) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(dir.path()));
        return 1;
    }

    QImage strip131;
    QImage strip128;
    if (!DrawButtonStrip(strip131, QSize(40, 40), kMask131) ||
        !DrawButtonStrip(strip128, QSize(16, 15), kMask128))
        return 1;
    const bool bOk =
        Write(strip128, dir, "bitmap128.png") && Write(strip131, dir, "bitmap131.png") &&
        Write(DrawFormBackground(), dir, "bitmap134.png") &&
        Write(DrawIcon(16), dir, "icon128-16.png") && Write(DrawIcon(32), dir, "icon128-32.png") &&
        Write(DrawIcon(256), dir, "icon128-256.png");
    return bOk ? 0 : 1;
}
