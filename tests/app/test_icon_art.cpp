// The pictures drawn in code: the toolbar bitmap's format and the application icon.

#include <QIcon>
#include <QImage>
#include <QSet>
#include <QtTest>

#include "IconArt.h"

class IconArtTest : public QObject {
    Q_OBJECT
private slots:
    void toolbarBitmapHoldsThreeSixteenColourImages();
    void applicationIconIsDrawnInEverySize();
};

void IconArtTest::toolbarBitmapHoldsThreeSixteenColourImages() {
    const QImage bitmap = ToolbarBitmap();
    QCOMPARE(bitmap.size(), QSize(48, 15));
    QVERIFY(bitmap.colorCount() <= 16);
    QList<QImage> images;
    for (int n = 0; n < 3; ++n) {
        const QImage image = ToolbarImage(n);
        QCOMPARE(image.size(), QSize(16, 15));
        int opaque = 0;
        for (int y = 0; y < 15; ++y)
            for (int x = 0; x < 16; ++x) opaque += qAlpha(image.pixel(x, y)) == 255;
        QVERIFY(opaque > 20);
        QVERIFY(qAlpha(image.pixel(0, 0)) == 0);  // the corner shows the button face
        for (const QImage& other : images) QVERIFY(image != other);
        images << image;
    }
}

void IconArtTest::applicationIconIsDrawnInEverySize() {
    for (int size : {16, 32, 48, 256}) {
        const QImage icon = DrawApplicationIcon(size);
        QCOMPARE(icon.size(), QSize(size, size));
        QSet<QRgb> colours;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) colours.insert(icon.pixel(x, y));
        QVERIFY(colours.size() >= 4);  // card, rim, axes, series
    }
    QVERIFY(!ApplicationIcon().availableSizes().isEmpty());
}

QTEST_MAIN(IconArtTest)
#include "test_icon_art.moc"
