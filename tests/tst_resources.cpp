// The program icon's images as built into the program, and the icon made from them.

#include "programicon.h"

#include <QImageReader>
#include <QTest>

class ResourcesTest : public QObject
{
    Q_OBJECT

private slots:
    void images();
    void iconDrawsSmallSizesInFullColour();
};

void ResourcesTest::images()
{
    // The order Windows expects in an icon: 256 colours first, then full colour, large to small.
    const QList<QPair<int, QImage::Format>> expected{
        {32, QImage::Format_Indexed8}, {16, QImage::Format_Indexed8}, {128, QImage::Format_ARGB32},
        {48, QImage::Format_ARGB32},   {32, QImage::Format_ARGB32},   {16, QImage::Format_ARGB32}};
    QList<QPair<int, QImage::Format>> built;
    QList<QSize> sizes;
    for (const QString &path : programIconImages()) {
        const QImage image = QImageReader(path).read();
        QVERIFY2(!image.isNull() && image.width() == image.height(), qPrintable(path));
        built.append({image.width(), image.format()});
        sizes.append(image.size());
        QVERIFY(image.format() != QImage::Format_Indexed8 || image.colorCount() <= 256);
        // A round icon: clear in the corners, opaque in the middle.
        const int last = image.width() - 1;
        QCOMPARE(qAlpha(image.pixel(0, 0)) + qAlpha(image.pixel(last, last)), 0);
        QCOMPARE(qAlpha(image.pixel(last / 2, last / 2)), 255);
    }
    QCOMPARE(built, expected);
    QCOMPARE(programIcon().availableSizes(), sizes);
}

// Where both depths exist, the window manager gets the full-colour image.
void ResourcesTest::iconDrawsSmallSizesInFullColour()
{
    const auto format = QImage::Format_ARGB32_Premultiplied;
    for (const QString &path : programIconImages()) {
        const QImage image = QImageReader(path).read().convertToFormat(format);
        const QImage drawn = programIcon().pixmap(image.size()).toImage().convertToFormat(format);
        const bool indexed = path.contains(QLatin1String("indexed"));
        QVERIFY2(indexed == (drawn != image), qPrintable(path));
    }
}

QTEST_MAIN(ResourcesTest)
#include "tst_resources.moc"
