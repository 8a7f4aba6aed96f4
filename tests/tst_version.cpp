// The names and version the program declares at start against the Windows version block that
// the build generates from the same project data.

#include "brightfold.h"

#include <QFile>
#include <QTest>

class VersionTest : public QObject
{
    Q_OBJECT

private slots:
    void versionBlockMatchesTheProgram();
};

void VersionTest::versionBlockMatchesTheProgram()
{
    QFile script(QStringLiteral(BRIGHTFOLD_RC_PATH));
    QVERIFY2(script.open(QIODevice::ReadOnly), BRIGHTFOLD_RC_PATH);
    const QString block = QString::fromUtf8(script.readAll());

    const runtime::ApplicationDescription program = brightfoldApplication();
    QCOMPARE(program.title + ' ' + program.organisation + ' ' + program.version,
             "Brightfold Orvane 1.00");
    const QList<QPair<const char *, QString>> values{
        {"CompanyName", program.organisation}, {"FileDescription", program.title},
        {"InternalName", program.title},       {"ProductName", program.title},
        {"FileVersion", program.version},      {"ProductVersion", program.version}};
    for (const auto &[key, value] : values)
        QVERIFY2(block.contains(QStringLiteral("VALUE \"%1\", \"%2\"\n").arg(key, value)), key);
    QVERIFY(block.contains("FILEVERSION 1,0,0,0\nPRODUCTVERSION 1,0,0,0\n"));
}

QTEST_GUILESS_MAIN(VersionTest)
#include "tst_version.moc"
