// The names and version the program declares at start against the Windows version block that
// the build generates from the same project data.

#include "brightfold.h"
#include "productinfo.h"

#include <QFile>
#include <QRegularExpression>
#include <QTest>

class VersionTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void versionBlockValue_data();
    void versionBlockValue();
    void numericVersions();

private:
    QString versionBlock;
};

void VersionTest::initTestCase()
{
    QFile script(QStringLiteral(BRIGHTFOLD_RC_PATH));
    QVERIFY2(script.open(QIODevice::ReadOnly), BRIGHTFOLD_RC_PATH);
    versionBlock = QString::fromUtf8(script.readAll());
}

void VersionTest::versionBlockValue_data()
{
    const runtime::ApplicationDescription program = brightfoldApplication();
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::newRow("company") << "CompanyName" << program.organisation;
    QTest::newRow("description") << "FileDescription" << program.title;
    QTest::newRow("internal name") << "InternalName" << program.title;
    QTest::newRow("product") << "ProductName" << program.title;
    QTest::newRow("file version") << "FileVersion" << program.version;
    QTest::newRow("product version") << "ProductVersion" << program.version;
}

void VersionTest::versionBlockValue()
{
    QFETCH(QString, key);
    QFETCH(QString, value);
    const QRegularExpression entry(QStringLiteral("VALUE \"%1\", \"([^\"]*)\"").arg(key));
    const QRegularExpressionMatch match = entry.match(versionBlock);
    QVERIFY2(match.hasMatch(), qPrintable(key));
    QCOMPARE(match.captured(1), value);
}

void VersionTest::numericVersions()
{
    const runtime::ApplicationDescription program = brightfoldApplication();
    QCOMPARE(program.title, "Brightfold");
    QCOMPARE(program.organisation, "Orvane");
    QCOMPARE(program.version, "1.00");
    QCOMPARE(QString(BRIGHTFOLD_FILE_VERSION), "1.0.0.0");
    QVERIFY(versionBlock.contains(QLatin1String("FILEVERSION 1,0,0,0")));
    QVERIFY(versionBlock.contains(QLatin1String("PRODUCTVERSION 1,0,0,0")));
}

QTEST_GUILESS_MAIN(VersionTest)
#include "tst_version.moc"
