// The program icon's images as built into the program, and the icon made from them.

#include "programicon.h"

#include <QImageReader>
#include <QTest>

class ResourcesTest : public QObject
{
    Q_OBJECT

private slots:
    void images_data();
    void images();
    void noOtherImages();
    void iconOffersEveryImage();
    void iconDrawsSmallSizesInFullColour_data();
    void iconDrawsSmallSizesInFullColour();
};

namespace {

QImage readImage(const QString &path)
{
    QImageReader reader(path);
    QImage image = reader.read();
    if (image.isNull())
        qWarning("%s: %s", qPrintable(path), qPrintable(reader.errorString()));
    return image;
}

} // namespace

void ResourcesTest::images_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("indexed");
    // The order Windows expects in an icon: 256 colours first, then full colour, large to small.
    QTest::newRow("32 px, 256 colours") << 0 << 32 << true;
    QTest::newRow("16 px, 256 colours") << 1 << 16 << true;
    QTest::newRow("128 px, full colour") << 2 << 128 << false;
    QTest::newRow("48 px, full colour") << 3 << 48 << false;
    QTest::newRow("32 px, full colour") << 4 << 32 << false;
    QTest::newRow("16 px, full colour") << 5 << 16 << false;
}

void ResourcesTest::images()
{
    QFETCH(int, index);
    QFETCH(int, size);
    QFETCH(bool, indexed);

    const QStringList paths = programIconImages();
    QVERIFY(index < paths.size());
    const QImage image = readImage(paths.at(index));
    QVERIFY2(!image.isNull(), qPrintable(paths.at(index)));
    QCOMPARE(image.size(), QSize(size, size));
    QVERIFY(image.hasAlphaChannel());
    if (indexed) {
        QCOMPARE(image.format(), QImage::Format_Indexed8);
        QVERIFY(image.colorCount() > 2);
        QVERIFY(image.colorCount() <= 256);
    } else {
        QCOMPARE(image.format(), QImage::Format_ARGB32);
        // Soft edges: some pixels are neither clear nor opaque.
        bool partlyClear = false;
        for (int y = 0; y < size && !partlyClear; ++y) {
            for (int x = 0; x < size && !partlyClear; ++x) {
                const int alpha = qAlpha(image.pixel(x, y));
                partlyClear = alpha > 0 && alpha < 255;
            }
        }
        QVERIFY(partlyClear);
    }
    // A round icon: clear in the corners, opaque in the middle.
    QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
    QCOMPARE(qAlpha(image.pixel(size - 1, size - 1)), 0);
    QCOMPARE(qAlpha(image.pixel(size / 2, size / 2)), 255);
}

void ResourcesTest::noOtherImages()
{
    QCOMPARE(programIconImages().size(), 6);
}

void ResourcesTest::iconOffersEveryImage()
{
    QList<QSize> sizes;
    for (const QString &path : programIconImages())
        sizes.append(readImage(path).size());
    QCOMPARE(sizes.size(), 6);
    QCOMPARE(programIcon().availableSizes(), sizes);
}

void ResourcesTest::iconDrawsSmallSizesInFullColour_data()
{
    QTest::addColumn<int>("size");
    QTest::newRow("16 px") << 16;
    QTest::newRow("32 px") << 32;
}

void ResourcesTest::iconDrawsSmallSizesInFullColour()
{
    QFETCH(int, size);

    // Both images of this size, as the built resources hold them.
    QImage indexed;
    QImage fullColour;
    for (const QString &path : programIconImages()) {
        const QImage image = readImage(path);
        if (image.size() != QSize(size, size))
            continue;
        (image.format() == QImage::Format_Indexed8 ? indexed : fullColour) = image;
    }
    QVERIFY(!indexed.isNull());
    QVERIFY(!fullColour.isNull());

    const auto premultiplied = QImage::Format_ARGB32_Premultiplied;
    const QImage drawn =
        programIcon().pixmap(QSize(size, size)).toImage().convertToFormat(premultiplied);
    QVERIFY(drawn != indexed.convertToFormat(premultiplied));
    QCOMPARE(drawn, fullColour.convertToFormat(premultiplied));
}

QTEST_MAIN(ResourcesTest)
#include "tst_resources.moc"
